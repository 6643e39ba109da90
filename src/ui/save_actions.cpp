#include "ui/save_actions.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <span>

#include "astro/iso_time.h"
#include "export/geojson_export.h"
#include "export/kml_export.h"
#include "io/atomic_file.h"
#include "io/file_error.h"
#include "postscript/exit_files.h"
#include "postscript/map_sheet.h"
#include "postscript/pdf_export.h"
#include "render/image_file.h"
#include "reports/computation_files.h"
#include "ui/control_factory.h"
#include "ui/languages.h"
#include "ui/legend_panel.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;


struct KindTexts {
  SaveKind kind;
  const char* menuItem;        // objectName of the File menu item
  const char* title[3];        // the dialog's title
  const char* what[3];         // what could not be saved, for the failure message
};

constexpr KindTexts kKinds[] = {
    {SaveKind::Map, "SaveMap1",
     {"Karte speichern", "Save map", "Enregistrer la carte"},
     {"Die Karte konnte nicht als „%1“ gespeichert werden.",
      "The map could not be saved as “%1”.",
      "La carte n'a pas pu être enregistrée sous « %1 »."}},
    {SaveKind::MapWithLegend, "SaveMapLegend1",
     {"Karte mit Legende speichern", "Save map with legend", "Enregistrer la carte avec légende"},
     {"Die Karte mit Legende konnte nicht als „%1“ gespeichert werden.",
      "The map with its legend could not be saved as “%1”.",
      "La carte avec sa légende n'a pas pu être enregistrée sous « %1 »."}},
    {SaveKind::Sheet, "SaveSheet1",
     {"Kartenblatt speichern", "Save sheet", "Enregistrer la feuille"},
     {"Das Kartenblatt konnte nicht als „%1“ gespeichert werden.",
      "The sheet could not be saved as “%1”.",
      "La feuille n'a pas pu être enregistrée sous « %1 »."}},
    {SaveKind::ReportFolder, "SaveReports1",
     {"Ordner für Berichte und Kurvendateien wählen", "Choose a folder for the report and curve files",
      "Choisir un dossier pour les rapports et les fichiers de courbes"},
     {"Die Berichte und Kurvendateien konnten nicht in den Ordner „%1“ geschrieben werden.",
      "The report and curve files could not be written to the folder “%1”.",
      "Les rapports et les fichiers de courbes n'ont pas pu être écrits dans le dossier « %1 »."}},
    {SaveKind::Kml, "ExportKml1",
     {"Als KML exportieren", "Export KML", "Exporter en KML"},
     {"Die KML-Datei „%1“ konnte nicht geschrieben werden.",
      "The KML file “%1” could not be written.",
      "Le fichier KML « %1 » n'a pas pu être écrit."}},
    {SaveKind::GeoJson, "ExportGeoJson1",
     {"Als GeoJSON exportieren", "Export GeoJSON", "Exporter en GeoJSON"},
     {"Die GeoJSON-Datei „%1“ konnte nicht geschrieben werden.",
      "The GeoJSON file “%1” could not be written.",
      "Le fichier GeoJSON « %1 » n'a pas pu être écrit."}},
};

const KindTexts& TextsOf(SaveKind kind) {
  for (const KindTexts& k : kKinds) {
    if (k.kind == kind) return k;
  }
  return kKinds[0];
}

// One choice of a save dialog: its name in the three languages, the
// patterns, and the format it writes; the first pattern's suffix is the one
// appended to a name without a known suffix.
struct FormatChoice {
  const char* name[3];
  const char* patterns;
  const char* format;
};

