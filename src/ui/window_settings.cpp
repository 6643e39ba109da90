#include "ui/window_settings.h"

#include <QSettings>
#include <cmath>

namespace darvelle::ui {
namespace {

const QString kLastFolder = QStringLiteral("files/lastFolder");
const QString kPlaceName = QStringLiteral("place/name");
const QString kPlaceLatitude = QStringLiteral("place/latitudeDeg");
const QString kPlaceLongitude = QStringLiteral("place/longitudeDeg");
const QString kPlaceHeight = QStringLiteral("place/heightM");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kDockState = QStringLiteral("window/dockState");

}  // namespace

WindowSettings::WindowSettings(const std::filesystem::path& settingsFolder)
    : file_(settingsFolder / kWindowSettingsFileName) {}

QVariant WindowSettings::Value(const QString& key, const QVariant& fallback) const {
  const QSettings file(QString::fromStdString(file_.string()), QSettings::IniFormat);
  return file.value(key, fallback);
}

void WindowSettings::SetValue(const QString& key, const QVariant& value) {
  QSettings file(QString::fromStdString(file_.string()), QSettings::IniFormat);
  file.setValue(key, value);
  file.sync();
}

QString WindowSettings::LastFolder() const { return Value(kLastFolder).toString(); }
void WindowSettings::SetLastFolder(const QString& folder) { SetValue(kLastFolder, folder); }

std::optional<RememberedPlace> WindowSettings::Place() const {
  const QSettings file(QString::fromStdString(file_.string()), QSettings::IniFormat);
  if (!file.contains(kPlaceLatitude) || !file.contains(kPlaceLongitude)) return std::nullopt;
  bool latOk = false;
  bool lonOk = false;
  bool heightOk = true;
  RememberedPlace place;
  place.name = file.value(kPlaceName).toString();
  place.latitudeDeg = file.value(kPlaceLatitude).toDouble(&latOk);
  place.longitudeDeg = file.value(kPlaceLongitude).toDouble(&lonOk);
  if (file.contains(kPlaceHeight)) place.heightM = file.value(kPlaceHeight).toDouble(&heightOk);
  // A hand-edited or damaged file must not put the observer off the Earth.
  if (!latOk || !lonOk || !heightOk || !std::isfinite(place.latitudeDeg) ||
      !std::isfinite(place.longitudeDeg) || !std::isfinite(place.heightM) ||
      std::abs(place.latitudeDeg) > 90 || std::abs(place.longitudeDeg) > 180) {
    return std::nullopt;
  }
  return place;
}

void WindowSettings::SetPlace(const RememberedPlace& place) {
  QSettings file(QString::fromStdString(file_.string()), QSettings::IniFormat);
  file.setValue(kPlaceName, place.name);
  file.setValue(kPlaceLatitude, place.latitudeDeg);
  file.setValue(kPlaceLongitude, place.longitudeDeg);
  file.setValue(kPlaceHeight, place.heightM);
  file.sync();
}

void WindowSettings::ForgetPlace() {
  QSettings file(QString::fromStdString(file_.string()), QSettings::IniFormat);
  file.remove(QStringLiteral("place"));
  file.sync();
}

QByteArray WindowSettings::WindowGeometry() const { return Value(kGeometry).toByteArray(); }
void WindowSettings::SetWindowGeometry(const QByteArray& geometry) { SetValue(kGeometry, geometry); }
QByteArray WindowSettings::DockState() const { return Value(kDockState).toByteArray(); }
void WindowSettings::SetDockState(const QByteArray& state) { SetValue(kDockState, state); }

}  // namespace darvelle::ui
