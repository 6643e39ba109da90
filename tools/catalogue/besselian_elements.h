#pragma once
// Besselian elements of a solar eclipse at one instant, built from the
// apparent geocentric places of the Sun and the Moon, and the least-squares
// cubics that the catalogue record stores.

#include <array>
#include <cstddef>
#include <span>

#include "catalogue/eclipse_record.h"
#include "swiss_ephemeris.h"

namespace darvelle::catalogue_gen {

inline constexpr double kEarthRadiusAu = 4.263521265376305e-05;  // equatorial radius in AU
inline constexpr double kPenumbraLunarRadius = 0.2725076;        // Earth radii
inline constexpr double kUmbraLunarRadius = 0.272281;            // Earth radii
inline constexpr double kSolarRadiusArcsecAt1Au = 959.63;
inline constexpr double kEarthEccentricitySquared = 0.00669437999014133;
inline constexpr double kPolarAxisRatio = 0.9966471893352525;  // sqrt(1 - e^2)

// The fourteen quantities of a record, in record order and record units
// (degrees, AU, Earth equatorial radii).
enum Quantity : std::size_t {
  kSunRA, kSunDec, kSunDistance, kMoonRA, kMoonDec, kMoonDistance,
  kX, kY, kD, kMu, kL1, kL2, kTanF1, kTanF2, kQuantityCount
};
using ElementValues = std::array<double, kQuantityCount>;

// Right ascensions and mu are returned in [0, 360); callers that fit them make
// them continuous first.
ElementValues ElementsFromPlaces(const ApparentPlace& sun, const ApparentPlace& moon,
                                 double siderealTimeDeg);

// Elements at jdTT from the ephemeris; mu takes the sidereal time of jdTT read
// as UT, so it is the ephemeris hour angle.
ElementValues ElementsAt(const SwissEphemeris& ephemeris, double jdTT);

// The record's polynomial for each quantity.
Polynomial& RecordPolynomial(EclipseRecord& record, Quantity q);
const Polynomial& RecordPolynomial(const EclipseRecord& record, Quantity q);

// Least-squares cubic through (t[i], v[i]); t in hours, at least 4 distinct
// instants. maxResidual (optional) receives max |fit - v|.
Polynomial FitCubic(std::span<const double> t, std::span<const double> v,
                    double* maxResidual = nullptr);

// Makes a series of angles in degrees continuous (no jumps of a whole turn
// between neighbours) with the value at index `anchor` in [0, 360).
void UnwrapDegrees(std::span<double> values, std::size_t anchor);

}  // namespace darvelle::catalogue_gen
