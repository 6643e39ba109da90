#pragma once
// The File menu's saves and exports: the map (with or without its legend),
// the sheet as PostScript or PDF, the report and curve files, KML and
// GeoJSON. Each asks for a path, copies what the map shown needs, and
// writes on a worker while the window goes on; the status bar shows that a
// file is being written, and a failure is reported naming the file and why.

#include <QMessageBox>
#include <QObject>
#include <filesystem>

#include "ui/data_loads.h"
#include "ui/save_actions.h"

class QMenu;
class QThreadPool;
class QWidget;

namespace darvelle::ui {

class EclipseSession;
class WindowStatusBar;

class SaveController : public QObject {
  Q_OBJECT

 public:
  // What the saves read and where they run; all outlive the controller.
  struct Context {
    EclipseSession& session;   // the map shown, and the window's language
    QThreadPool& workers;
    const TextureFuture& texture;
    const CoastlineFuture& coastlines;
    std::filesystem::path settingsFolder;  // where the last folder used is remembered
    WindowStatusBar& statusBar;
    QWidget& dialogParent;
  };

  explicit SaveController(Context context);

  // The File menu's save and export items, appended to `file`.
  void AddMenuItems(QMenu* file);
  // How a path is asked for (a QFileDialog unless told otherwise).
  void SetFileAsker(FileAsker asker) { fileAsker_ = std::move(asker); }
  // True while a save or export is writing.
  bool IsSaving() const { return saves_.Running() > 0; }
  void SaveAs(SaveKind kind);

 signals:
  // A save has ended: the file or folder, and whether it was written (a
  // failure has been reported).
  void finished(const QString& path, bool written);
  void message(QMessageBox::Icon icon, const QString& title, const QString& text);
  // The last folder could not be remembered.
  void settingsProblem(const QString& problem);

 private:
  void Finish(const SaveJob& job, const QString& failure);

  Context context_;
  FileAsker fileAsker_ = AskWithFileDialog;
  SavesInFlight saves_;  // waited for on the way out
};

}  // namespace darvelle::ui
