#pragma once
// The user's choices carried from one run to the next in the settings file
// "Darvelle.ini": the eclipse, the time scale, the view and the language.
// Read at start-up into the first SessionState, written back at the close.
// The file's bytes a run does not use (its version text, the reserved
// block) are kept as read. No widget here: what the user must be told comes
// back as text for the window to show.

#include <QString>
#include <QStringList>
#include <filesystem>

#include "catalogue/settings.h"
#include "ui/eclipse_session.h"

namespace darvelle::ui {

class SessionSettings {
 public:
  // The file `folder`/Darvelle.ini of a program of `version`.
  SessionSettings(const std::filesystem::path& folder, const std::string& version);

  struct Restored {
    SessionState state;
    // Warnings to show, in order: a damaged file, values out of range.
    QStringList warnings;
    // The file cannot be kept: no choice of this run will be remembered.
    QString problem;
  };
  // The state the last run left, or that of a first start (German, the start
  // eclipse, UT), which also writes the new file.
  Restored Restore(int catalogueCount);

  // Writes `state` into an existing file, the angles as `typedAngles` (the
  // edits as the user left them) and the globe size last drawn. Returns the
  // failure, empty on success; a file deleted meanwhile is not made again.
  QString Save(const SessionState& state, const ViewParameters& typedAngles, int drawnGlobeSize) const;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  Settings settings_;  // as read, or new
};

}  // namespace darvelle::ui
