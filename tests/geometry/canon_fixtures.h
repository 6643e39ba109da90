#pragma once
// What the curve tests share: the canon sample (a failure when it is absent)
// and a computation that has run the general circumstances only, so a test
// can call one curve builder on its own.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "canon_sample.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_computation.h"

namespace darvelle::testing {

inline std::vector<CanonEclipse> RequireCanonSample() {
  auto sample = LoadCanonSample(CanonSamplePath());
  if (sample.empty()) ADD_FAILURE() << "canon sample missing: " << CanonSamplePath();
  return sample;
}

// An eclipse whose general circumstances are found and whose curves are not
// traced yet, with the work areas a curve builder needs; it is the builder's
// tracer wherever one is asked for.
struct EventsOnly : EclipseResult {
  EclipseScratch scratch;
  operator CurveTracer() { return {elements, circumstances.events, resolution, scratch, curves}; }
};

inline std::unique_ptr<EventsOnly> WithEvents(const EclipseRecord& record, int resolution = 1) {
  auto c = std::make_unique<EventsOnly>();
  static_cast<PreparedEclipse&>(*c) = PrepareEclipse(record, TimeScale::kTerrestrial, resolution);
  c->circumstances = FindCircumstances(c->elements, c->deltaT, c->scratch);
  return c;
}

}  // namespace darvelle::testing
