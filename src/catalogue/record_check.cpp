#include "catalogue/record_check.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "catalogue/selection.h"

namespace darvelle {
namespace {

struct IntegerRange {
  const char* name;
  std::int32_t EclipseRecord::*field;
  std::int32_t min, max;
};

// Integer fields. The year spans the catalogue (the DeltaT model and the
// year search are made for it); the rest are what a calendar and the Saros
// cycle allow.
constexpr IntegerRange kIntegerRanges[] = {
    {"Year", &EclipseRecord::Year, kFirstCatalogueYear, kLastCatalogueYear},
    {"Month", &EclipseRecord::Month, 1, 12},
    {"Day", &EclipseRecord::Day, 1, 31},
    {"EclipseType", &EclipseRecord::EclipseType, kPartial, kNonCentralAnnular},
    // The hour of the polynomials' epoch within the date; 24 is the next midnight.
    {"EpochHour", &EclipseRecord::EpochHour, 0, 24},
    // About 12.37 lunations a year: the catalogue's 12,000 years lie within
    // -87,000 .. 62,000 of the New Moon of 2000 January 6.
    {"LunationNumber", &EclipseRecord::LunationNumber, -200000, 200000},
    // A new series begins about every 30 years; over the catalogue's span the
    // numbers run from about -110 to 330. The number is a label that nothing
    // computes with: the bound only keeps it a few digits long.
    {"SarosNumber", &EclipseRecord::SarosNumber, -1000, 1000},
    // A series has 69 to 90 members; 0 when a record built from another
    // source does not know its series' members.
    {"SarosMemberCount", &EclipseRecord::SarosMemberCount, 0, 120},
};

// One polynomial c0 + c1 t + c2 t^2 + c3 t^3 (t in hours): the range of its
// value at the epoch, of the magnitude of its hourly rate, and bounds on the
// magnitudes of its higher terms. Every bound lies a factor of three or more
// beyond the extremes of the whole catalogue, and within what the geometry
// of the Sun, the Moon and the Earth permits.
struct PolynomialRange {
  const char* name;
  Polynomial EclipseRecord::*field;
  double c0Min, c0Max;
  double rateMin, rateMax;  // |c1|
  double c2Max, c3Max;      // |c2|, |c3|
};

constexpr PolynomialRange kPolynomialRanges[] = {
    // Right ascensions in degrees, 0 .. 360. The Sun moves about 0.04 deg
    // an hour in right ascension, the Moon 0.43 .. 0.70. The ephemeris only
    // feeds the report's lines and drives no search, so a record that leaves
    // it still (zero rates, as one built from elements alone does) is
    // accepted; only the upper bounds matter.
    {"SunRAPoly", &EclipseRecord::SunRAPoly, 0.0, 360.0, 0.0, 0.06, 1e-4, 1e-6},
    // The Sun's declination never exceeds the obliquity (at most 24.5 deg over
    // these millennia); it changes by at most 0.017 deg an hour.
    {"SunDecPoly", &EclipseRecord::SunDecPoly, -25.0, 25.0, 0.0, 0.05, 1e-4, 1e-6},
    // Perihelion 0.983 AU, aphelion 1.017 AU.
    {"SunDistancePoly", &EclipseRecord::SunDistancePoly, 0.95, 1.05, 0.0, 1e-4, 1e-7, 1e-8},
    {"MoonRAPoly", &EclipseRecord::MoonRAPoly, 0.0, 360.0, 0.0, 1.0, 1e-2, 1e-4},
    // Obliquity plus the lunar orbit's inclination of 5.3 deg.
    {"MoonDecPoly", &EclipseRecord::MoonDecPoly, -30.0, 30.0, 0.0, 1.0, 1e-2, 1e-4},
    // Perigee 356,000 km (0.00238 AU), apogee 407,000 km (0.00272 AU).
    {"MoonDistancePoly", &EclipseRecord::MoonDistancePoly, 0.0022, 0.0029, 0.0, 1e-5, 1e-7, 1e-9},
    // Near the epoch hour the penumbra (radius about 0.55) reaches the Earth,
    // so the axis lies within about 1.6 Earth radii of the centre. The rate
    // of x alone may be small only when y moves fast; their joint speed is
    // checked below.
    {"XPoly", &EclipseRecord::XPoly, -2.0, 2.0, 0.0, 0.9, 2e-3, 1e-4},
    {"YPoly", &EclipseRecord::YPoly, -2.0, 2.0, 0.0, 0.9, 2e-3, 1e-4},
    // d follows the Sun's declination.
    {"DPoly", &EclipseRecord::DPoly, -25.0, 25.0, 0.0, 0.05, 1e-4, 1e-6},
    // mu turns with the Earth: 15.04 deg an hour less the Sun's motion in
    // right ascension, 14.99 .. 15.01.
    {"MuPoly", &EclipseRecord::MuPoly, 0.0, 360.0, 14.9, 15.1, 1e-4, 1e-6},
    // Penumbral radius 0.53 .. 0.58 and umbral radius -0.017 .. 0.030 Earth
    // radii on the fundamental plane, set by the Moon's distance.
    {"L1Poly", &EclipseRecord::L1Poly, 0.45, 0.65, 0.0, 1e-3, 1e-4, 1e-6},
    {"L2Poly", &EclipseRecord::L2Poly, -0.06, 0.06, 0.0, 1e-3, 1e-4, 1e-6},
    // Half-angles of the shadow cones, from the Sun's apparent radius seen
    // from the Moon: tangents 0.00457 .. 0.00477.
    {"TanF1Poly", &EclipseRecord::TanF1Poly, 0.004, 0.0055, 0.0, 1e-6, 1e-8, 1e-10},
    {"TanF2Poly", &EclipseRecord::TanF2Poly, 0.004, 0.0055, 0.0, 1e-6, 1e-8, 1e-10},
};

// The shadow axis crosses the fundamental plane at 0.50 .. 0.59 Earth radii
// an hour (the Moon's motion relative to the Sun). A record far outside is
// no eclipse; a tiny rate would make every search creep.
constexpr double kMinAxisSpeed = 0.3;
constexpr double kMaxAxisSpeed = 0.9;

// |Gamma| < 1 + l1 for the penumbra to touch the Earth (the catalogue's
// largest is 1.571).
constexpr double kMaxGamma = 2.0;

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

std::string Outside(const std::string& what, double value, double min, double max) {
  return what + " is " + Number(value) + ", outside " + Number(min) + " .. " + Number(max);
}

std::optional<std::string> PolynomialProblem(const EclipseRecord& r, const PolynomialRange& p) {
  const Polynomial& poly = r.*p.field;
  for (int k = 0; k < 4; ++k) {
    if (!std::isfinite(poly.c[k])) {
      return std::string(p.name) + " c" + std::to_string(k) + " is " + Number(poly.c[k]) +
             ", not a finite number";
    }
  }
  const std::string name = p.name;
  if (!(poly.c[0] >= p.c0Min && poly.c[0] <= p.c0Max)) {
    return Outside(name + " c0", poly.c[0], p.c0Min, p.c0Max);
  }
  const double rate = std::fabs(poly.c[1]);
  if (!(rate >= p.rateMin && rate <= p.rateMax)) {
    return Outside(name + " |c1|", rate, p.rateMin, p.rateMax);
  }
  if (!(std::fabs(poly.c[2]) <= p.c2Max)) return Outside(name + " |c2|", std::fabs(poly.c[2]), 0.0, p.c2Max);
  if (!(std::fabs(poly.c[3]) <= p.c3Max)) return Outside(name + " |c3|", std::fabs(poly.c[3]), 0.0, p.c3Max);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RecordProblem(const EclipseRecord& r) {
  for (const IntegerRange& f : kIntegerRanges) {
    const std::int32_t value = r.*f.field;
    if (value < f.min || value > f.max) {
      return std::string(f.name) + " is " + std::to_string(value) + ", outside " +
             std::to_string(f.min) + " .. " + std::to_string(f.max);
    }
  }
  // Counted from 1 within the series; 0 goes with a count of 0 (not known).
  const std::int32_t firstMember = r.SarosMemberCount == 0 ? 0 : 1;
  if (r.SarosMember < firstMember || r.SarosMember > r.SarosMemberCount) {
    return "SarosMember is " + std::to_string(r.SarosMember) + ", outside " +
           std::to_string(firstMember) + " .. " +
           std::to_string(r.SarosMemberCount) + " (SarosMemberCount)";
  }
  if (!(std::fabs(r.Gamma) <= kMaxGamma)) {
    return "Gamma is " + Number(r.Gamma) + ", outside -" + Number(kMaxGamma) + " .. " +
           Number(kMaxGamma);
  }
  for (const PolynomialRange& p : kPolynomialRanges) {
    if (auto problem = PolynomialProblem(r, p)) return problem;
  }
  const double speed = std::hypot(r.XPoly.c[1], r.YPoly.c[1]);
  if (!(speed >= kMinAxisSpeed && speed <= kMaxAxisSpeed)) {
    return Outside("the speed of the shadow axis, hypot(XPoly c1, YPoly c1),", speed,
                   kMinAxisSpeed, kMaxAxisSpeed);
  }
  return std::nullopt;
}

}  // namespace darvelle
