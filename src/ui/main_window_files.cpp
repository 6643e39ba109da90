// The File menu's saves and exports: the map (with or without its legend),
// the sheet as PostScript or PDF, the report and curve files, KML and
// GeoJSON. Each asks for a path, copies what the map shown needs, and
// writes on a worker while the window goes on; the status bar shows that a
// file is being written, and a failure is reported naming the file and why.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QtConcurrent/QtConcurrentRun>

#include "ui/control_factory.h"
#include "ui/main_window.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

// The folder a dialog opens in: the last one used while it still exists,
// otherwise the home folder.
QString StartFolder(const std::filesystem::path& settingsFolder) {
  const QString last = WindowSettings(settingsFolder).LastFolder();
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return QDir::homePath();
}

}  // namespace

void MainWindow::BuildFileItems(QMenu* file) {
  struct Item {
    SaveKind kind;
    const char* caption;  // English until the language's captions are applied
  };
  const Item items[] = {
      {SaveKind::Map, "&Save map as…"},
      {SaveKind::MapWithLegend, "Save map with &legend as…"},
      {SaveKind::Sheet, "Save s&heet as (PDF, PostScript)…"},
      {SaveKind::ReportFolder, "Save &report and curve files to a folder…"},
      {SaveKind::Kml, "Export &KML…"},
      {SaveKind::GeoJson, "Export &GeoJSON…"},
  };
  for (const Item& item : items) {
    if (item.kind == SaveKind::Kml) file->addSeparator();
    QAction* action = file->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QString::fromLatin1(MenuItemName(item.kind)));
    const SaveKind kind = item.kind;
    connect(action, &QAction::triggered, this, [this, kind] { SaveAs(kind); });
    if (kind == SaveKind::Map) action->setShortcut(QKeySequence::Save);
  }
  file->addSeparator();
}

bool MainWindow::IsSaving() const { return saves_.Running() > 0; }

void MainWindow::SaveAs(SaveKind kind) {
  const Language language = UiLanguage();
  const std::shared_ptr<const SessionResult> shown = session_->Current();
  if (shown == nullptr) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), NothingToSaveText(language));
    return;
  }
  const FileQuestion question =
      QuestionFor(kind, language, StartFolder(options_.settingsFolder), *shown->computation);
  const FileAnswer answer = fileAsker_(this, question);
  if (answer.path.isEmpty()) return;  // cancelled

  SaveJob job;
  job.kind = kind;
  job.target = TargetFor(kind, answer);
  job.shown = shown;
  job.renderer = std::make_shared<const MapRenderer>(*shown->renderer);
  job.legendTitle = LegendTitle(*shown->computation);
  job.language = language;
  // The folder is remembered even when the save fails: the user chose it,
  // and will most likely mend it and try again there.
  const QString folder = kind == SaveKind::ReportFolder
                             ? answer.path
                             : QFileInfo(QString::fromStdString(job.target.path.string())).absolutePath();
  WindowSettings remembered(options_.settingsFolder);
  if (!remembered.SetLastFolder(folder)) ReportSettingsProblem(remembered.Problem());

  auto* watcher = new QFutureWatcher<QString>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job] {
    const QString failure = watcher->result();
    watcher->deleteLater();
    FinishSave(job, failure);
  });
  // Files have the map as the exit files do, without the halos the
  // window's globe draws under the curves.
  const QFuture<QString> future =
      QtConcurrent::run(&workers_, [job, texture = texture_, coastlines = coastlines_]() mutable {
        try {
          auto plain = std::make_shared<MapRenderer>(*job.renderer);
          RedrawForFiles(*plain, *job.shown, texture, AwaitCoastlines(coastlines),
                         FileLayers::kAsShown);
          job.renderer = std::move(plain);
        } catch (const std::exception& e) {
          return FromStd(e.what());  // nothing may cross into the pool
        }
        return RunSaveJob(job);
      });
  saves_.Add(future);
  watcher->setFuture(future);
  statusBar_->ShowSaving(QString::fromStdString(job.target.path.filename().string()), UiLanguage());
}

void MainWindow::FinishSave(const SaveJob& job, const QString& failure) {
  const QString path = QString::fromStdString(job.target.path.string());
  if (failure.isEmpty()) {
    if (!IsSaving()) {
      statusBar_->ShowSaved(QString::fromStdString(job.target.path.filename().string()), UiLanguage());
    }
  } else {
    if (!IsSaving()) statusBar_->HideSaveNote();
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                SaveFailedText(job.kind, path, failure, UiLanguage()));
  }
  emit saveFinished(path, failure.isEmpty());
  // A close asked for during the save waits for this.
  if (!IsSaving() && !IsBusy()) emit becameIdle();
}

}  // namespace darvelle::ui