constexpr FormatChoice kPictureFormats[] = {
    {{"PNG-Bild", "PNG image", "Image PNG"}, "*.png", "PNG"},
    {{"JPEG-Bild", "JPEG image", "Image JPEG"}, "*.jpg *.jpeg", "JPEG"},
    {{"BMP-Bild", "BMP image", "Image BMP"}, "*.bmp", "BMP"},
};
constexpr FormatChoice kSheetFormats[] = {
    {{"PDF-Dokument", "PDF document", "Document PDF"}, "*.pdf", "PDF"},
    {{"PostScript-Dokument", "PostScript document", "Document PostScript"}, "*.ps", "PS"},
};
constexpr FormatChoice kKmlFormats[] = {
    {{"KML (Google Earth)", "KML (Google Earth)", "KML (Google Earth)"}, "*.kml", "KML"},
};
constexpr FormatChoice kGeoJsonFormats[] = {
    {{"GeoJSON", "GeoJSON", "GeoJSON"}, "*.geojson *.json", "GEOJSON"},
};

std::span<const FormatChoice> FormatsOf(SaveKind kind) {
  switch (kind) {
    case SaveKind::Map:
    case SaveKind::MapWithLegend:
      return kPictureFormats;
    case SaveKind::Sheet:
      return kSheetFormats;
    case SaveKind::Kml:
      return kKmlFormats;
    case SaveKind::GeoJson:
      return kGeoJsonFormats;
    case SaveKind::ReportFolder:
      break;
  }
  return {};
}

QString FilterText(const FormatChoice& choice, Language language) {
  return QStringLiteral("%1 (%2)").arg(TextIn(choice.name, language), QString::fromLatin1(choice.patterns));
}

// "png" from "*.png *.jpeg".
QString FirstSuffix(const FormatChoice& choice) {
  return QString::fromLatin1(choice.patterns).section(QLatin1Char(' '), 0, 0).mid(2);
}

// The ghostscript cause in the user's language: the one failure a user can
// mend without knowing PostScript.
constexpr const char* kNoGhostscript[3] = {
    "Ghostscript (gs) wurde nicht gefunden; es wandelt das Kartenblatt in PDF um. Installieren Sie "
    "Ghostscript (Debian-Paket ghostscript) oder speichern Sie das Blatt als PostScript (.ps).",
    "Ghostscript (gs), which turns the sheet into PDF, was not found. Install Ghostscript (Debian "
    "package ghostscript) or save the sheet as PostScript (.ps).",
    "Ghostscript (gs), qui convertit la feuille en PDF, est introuvable. Installez Ghostscript "
    "(paquet Debian ghostscript) ou enregistrez la feuille en PostScript (.ps).",
};

constexpr const char* kCause[3] = {"Ursache: %1", "Cause: %1", "Cause : %1"};
constexpr const char* kEarlierKept[3] = {
    "Eine frühere Datei dieses Namens bleibt, wie sie war.",
    "Any earlier file of that name has been left as it was.",
    "Un éventuel fichier antérieur de ce nom est resté tel quel.",
};
constexpr const char* kFolderPartly[3] = {
    "Die vor dem Fehler geschriebenen Dateien sind neu, die übrigen unverändert.",
    "The files written before the failure are new; the others have been left as they were.",
    "Les fichiers écrits avant l'erreur sont nouveaux ; les autres sont restés tels quels.",
};
constexpr const char* kNothingToSave[3] = {
    "Es ist noch keine Karte berechnet, also gibt es nichts zu speichern.",
    "No map has been computed yet, so there is nothing to save.",
    "Aucune carte n'a encore été calculée ; il n'y a rien à enregistrer.",
};
constexpr const char* kSaving[3] = {"Speichere %1 …", "Saving %1 …", "Enregistrement de %1 …"};
constexpr const char* kSaved[3] = {"%1 gespeichert", "Saved %1", "%1 enregistré"};
constexpr const char* kKeyTitle[3] = {"Legende", "Legend", "Légende"};

void SaveSheet(const SaveJob& job, const MapRenderer& renderer, const ViewEditTexts& edits) {
  const EclipseResult& c = *job.shown->computation;
  QImage pixels;
  const SheetView view = SheetViewOf(renderer, edits, pixels);
  const fs::path& target = job.target.path;
  if (job.target.format == QLatin1String("PS")) {
    WritePostScriptSheet(c, view, target);
    return;
  }
  // The sheet goes into a temporary beside the PDF that is never committed:
  // it is only Ghostscript's input and disappears with `sheet`.
  AtomicFile sheet(target.parent_path() / (target.filename().string() + ".ps"));
  WritePostScriptSheet(c, view, sheet);
  ConvertSheetToPdf(sheet.TemporaryPath(), target, std::nullopt, {SheetTitle(c)});
}

}  // namespace

