#include "ui/window_settings.h"

#include <QSettings>
#include <sys/stat.h>

#include <cmath>

#include "io/atomic_file.h"

namespace darvelle::ui {
namespace {

const QString kLastFolder = QStringLiteral("files/lastFolder");
const QString kPlaceName = QStringLiteral("place/name");
const QString kPlaceLatitude = QStringLiteral("place/latitudeDeg");
const QString kPlaceLongitude = QStringLiteral("place/longitudeDeg");
const QString kPlaceHeight = QStringLiteral("place/heightM");
const QString kPlaceTimeZone = QStringLiteral("place/timeZone");
const QString kPlaceNearby = QStringLiteral("place/nearby");
const QString kPlaceCityId = QStringLiteral("place/cityId");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kDockState = QStringLiteral("window/dockState");
// The heights the local circumstances accept, in metres.
constexpr double kLowestHeightM = -500;
constexpr double kHighestHeightM = 10000;

}  // namespace

namespace {

QString Quoted(const std::filesystem::path& file) {
  return QStringLiteral("\"") + QString::fromStdString(file.string()) + QStringLiteral("\"");
}

// Why the file must not be opened; empty when it may (a missing file may).
// Links are followed, or refused, as for every file the program writes.
QString RefusalOf(const std::filesystem::path& file) {
  struct stat named {};
  if (::lstat(file.c_str(), &named) != 0) return {};
  const std::string refusal = WriteRefusal(file);
  struct stat info {};
  if (!refusal.empty() || ::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return QStringLiteral("The window's settings file %1 is not used: %2.")
        .arg(Quoted(file), refusal.empty() ? QStringLiteral("it is not a regular file")
                                           : QString::fromStdString(refusal));
  }
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxWindowSettingsBytes) {
    return QStringLiteral("The window's settings file %1 is not used: it holds %2 bytes, more "
                          "than such a file can hold.")
        .arg(Quoted(file))
        .arg(static_cast<qulonglong>(info.st_size));
  }
  return {};
}

}  // namespace

WindowSettings::WindowSettings(const std::filesystem::path& settingsFolder)
    : file_(settingsFolder / kWindowSettingsFileName), problem_(RefusalOf(file_)) {
  if (problem_.isEmpty()) {
    store_ = std::make_unique<QSettings>(QString::fromStdString(file_.string()), QSettings::IniFormat);
  }
}

WindowSettings::~WindowSettings() = default;

bool WindowSettings::Saved() {
  if (!store_) return false;
  store_->sync();
  if (store_->status() == QSettings::NoError) return true;
  problem_ = QStringLiteral("The window's settings cannot be saved in %1.").arg(Quoted(file_));
  return false;
}

QVariant WindowSettings::Value(const QString& key, const QVariant& fallback) const {
  return store_ ? store_->value(key, fallback) : fallback;
}

bool WindowSettings::SetValue(const QString& key, const QVariant& value) {
  if (!store_) return false;
  store_->setValue(key, value);
  return Saved();
}

QString WindowSettings::LastFolder() const { return Value(kLastFolder).toString(); }
bool WindowSettings::SetLastFolder(const QString& folder) { return SetValue(kLastFolder, folder); }

std::optional<ObserverPlace> WindowSettings::Place() const {
  if (!store_) return std::nullopt;
  const QSettings& file = *store_;
  if (!file.contains(kPlaceLatitude) || !file.contains(kPlaceLongitude)) return std::nullopt;
  bool latOk = false;
  bool lonOk = false;
  bool heightOk = true;
  ObserverPlace place;
  place.name = file.value(kPlaceName).toString();
  place.latitudeDeg = file.value(kPlaceLatitude).toDouble(&latOk);
  place.longitudeDeg = file.value(kPlaceLongitude).toDouble(&lonOk);
  if (file.contains(kPlaceHeight)) place.heightM = file.value(kPlaceHeight).toDouble(&heightOk);
  // A hand-edited or damaged file must not put the observer off the Earth.
  if (!latOk || !lonOk || !heightOk || !std::isfinite(place.latitudeDeg) ||
      !std::isfinite(place.longitudeDeg) || !std::isfinite(place.heightM) ||
      std::abs(place.latitudeDeg) > 90 || std::abs(place.longitudeDeg) > 180 ||
      place.heightM < kLowestHeightM || place.heightM > kHighestHeightM) {
    return std::nullopt;
  }
  // A huge name would squeeze the globe to make room for it; the other
  // texts a damaged file could make huge are cut like it.
  place.name.truncate(kMaxPlaceNameLength);
  place.timeZone = file.value(kPlaceTimeZone).toString().left(kMaxPlaceNameLength);
  place.nearby = file.value(kPlaceNearby).toString().left(kMaxPlaceNameLength);
  place.cityId = file.value(kPlaceCityId).toString().left(kMaxPlaceNameLength);
  return place;
}

bool WindowSettings::SetPlace(const ObserverPlace& place) {
  if (!store_) return false;
  store_->setValue(kPlaceName, place.name);
  store_->setValue(kPlaceLatitude, place.latitudeDeg);
  store_->setValue(kPlaceLongitude, place.longitudeDeg);
  store_->setValue(kPlaceHeight, place.heightM);
  store_->setValue(kPlaceTimeZone, place.timeZone);
  store_->setValue(kPlaceNearby, place.nearby);
  store_->setValue(kPlaceCityId, place.cityId);
  return Saved();
}

bool WindowSettings::ForgetPlace() {
  if (!store_) return false;
  store_->remove(QStringLiteral("place"));
  return Saved();
}

QByteArray WindowSettings::WindowGeometry() const { return Value(kGeometry).toByteArray(); }
bool WindowSettings::SetWindowGeometry(const QByteArray& geometry) { return SetValue(kGeometry, geometry); }
QByteArray WindowSettings::DockState() const { return Value(kDockState).toByteArray(); }
bool WindowSettings::SetDockState(const QByteArray& state) { return SetValue(kDockState, state); }

}  // namespace darvelle::ui
