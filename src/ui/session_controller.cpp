#include "ui/session_controller.h"

#include <algorithm>
#include <utility>

#include "catalogue/selection.h"
#include "catalogue/settings.h"
#include "geometry/timed_outlines.h"
#include "ui/control_factory.h"

namespace darvelle::ui {

SessionController::SessionController(const Catalogue& catalogue,
                                     std::function<const SessionState&()> current,
                                     std::function<void(const SessionState&)> send)
    : catalogue_(catalogue), current_(std::move(current)), send_(std::move(send)) {}

void SessionController::Send(const std::function<void(SessionState&)>& change) {
  SessionState next = current_();
  change(next);
  send_(next);
}

void SessionController::ChooseEclipse(int index) {
  Send([&](SessionState& next) {
    if (next.index != index) next.userDeltaT.reset();
    next.index = index;
  });
}

int SessionController::ChooseYear(long long year) {
  const int clamped = ClampYear(year);
  ChooseEclipse(FindFirstOfYear(catalogue_, clamped));
  return clamped;
}

void SessionController::StepTo(int index) {
  if (index == current_().index) return;  // the step would leave the catalogue
  Send([&](SessionState& next) {
    next.index = index;
    next.userDeltaT.reset();
    next.view.Resolution = 1;
  });
}

void SessionController::StepCatalogue(int step) {
  StepTo(darvelle::StepCatalogue(catalogue_, current_().index, step));
}

void SessionController::StepSaros(int members) {
  StepTo(darvelle::StepSaros(catalogue_, current_().index, members));
}

bool SessionController::ChooseSaros(int saros) {
  const auto first = FindFirstOfSaros(catalogue_, saros);
  if (first) ChooseEclipse(*first);
  return first.has_value();
}

void SessionController::SetAngle(double ViewParameters::*angle, double degrees) {
  Send([&](SessionState& next) { next.view.*angle = AsShownWithOneDecimal(degrees); });
}

void SessionController::SetGlobeSize(int size) {
  Send([&](SessionState& next) { next.view.RK = std::clamp(size, kMinGlobeSize, kMaxGlobeSize); });
}

void SessionController::StepGlobeSize(int from, int step) {
  const long long moved = static_cast<long long>(from) + step;
  Send([&](SessionState& next) {
    next.view.RK = static_cast<int>(step < 0 ? std::max<long long>(kMinGlobeSize, moved)
                                             : std::min<long long>(kMaxGlobeSize, moved));
  });
}

bool SessionController::TurnTo(const ViewParameters& view) {
  const ViewParameters& now = current_().view;
  // The angles as the edits show them, as the buttons write them.
  const double psi = AsShownWithOneDecimal(view.Psi);
  const double phi = AsShownWithOneDecimal(view.Phi);
  const double chi = AsShownWithOneDecimal(view.Chi);
  if (psi == now.Psi && phi == now.Phi && chi == now.Chi && view.RK == now.RK) return false;
  Send([&](SessionState& next) {
    next.view.Psi = psi;
    next.view.Phi = phi;
    next.view.Chi = chi;
    next.view.RK = view.RK;
  });
  return true;
}

void SessionController::ResetView() {
  Send([](SessionState& next) {
    next.view.Psi = next.view.Phi = next.view.Chi = 0.0;
    next.view.RK = kDefaultGlobeSize;
  });
}

void SessionController::ChooseProjection(bool stereographic) {
  Send([&](SessionState& next) { next.view.Stereographic = stereographic; });
}

void SessionController::ChooseColoredEarth(bool colored) {
  Send([&](SessionState& next) { next.view.ColoredEarth = colored; });
}

void SessionController::ChooseResolution(int resolution) {
  Send([&](SessionState& next) { next.view.Resolution = resolution; });
}

void SessionController::ChoosePenWidth(int penWidth) {
  Send([&](SessionState& next) { next.view.PenWidth = std::clamp(penWidth, 1, 3); });
}

void SessionController::ChooseLanguage(Language language) {
  Send([&](SessionState& next) { next.language = language; });
}

void SessionController::ChooseDeltaT(std::optional<double> seconds) {
  Send([&](SessionState& next) { next.userDeltaT = seconds; });
}

void SessionController::ShowDeltaTBand(bool shown) {
  Send([&](SessionState& next) { next.deltaTBand = shown; });
}

void SessionController::ShowTownDurations(bool shown) {
  Send([&](SessionState& next) { next.townDurations = shown; });
}

void SessionController::ShowTownNames(bool shown) {
  Send([&](SessionState& next) { next.townNames = shown; });
}

void SessionController::ShowBorders(bool shown) {
  Send([&](SessionState& next) { next.borders = shown; });
}

void SessionController::ShowPathBand(bool shown) {
  Send([&](SessionState& next) { next.pathBand = shown; });
}

void SessionController::ChoosePlace(std::optional<TownLabelCandidate> place) {
  // A point without a name after another, or the same place again: nothing to ask.
  if (current_().chosenPlace == place) return;
  Send([&](SessionState& next) { next.chosenPlace = std::move(place); });
}

void SessionController::ChooseUmbraOutlines(int minutes) {
  Send([&](SessionState& next) {
    next.umbraOutlineMinutes =
        minutes <= 0 ? 0 : std::clamp(minutes, kMinOutlineStepMinutes, kMaxOutlineStepMinutes);
  });
}

}  // namespace darvelle::ui
