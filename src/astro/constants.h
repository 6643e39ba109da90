#pragma once
// Every numeric constant the computations share, each in one place, with its
// unit. The values are the ones the program has always used, to the last
// digit, so that every figure and file stays what it was.

namespace darvelle {

// Angles.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kHalfPi = kPi / 2.0;
inline constexpr double kRadToDeg = 57.29577951308232;
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToHours = 3.819718634205488;

// Time.
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kSecondsPerHour = 3600.0;
// Sidereal turns of the Earth per day of 86400 s.
inline constexpr double kSiderealRate = 1.0027379;
// Seconds in which the Earth turns by one radian, 86400 / (2 pi x 1.0027379),
// rounded as the map's curve drawing has always used it. The exact rate
// differs by 3e-8, up to 0.06" at the DeltaT of antiquity, which moves a
// curve point across a pixel now and then: the maps keep the rounded value.
inline constexpr double kSecondsPerRadianOfRotation = 13713.44;

// The Earth ellipsoid.
inline constexpr double kEarthE2 = 0.00669437999014133;          // squared eccentricity
inline constexpr double kEarthAxisRatio = 0.9966471893352525;    // sqrt(1 - e^2), polar / equatorial
inline constexpr double kEarthRadiusAu = 4.263521265376305e-05;  // equatorial radius, AU
// The same equatorial radius in kilometres: the unit of the fundamental plane,
// so a length of the Besselian elements times this is kilometres.
inline constexpr double kEarthRadiusKm = 6378.137;

// Moon radius in Earth equatorial radii: the report's value (semidiameter)
// and the one the path width uses.
inline constexpr double kPenumbraLunarRadius = 0.2725076;
inline constexpr double kUmbraLunarRadius = 0.272281;

}  // namespace darvelle
