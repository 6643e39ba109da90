#include "ui/observer_model.h"

#include <utility>

#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

// Beside the typed place of WindowSettings: what the local times need.
const QString kPlaceTimeZone = QStringLiteral("place/timeZone");
const QString kPlaceNearby = QStringLiteral("place/nearby");
const QString kPlaceCityId = QStringLiteral("place/cityId");

constexpr std::size_t kMaxPreviousPlaces = 20;

}  // namespace

ObserverModel::ObserverModel(std::filesystem::path settingsFolder, QObject* parent)
    : QObject(parent), settingsFolder_(std::move(settingsFolder)) {}

void ObserverModel::restore() {
  const WindowSettings stored(settingsFolder_);
  const std::optional<RememberedPlace> remembered = stored.Place();
  if (!remembered) return;
  ObserverPlace place;
  place.name = remembered->name;
  place.latitudeDeg = remembered->latitudeDeg;
  place.longitudeDeg = remembered->longitudeDeg;
  place.heightM = remembered->heightM;
  // Texts a damaged file could make huge are cut like the name.
  place.timeZone = stored.Value(kPlaceTimeZone).toString().left(kMaxPlaceNameLength);
  place.nearby = stored.Value(kPlaceNearby).toString().left(kMaxPlaceNameLength);
  place.cityId = stored.Value(kPlaceCityId).toString().left(kMaxPlaceNameLength);
  place_ = place;
  emit placeRestored(place);
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
  const bool saved =
      stored.SetPlace({place.name, place.latitudeDeg, place.longitudeDeg, place.heightM}) &&
      stored.SetValue(kPlaceTimeZone, place.timeZone) && stored.SetValue(kPlaceNearby, place.nearby) &&
      stored.SetValue(kPlaceCityId, place.cityId);
  if (!saved) emit settingsProblem(stored.Problem());
}

}  // namespace darvelle::ui