FileAnswer AskWithFileDialog(QWidget* parent, const FileQuestion& question) {
  FileAnswer answer;
  if (question.filters.isEmpty()) {
    answer.path = QFileDialog::getExistingDirectory(parent, question.title, question.startPath);
    return answer;
  }
  answer.filter = question.selectedFilter;
  answer.path = QFileDialog::getSaveFileName(parent, question.title, question.startPath,
                                             question.filters.join(QStringLiteral(";;")), &answer.filter);
  return answer;
}

QString SuggestedBaseName(const EclipseResult& eclipse) {
  const BesselianElements& e = eclipse.elements;
  return QStringLiteral("eclipse-") + QString::fromStdString(IsoDate(e.year, e.month, e.day));
}

FileQuestion QuestionFor(SaveKind kind, Language language, const QString& folder,
                         const EclipseResult& eclipse) {
  FileQuestion q;
  q.kind = kind;
  q.title = TextIn(TextsOf(kind).title, language);
  const auto formats = FormatsOf(kind);
  for (const FormatChoice& f : formats) q.filters << FilterText(f, language);
  if (formats.empty()) {
    q.startPath = folder;
    return q;
  }
  q.selectedFilter = q.filters.front();
  QString name = SuggestedBaseName(eclipse);
  if (kind == SaveKind::MapWithLegend) name += QStringLiteral("-legend");
  name += QLatin1Char('.') + FirstSuffix(formats.front());
  q.startPath = folder.isEmpty() ? name : QDir(folder).filePath(name);
  return q;
}

