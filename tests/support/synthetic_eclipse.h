#pragma once
// A small made-up eclipse of 2021 December 4 (epoch 8 h TT) whose report
// values can be worked out by hand: the axis moves along x at 0.5 Earth radii
// per hour and passes nearest the centre at t = -0.5 h (07:30 TT); the Moon
// overtakes the Sun in right ascension at t = -0.5/0.51 h.

#include <cstring>

#include "astro/calendar.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/eclipse_record.h"

namespace darvelle::testing {

// axisY: y of the shadow axis (0.3 central, 1.2 misses the Earth).
inline EclipseRecord SyntheticEclipse(double axisY = 0.3) {
  EclipseRecord r;
  std::memset(&r, 0, sizeof r);
  r.Year = 2021;
  r.Month = 12;
  r.Day = 4;
  r.EpochHour = 8;
  r.EclipseType = kTotal;
  r.JulianDay = CalendarToJulianDay(2021, 12, 4, 8, 0, 0);
  r.XPoly = {{0.25, 0.5, 0.0, 0.0}};
  r.YPoly = {{axisY, 0.0, 0.0, 0.0}};
  r.DPoly = {{-22.0, -0.005, 0.0, 0.0}};
  r.MuPoly = {{240.0, 15.0, 0.0, 0.0}};
  r.L1Poly = {{0.54, 0.0, 0.0, 0.0}};
  r.L2Poly = {{-0.01, 0.0, 0.0, 0.0}};
  r.TanF1Poly = {{0.0047, 0.0, 0.0, 0.0}};
  r.TanF2Poly = {{0.00468, 0.0, 0.0, 0.0}};
  r.SunRAPoly = {{250.0, 0.04, 0.0, 0.0}};
  r.SunDecPoly = {{-22.3, -0.002, 0.0, 0.0}};
  r.SunDistancePoly = {{0.985, 0.0, 0.0, 0.0}};
  r.MoonRAPoly = {{250.5, 0.55, 0.0, 0.0}};
  r.MoonDecPoly = {{-22.0, -0.1, 0.0, 0.0}};
  r.MoonDistancePoly = {{0.0024, 0.0, 0.0, 0.0}};
  return r;
}

// The same eclipse as the computations read it.
inline BesselianElements SyntheticElements(double axisY = 0.3) {
  return ElementsFromRecord(SyntheticEclipse(axisY));
}

}  // namespace darvelle::testing
