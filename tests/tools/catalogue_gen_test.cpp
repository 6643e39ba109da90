// The catalogue generator's parts (cubic fits, element construction, New
// Moons, the eclipse test, Saros numbering) and the tool as a whole: a short
// span regenerated from the ephemeris gives the committed records byte for
// byte.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/run_process.h"
#include "besselian_elements.h"
#include "catalogue_file.h"
#include "eclipse_finder.h"
#include "saros_numbering.h"

namespace darvelle::catalogue_gen {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::RunProcess;

TEST(FitCubic, ReproducesCubicsExactlyAndReportsTheResidualOfHigherTerms) {
  struct Case {
    double c[4];
    double quartic;     // added t^4 term
    double halfSpan;    // hours
  };
  const Case cases[] = {
      {{0.1, 0.55, -1e-5, -8e-6}, 0.0, 3.0},
      {{-12.5, 0.013, 2e-6, 0.0}, 0.0, 4.5},
      {{280.0, 15.004, 1e-7, 0.0}, 0.0, 3.0},
      {{0.0, 0.5, 0.0, 0.0}, 1e-6, 3.0},
  };
  for (const Case& k : cases) {
    std::vector<double> t, v;
    for (double s = -k.halfSpan; s <= k.halfSpan + 1e-9; s += 1.0 / 6.0) {
      t.push_back(s);
      v.push_back(k.c[0] + s * (k.c[1] + s * (k.c[2] + s * k.c[3])) + k.quartic * s * s * s * s);
    }
    double residual = -1.0;
    const Polynomial p = FitCubic(t, v, &residual);
    if (k.quartic == 0.0) {
      for (int i = 0; i < 4; ++i) EXPECT_NEAR(p.c[i], k.c[i], 1e-12 * (1.0 + std::fabs(k.c[i])));
      EXPECT_LT(residual, 1e-10);
    } else {
      // t^4 on [-3, 3] is not a cubic: part of it stays as residual, at
      // most its own size, and the fit is the least-squares one (even terms
      // go to c0 and c2, odd coefficients stay).
      EXPECT_GT(residual, 1e-7);
      EXPECT_LT(residual, k.quartic * 81.0);
      EXPECT_NEAR(p.c[1], k.c[1], 1e-12);
      EXPECT_NEAR(p.c[3], 0.0, 1e-12);
    }
  }
  const std::vector<double> few = {0.0, 1.0, 2.0};
  EXPECT_THROW(FitCubic(few, few), std::invalid_argument);
}

TEST(UnwrapDegrees, MakesAnglesContinuousWithTheAnchorInOneTurn) {
  struct Case {
    std::vector<double> in;
    std::size_t anchor;
    std::vector<double> out;
  };
  const Case cases[] = {
      {{358.0, 359.5, 1.0, 2.5}, 1, {358.0, 359.5, 361.0, 362.5}},
      {{358.0, 359.5, 1.0, 2.5}, 2, {-2.0, -0.5, 1.0, 2.5}},
      {{10.0, 5.0, 0.5, 355.0}, 1, {10.0, 5.0, 0.5, -5.0}},
      {{370.0, 375.0}, 0, {10.0, 15.0}},
  };
  for (const Case& k : cases) {
    std::vector<double> v = k.in;
    UnwrapDegrees(v, k.anchor);
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], k.out[i], 1e-12) << i;
  }
}

