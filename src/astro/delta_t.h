#pragma once
// DeltaT = TT - UT in seconds, for the year and month of an eclipse: a
// piecewise model (polynomials in the decimal year, a table of annual values
// for 1961 .. 2029, parabolas outside), rounded to 0.1 s with ties to even.

namespace darvelle {

// year: astronomical year number (a whole number); month: 1 .. 12.
// The segment is chosen on the integer year, the formulas use
// y = year + (month - 0.5) / 12. Result: seconds, a multiple of 0.1.
double ComputeDeltaT(double year, double month);

}  // namespace darvelle
