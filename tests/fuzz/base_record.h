#pragma once
// The record a short fuzz input overlays: the targets that compute one
// eclipse start from it, so that a few changed bytes still make an eclipse.

#include <cstring>

#include "catalogue/catalogue.h"

namespace darvelle::fuzz {

// 2024 April 8, total, with the elements of the catalogue (rounded).
inline EclipseRecord BaseRecord() {
  EclipseRecord r;
  std::memset(&r, 0, sizeof r);
  r.Year = 2024;
  r.Month = 4;
  r.Day = 8;
  r.EclipseType = kTotal;
  r.Gamma = 0.3431;
  r.LunationNumber = 300;
  r.SarosNumber = 139;
  r.EpochHour = 18;
  r.SarosMember = 30;
  r.SarosMemberCount = 71;
  r.SunRAPoly = {{17.7, 0.0379, 0.0, 0.0}};
  r.SunDecPoly = {{7.59, 0.0153, 0.0, 0.0}};
  r.SunDistancePoly = {{1.0013, 0.0000068, 0.0, 0.0}};
  r.MoonRAPoly = {{17.6, 0.585, 0.0, 0.0}};
  r.MoonDecPoly = {{7.92, 0.268, 0.0, 0.0}};
  r.MoonDistancePoly = {{0.002420, -0.0000003, 0.0, 0.0}};
  r.XPoly = {{-0.318244, 0.5117116, 0.0000326, -0.0000085}};
  r.YPoly = {{0.219764, 0.2709589, -0.0000595, -0.0000047}};
  r.DPoly = {{7.5862, 0.014844, -0.000002, 0.0}};
  r.MuPoly = {{89.59122, 15.004084, 0.0, 0.0}};
  r.L1Poly = {{0.535814, 0.0000618, -0.0000128, 0.0}};
  r.L2Poly = {{-0.010272, 0.0000615, -0.0000127, 0.0}};
  r.TanF1Poly = {{0.0046683, 0.0, 0.0, 0.0}};
  r.TanF2Poly = {{0.0046450, 0.0, 0.0, 0.0}};
  return r;
}

}  // namespace darvelle::fuzz