// Geometry of the fundamental plane for Sun and Moon placed by hand.
TEST(ElementsFromPlaces, PutTheShadowAxisWhereTheMoonStands) {
  const ApparentPlace sun{30.0, 10.0, 1.0};
  const double moonAu = 60.0 * kEarthRadiusAu;
  // Moon in line with the Sun: the axis passes through the centre.
  const ElementValues centred = ElementsFromPlaces(sun, {30.0, 10.0, moonAu}, 100.0);
  EXPECT_NEAR(centred[kX], 0.0, 1e-12);
  EXPECT_NEAR(centred[kY], 0.0, 1e-12);
  EXPECT_NEAR(centred[kD], 10.0, 1e-12);
  EXPECT_NEAR(centred[kMu], 70.0, 1e-9);  // sidereal time minus the axis' right ascension
  // Penumbra about 0.56 Earth radii wide on the plane; at 60 Earth radii the
  // umbra's vertex falls short of the plane (annular): l2 > 0.
  EXPECT_NEAR(centred[kL1], 0.56, 0.02);
  EXPECT_GT(centred[kL2], 0.0);
  EXPECT_NEAR(centred[kTanF1], 0.00466, 0.0001);
  EXPECT_LT(centred[kTanF2], centred[kTanF1]);
  // A closer Moon reaches the Earth with its umbra: l2 < 0.
  EXPECT_LT(ElementsFromPlaces(sun, {30.0, 10.0, 56.0 * kEarthRadiusAu}, 100.0)[kL2], 0.0);

  // Moon one Earth radius (as seen from the Earth) north and east of the Sun.
  // The axis runs from the Moon toward the Sun, so it passes the Earth's
  // centre a little farther out, by the ratio of the distances.
  const double step = std::asin(1.0 / 60.0) * 57.29577951308232;
  const double farther = 1.0 / (1.0 - moonAu / sun.distanceAu);
  const ElementValues north = ElementsFromPlaces(sun, {30.0, 10.0 + step, moonAu}, 100.0);
  EXPECT_NEAR(north[kX], 0.0, 1e-9);
  EXPECT_NEAR(north[kY], farther, 1e-4);
  const ElementValues east =
      ElementsFromPlaces(sun, {30.0 + step / std::cos(10.0 / 57.29577951308232), 10.0, moonAu}, 100.0);
  EXPECT_NEAR(east[kX], farther, 1e-4);
  EXPECT_NEAR(east[kY], 0.0, 2e-3);  // a parallel of declination bends north of the great circle
}

TEST(SarosNumbers, FollowTheResidueOfTheLunation) {
  struct Case {
    int lunation, number;
  };
  // Published numbers: 1999 Aug 11, 2017 Aug 21, 2021 Dec 4, 2024 Apr 8,
  // and one inex and one Saros from 2024.
  const Case cases[] = {{-5, 145}, {218, 145}, {271, 152}, {300, 139},
                        {300 + 358, 140}, {300 - 358, 138}, {300 + 223, 139}};
  for (const Case& k : cases) {
    EXPECT_EQ(SarosResidue(k.lunation), ((k.number % 223) + 223) % 223) << k.lunation;
    EXPECT_EQ(SarosNumberNear(k.lunation, ExpectedSarosNumber(k.lunation)), k.number) << k.lunation;
  }
  // The residue fixes the number up to 223.
  EXPECT_EQ(SarosNumberNear(300, 139.0 + 223.0), 139 + 223);
}

TEST(SarosNumbers, WalkTheLinksFromTheAnchorAndCountMembers) {
  // Series 139 with three members, 140 one inex later with two, and a lone
  // eclipse linked to nothing.
  const int lone = 300 + 5 * 358 + 7 * 223 + 100;
  std::vector<int> eclipses = {300 - 223, 300, 300 + 223, 300 + 358, 300 + 358 + 223, lone};
  std::sort(eclipses.begin(), eclipses.end());
  std::vector<int> unlinked;
  const auto labels = NumberSarosSeries(eclipses, &unlinked);
  EXPECT_EQ(labels.at(300).number, 139);
  EXPECT_EQ(labels.at(300).member, 2);
  EXPECT_EQ(labels.at(300).count, 3);
  EXPECT_EQ(labels.at(77).member, 1);
  EXPECT_EQ(labels.at(523).member, 3);
  EXPECT_EQ(labels.at(658).number, 140);
  EXPECT_EQ(labels.at(658).member, 1);
  EXPECT_EQ(labels.at(881).count, 2);
  ASSERT_EQ(unlinked, std::vector<int>{lone});
  EXPECT_EQ(labels.at(lone).number, SarosNumberNear(lone, ExpectedSarosNumber(lone)));
  EXPECT_EQ(labels.at(lone).count, 1);
  EXPECT_THROW(NumberSarosSeries({77, 523}), std::runtime_error);  // no anchor
}

class WithEphemeris : public ::testing::Test {
 protected:
  SwissEphemeris ephemeris_{DARVELLE_SWE_EPHE_DIR};
};

