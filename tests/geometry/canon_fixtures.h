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

inline std::unique_ptr<EclipseComputation> WithEvents(const EclipseRecord& record,
                                                      int resolution = 1) {
  auto c = std::make_unique<EclipseComputation>();
  PrepareEclipse(*c, record, false, resolution);
  ComputeGeneralCircumstances(*c);
  return c;
}

}  // namespace darvelle::testing
