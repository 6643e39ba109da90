#include "catalogue/besselian_elements.h"

#include <cstring>

#include "catalogue/catalogue.h"

namespace darvelle {
namespace {

// The packed coefficients may sit on 4-byte boundaries: copied as bytes, never
// read through a double reference.
Cubic CubicFrom(const Polynomial& p) {
  Cubic cubic;
  static_assert(sizeof cubic.c == sizeof p.c);
  std::memcpy(cubic.c, &p, sizeof cubic.c);
  return cubic;
}

}  // namespace

EclipseDescription DescriptionFromRecord(const EclipseRecord& r) {
  EclipseDescription d;
  d.year = r.Year;
  d.month = r.Month;
  d.day = r.Day;
  d.kind = static_cast<EclipseKind>(r.EclipseType);
  d.saros = r.SarosNumber;
  d.sarosMember = r.SarosMember;
  d.sarosMemberCount = r.SarosMemberCount;
  return d;
}

EclipseDescription DescriptionOf(const Catalogue& catalogue, int index) {
  return DescriptionFromRecord(catalogue.Record(index));
}

BesselianElements ElementsFromRecord(const EclipseRecord& r) {
  BesselianElements e;
  static_cast<EclipseDescription&>(e) = DescriptionFromRecord(r);
  e.epochHour = r.EpochHour;
  e.julianDay = r.JulianDay;
  e.gamma = r.Gamma;
  e.lunation = r.LunationNumber;
  e.sunRightAscension = CubicFrom(r.SunRAPoly);
  e.sunDeclination = CubicFrom(r.SunDecPoly);
  e.sunDistance = CubicFrom(r.SunDistancePoly);
  e.moonRightAscension = CubicFrom(r.MoonRAPoly);
  e.moonDeclination = CubicFrom(r.MoonDecPoly);
  e.moonDistance = CubicFrom(r.MoonDistancePoly);
  e.x = CubicFrom(r.XPoly);
  e.y = CubicFrom(r.YPoly);
  e.d = CubicFrom(r.DPoly);
  e.mu = CubicFrom(r.MuPoly);
  e.l1 = CubicFrom(r.L1Poly);
  e.l2 = CubicFrom(r.L2Poly);
  e.tanF1 = CubicFrom(r.TanF1Poly);
  e.tanF2 = CubicFrom(r.TanF2Poly);
  return e;
}

BesselianElements CurrentElements(const Catalogue& catalogue, int index) {
  return ElementsFromRecord(MakeCurrentEclipse(catalogue, index));
}

}  // namespace darvelle
