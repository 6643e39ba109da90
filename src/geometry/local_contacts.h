#pragma once
// The searches of one place's circumstances: the closest approach, the
// maximum, the contacts and the Sun's horizon crossings between them.
// Internal to src/geometry (local_contacts.cpp).

#include <optional>

#include "geometry/local_circumstances.h"
#include "geometry/local_shadow.h"

namespace darvelle::local_detail {

double FirstEstimate(const BesselianElements& eclipse);
double FindClosestApproach(const ShadowModel& model, double start,
                           double toleranceHours = kTimeToleranceHours);
double FindMaximum(const ShadowModel& model, double closest);
std::optional<double> FindContact(const ShadowModel& model, double maximum, int direction,
                                  Shade shade);
LocalEvent EventAt(const ShadowModel& model, double t, std::optional<Shade> contactShade);
// The Sun's rising and setting between C1 and C4, and what of the eclipse is
// seen: C1 and C4 must be set.
void ClassifyVisibility(const ShadowModel& model, LocalCircumstances& local);

}  // namespace darvelle::local_detail
