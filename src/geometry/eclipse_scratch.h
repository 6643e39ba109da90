#pragma once
// The work areas of the eclipse computation, owned by its caller and reused
// from eclipse to eclipse (the batch keeps one per thread, so computing an
// eclipse allocates no work memory), and the view of them a curve builder
// works through. Nothing in a scratch object is a result: a stage may leave
// anything in it, and the next stage overwrites what it reads first.

#include <vector>

#include "catalogue/besselian_elements.h"
#include "geometry/curves.h"
#include "geometry/elements.h"
#include "geometry/events.h"

namespace darvelle {

// One record of the penumbral longitude scan.
struct LimitScanRecord {
  bool Used = false;
  double Hour = 0;              // T0 + t, hours TT
  double Level = 0;             // side times magnitude level
  double WestLongitudeDeg = 0;  // west positive, [-180, 180)
  double LatitudeDeg = 0;       // geodetic
};

struct EclipseScratch {
  ElementState state;                                  // elements at the instant last evaluated
  std::vector<CurvePoint> workBuffer;                  // kCurveWorkBufferCapacity points
  std::vector<LimitScanRecord> scanFirst, scanSecond;  // 360 * resolution records each

  EclipseScratch();
};

// What a curve builder reads (the elements, the events, the resolution),
// where it works and which curves it fills. The references are the caller's;
// the tracer lives for one call of TraceCurves or one test.
struct CurveTracer {
  const BesselianElements& elements;
  const EclipseEvents& events;
  int resolution;
  EclipseScratch& scratch;
  CurveSet& curves;
};

}  // namespace darvelle
