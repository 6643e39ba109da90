#pragma once
// What a record's own polynomials say about an eclipse: its greatest eclipse,
// whether the penumbra, the umbra or the shadow axis reaches the Earth's
// ellipsoid, and its type. Judging from the stored cubics (not from the
// ephemeris) keeps the catalogue consistent with what the program computes
// from each record.

#include <functional>

#include "catalogue/eclipse_record.h"

namespace darvelle::catalogue_gen {

// x*x' + y*y' at t (hours from EpochHour): zero when the shadow axis passes
// nearest the Earth's centre.
double AxisApproach(const EclipseRecord& record, double t);

// Outer contact of the penumbra with the ellipsoid, as distance: m - (r + l1),
// negative while the penumbra touches the Earth (same sign as the contact
// function m^2 - (r + l1)^2).
double PenumbraGap(const EclipseRecord& record, double t);

// m - (r + |l2|): negative while the umbra or antumbra touches the Earth.
double UmbraGap(const EclipseRecord& record, double t);

// x^2 + y1^2 - 1: negative while the shadow axis meets the ellipsoid.
double AxisGap(const EclipseRecord& record, double t);

// Radius of the umbra at the Earth's surface on the central line,
// l2 - zeta*tan f2 (negative: total); only meaningful while AxisGap < 0.
double CentralUmbraRadius(const EclipseRecord& record, double t);

struct Extremum {
  double t = 0.0;
  double value = 0.0;
};

// Smallest value of f on [lo, hi]: sampled every `step` hours, then refined
// by golden-section search around the smallest sample.
Extremum MinimumOf(const std::function<double(double)>& f, double lo, double hi, double step);

// Root of f in [a, b] where f(a) and f(b) differ in sign, by bisection.
double RootBetween(const std::function<double(double)>& f, double a, double b);

// Instant (hours from EpochHour) where AxisApproach is zero, searched from
// `guess` inside [lo, hi]. Throws std::runtime_error when there is none.
double GreatestEclipseTime(const EclipseRecord& record, double guess, double lo, double hi);

struct Classification {
  double penumbraGap = 0.0;  // minimum of PenumbraGap: < 0 means a solar eclipse
  double axisGap = 0.0;      // minimum of AxisGap: < 0 means central
  double umbraGap = 0.0;     // minimum of UmbraGap
  EclipseType type = kPartial;  // meaningful only when penumbraGap < 0
};

// Classifies the eclipse of a record whose polynomials are valid on
// [fitLo, fitHi] and whose greatest eclipse is at tg. Throws
// std::runtime_error when the central line does not end inside the fit.
Classification Classify(const EclipseRecord& record, double tg, double fitLo, double fitHi);

}  // namespace darvelle::catalogue_gen
