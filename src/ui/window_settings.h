#pragma once
// The window's own remembered choices (the last folder of a file dialog,
// the observer's place, the window's geometry and dock layout), kept in
// "DarvelleWindow.ini" beside "Darvelle.ini". That file has a fixed
// 2,108-byte layout other programs read, so nothing new may go into it.
//
// Each call opens the file, reads or writes one value and syncs, so two
// WindowSettings on the same folder never disagree. The window's thread
// only: QSettings objects are not shared between threads.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <filesystem>
#include <optional>

namespace darvelle::ui {

inline constexpr const char* kWindowSettingsFileName = "DarvelleWindow.ini";

// A remembered observer: a name as the user chose it (may be empty for a
// clicked point), geographic latitude north positive and longitude east
// positive in degrees, height above sea level in metres.
struct RememberedPlace {
  QString name;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double heightM = 0;
};

class WindowSettings {
 public:
  // settingsFolder: the folder of "Darvelle.ini"; it is not created here.
  explicit WindowSettings(const std::filesystem::path& settingsFolder);

  const std::filesystem::path& FilePath() const { return file_; }

  // The folder the file dialogs start in; empty when none was used yet.
  QString LastFolder() const;
  void SetLastFolder(const QString& folder);

  // Empty when no place was chosen yet or the stored one is unusable
  // (latitude outside ±90°, longitude outside ±180°).
  std::optional<RememberedPlace> Place() const;
  void SetPlace(const RememberedPlace& place);
  void ForgetPlace();

  // QMainWindow::saveGeometry / saveState; empty when none was saved.
  QByteArray WindowGeometry() const;
  void SetWindowGeometry(const QByteArray& geometry);
  QByteArray DockState() const;
  void SetDockState(const QByteArray& state);

  // Any other value, for a choice that has no typed accessor yet; keys are
  // "group/name" as QSettings takes them.
  QVariant Value(const QString& key, const QVariant& fallback = {}) const;
  void SetValue(const QString& key, const QVariant& value);

 private:
  std::filesystem::path file_;
};

}  // namespace darvelle::ui
