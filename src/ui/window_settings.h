#pragma once
// The window's own remembered choices (the last folder of a file dialog,
// the observer's place, the window's geometry and dock layout), kept in
// "DarvelleWindow.ini" beside "Darvelle.ini". That file has a fixed
// 2,108-byte layout other programs read, so nothing new may go into it.
//
// The file is read once, when a WindowSettings is made, and written at once
// by each setter. Anything but a regular file under its name (a pipe would
// keep the window from ever appearing), or a file larger than the window
// ever writes, is not touched: the window then starts from its defaults and
// Problem() says why. The window's thread only: QSettings objects are not
// shared between threads.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <filesystem>
#include <memory>
#include <optional>

#include "ui/observer_place.h"

class QSettings;

namespace darvelle::ui {

inline constexpr const char* kWindowSettingsFileName = "DarvelleWindow.ini";
// Far more than the window writes (a few kilobytes of layout and a place).
inline constexpr std::uintmax_t kMaxWindowSettingsBytes = 1 << 20;
// A stored place name beyond this is cut: the longest names of places on
// Earth have fewer than 200 characters.
inline constexpr int kMaxPlaceNameLength = 200;
// The map's optional layers the Option menu turns on, remembered between runs.
inline constexpr const char* kDeltaTBandKey = "Map/deltaTBand";
inline constexpr const char* kTownDurationsKey = "Map/townDurations";
inline constexpr const char* kTownNamesKey = "Map/townNames";
inline constexpr const char* kBordersKey = "Map/borders";
inline constexpr const char* kPathBandKey = "Map/pathBand";

class WindowSettings {
 public:
  // settingsFolder: the folder of "Darvelle.ini"; it is not created here.
  explicit WindowSettings(const std::filesystem::path& settingsFolder);
  ~WindowSettings();

  const std::filesystem::path& FilePath() const { return file_; }
  // Why the file is not read, or why the last change was not saved; empty
  // while all is well.
  QString Problem() const { return problem_; }

  // The folder the file dialogs start in; empty when none was used yet.
  QString LastFolder() const;
  // Each setter saves at once; false when that failed (see Problem()).
  bool SetLastFolder(const QString& folder);

  // Empty when no place was chosen yet or the stored one is unusable
  // (latitude outside ±90°, longitude outside ±180°, a height outside
  // -500 .. 10,000 m). A name, zone or nearby town longer than
  // kMaxPlaceNameLength is cut.
  std::optional<ObserverPlace> Place() const;
  bool SetPlace(const ObserverPlace& place);
  bool ForgetPlace();

  // QMainWindow::saveGeometry / saveState; empty when none was saved.
  QByteArray WindowGeometry() const;
  bool SetWindowGeometry(const QByteArray& geometry);
  QByteArray DockState() const;
  bool SetDockState(const QByteArray& state);

  // Any other value, for a choice that has no typed accessor yet; keys are
  // "group/name" as QSettings takes them.
  QVariant Value(const QString& key, const QVariant& fallback = {}) const;
  bool SetValue(const QString& key, const QVariant& value);

 private:
  bool Saved();

  std::filesystem::path file_;
  std::unique_ptr<QSettings> store_;  // null when the file is not touched
  QString problem_;
};

}  // namespace darvelle::ui
