#include "ui/languages.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace darvelle::ui {
namespace {

constexpr CaptionRow kCaptions[] = {
    {"GroupBox_ET_UT", {"DeltaT (TT oder UT)", "DeltaT (TT or UT)", "DeltaT (TT ou UT)"}},
    {"GroupBox_Finsternis",
     {"Finsternis im Jahr ...", "Eclipse in the year ...", "Eclipse dans l'an ..."}},
    {"Button_ResetView", {"Ansicht zurücksetzen", "Reset view", "Réinitialiser la vue"}},
    {"RadioButton_Ortho",
     {"Orthographische Ansicht", "Orthographic view", "Vue orthographique"}},
    {"RadioButton_Stereo",
     {"Stereographische Ansicht", "Stereographic view", "Vue stéréographique"}},
    {"Button_Exit", {"&Beenden", "E&xit", "Quitter"}},
    {"Button_Exit_pdf", {"Beenden (PS)", "Exit (PS)", "Quitter (PS)"}},
    {"File1", {"&Datei", "&File", "&Fichier"}},
    {"SaveMap1", {"Karte &speichern unter …", "&Save map as…", "&Enregistrer la carte sous…"}},
    {"SaveMapLegend1",
     {"Karte mit &Legende speichern unter …", "Save map with &legend as…",
      "Enregistrer la carte avec &légende sous…"}},
    {"SaveSheet1",
     {"Kartenbl&att speichern unter (PDF, PostScript) …", "Save s&heet as (PDF, PostScript)…",
      "Enregistrer la &feuille sous (PDF, PostScript)…"}},
    {"SaveReports1",
     {"Berichte und Kurven&dateien in einen Ordner speichern …",
      "Save &report and curve files to a folder…",
      "Enregistrer les &rapports et les fichiers de courbes dans un dossier…"}},
    {"ExportKml1", {"Als &KML exportieren …", "Export &KML…", "Exporter en &KML…"}},
    {"ExportGeoJson1", {"Als &GeoJSON exportieren …", "Export &GeoJSON…", "Exporter en &GeoJSON…"}},
    {"Exit1", {"&Beenden", "E&xit", "&Quitter"}},
    {"Resolution1", {"Auflösung", "Resolution", "Resolution"}},
    {"Penwidth1", {"Strichdicke", "Pen width", "Largeur des lignes"}},
    {"Option1", {"Option", "Option", "Option"}},
    {"Borders1", {"Landesgrenzen", "National borders", "Frontières"}},
    {"PathBand1", {"Pfad als Band", "Path as a band", "Bande de centralité"}},
    {"DeltaTBand1",
     {"DeltaT-Band (±2σ)", "DeltaT band (±2σ)", "Bande de DeltaT (±2σ)"}},
    {"TownNames1", {"Ortsnamen", "Town names", "Noms des villes"}},
    {"TownDurations1",
     {"Orte im Pfad mit Dauer", "Towns in the path with durations",
      "Villes dans la bande avec durée"}},
    {"Help1", {"Hilfe", "Help", "Aide"}},
    {"DVLHelp1", {"Hilfe zu DVL", "DVL Help", "DVL aide"}},
    {"About1", {"DVL Version", "DVL version", "DVL version"}},
    {"Label1", {"Globusgrösse (Pixels)", "Globe Size (Pixels)", "Taille du globe (pixels)"}},
    {"Label2", {"Winkel Psi (West/Ost)", "Angle Psi (West/East)", "Angle Psi (Ouest/est)"}},
    {"Label3",
     {"Winkel Phi (Süd/Nord)", "Angle Phi (South/North)", "Angle Phi (Sud/Nord)"}},
    {"Label4", {"Winkel Chi (kippen)", "Angle Chi (tilt)", "Angle Chi (Rotation)"}},
    {"CheckBox_Farbe", {"Farbige Erde", "Colored Earth", "Le relief de la terre colorée"}},
};

constexpr const char* kExitPdfHints[kLanguageCount] = {
    "Schreibt eine PostScript-Datei\rim %Temp%-Ordner",
    "Writes a PostScript file\rin the %Temp%-folder",
    "Écrit un fichier PostScript dans le dossier \r%Temp% en quittant le programme",
};

}  // namespace

Language KnownLanguage(int number) { return StoredLanguage(number).value_or(kEnglish); }

QString TextIn(const char* const (&texts)[kLanguageCount], Language language) {
  return QString::fromUtf8(texts[LanguageIndex(language)]);
}

std::span<const CaptionRow> LanguageCaptions() { return kCaptions; }

QString ExitPdfHint(Language language) { return TextIn(kExitPdfHints, language); }

void SetCaption(QObject* control, const QString& caption) {
  if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(caption);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(caption);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(caption);
  } else if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(caption);
  }
}

QString Caption(const QObject* control) {
  if (auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* menu = qobject_cast<const QMenu*>(control)) return menu->title();
  if (auto* action = qobject_cast<const QAction*>(control)) return action->text();
  return {};
}

void ApplyLanguageCaptions(QObject* root, Language language) {
  for (const auto& row : kCaptions) {
    if (auto* control = root->findChild<QObject*>(QString::fromLatin1(row.objectName))) {
      SetCaption(control, QString::fromUtf8(row.text[LanguageIndex(language)]));
    }
  }
  if (auto* button = root->findChild<QWidget*>(QStringLiteral("Button_Exit_pdf"))) {
    button->setToolTip(ExitPdfHint(language));
  }
}

}  // namespace darvelle::ui

namespace darvelle::ui {
namespace {

constexpr const char* kSarosNotFound[kLanguageCount] = {
    "Keine Finsternis im Saros %1", "No eclipse in Saros %1", "Aucune éclipse dans le Saros %1"};

}  // namespace

QString SarosNotFoundText(int saros, Language language) {
  return TextIn(kSarosNotFound, language).arg(saros);
}

QString OutputFailureText(const QString& folder, const QString& cause) {
  return QStringLiteral("The report and curve files could not be written to the folder\n%1\n\n%2\n\n"
                        "The map is drawn all the same; the files are left out for as long as "
                        "the folder cannot be written, and this message is not repeated.")
      .arg(folder, cause);
}

}  // namespace darvelle::ui
