// darvelle-cli info: one catalogue record as the program reads it.

#include <cstdio>
#include <iostream>
#include <string>

#include "astro/delta_t.h"
#include "astro/format.h"
#include "catalogue/catalogue.h"
#include "cli/commands.h"
#include "cli/selection_options.h"

namespace darvelle::cli {
namespace {

struct NamedPolynomial {
  const char* name;
  Polynomial EclipseRecord::*field;
};

constexpr NamedPolynomial kPolynomials[] = {
    {"SunRA", &EclipseRecord::SunRAPoly},     {"SunDec", &EclipseRecord::SunDecPoly},
    {"SunDistance", &EclipseRecord::SunDistancePoly},
    {"MoonRA", &EclipseRecord::MoonRAPoly},   {"MoonDec", &EclipseRecord::MoonDecPoly},
    {"MoonDistance", &EclipseRecord::MoonDistancePoly},
    {"X", &EclipseRecord::XPoly},             {"Y", &EclipseRecord::YPoly},
    {"D", &EclipseRecord::DPoly},             {"Mu", &EclipseRecord::MuPoly},
    {"L1", &EclipseRecord::L1Poly},           {"L2", &EclipseRecord::L2Poly},
    {"TanF1", &EclipseRecord::TanF1Poly},     {"TanF2", &EclipseRecord::TanF2Poly},
};

const char* TypeWord(int type) {
  switch (type) {
    case kPartial: return "partial";
    case kTotal: return "total";
    case kAnnular: return "annular";
    case kHybrid: return "hybrid";
    case kNonCentralTotal: return "non-central total";
    case kNonCentralAnnular: return "non-central annular";
    default: return "unknown";
  }
}

std::string Scientific(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%+.15e", value);
  return buffer;
}

void PrintRecord(int index, int count, const EclipseRecord& r) {
  char date[64];
  std::snprintf(date, sizeof date, "%d-%02d-%02d", r.Year, r.Month, r.Day);
  std::cout << "Eclipse#       " << index << " of " << count << "\n"
            << "Date (TT)      " << date << "\n"
            << "EpochHour      " << r.EpochHour << "\n"
            << "JulianDay      " << FixedText(r.JulianDay, 6) << "\n"
            << "EclipseType    " << r.EclipseType << " (" << TypeWord(r.EclipseType) << ")\n"
            << "Gamma          " << FixedText(r.Gamma, 6) << "\n"
            << "Lunation       " << r.LunationNumber << "\n"
            << "Saros          " << r.SarosNumber << ", member " << r.SarosMember << " of "
            << r.SarosMemberCount << "\n"
            << "DeltaT         " << FixedText(ComputeDeltaT(r.Year, r.Month), 1) << " s\n";
  for (const auto& p : kPolynomials) {
    const Polynomial& poly = r.*p.field;
    char name[20];
    std::snprintf(name, sizeof name, "%-14s", p.name);
    std::cout << name << " " << Scientific(poly.c[0]) << " " << Scientific(poly.c[1]) << " "
              << Scientific(poly.c[2]) << " " << Scientific(poly.c[3]) << "\n";
  }
}

}  // namespace

int RunInfo(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, {"index", "year", "data"}, {});
  CheckSelectionOptions(args);
  const Catalogue catalogue = LoadCatalogueFor(args);
  const int index = SelectedIndexFor(args, catalogue);
  PrintRecord(index, catalogue.Count(), MakeCurrentEclipse(catalogue, index));
  return kExitOk;
}

}  // namespace darvelle::cli
