#include "ui/save_controller.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMenu>
#include <QtConcurrent/QtConcurrentRun>

#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/eclipse_session.h"
#include "ui/window_settings.h"
#include "ui/window_status_bar.h"

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

SaveController::SaveController(Context context) : context_(std::move(context)) {}

void SaveController::AddMenuItems(QMenu* file) {
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

void SaveController::SaveAs(SaveKind kind) {
  const auto language = context_.session.State().language;
  const std::shared_ptr<const SessionResult> shown = context_.session.Current();
  if (shown == nullptr) {
    emit message(QMessageBox::Warning, QStringLiteral("Darvelle"), NothingToSaveText(language));
    return;
  }
  const FileQuestion question =
      QuestionFor(kind, language, StartFolder(context_.settingsFolder), *shown->computation);
  const FileAnswer answer = fileAsker_(&context_.dialogParent, question);
  if (answer.path.isEmpty()) return;  // cancelled

  SaveJob job;
  job.kind = kind;
  job.target = TargetFor(kind, answer);
  job.shown = shown;
  job.renderer = std::make_shared<const MapRenderer>(*shown->renderer);
  job.legendTitle = FromWindows1252(EclipseTypeName(shown->computation->elements.kind, language));
  job.language = language;
  // The folder is remembered even when the save fails: the user chose it,
  // and will most likely mend it and try again there.
  const QString folder = kind == SaveKind::ReportFolder
                             ? answer.path
                             : QFileInfo(QString::fromStdString(job.target.path.string())).absolutePath();
  WindowSettings remembered(context_.settingsFolder);
  if (!remembered.SetLastFolder(folder)) emit settingsProblem(remembered.Problem());

  auto* watcher = new QFutureWatcher<QString>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job] {
    const QString failure = watcher->result();
    watcher->deleteLater();
    Finish(job, failure);
  });
  // Files have the map as the exit files do, without the halos the
  // window's globe draws under the curves.
  const QFuture<QString> future = QtConcurrent::run(
      &context_.workers, [job, texture = context_.texture, coastlines = context_.coastlines]() mutable {
        try {
          auto plain = std::make_shared<MapRenderer>(*job.renderer);
          RedrawForFiles(*plain, *job.shown, texture, AwaitCoastlines(coastlines), FileLayers::kAsShown);
          job.renderer = std::move(plain);
        } catch (const std::exception& e) {
          return FromStd(e.what());  // nothing may cross into the pool
        }
        return RunSaveJob(job);
      });
  saves_.Add(future);
  watcher->setFuture(future);
  context_.statusBar.ShowSaving(QString::fromStdString(job.target.path.filename().string()), language);
}

void SaveController::Finish(const SaveJob& job, const QString& failure) {
  const QString path = QString::fromStdString(job.target.path.string());
  const auto language = context_.session.State().language;
  if (failure.isEmpty()) {
    if (!IsSaving()) {
      context_.statusBar.ShowSaved(QString::fromStdString(job.target.path.filename().string()), language);
    }
  } else {
    if (!IsSaving()) context_.statusBar.HideSaveNote();
    emit message(QMessageBox::Critical, QStringLiteral("Darvelle"),
                 SaveFailedText(job.kind, path, failure, language));
  }
  emit finished(path, failure.isEmpty());
}

}  // namespace darvelle::ui
