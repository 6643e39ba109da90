#pragma once
// DeltaT = TT - UT in seconds, for the year and month of an eclipse: a
// piecewise model (polynomials in the decimal year, a table of annual values
// for 1961 .. 2029, parabolas outside), rounded to 0.1 s with ties to even.

#include <optional>

namespace darvelle {

// year: astronomical year number (a whole number); month: 1 .. 12.
// The segment is chosen on the integer year, the formulas use
// y = year + (month - 0.5) / 12. Result: seconds, a multiple of 0.1.
double ComputeDeltaT(double year, double month);

// The standard error of the model's DeltaT (seconds) for an eclipse of that
// astronomical year, where it moves a path by more than a few kilometres:
// before 1600 and after 2100; nothing between, where the telescopic record
// (and, for the next decades, the trend) keeps it to seconds.
//
// Morrison, L. V. & Stephenson, F. R. (2004), "Historical values of the
// Earth's clock error DeltaT and the calculation of eclipses", Journal for
// the History of Astronomy 35, 327-336: sigma = 0.8 t^2 s with
// t = (year - 1820) / 100, given for 1000 BCE to 1200 CE (as Espenak and
// Meeus quote it for the Five Millennium Canon, with sigma = 636 s at -1000,
// 265 s at 0 and 54 s at +1000). Outside that span the same parabola is the
// only published rule of this form and serves as an extrapolation; between
// 1200 and 1600 the decade fluctuations, about 20 s, are the floor.
std::optional<double> DeltaTUncertainty(int year);

}  // namespace darvelle
