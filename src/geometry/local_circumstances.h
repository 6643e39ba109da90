#pragma once
// What an observer at one place sees of one eclipse: the contacts, the
// maximum, magnitude, obscuration, the duration of totality or annularity and
// where the Sun stands, by the classical method of the Besselian elements (the
// observer's place on the fundamental plane against the shadow's axis and its
// radii at the observer's distance from the plane).
//
// Values in, a value out: nothing is kept between calls, so any number of
// threads may compute places and eclipses side by side.
//
// The shadow's radii are the record's l1 and l2, so the magnitudes follow the
// lunar radii the catalogue was made with (k = 0.2725076 Earth radii for the
// penumbra, 0.272281 for the umbra, as tools/catalogue builds them).
//
// Instants are hours of TT from the record's EpochHour (as everywhere in the
// geometry); the Julian Day of an instant is record.JulianDay + t/24 (the
// record as MakeCurrentEclipse gives it). Angles in degrees.

#include <optional>

#include "catalogue/besselian_elements.h"

namespace darvelle {

// A place on the Earth: geodetic latitude (north positive, -90 .. 90),
// longitude (east positive) and height above the ellipsoid in metres.
struct Observer {
  double LatitudeDeg = 0.0;
  double LongitudeDeg = 0.0;
  double HeightM = 0.0;
};

// The Sun's centre counts as up above this geometric altitude: the horizon
// lifted by standard refraction (34') as almanacs use it for sunrise.
inline constexpr double kSunUpAltitudeDeg = -0.5667;

// One instant of the local eclipse and where the Sun stands then.
struct LocalEvent {
  double Time = 0.0;            // hours of TT from EpochHour
  double SunAltitudeDeg = 0.0;  // geometric (no refraction), topocentric
  double SunAzimuthDeg = 0.0;   // from north through east, [0, 360)
  // Contacts: the point of the Sun's limb that the Moon's limb touches;
  // maximum: the direction of the Moon's centre from the Sun's centre. From
  // the north point of the Sun's disc through east, [0, 360).
  double PositionAngleDeg = 0.0;
  bool SunUp() const { return SunAltitudeDeg > kSunUpAltitudeDeg; }
};

// The Sun's passage through the horizon during the eclipse.
struct HorizonCrossing {
  double Time = 0.0;       // hours of TT from EpochHour
  double Magnitude = 0.0;  // of the eclipse at that instant
};

enum class LocalKind { kNone, kPartial, kAnnular, kTotal };

// kFull: Sun up at C1 and C4; kRise: the eclipse is in progress when the Sun
// rises; kSet: in progress when it sets; kNight: the Sun is down throughout;
// kNone: no eclipse at this place.
enum class Visibility { kNone, kNight, kRise, kSet, kFull };

struct LocalCircumstances {
  LocalKind Kind = LocalKind::kNone;
  Visibility Seen = Visibility::kNone;
  std::optional<LocalEvent> C1, C2, Maximum, C3, C4;  // C2, C3 only inside the path
  double Magnitude = 0.0;     // fraction of the Sun's diameter covered at maximum, > 1 total
  double MoonSunRatio = 0.0;  // apparent diameters at maximum (or closest approach)
  double Obscuration = 0.0;   // fraction of the Sun's area covered at maximum
  std::optional<double> DurationS;  // totality or annularity, seconds
  std::optional<HorizonCrossing> Sunrise, Sunset;  // only between C1 and C4
  // The greatest magnitude with the Sun up (0 when it is never up).
  double VisibleMagnitude() const;
  // What the place sees with the Sun up: the central kind only when the Sun
  // is up at the maximum (the central phase lasts minutes around it), a
  // total or annular eclipse whose central phase falls after sunset or
  // before sunrise is partial here, and one never seen is none.
  LocalKind SeenKind() const;
};

// How far the observer stays outside the penumbra (umbra = false) or the
// umbra at the closest approach to the shadow's axis, on the fundamental
// plane in Earth radii: negative inside. The limits of the eclipse and of its
// central phase are where this is zero, as ComputeLocalCircumstances decides.
// `searchStart` (hours from T0, optional): where to begin the search for the
// closest approach, left at the instant found; a neighbouring place's
// instant saves about half of the search when many places along a curve are
// judged in turn.
double ShadowEdgeMargin(const BesselianElements& eclipse, double deltaT, const Observer& observer,
                        bool umbra, double* searchStart = nullptr);

// The Sun's geometric altitude (degrees) at the maximum, both as
// ComputeLocalCircumstances finds them (its Maximum->SunAltitudeDeg).
double SunAltitudeAtMaximum(const BesselianElements& eclipse, double deltaT,
                            const Observer& observer, double* searchStart = nullptr);

// What the observer sees at one instant: the two discs, where the Moon's
// centre stands from the Sun's, and where the Sun stands in the sky. What a
// picture of the Sun from the place draws; the same shadow model as
// ComputeLocalCircumstances, so at its maximum the two agree.
struct LocalView {
  double Time = 0.0;            // hours of TT from EpochHour
  double SunAltitudeDeg = 0.0;  // geometric (no refraction), topocentric
  double SunAzimuthDeg = 0.0;   // from north through east, [0, 360)
  double SunRadiusDeg = 0.0;    // the Sun's apparent radius
  double MoonSunRatio = 0.0;    // apparent diameters
  // The Moon's centre from the Sun's centre: the direction from the north
  // point of the Sun's disc through east, [0, 360), and the distance in
  // radii of the Sun.
  double PositionAngleDeg = 0.0;
  double SeparationSunRadii = 0.0;
  // The angle at the Sun from the celestial north pole to the zenith, from
  // north through east (-180 .. 180]: PositionAngleDeg minus this is the
  // direction from the top of the disc as the observer sees it.
  double ParallacticAngleDeg = 0.0;
  double Magnitude = 0.0;    // fraction of the Sun's diameter covered, 0 outside the eclipse
  double Obscuration = 0.0;  // fraction of the Sun's area covered
};

// The view of `observer` at t (hours of TT from EpochHour), at any t.
LocalView LocalViewAt(const BesselianElements& eclipse, double deltaT, const Observer& observer,
                      double t);

// Local circumstances of one eclipse. deltaT: TT - UT in seconds (the
// program's DeltaT for the eclipse). The observer's values must be finite;
// latitudes beyond the poles are clamped to them.
LocalCircumstances ComputeLocalCircumstances(const BesselianElements& eclipse, double deltaT,
                                             const Observer& observer);

// Covered fraction of the Sun's area (0 .. 1) by the exact lens of two
// overlapping discs: the Sun's radius 1, the Moon's `moon`, their centres
// `distance` apart (same unit).
double CoveredFraction(double moon, double distance);

// A quick test for scans over many eclipses: false when the observer surely
// does not see the eclipse (outside the penumbra, or the Sun far below the
// horizon throughout), from the closest approach alone.
bool MayBeSeen(const BesselianElements& eclipse, double deltaT, const Observer& observer);

// Why an observer cannot be used (nullptr when it can): latitude in -90 .. 90,
// longitude in -180 .. 180, height in -500 .. 10,000 m, every value finite.
const char* ObserverProblem(const Observer& observer);

}  // namespace darvelle
