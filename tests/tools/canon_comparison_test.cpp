// The committed catalogue against 940 eclipses of a published canon computed
// from an older ephemeris (VSOP87 / ELP2000-82): same eclipses, lunations and
// Saros numbers; types alike but for borderline cases; greatest eclipse and
// Gamma close, closer near the present than thousands of years away.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue_file.h"

namespace darvelle {
namespace {

using testing::CommittedCatalogue;
using testing::PolynomialGreatestEclipse;
using testing::PenumbraGapAt;

struct CanonRow {
  int year = 0;
  double greatestJd = 0;  // TT, to the second
  double gamma = 0;
  double magnitude = 0;
  int lunation = 0;
  int type = 0;
  int saros = 0;
};

int TypeOf(const std::string& code) {
  const bool nonCentral = code.size() > 1 && (code[1] == '+' || code[1] == '-');
  switch (code[0]) {
    case 'P': return kPartial;
    case 'T': return nonCentral ? kNonCentralTotal : kTotal;
    case 'A': return nonCentral ? kNonCentralAnnular : kAnnular;
    case 'H': return kHybrid;
    default: return 0;
  }
}

std::vector<CanonRow> ReadCanon() {
  std::ifstream in(std::string(DARVELLE_REFERENCE_DIR) + "/canon_sample_elements.tsv");
  std::vector<CanonRow> rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) f.push_back(cell);
    if (f.size() < 8) continue;
    CanonRow r;
    r.year = std::stoi(f[0].substr(0, f[0].size() - 4));
    // The Julian Day has three decimals (86 s); the td column has the second.
    int h = 0, m = 0, s = 0;
    std::sscanf(f[1].c_str(), "%d:%d:%d", &h, &m, &s);
    const double jd = std::stod(f[2]);
    const double dayStart = std::floor(jd + 0.5) - 0.5;
    double best = 0;
    for (int shift = -1; shift <= 1; ++shift) {
      const double c = dayStart + shift + (h * 3600 + m * 60 + s) / 86400.0;
      if (shift == -1 || std::fabs(c - jd) < std::fabs(best - jd)) best = c;
    }
    r.greatestJd = best;
    r.gamma = std::stod(f[3]);
    r.magnitude = std::stod(f[4]);
    r.lunation = std::stoi(f[5]);
    r.type = TypeOf(f[6]);
    r.saros = std::stoi(f[7]);
    rows.push_back(r);
  }
  return rows;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

TEST(CanonComparison, SameEclipsesCloseElementsPerCentury) {
  const std::vector<CanonRow> canon = ReadCanon();
  ASSERT_EQ(canon.size(), 940u);
  const Catalogue& c = CommittedCatalogue();
  std::map<int, const EclipseRecord*> byLunation;
  for (int i = 1; i <= c.Count(); ++i) byLunation[c.Record(i).LunationNumber] = &c.Record(i);

  struct Century {
    int from, to;
    double maxSeconds, maxGamma;  // tolerances: the ephemerides part slowly with time
    std::vector<double> seconds, gamma;
  };
  std::vector<Century> centuries = {
      {-1999, -1901, 150.0, 1e-3, {}, {}},
      {901, 1000, 15.0, 3e-4, {}, {}},
      {1901, 2000, 2.0, 1e-4, {}, {}},
      {2901, 3000, 15.0, 3e-4, {}, {}},
  };
  std::set<int> canonLunations;
  int typeMismatches = 0;
  for (const CanonRow& row : canon) {
    canonLunations.insert(row.lunation);
    SCOPED_TRACE("canon lunation " + std::to_string(row.lunation));
    const auto it = byLunation.find(row.lunation);
    ASSERT_NE(it, byLunation.end()) << "missing from the catalogue";
    const EclipseRecord& r = *it->second;
    EXPECT_EQ(r.SarosNumber, row.saros);
    if (r.EclipseType != row.type) {
      // Borderline only: the umbra's vertex at the surface (magnitude 1) or
      // the axis grazing the limb.
      ++typeMismatches;
      std::printf("type differs: lunation %d (%d), canon %d magnitude %.4f gamma %.4f, here %d\n",
                  row.lunation, r.Year, row.type, row.magnitude, row.gamma, r.EclipseType);
      EXPECT_TRUE(std::fabs(row.magnitude - 1.0) < 1e-3 || std::fabs(std::fabs(row.gamma) - 1.0) < 5e-3);
    }
    const double t = PolynomialGreatestEclipse(r);
    const double jd = r.JulianDay + t / 24.0;
    for (Century& century : centuries) {
      if (row.year < century.from || row.year > century.to) continue;
      century.seconds.push_back(std::fabs(jd - row.greatestJd) * 86400.0);
      century.gamma.push_back(std::fabs(r.Gamma - row.gamma));
    }
  }
  EXPECT_LE(typeMismatches, 3);

  for (const Century& century : centuries) {
    SCOPED_TRACE(century.from);
    ASSERT_FALSE(century.seconds.empty());
    const double maxSeconds = *std::max_element(century.seconds.begin(), century.seconds.end());
    const double maxGamma = *std::max_element(century.gamma.begin(), century.gamma.end());
    std::printf("%5d .. %5d: %3zu eclipses, |time| median %.2f s max %.2f s, |Gamma| median %.1e max %.1e\n",
                century.from, century.to, century.seconds.size(), Median(century.seconds),
                maxSeconds, Median(century.gamma), maxGamma);
    EXPECT_LT(maxSeconds, century.maxSeconds);
    EXPECT_LT(maxGamma, century.maxGamma);
  }

  // Eclipses of those years that the canon lacks may only be penumbral grazes.
  for (int i = 1; i <= c.Count(); ++i) {
    const EclipseRecord& r = c.Record(i);
    const bool inCanonYears = std::any_of(centuries.begin(), centuries.end(), [&](const Century& century) {
      return r.Year >= century.from && r.Year <= century.to;
    });
    if (!inCanonYears || canonLunations.contains(r.LunationNumber)) continue;
    const double gap = PenumbraGapAt(r, PolynomialGreatestEclipse(r));
    std::printf("extra: lunation %d (%d), penumbra gap %.2e Earth radii\n", r.LunationNumber, r.Year, gap);
    EXPECT_EQ(r.EclipseType, kPartial);
    EXPECT_GT(gap, -1e-3);
  }
}

}  // namespace
}  // namespace darvelle
