#pragma once
// The shadow on the Earth at one instant: where the umbra (or antumbra) and
// the penumbra lie, the lines of equal magnitude inside the penumbra, where
// the shadow's axis meets the Earth, the sub-solar point and the day/night
// terminator. What a time slider, an animation frame or a GIS snapshot draws.
//
// Every point is a true point of its curve on the ellipsoid (the program's
// kEarthE2), at height 0, with the Earth's rotation during DeltaT applied as
// everywhere else: a place on an outline sees the corresponding contact (or
// that magnitude) at this instant, as ComputeLocalCircumstances reckons it.
// Between two neighbouring points no straight segment (in longitude and
// latitude, or along the great circle) misses the curve by more than
// kExactCurveToleranceKm.
//
// Values in, a value out; nothing is kept, any thread may call it.

#include <array>
#include <optional>
#include <vector>

#include "catalogue/besselian_elements.h"

namespace darvelle {

struct ShadowPoint {
  double LongitudeDeg = 0;  // east positive, [-180, 180], DeltaT applied
  double LatitudeDeg = 0;   // geodetic
};

// A curve of the shadow on the Earth. Closed: the whole curve lies on the day
// side and the last point repeats the first. Open: the curve runs off the
// day side and both ends lie on the terminator (the Sun's centre on the
// geometric horizon).
struct ShadowCurve {
  std::vector<ShadowPoint> Points;
  bool Closed = false;
};

// The magnitudes whose lines ComputeShadowAt draws inside the penumbra.
inline constexpr std::array<double, 4> kShadowMagnitudes = {0.2, 0.4, 0.6, 0.8};

struct MagnitudeLine {
  double Magnitude = 0;
  std::vector<ShadowCurve> Curves;
};

struct ShadowAtInstant {
  double Time = 0;          // hours of TT from the record's epoch hour
  // Between the penumbra's first and last contact with the Earth. Outside,
  // every shadow member below is empty; the Sun's place is still given.
  bool InEclipse = false;
  std::vector<ShadowCurve> Umbra;     // the umbra's or antumbra's outline
  bool Antumbra = false;              // the Moon looks smaller than the Sun at the axis
  std::vector<ShadowCurve> Penumbra;  // the outer limit of the partial eclipse
  std::vector<MagnitudeLine> MagnitudeLines;  // one per kShadowMagnitudes value
  std::optional<ShadowPoint> Axis;    // where the shadow's axis meets the Earth
  std::optional<ShadowPoint> SubSolar;  // where the Sun stands in the zenith
  ShadowCurve Terminator;             // closed; empty only for elements that are not numbers
  bool Empty() const { return Umbra.empty() && Penumbra.empty() && !Axis.has_value(); }
};

// The shadow of `eclipse` (julianDay set) at t (hours of TT from the epoch
// hour); deltaT in seconds (0 in TT). Any t and any record give a finite
// answer in bounded time: elements that are not numbers give an empty one.
ShadowAtInstant ComputeShadowAt(const BesselianElements& eclipse, double deltaT, double t);

// The umbra's (or antumbra's) area at t as closed rings: the outline where it
// lies wholly on the day side, else the outline closed along the terminator
// the way that runs inside the shadow. Empty outside the contacts or where
// the umbra misses the Earth. For the timed outlines of the GIS files.
std::vector<ShadowCurve> UmbraAreaAt(const BesselianElements& eclipse, double deltaT, double t);

// The penumbra's outline at t as ComputeShadowAt gives it, without the rest.
std::vector<ShadowCurve> PenumbraOutlineAt(const BesselianElements& eclipse, double deltaT,
                                           double t);

// The instant (hours of TT from the epoch hour) of a Julian Day in UT.
double ShadowTimeOfUt(const BesselianElements& eclipse, double deltaT, double julianDayUt);

}  // namespace darvelle
