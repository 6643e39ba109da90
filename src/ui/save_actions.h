#pragma once
// What the File menu saves and exports, apart from the window: the file
// dialog's question and the answer it takes, the names it suggests, the
// texts in the window's three languages, and the job that writes one file
// (or one folder) from a snapshot of the map shown. A job runs on a worker
// and touches nothing the window's thread uses; every file goes through
// the one atomic writer, so a failure leaves an earlier file of that name
// as it was.

#include <QFuture>
#include <QImage>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "render/map.h"
#include "ui/eclipse_session.h"
#include "catalogue/language.h"

class QWidget;

namespace darvelle::ui {

enum class SaveKind {
  Map,            // the map drawing: PNG, JPEG or BMP
  MapWithLegend,  // title, date and view lines around the map, and the colour key beside it
  Sheet,          // the map sheet: PostScript, or PDF through Ghostscript
  ReportFolder,   // the reports, "Eckpunkt.txt" and the curve files, into a folder
  Kml,
  GeoJson,
};

// What the file dialog is asked. `filters` is empty for a folder.
struct FileQuestion {
  SaveKind kind = SaveKind::Map;
  QString title;
  QString startPath;  // the folder, and for a file the suggested name in it
  QStringList filters;
  QString selectedFilter;
};

// The path chosen (empty when the user cancelled) and the filter it was
// chosen with, which gives the format when the name has no known suffix.
struct FileAnswer {
  QString path;
  QString filter;
};

// Asks for the path; the window shows a QFileDialog, tests answer at once.
using FileAsker = std::function<FileAnswer(QWidget* parent, const FileQuestion& question)>;

// The QFileDialog that the window asks with unless told otherwise.
FileAnswer AskWithFileDialog(QWidget* parent, const FileQuestion& question);

// The question for `kind` in `language`: title, filters, and the start path
// in `folder` with a suggested name such as "eclipse-2024-04-08.png".
FileQuestion QuestionFor(SaveKind kind, Language language, const QString& folder,
                         const EclipseResult& eclipse);

// "eclipse-2024-04-08", "eclipse--0584-05-28" (astronomical year numbering).
QString SuggestedBaseName(const EclipseResult& eclipse);

// The file to write and its format ("PNG", "JPEG", "BMP", "PS", "PDF",
// "KML", "GEOJSON"; empty for the report folder). A known suffix of the
// name decides the format; otherwise the chosen filter's suffix is appended.
struct SaveTarget {
  std::filesystem::path path;
  QString format;
};
SaveTarget TargetFor(SaveKind kind, const FileAnswer& answer);

// The menu item's caption (objectName in MenuItemName) in `language`.
const char* MenuItemName(SaveKind kind);

// Texts of the messages, in `language`.
QString NothingToSaveText(Language language);
QString SaveFailedText(SaveKind kind, const QString& path, const QString& cause, Language language);
QString SavingText(const QString& fileName, Language language);
QString SavedText(const QString& fileName, Language language);

// Everything one job needs, copied on the window's thread.
struct SaveJob {
  SaveKind kind = SaveKind::Map;
  SaveTarget target;
  std::shared_ptr<const SessionResult> shown;
  // A copy of the shown renderer made on the window's thread, which may
  // rescale its own display image on a resize while the job runs.
  std::shared_ptr<const MapRenderer> renderer;
  QString legendTitle;  // the eclipse's kind as the window names it
  Language language = kEnglish;
};

// Writes the job's file or folder. Returns the cause of a failure (naming
// the file), empty on success. Runs on any thread.
QString RunSaveJob(const SaveJob& job);

// The legend picture of `renderer`'s last drawing (ComposeLegendImage) with
// the colour key of every curve and marker beside it, on its right.
QImage MapWithLegendImage(MapRenderer renderer, const EclipseResult& eclipse,
                          const QString& title, const ViewEditTexts& edits, int penWidth,
                          Language language);

// The jobs still writing; waits for them when it goes, so that a window
// closed during a save still leaves the whole file.
class SavesInFlight {
 public:
  SavesInFlight() = default;
  SavesInFlight(const SavesInFlight&) = delete;
  SavesInFlight& operator=(const SavesInFlight&) = delete;
  ~SavesInFlight();
  void Add(QFuture<QString> job);
  int Running() const;

 private:
  std::vector<QFuture<QString>> jobs_;
};

}  // namespace darvelle::ui
