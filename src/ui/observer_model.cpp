#include "ui/observer_model.h"

#include <utility>

#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

// Beside the typed place of WindowSettings: what the local times need.
const QString kPlaceTimeZone = QStringLiteral("place/timeZone");
const QString kPlaceNearby = QStringLiteral("place/nearby");
const QString kPlaceCityId = QStringLiteral("place/cityId");

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
  const bool moved = !place_ || place_->cityId != place.cityId ||
                     place_->latitudeDeg != place.latitudeDeg ||
                     place_->longitudeDeg != place.longitudeDeg;
  place_ = place;
  emit placeChosen(place, moved);
  WindowSettings stored(settingsFolder_);
  const bool saved =
      stored.SetPlace({place.name, place.latitudeDeg, place.longitudeDeg, place.heightM}) &&
      stored.SetValue(kPlaceTimeZone, place.timeZone) && stored.SetValue(kPlaceNearby, place.nearby) &&
      stored.SetValue(kPlaceCityId, place.cityId);
  if (!saved) emit settingsProblem(stored.Problem());
}

}  // namespace darvelle::ui
