#pragma once
// The observer the window shows the eclipse for: the one place, chosen by a
// click on the globe or from the search, remembered in the window's settings
// file for the next run. The local-circumstances dock, the globe's marker and
// the visible-eclipses list are views of it.

#include <QObject>
#include <QString>
#include <filesystem>
#include <optional>

#include "ui/local_texts.h"

namespace darvelle::ui {

class ObserverModel : public QObject {
  Q_OBJECT

 public:
  // settingsFolder: the folder of the window's settings file.
  explicit ObserverModel(std::filesystem::path settingsFolder, QObject* parent = nullptr);

  const std::optional<ObserverPlace>& place() const { return place_; }

  // The place an earlier run remembered, if any: placeRestored follows.
  void restore();
  // The user's choice, remembered at once: placeChosen follows, and
  // settingsProblem when it could not be remembered.
  void choose(const ObserverPlace& place);

 signals:
  void placeRestored(const darvelle::ui::ObserverPlace& place);
  // `moved`: false when only the name changed (the same city at the same
  // point, named in another language).
  void placeChosen(const darvelle::ui::ObserverPlace& place, bool moved);
  void settingsProblem(const QString& why);

 private:
  std::filesystem::path settingsFolder_;
  std::optional<ObserverPlace> place_;
};

}  // namespace darvelle::ui