TEST_F(WithEphemeris, NewMoonsAreTheConjunctionsNearestTheMeanOnes) {
  EXPECT_DOUBLE_EQ(MeanNewMoon(0), 2451550.09766);
  // 2024 April 8 18:21 UT, DeltaT 69 s; 2000 January 6 18:14 UT, DeltaT 64 s.
  EXPECT_NEAR(TrueNewMoon(300, ephemeris_), 2460409.2646, 2.0 / 1440);
  EXPECT_NEAR(TrueNewMoon(0, ephemeris_), 2451550.2601, 2.0 / 1440);
  for (int k : {-80000, -20000, 0, 50000, 60000}) {
    EXPECT_LT(std::fabs(TrueNewMoon(k, ephemeris_) - MeanNewMoon(k)), 1.0) << k;
  }
}

TEST_F(WithEphemeris, EclipsesAreFoundOnlyWhereThePenumbraReachesTheEarth) {
  struct Case {
    int lunation;
    bool eclipse;
    int type;
  };
  const Case cases[] = {
      {299, false, 0},          // 2024 March 10: Moon far from its node
      {300, true, kTotal},      // 2024 April 8
      {306, true, kAnnular},    // 2024 October 2
      {288, true, kHybrid},     // 2023 April 20
      {276, true, kPartial},    // 2022 April 30
      {-886, true, kNonCentralTotal},     // 1928 May 19: the umbra grazes the pole
      {-528, true, kNonCentralAnnular},   // 1957 April 30
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.lunation);
    const LunationResult r = ExamineLunation(k.lunation, ephemeris_);
    EXPECT_EQ(r.eclipse, k.eclipse);
    if (k.eclipse) {
      EXPECT_EQ(r.record.EclipseType, k.type);
      EXPECT_LT(r.residualXY, 1e-5);
      EXPECT_EQ(r.record.LunationNumber, k.lunation);
    }
  }
}

TEST(SwissEphemerisFiles, AMissingFolderIsAnErrorNotASilentFallback) {
  const SwissEphemeris missing("/nonexistent/ephemeris");
  try {
    missing.Equatorial(Body::kMoon, 2460409.25);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/ephemeris"), std::string::npos) << e.what();
  }
}

class GeneratorRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("darvelle-catalogue-gen-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Run(const std::string& args) {
    return std::string("'") + DARVELLE_CATALOGUE_GEN + "' " + args;
  }
  fs::path dir_;
};

// The committed records of 2019 .. 2024 regenerated from the ephemeris, on
// one thread and on two: byte for byte the same, Saros fields included
// (here found by following each series, in the full run by walking all links).
TEST_F(GeneratorRun, ShortSpanReproducesTheCommittedRecords) {
  const Catalogue& committed = darvelle::testing::CommittedCatalogue();
  std::string expected;
  for (int i = 1; i <= committed.Count(); ++i) {
    const EclipseRecord& r = committed.Record(i);
    if (r.Year >= 2019 && r.Year <= 2024) {
      expected.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
  }
  ASSERT_EQ(expected.size(), 13 * kEclipseRecordSize);
  for (const char* threads : {"1", "2"}) {
    SCOPED_TRACE(threads);
    const fs::path out = dir_ / (std::string("span") + threads + ".bin");
    const auto run = RunProcess(Run("--from 2019 --to 2024 --quiet --threads " + std::string(threads) +
                                    " --output '" + out.string() + "'"));
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(darvelle::testing::ReadWholeFile(out) == expected);
  }
}

TEST_F(GeneratorRun, BadArgumentsAndMissingEphemerisLeaveNoFile) {
  struct Case {
    std::string args;
    int status;
    std::string message;
  };
  const fs::path out = dir_ / "out.bin";
  const std::string o = " --output '" + out.string() + "'";
  const Case cases[] = {
      {"--from 2030 --to 2020" + o, 2, "after the last year"},
      {"--from 1999x" + o, 2, "needs a whole number"},
      {"--to 7001" + o, 2, "-4999 .. 7000"},
      {"--bogus" + o, 2, "unknown option"},
      {"--from 2020 --to 2021 --ephemeris /nonexistent/ephemeris" + o, 1, "/nonexistent/ephemeris"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.args);
    const auto run = RunProcess(Run(k.args));
    EXPECT_EQ(run.exitStatus, k.status);
    EXPECT_NE(run.err.find(k.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out));
  }
  EXPECT_TRUE(fs::is_empty(dir_));  // no temporary file left behind either
}

}  // namespace
}  // namespace darvelle::catalogue_gen
