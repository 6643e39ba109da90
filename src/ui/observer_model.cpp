#include "ui/observer_model.h"

#include <utility>

#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

constexpr std::size_t kMaxPreviousPlaces = 20;

}  // namespace

ObserverModel::ObserverModel(std::filesystem::path settingsFolder, QObject* parent)
    : QObject(parent), settingsFolder_(std::move(settingsFolder)) {}

void ObserverModel::restore() {
  place_ = WindowSettings(settingsFolder_).Place();
  if (place_) emit placeRestored(*place_);
}

void ObserverModel::choose(const ObserverPlace& place) {
  const bool newSpot = !place_ || place_->latitudeDeg != place.latitudeDeg ||
                       place_->longitudeDeg != place.longitudeDeg;
  const bool moved = newSpot || place_->cityId != place.cityId;
  // A new name for the same point (a click's place once its town is known)
  // is no new choice to take back.
  if (newSpot && place_) {
    if (previous_.size() == kMaxPreviousPlaces) previous_.erase(previous_.begin());
    previous_.push_back(*place_);
    if (previous_.size() == 1) emit previousAvailable(true);
  }
  place_ = place;
  emit placeChosen(place, moved);
  Remember(place);
}

void ObserverModel::choosePrevious() {
  if (previous_.empty()) return;
  place_ = previous_.back();
  previous_.pop_back();
  if (previous_.empty()) emit previousAvailable(false);
  emit placeChosen(*place_, true);
  Remember(*place_);
}

void ObserverModel::Remember(const ObserverPlace& place) {
  WindowSettings stored(settingsFolder_);
  if (!stored.SetPlace(place)) emit settingsProblem(stored.Problem());
}

}  // namespace darvelle::ui
