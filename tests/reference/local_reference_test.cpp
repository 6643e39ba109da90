// Local circumstances against the Swiss Ephemeris (the JPL DE431 files, at
// our DeltaT): contact and maximum times, magnitude, the Sun's altitude and the
// visibility class, for places in and beside the paths of recent eclipses,
// at sunrise and sunset, near the poles, and on the night side.
//
// The library is an independent implementation (topocentric positions of the
// Sun and the Moon, searched numerically), linked into this test only.

#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "astro/delta_t.h"
#include "catalogue/catalogue.h"
#include "astro/iso_time.h"
#include "catalogue/data_files.h"
#include "geometry/local_circumstances.h"
#include "geometry/visible_eclipses.h"
#include "../support/shipped_catalogue.h"
#include "../support/swiss_local.h"

namespace darvelle {
namespace {

struct Pair {
  const char* name;
  int year, month, day;
  double lat, lon, height;
};

// Places chosen for what they test; the comment says why.
const Pair kPairs[] = {
    // 2017 August 21, total: in the path from coast to coast, beside it, far away.
    {"Madras OR", 2017, 8, 21, 44.6335, -121.1295, 680},
    {"Casper WY", 2017, 8, 21, 42.8666, -106.3131, 1560},
    {"Carbondale IL", 2017, 8, 21, 37.7273, -89.2168, 120},
    {"Nashville TN", 2017, 8, 21, 36.1627, -86.7816, 170},
    {"Charleston SC", 2017, 8, 21, 32.7765, -79.9311, 5},
    {"St. Louis MO (north of the path)", 2017, 8, 21, 38.6270, -90.1994, 140},
    {"Atlanta GA (south of the path)", 2017, 8, 21, 33.7490, -84.3880, 300},
    {"Chicago IL", 2017, 8, 21, 41.8781, -87.6298, 180},
    {"Lima (far south, partial)", 2017, 8, 21, -12.0464, -77.0428, 150},
    {"Honolulu (partial, morning)", 2017, 8, 21, 21.3069, -157.8583, 10},
    {"London (partial at sunset)", 2017, 8, 21, 51.5074, -0.1278, 20},
    // 2024 April 8, total.
    {"Mazatlan", 2024, 4, 8, 23.2494, -106.4111, 10},
    {"Dallas TX", 2024, 4, 8, 32.7767, -96.7970, 140},
    {"Indianapolis IN", 2024, 4, 8, 39.7684, -86.1581, 220},
    {"Cleveland OH", 2024, 4, 8, 41.4993, -81.6944, 200},
    {"Burlington VT", 2024, 4, 8, 44.4759, -73.2121, 60},
    {"Houston TX (south of the path)", 2024, 4, 8, 29.7604, -95.3698, 15},
    {"Toronto (just north of the path)", 2024, 4, 8, 43.6532, -79.3832, 80},
    {"Los Angeles (partial)", 2024, 4, 8, 34.0522, -118.2437, 90},
    {"Galway (partial at sunset)", 2024, 4, 8, 53.2707, -9.0568, 20},
    {"Tokyo (night side)", 2024, 4, 8, 35.6762, 139.6503, 40},
    // 2026 August 12, total, in Spain close to sunset.
    {"Reykjavik", 2026, 8, 12, 64.1466, -21.9426, 20},
    {"Oviedo", 2026, 8, 12, 43.3614, -5.8494, 230},
    {"Valencia", 2026, 8, 12, 39.4699, -0.3763, 15},
    {"Palma", 2026, 8, 12, 39.5696, 2.6502, 10},
    {"Paris (partial)", 2026, 8, 12, 48.8566, 2.3522, 35},
    {"Moscow (partial at sunset)", 2026, 8, 12, 55.7558, 37.6173, 150},
    // Sunrise eclipses.
    {"New York (annular 2021 at sunrise)", 2021, 6, 10, 40.7128, -74.0060, 10},
    {"Toronto (annular 2021 at sunrise)", 2021, 6, 10, 43.6532, -79.3832, 80},
    {"Iqaluit (annular 2021)", 2021, 6, 10, 63.7467, -68.5170, 30},
    {"North Pole (2021 June 10)", 2021, 6, 10, 90.0, 0.0, 0},
    // Annular and hybrid.
    {"Albuquerque (annular 2023)", 2023, 10, 14, 35.0844, -106.6504, 1620},
    {"Exmouth (hybrid 2023)", 2023, 4, 20, -21.9323, 114.1282, 10},
    {"Perth (hybrid 2023, partial)", 2023, 4, 20, -31.9505, 115.8605, 30},
    // Polar and high places.
    {"South Pole (2021 December 4)", 2021, 12, 4, -90.0, 0.0, 2835},
    {"Union Glacier (total 2021)", 2021, 12, 4, -79.7667, -83.2667, 700},
    {"Longyearbyen (total 2015)", 2015, 3, 20, 78.2232, 15.6267, 10},
    {"Torshavn (total 2015)", 2015, 3, 20, 62.0079, -6.7900, 20},
    {"Mauna Kea (total 1991)", 1991, 7, 11, 19.8207, -155.4681, 4205},
    {"La Paz (total 1994)", 1994, 11, 3, -16.4897, -68.1193, 3640},
    // Older and later eclipses.
    {"Munich (total 1999)", 1999, 8, 11, 48.1374, 11.5755, 520},
    {"Luxor (total 2027)", 2027, 8, 2, 25.6872, 32.6396, 80},
    {"Istanbul (partial 1999)", 1999, 8, 11, 41.0082, 28.9784, 40},
    {"Fiji on the antimeridian (2028 July 22)", 2028, 7, 22, -17.0, 180.0, 0},
    {"Sydney (total 2028)", 2028, 7, 22, -33.8688, 151.2093, 40},
};

class LocalReference : public testing::ShippedCatalogueTest {
 protected:
  static void SetUpTestSuite() {
    ShippedCatalogueTest::SetUpTestSuite();
    swe_set_ephe_path(const_cast<char*>(DARVELLE_SWE_EPHE_DIR));
  }
  static void TearDownTestSuite() {
    ShippedCatalogueTest::TearDownTestSuite();
    swe_close();
  }
};

using testing::SweLocal;

SweLocal AskSwissEphemeris(const Pair& p, double jdUtStart, double deltaT, double ourMaxUt) {
  return testing::AskSwissEphemeris(p.lat, p.lon, p.height, jdUtStart, deltaT, ourMaxUt);
}

// Position angle of the Moon's centre from the Sun's centre, topocentric, by
// the library (degrees from north through east).
double SwePositionAngle(const Pair& p, double jdUt) {
  swe_set_topo(p.lon, p.lat, p.height);
  double sun[6] = {}, moon[6] = {};
  char serr[256] = {};
  const int flags = SEFLG_SWIEPH | SEFLG_EQUATORIAL | SEFLG_TOPOCTR;
  swe_calc_ut(jdUt, SE_SUN, flags, sun, serr);
  swe_calc_ut(jdUt, SE_MOON, flags, moon, serr);
  const double d2r = M_PI / 180.0;
  const double dRa = (moon[0] - sun[0]) * d2r;
  const double pa = std::atan2(std::cos(moon[1] * d2r) * std::sin(dRa),
                               std::sin(moon[1] * d2r) * std::cos(sun[1] * d2r) -
                                   std::cos(moon[1] * d2r) * std::sin(sun[1] * d2r) *
                                       std::cos(dRa)) / d2r;
  return pa < 0.0 ? pa + 360.0 : pa;
}

double AngleDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

// Two position angles of the Moon's centre agree when the offset they make
// across the line of centres is below 0.5" (the angle alone is ill-conditioned
// near the centre): `separation` in solar diameters, about 1900" each.
void ExpectSameDirection(double ours, double theirs, double separation) {
  const double error = AngleDifference(ours, theirs);
  EXPECT_LT(std::abs(error) * M_PI / 180.0 * separation * 1900.0, 0.5)
      << "position angle " << ours << " against " << theirs;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A contact is grazing when the place is so near a limit that its instant
// hangs on the last digit of the radii: a magnitude below 0.01 for C1/C4, a
// totality or annularity under 20 s for C2/C3.
bool Grazing(const LocalCircumstances& ours, int contact) {
  if (contact == 2 || contact == 3) return !ours.DurationS || *ours.DurationS < 20.0;
  return ours.Magnitude < 0.01;
}

TEST_F(LocalReference, AgreesWithTheSwissEphemeris) {
  std::vector<double> timeErrors;
  int pairsCompared = 0;
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(p.name);
    const int index = IndexOf(p.year, p.month, p.day);
    ASSERT_NE(index, 0);
    const EclipseRecord record = MakeCurrentEclipse(*catalogue_, index);
    const double deltaT = ComputeDeltaT(record.Year, record.Month);
    const LocalCircumstances ours =
        ComputeLocalCircumstances(ElementsFromRecord(record), deltaT, {p.lat, p.lon, p.height});
    auto ut = [&](const std::optional<LocalEvent>& e) {
      return e ? record.JulianDay + e->Time / 24.0 - deltaT / 86400.0 : 0.0;
    };
    const SweLocal swe = AskSwissEphemeris(p, record.JulianDay - 1.0, deltaT, ut(ours.Maximum));
    ASSERT_GT(swe.flags, 0);
    const bool sameEclipse = std::abs(swe.tret[0] - (record.JulianDay + 0.5)) < 1.0;
    const bool seen = ours.Seen == Visibility::kFull || ours.Seen == Visibility::kRise ||
                      ours.Seen == Visibility::kSet;
    // Seen here exactly when the library finds this eclipse visible here.
    EXPECT_EQ(seen, sameEclipse) << static_cast<int>(ours.Seen);
    if (!seen || !sameEclipse) continue;
    ++pairsCompared;

    const std::optional<LocalEvent>* contacts[5] = {&ours.Maximum, &ours.C1, &ours.C2, &ours.C3,
                                                    &ours.C4};
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(contacts[k]->has_value(), swe.tret[k] != 0.0) << "contact " << k;
      if (!contacts[k]->has_value() || swe.tret[k] == 0.0 || Grazing(ours, k)) continue;
      timeErrors.push_back(std::abs(ut(*contacts[k]) - swe.tret[k]) * 86400.0);
      EXPECT_LT(timeErrors.back(), 6.0) << "contact " << k;
    }
    // Where the maximum is below the horizon the library reports the visible
    // maximum instead, at its own sunrise or sunset: not comparable.
    if (ours.Maximum->SunAltitudeDeg > 1.0) {
      timeErrors.push_back(std::abs(ut(ours.Maximum) - swe.tret[0]) * 86400.0);
      EXPECT_LT(timeErrors.back(), 6.0) << "maximum";
      EXPECT_NEAR(ours.Magnitude, swe.attr[0], 0.002);
      EXPECT_NEAR(ours.MoonSunRatio, swe.attr[1], 0.002);
      // The library gives the squared diameter ratio during totality; the
      // covered share of the Sun's area cannot exceed 1.
      if (ours.Kind == LocalKind::kTotal) {
        EXPECT_DOUBLE_EQ(ours.Obscuration, 1.0);
      } else {
        EXPECT_NEAR(ours.Obscuration, swe.attr[2], 0.002);
      }
    }
    EXPECT_NEAR(ours.Maximum->SunAltitudeDeg, swe.how[5], 0.01);
    for (const auto* contact : {&ours.C1, &ours.C4}) {
      double how[20] = {};
      double geopos[3] = {p.lon, p.lat, p.height};
      char serr[256] = {};
      swe_sol_eclipse_how(ut(*contact), SEFLG_SWIEPH, geopos, how, serr);
      EXPECT_NEAR((*contact)->SunAltitudeDeg, how[5], 0.01);
    }
    // The library counts azimuth from the south.
    EXPECT_NEAR(AngleDifference(ours.Maximum->SunAzimuthDeg, swe.how[4] + 180.0), 0.0, 0.02);
    // Where the Moon's centre stands from the Sun's, at maximum and at the
    // contacts; an inner contact of a total eclipse lies opposite.
    const double separation = (1.0 + ours.MoonSunRatio) / 2.0 - ours.Magnitude;
    ExpectSameDirection(ours.Maximum->PositionAngleDeg, SwePositionAngle(p, ut(ours.Maximum)),
                        separation);
    ExpectSameDirection(ours.C1->PositionAngleDeg, SwePositionAngle(p, ut(ours.C1)),
                        (1.0 + ours.MoonSunRatio) / 2.0);
    if (ours.Kind == LocalKind::kTotal) {
      ExpectSameDirection(ours.C2->PositionAngleDeg - 180.0, SwePositionAngle(p, ut(ours.C2)),
                          (ours.MoonSunRatio - 1.0) / 2.0);
    }
    // The class away from the horizon: the library's contact flags say
    // whether the Sun is up (refracted) at C1 and C4.
    if (std::abs(ours.C1->SunAltitudeDeg) > 1.0 && std::abs(ours.C4->SunAltitudeDeg) > 1.0) {
      const bool firstUp = (swe.flags & SE_ECL_1ST_VISIBLE) != 0;
      const bool lastUp = (swe.flags & SE_ECL_4TH_VISIBLE) != 0;
      Visibility expected = Visibility::kRise;
      if (firstUp) expected = lastUp ? Visibility::kFull : Visibility::kSet;
      EXPECT_EQ(ours.Seen, expected);
    }
  }
  EXPECT_GE(pairsCompared, 40);
  EXPECT_LE(Median(timeErrors), 2.0);
  std::printf("pairs compared %d, instants %zu, median %.2f s, worst %.2f s\n", pairsCompared,
              timeErrors.size(), Median(timeErrors),
              timeErrors.empty() ? 0.0 : *std::max_element(timeErrors.begin(), timeErrors.end()));
}

// Contacts of 2024 April 8 near Prosper, Texas, as published by
// astroscenes.com ("Total Solar Eclipse 2024-04-08", location 96°44'03" W,
// 33°15'24" N; UT to the second): C1 17:24:16, C2 18:42:15, maximum 18:43:29,
// C3 18:44:42, C4 20:03:19, totality 2 min 26 s. The page gives neither its
// DeltaT nor its lunar radius, so the check allows 3 s.
TEST_F(LocalReference, MatchesPublishedContactsNearProsperTexas) {
  const int index = IndexOf(2024, 4, 8);
  ASSERT_NE(index, 0);
  const EclipseRecord record = MakeCurrentEclipse(*catalogue_, index);
  const double deltaT = ComputeDeltaT(record.Year, record.Month);
  const Observer prosper{33.0 + 15.0 / 60 + 24.0 / 3600, -(96.0 + 44.0 / 60 + 3.0 / 3600), 200.0};
  const LocalCircumstances local = ComputeLocalCircumstances(ElementsFromRecord(record), deltaT, prosper);
  ASSERT_EQ(local.Kind, LocalKind::kTotal);
  const double midnightUt = record.JulianDay - record.EpochHour / 24.0;  // 0h TT of the date
  auto secondsOfDayUt = [&](const std::optional<LocalEvent>& e) {
    return ((record.JulianDay + e->Time / 24.0 - deltaT / 86400.0) - midnightUt) * 86400.0;
  };
  struct Published {
    const std::optional<LocalEvent>* event;
    int h, m, s;
  };
  const Published published[] = {{&local.C1, 17, 24, 16}, {&local.C2, 18, 42, 15},
                                 {&local.Maximum, 18, 43, 29}, {&local.C3, 18, 44, 42},
                                 {&local.C4, 20, 3, 19}};
  for (const auto& row : published) {
    ASSERT_TRUE(row.event->has_value());
    EXPECT_NEAR(secondsOfDayUt(*row.event), row.h * 3600 + row.m * 60 + row.s, 3.0)
        << row.h << ":" << row.m << ":" << row.s;
  }
  EXPECT_NEAR(*local.DurationS, 146.0, 3.0);
}

// An eclipse whose visibility hangs on the horizon's last degree or on a
// sliver of the Sun: the library (refracted altitude above 0 at one of its
// five instants) and this program (the Sun's centre above -0.5667 deg at any
// time) may rightly differ on it.
bool Borderline(const LocalCircumstances& local) {
  if (local.Kind == LocalKind::kNone) return true;  // grazing the penumbra
  if (local.VisibleMagnitude() < 0.005 && local.Magnitude < 0.005) return true;
  const double highest = std::max({local.C1->SunAltitudeDeg, local.Maximum->SunAltitudeDeg,
                                   local.C4->SunAltitudeDeg});
  return highest < 1.0 || local.VisibleMagnitude() < 0.005;
}

// The library's own search, one call per eclipse, as bench/swe_local_loop
// runs it: UT Julian Days of the maxima it reports visible.
std::vector<double> SweVisibleMaxima(const Observer& o, int fromYear, int toYear) {
  std::vector<double> maxima;
  double jd = CalendarToJulianDay(fromYear, 1, 1, 0, 0, 0);
  const double end = CalendarToJulianDay(toYear + 1, 1, 1, 0, 0, 0);
  double geopos[3] = {o.LongitudeDeg, o.LatitudeDeg, o.HeightM};
  // At most two visible eclipses a year; the cap guards a library fault.
  for (int call = 0; call < 2 * (toYear - fromYear + 1); ++call) {
    const CalendarInstant date = JulianDayToCalendar(jd);
    swe_set_delta_t_userdef(ComputeDeltaT(date.year, date.month) / 86400.0);
    double tret[10] = {}, attr[20] = {};
    char serr[256] = {};
    if (swe_sol_eclipse_when_loc(jd, SEFLG_SWIEPH, geopos, tret, attr, 0, serr) < 0) {
      ADD_FAILURE() << serr;
      break;
    }
    if (tret[0] >= end) break;
    maxima.push_back(tret[0]);
    jd = tret[0] + 1.0;
  }
  return maxima;
}

TEST_F(LocalReference, VisibleEclipsesMatchTheLibrarysSearch) {
  struct Place {
    const char* name;
    Observer observer;
  };
  const Place places[] = {{"Dallas", {32.7767, -96.797, 140.0}},
                          {"Longyearbyen", {78.2232, 15.6267, 10.0}},
                          {"Sydney", {-33.8688, 151.2093, 40.0}}};
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    VisibleEclipseFilter filter;
    filter.FromYear = 1700;
    filter.ToYear = 2200;
    const auto ours = FindVisibleEclipses(*catalogue_, place.observer, filter);
    const auto theirs = SweVisibleMaxima(place.observer, filter.FromYear, filter.ToYear);
    std::vector<bool> matched(theirs.size(), false);
    auto maxUt = [&](int index, const LocalCircumstances& l, double deltaT) {
      const EclipseRecord r = MakeCurrentEclipse(*catalogue_, index);
      return r.JulianDay + l.Maximum->Time / 24.0 - deltaT / 86400.0;
    };
    int borderline = 0;
    for (const VisibleEclipse& v : ours) {
      const double ourMax = maxUt(v.Index, v.Local, v.DeltaT);
      bool found = false;
      for (std::size_t k = 0; k < theirs.size(); ++k) {
        if (std::abs(theirs[k] - ourMax) < 0.3) found = matched[k] = true;
      }
      if (found) continue;
      ++borderline;
      const EclipseRecord& r = catalogue_->Record(v.Index);
      std::printf("  %s: only here: %s (visible magnitude %.4f, Sun at most %.2f deg up at "
                  "C1, maximum and C4)\n",
                  place.name, IsoDate(r.Year, r.Month, r.Day).c_str(),
                  v.Local.VisibleMagnitude(),
                  std::max({v.Local.C1->SunAltitudeDeg, v.Local.Maximum->SunAltitudeDeg,
                            v.Local.C4->SunAltitudeDeg}));
      EXPECT_TRUE(Borderline(v.Local)) << "eclipse " << v.Index << " seen only here";
    }
    for (std::size_t k = 0; k < theirs.size(); ++k) {
      if (matched[k]) continue;
      ++borderline;
      // The catalogue's eclipse of that date, as this program sees it.
      int index = 0;
      for (int i = 1; i <= catalogue_->Count() && index == 0; ++i) {
        const EclipseRecord r = MakeCurrentEclipse(*catalogue_, i);
        if (std::abs(r.JulianDay - theirs[k]) < 0.6) index = i;
      }
      ASSERT_NE(index, 0) << "the library finds an eclipse the catalogue lacks at JD "
                          << theirs[k];
      const EclipseRecord r = MakeCurrentEclipse(*catalogue_, index);
      const auto local = ComputeLocalCircumstances(ElementsFromRecord(r), ComputeDeltaT(r.Year, r.Month),
                                                   place.observer);
      std::printf("  %s: only in the library: %s (%s, magnitude %.4f)\n", place.name,
                  IsoDate(r.Year, r.Month, r.Day).c_str(),
                  local.Kind == LocalKind::kNone ? "no eclipse here" : "seen here as night",
                  local.Magnitude);
      EXPECT_TRUE(Borderline(local)) << "eclipse " << index << " missed here";
    }
    std::printf("%s 1700-2200: %zu here, %zu in the library, %d borderline\n", place.name,
                ours.size(), theirs.size(), borderline);
    EXPECT_GT(ours.size(), 100u);
  }
}

}  // namespace
}  // namespace darvelle

