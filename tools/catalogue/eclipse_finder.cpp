#include "eclipse_finder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "besselian_elements.h"
#include "shadow_geometry.h"

namespace darvelle::catalogue_gen {
namespace {

// Beyond this ecliptic latitude of the Moon at New Moon the shadow axis passes
// at least 1.69 Earth radii from the centre, more than the penumbra's reach
// (1 + l1 < 1.58): no eclipse.
constexpr double kEclipseLatitudeLimitDeg = 1.75;
// A nearest approach this far beyond the penumbra's reach (Earth radii) is no
// eclipse whatever the cubics' last digits say.
constexpr double kClearMissGap = 0.01;
constexpr double kSampleStepHours = 1.0 / 6.0;  // ten minutes
constexpr double kMinimumHalfSpanHours = 3.0;
constexpr double kPenumbraMarginHours = 0.5;

double Wrap180(double deg) {
  double r = std::fmod(deg, 360.0);
  if (r > 180.0) r -= 360.0;
  if (r <= -180.0) r += 360.0;
  return r;
}

std::string Where(int lunation) { return "lunation " + std::to_string(lunation) + ": "; }

struct CalendarDate {
  int year, month, day;
};

// Date of the Julian Day Number (the civil day that starts at jdn - 0.5).
CalendarDate DateOfDayNumber(double jdn) {
  const CalendarInstant c = JulianDayToCalendar(jdn - 0.25);
  return {c.year, c.month, c.day};
}

struct Fit {
  EclipseRecord record{};
  double halfSpan = 0.0;
  double residualXY = 0.0;
  double residualOther = 0.0;
};

// Record fields that depend on the instant of greatest eclipse (date, epoch
// hour) and the polynomials fitted about that epoch.
Fit FitAbout(double greatestJd, double halfDuration, const SwissEphemeris& ephemeris, int lunation) {
  Fit fit;
  EclipseRecord& r = fit.record;
  const double dayNumber = std::floor(greatestJd + 0.5);
  const double hourOfDay = (greatestJd + 0.5 - dayNumber) * 24.0;
  const CalendarDate date = DateOfDayNumber(dayNumber);
  r.Year = date.year;
  r.Month = date.month;
  r.Day = date.day;
  r.EpochHour = static_cast<int>(std::lround(hourOfDay));  // 24 after 23:30: same date
  r.JulianDay = CalendarToJulianDay(r.Year, r.Month, r.Day, r.EpochHour, 0.0, 0.0);
  if (std::fabs(CalendarToJulianDay(r.Year, r.Month, r.Day, 0.0, 0.0, 0.0) - (dayNumber - 0.5)) >
      1e-6) {
    throw std::runtime_error(Where(lunation) + "calendar conversion disagrees for JD " +
                             std::to_string(greatestJd));
  }
  const double tg = (greatestJd - r.JulianDay) * 24.0;
  const double needed = std::max(kMinimumHalfSpanHours,
                                 std::fabs(tg) + halfDuration + kPenumbraMarginHours);
  const int halfSteps = static_cast<int>(std::ceil(needed / kSampleStepHours - 1e-9));
  fit.halfSpan = halfSteps * kSampleStepHours;

  const std::size_t n = static_cast<std::size_t>(2 * halfSteps + 1);
  std::vector<double> t(n);
  std::vector<ElementValues> samples(n);
  for (std::size_t i = 0; i < n; ++i) {
    t[i] = (static_cast<int>(i) - halfSteps) * kSampleStepHours;
    samples[i] = ElementsAt(ephemeris, r.JulianDay + t[i] / 24.0);
  }
  std::vector<double> values(n);
  for (std::size_t q = 0; q < kQuantityCount; ++q) {
    for (std::size_t i = 0; i < n; ++i) values[i] = samples[i][q];
    if (q == kSunRA || q == kMoonRA || q == kMu) UnwrapDegrees(values, static_cast<std::size_t>(halfSteps));
    double residual = 0.0;
    RecordPolynomial(r, static_cast<Quantity>(q)) = FitCubic(t, values, &residual);
    if (q == kX || q == kY) fit.residualXY = std::max(fit.residualXY, residual);
    if (q == kD || q == kMu || q == kL1 || q == kL2) {
      fit.residualOther = std::max(fit.residualOther, residual);
    }
  }
  return fit;
}

}  // namespace

double MeanNewMoon(int lunation) {
  const double k = lunation;
  const double t = k / 1236.85;
  return 2451550.09766 + 29.530588861 * k +
         t * t * (0.00015437 + t * (-0.000000150 + t * 0.00000000073));
}

double TrueNewMoon(int lunation, const SwissEphemeris& ephemeris) {
  const auto elongation = [&ephemeris](double jd) {
    return Wrap180(ephemeris.Ecliptic(Body::kMoon, jd).longitudeDeg -
                   ephemeris.Ecliptic(Body::kSun, jd).longitudeDeg);
  };
  // The true New Moon lies within about 0.7 day of the mean one and the
  // elongation grows by 10 to 15 degrees a day, so a secant iteration from the
  // mean instant stays on this conjunction and gains digits quickly; 30 steps
  // are far more than the 5 or 6 it takes.
  double jd0 = MeanNewMoon(lunation);
  double e0 = elongation(jd0);
  double jd1 = jd0 - e0 / 12.19;
  for (int i = 0; i < 30; ++i) {
    const double e1 = elongation(jd1);
    if (e1 == e0) return jd1;
    const double next = jd1 - e1 * (jd1 - jd0) / (e1 - e0);
    jd0 = jd1;
    e0 = e1;
    jd1 = next;
    if (std::fabs(jd1 - jd0) < 1e-7) return jd1;
  }
  throw std::runtime_error(Where(lunation) + "the New Moon search did not converge");
}

LunationResult ExamineLunation(int lunation, const SwissEphemeris& ephemeris) {
  LunationResult result;
  result.lunation = lunation;
  const double newMoon = TrueNewMoon(lunation, ephemeris);
  result.greatestJulianDay = newMoon;
  const double latitude = ephemeris.Ecliptic(Body::kMoon, newMoon).latitudeDeg;
  if (std::fabs(latitude) > kEclipseLatitudeLimitDeg) {
    result.penumbraGap = kClearMissGap;
    return result;
  }

  // First look: hourly elements around New Moon, cubics about New Moon.
  EclipseRecord first{};
  {
    std::vector<double> t;
    std::vector<ElementValues> s;
    for (int h = -3; h <= 3; ++h) {
      t.push_back(h);
      s.push_back(ElementsAt(ephemeris, newMoon + h / 24.0));
    }
    std::vector<double> v(t.size());
    for (Quantity q : {kX, kY, kD, kL1, kL2}) {
      for (std::size_t i = 0; i < t.size(); ++i) v[i] = s[i][q];
      RecordPolynomial(first, q) = FitCubic(t, v);
    }
  }
  const double tg0 = GreatestEclipseTime(first, 0.0, -3.0, 3.0);
  const double x0 = first.XPoly.At(tg0), y0 = first.YPoly.At(tg0);
  const double gamma0 = std::sqrt(x0 * x0 + y0 * y0);
  const double reach = 1.0 + first.L1Poly.At(tg0);
  if (gamma0 - reach > kClearMissGap) {
    result.penumbraGap = gamma0 - reach;
    result.greatestJulianDay = newMoon + tg0 / 24.0;
    return result;
  }
  const double speed = std::hypot(first.XPoly.RateAt(tg0), first.YPoly.RateAt(tg0));
  const double halfDuration = std::sqrt(std::max(0.0, reach * reach - gamma0 * gamma0)) / speed;

  // The epoch hour is the hour nearest greatest eclipse; if the fitted cubics
  // move greatest eclipse across a half hour, fit again about the new hour.
  // Each refit starts from an instant the previous cubics put within the
  // accuracy of the fit, so a second refit never changes the hour again; the
  // cap of 3 passes only guards against that assumption failing.
  double greatestJd = newMoon + tg0 / 24.0;
  for (int pass = 0; pass < 3; ++pass) {
    Fit fit = FitAbout(greatestJd, halfDuration, ephemeris, lunation);
    EclipseRecord& r = fit.record;
    const double guess = (greatestJd - r.JulianDay) * 24.0;
    const double tg = GreatestEclipseTime(r, guess, -fit.halfSpan, fit.halfSpan);
    const double jdTg = r.JulianDay + tg / 24.0;
    if (std::fabs(tg) > 0.5 && pass < 2) {
      greatestJd = jdTg;
      continue;
    }
    if (std::fabs(tg) > 0.5 + 1e-6) {
      throw std::runtime_error(Where(lunation) + "greatest eclipse keeps leaving its epoch hour");
    }
    const double x = r.XPoly.At(tg), y = r.YPoly.At(tg);
    r.Gamma = std::copysign(std::sqrt(x * x + y * y), y);
    r.LunationNumber = lunation;
    Classification c;
    try {
      c = Classify(r, tg, -fit.halfSpan, fit.halfSpan);
    } catch (const std::runtime_error& e) {
      throw std::runtime_error(Where(lunation) + e.what());
    }
    r.EclipseType = c.type;
    result.fitted = true;
    result.eclipse = c.penumbraGap < 0.0;
    result.penumbraGap = c.penumbraGap;
    result.greatestJulianDay = jdTg;
    result.residualXY = fit.residualXY;
    result.residualOther = fit.residualOther;
    result.record = r;
    return result;
  }
  throw std::runtime_error(Where(lunation) + "no epoch hour found");  // not reached: pass 2 returns or throws
}

}  // namespace darvelle::catalogue_gen
