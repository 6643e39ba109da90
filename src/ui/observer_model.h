#pragma once
// The observer the window shows the eclipse for: the one place, chosen by a
// click on the globe or from the search, remembered in the window's settings
// file for the next run; the places chosen before it can be taken back. The local-circumstances dock, the globe's marker and
// the visible-eclipses list are views of it.

#include <QObject>
#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

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
  // The place chosen before the current one, back as if chosen again:
  // placeChosen follows. Nothing when there is none.
  void choosePrevious();
  bool hasPrevious() const { return !previous_.empty(); }

 signals:
  void placeRestored(const darvelle::ui::ObserverPlace& place);
  // `moved`: false when only the name changed (the same city at the same
  // point, named in another language).
  void placeChosen(const darvelle::ui::ObserverPlace& place, bool moved);
  void settingsProblem(const QString& why);
  void previousAvailable(bool available);

 private:
  std::filesystem::path settingsFolder_;
  std::optional<ObserverPlace> place_;
  // The places chosen before, the latest last; a few are enough to take
  // back a slip of the mouse or two.
  std::vector<ObserverPlace> previous_;

  void Remember(const ObserverPlace& place);
};

}  // namespace darvelle::ui