namespace darvelle {
namespace {

// Where the zenith lies from the Sun's centre, by the library's topocentric
// Sun and its sidereal time (degrees from north through east).
double SweZenithAngle(const Pair& p, double jdUt) {
  swe_set_topo(p.lon, p.lat, p.height);
  double sun[6] = {};
  char serr[256] = {};
  swe_calc_ut(jdUt, SE_SUN, SEFLG_SWIEPH | SEFLG_EQUATORIAL | SEFLG_TOPOCTR, sun, serr);
  const double d2r = M_PI / 180.0;
  const double zenithRa = swe_sidtime(jdUt) * 15.0 + p.lon;
  const double dRa = (zenithRa - sun[0]) * d2r;
  return std::atan2(std::cos(p.lat * d2r) * std::sin(dRa),
                    std::sin(p.lat * d2r) * std::cos(sun[1] * d2r) -
                        std::cos(p.lat * d2r) * std::sin(sun[1] * d2r) * std::cos(dRa)) / d2r;
}

// The view at single instants, away from the maximum the engine refines:
// through the partial phases, in and out of totality, low in the sky.
TEST_F(LocalReference, ViewAtAnInstantAgreesWithTheSwissEphemeris) {
  struct Instant {
    int pair;  // into kPairs
    double minutesFromMaximum;
  };
  const Instant instants[] = {
      {12, -70.0}, {12, -1.0}, {12, 0.5}, {12, 45.0},   // Dallas 2024
      {3, -40.0},  {3, 20.0},                           // Nashville 2017
      {18, -30.0}, {18, 30.0},                          // Los Angeles 2024, partial
      {23, -20.0}, {23, 0.0},                           // Valencia 2026, near sunset
      {31, 10.0},                                       // Albuquerque 2023, annular
  };
  for (const Instant& instant : instants) {
    const Pair& p = kPairs[instant.pair];
    SCOPED_TRACE(std::string(p.name) + " " + std::to_string(instant.minutesFromMaximum) + " min");
    const EclipseRecord record = MakeCurrentEclipse(*catalogue_, IndexOf(p.year, p.month, p.day));
    const double deltaT = ComputeDeltaT(record.Year, record.Month);
    const BesselianElements elements = ElementsFromRecord(record);
    const Observer observer{p.lat, p.lon, p.height};
    const LocalCircumstances local = ComputeLocalCircumstances(elements, deltaT, observer);
    ASSERT_TRUE(local.Maximum.has_value());
    const double t = local.Maximum->Time + instant.minutesFromMaximum / 60.0;
    const double jdUt = record.JulianDay + t / 24.0 - deltaT / 86400.0;
    const LocalView view = LocalViewAt(elements, deltaT, observer, t);

    swe_set_delta_t_userdef(deltaT / 86400.0);
    double geopos[3] = {p.lon, p.lat, p.height};
    double attr[20] = {};
    char serr[256] = {};
    ASSERT_GE(swe_sol_eclipse_how(jdUt, SEFLG_SWIEPH, geopos, attr, serr), 0) << serr;
    EXPECT_NEAR(view.Magnitude, attr[0], 0.002);
    EXPECT_NEAR(view.MoonSunRatio, attr[1], 0.002);
    EXPECT_NEAR(view.SunAltitudeDeg, attr[5], 0.02);
    // attr[7]: the distance of the centres in degrees.
    EXPECT_NEAR(view.SeparationSunRadii * view.SunRadiusDeg, attr[7], 0.002);
    if (view.Magnitude < 1.0) {
      EXPECT_NEAR(view.Obscuration, attr[2], 0.003);
    }
    if (view.SeparationSunRadii > 0.05) {
      EXPECT_NEAR(AngleDifference(view.PositionAngleDeg, SwePositionAngle(p, jdUt)), 0.0, 0.5);
    }
    EXPECT_NEAR(AngleDifference(view.ParallacticAngleDeg, SweZenithAngle(p, jdUt)), 0.0, 0.5);
  }
}

}  // namespace
}  // namespace darvelle