SaveTarget TargetFor(SaveKind kind, const FileAnswer& answer) {
  SaveTarget target;
  QString path = answer.path;
  const auto formats = FormatsOf(kind);
  if (formats.empty()) {
    target.path = fs::path(path.toStdString());
    return target;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  for (const FormatChoice& f : formats) {
    for (const QString& pattern : QString::fromLatin1(f.patterns).split(QLatin1Char(' '))) {
      if (!suffix.isEmpty() && pattern.mid(2) == suffix) {
        target.path = fs::path(path.toStdString());
        target.format = QString::fromLatin1(f.format);
        return target;
      }
    }
  }
  // No known suffix: the chosen filter's, as the dialog showed it.
  const FormatChoice* chosen = &formats.front();
  for (const FormatChoice& f : formats) {
    if (answer.filter.contains(QString::fromLatin1(f.patterns))) chosen = &f;
  }
  path += QLatin1Char('.') + FirstSuffix(*chosen);
  target.path = fs::path(path.toStdString());
  target.format = QString::fromLatin1(chosen->format);
  return target;
}

const char* MenuItemName(SaveKind kind) { return TextsOf(kind).menuItem; }

QString NothingToSaveText(Language language) { return TextIn(kNothingToSave, language); }

QString SaveFailedText(SaveKind kind, const QString& path, const QString& cause, Language language) {
  return TextIn(TextsOf(kind).what, language).arg(path) + QStringLiteral("\n\n") +
         TextIn(kCause, language).arg(cause) + QStringLiteral("\n\n") +
         TextIn(kind == SaveKind::ReportFolder ? kFolderPartly : kEarlierKept, language);
}

QString SavingText(const QString& fileName, Language language) {
  return TextIn(kSaving, language).arg(fileName);
}

QString SavedText(const QString& fileName, Language language) { return TextIn(kSaved, language).arg(fileName); }

QImage MapWithLegendImage(MapRenderer renderer, const EclipseResult& eclipse,
                          const QString& title, const ViewEditTexts& edits, int penWidth,
                          Language language) {
  renderer.ComposeLegendImage(eclipse, title, edits);
  const QImage legend = renderer.DisplayImage();
  const std::vector<LegendRow> rows = LegendRows(penWidth, language);

  // The key is a column as high as the legend picture, right of it, in the
  // font the legend picture's lines use.
  constexpr int kKeyWidth = 520;
  constexpr int kMargin = 24;
  constexpr int kSwatchHeight = 28;
  constexpr int kRowGap = 14;
  QImage out(legend.width() + kKeyWidth, legend.height(), QImage::Format_RGB32);
  out.fill(legend.pixel(0, 0));
  QPainter painter(&out);
  painter.drawImage(0, 0, legend);
  QFont font(LegendFontFamily());
  font.setBold(true);
  font.setPixelSize(30);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const int x = legend.width() + kMargin;
  int y = kLegendMapTop;
  painter.drawText(QRect(x, y, kKeyWidth - 2 * kMargin, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   TextIn(kKeyTitle, language));
  y += 40 + kRowGap;
  font.setBold(false);
  font.setPixelSize(20);
  painter.setFont(font);
  const int textX = x + 2 * kSwatchHeight + 12;
  const int textWidth = legend.width() + kKeyWidth - kMargin - textX;
  for (const LegendRow& row : rows) {
    const QRect textBox = painter.boundingRect(QRect(textX, y, textWidth, 1000),
                                               Qt::AlignLeft | Qt::TextWordWrap, row.text);
    const int height = std::max(kSwatchHeight, textBox.height());
    painter.drawImage(x, y + (height - kSwatchHeight) / 2, LegendSwatch(row, kSwatchHeight));
    painter.drawText(QRect(textX, y, textWidth, height), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     row.text);
    y += height + kRowGap;
  }
  painter.end();
  return out;
}

QString RunSaveJob(const SaveJob& job) {
  const fs::path& target = job.target.path;
  try {
    if (job.shown == nullptr || job.shown->computation == nullptr || job.renderer == nullptr) {
      return NothingToSaveText(job.language);
    }
    const EclipseResult& c = *job.shown->computation;
    const MapRenderer& renderer = *job.renderer;
    const ViewEditTexts edits = ViewEditTexts::FromParameters(job.shown->drawnView);
    const std::string format = job.target.format.toStdString();
    switch (job.kind) {
      case SaveKind::Map:
        SaveImageFile(renderer.DrawingImage(), target, format.c_str());
        break;
      case SaveKind::MapWithLegend:
        SaveImageFile(MapWithLegendImage(renderer, c, job.legendTitle, edits, job.shown->drawnView.PenWidth,
                                         job.language),
                      target, format.c_str());
        break;
      case SaveKind::Sheet: {
        if (job.target.format == QLatin1String("PDF")) {
          const char* path = std::getenv("PATH");
          if (!FindProgramOnPath("gs", path != nullptr ? path : "")) {
            return TextIn(kNoGhostscript, job.language);
          }
        }
        SaveSheet(job, renderer, edits);
        break;
      }
      case SaveKind::ReportFolder:
        WriteComputationFiles(c, target);
        break;
      case SaveKind::Kml:
        WriteKmlFile(target, c, job.language);
        break;
      case SaveKind::GeoJson:
        WriteGeoJsonFile(target, c, job.language);
        break;
    }
    return {};
  } catch (const std::exception& e) {
    return FromStd(e.what());
  }
}

SavesInFlight::~SavesInFlight() {
  for (QFuture<QString>& job : jobs_) job.waitForFinished();
}

void SavesInFlight::Add(QFuture<QString> job) {
  std::erase_if(jobs_, [](const QFuture<QString>& j) { return j.isFinished(); });
  jobs_.push_back(std::move(job));
}

int SavesInFlight::Running() const {
  return static_cast<int>(
      std::count_if(jobs_.begin(), jobs_.end(), [](const QFuture<QString>& j) { return !j.isFinished(); }));
}

}  // namespace darvelle::ui
