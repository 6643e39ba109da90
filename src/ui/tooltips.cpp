#include "ui/tooltips.h"

#include <QAction>
#include <QWidget>

#include "ui/languages.h"

namespace darvelle::ui {
namespace {

constexpr TooltipRow kTooltips[] = {
    // The year and the catalogue steps.
    {"Edit_Jahr",
     {"Jahr von -4999 bis 7000; die Eingabetaste zeigt die erste Finsternis des Jahres",
      "A year from -4999 to 7000; Enter shows the year's first eclipse",
      "Une année de -4999 à 7000 ; Entrée affiche la première éclipse de l'année"}},
    {"Button_minus_10_Ecl",
     {"10 Finsternisse zurück", "10 eclipses back", "10 éclipses en arrière"}},
    {"Button_minus_01_Ecl",
     {"Vorige Finsternis (Bild ↑)", "Previous eclipse (Page Up)", "Éclipse précédente (Page ↑)"}},
    {"Button_plus_01_Ecl",
     {"Nächste Finsternis (Bild ↓)", "Next eclipse (Page Down)", "Éclipse suivante (Page ↓)"}},
    {"Button_plus_10_Ecl",
     {"10 Finsternisse vor", "10 eclipses forward", "10 éclipses en avant"}},
    {"YearEclipseList",
     {"Die Finsternisse dieses Jahres: eine anklicken, um sie zu zeigen",
      "This year's eclipses: click one to show it",
      "Les éclipses de l'année : cliquez sur l'une pour l'afficher"}},
    // The Saros series.
    {"Saros_Edit",
     {"Saros-Nummer von -61 bis 282; die Eingabetaste zeigt das erste Glied der Reihe",
      "A Saros number from -61 to 282; Enter shows the series' first member",
      "Un numéro de Saros de -61 à 282 ; Entrée affiche le premier membre de la série"}},
    {"Button_minus_3_saros",
     {"3 Glieder der Saros-Reihe zurück", "3 members back in the Saros series",
      "3 membres en arrière dans la série de Saros"}},
    {"Button_minus_1_saros",
     {"Voriges Glied der Saros-Reihe", "Previous member of the Saros series",
      "Membre précédent de la série de Saros"}},
    {"Button_plus_1_saros",
     {"Nächstes Glied der Saros-Reihe", "Next member of the Saros series",
      "Membre suivant de la série de Saros"}},
    {"Button_plus_3_saros",
     {"3 Glieder der Saros-Reihe vor", "3 members forward in the Saros series",
      "3 membres en avant dans la série de Saros"}},
    // The time scale.
    {"Edit_DeltaT",
     {"DeltaT in Sekunden für diese Finsternis (etwa aus einem historischen Bericht); leer: die Schätzung des Modells",
      "DeltaT in seconds for this eclipse (say from a historical record); empty: the model's estimate",
      "DeltaT en secondes pour cette éclipse (tiré p. ex. d'un récit historique) ; vide : l'estimation du modèle"}},
    {"CheckBox_ET_UT",
     {"Angekreuzt: Zeiten in Weltzeit (UT, mit DeltaT); sonst in Terrestrischer Zeit (TT)",
      "Ticked: times in Universal Time (UT, with DeltaT); else in Terrestrial Time (TT)",
      "Cochée : heures en temps universel (UT, avec DeltaT) ; sinon en temps terrestre (TT)"}},
    // The view.
    {"Edit_Psi",
     {"Drehung nach West/Ost in Grad; die Eingabetaste zeichnet neu. Oder den Globus ziehen",
      "Turn west/east in degrees; Enter redraws. Or drag the globe",
      "Rotation ouest/est en degrés ; Entrée redessine. Ou faites glisser le globe"}},
    {"Button_Psi_minus_10", {"Blick 10° nach Westen", "View 10° to the west", "Vue de 10° vers l'ouest"}},
    {"Button_Psi_minus_01", {"Blick 1° nach Westen", "View 1° to the west", "Vue de 1° vers l'ouest"}},
    {"Button_Psi_plus_01", {"Blick 1° nach Osten", "View 1° to the east", "Vue de 1° vers l'est"}},
    {"Button_Psi_plus_10", {"Blick 10° nach Osten", "View 10° to the east", "Vue de 10° vers l'est"}},
    {"Edit_Phi",
     {"Drehung nach Süd/Nord in Grad; die Eingabetaste zeichnet neu. Oder den Globus ziehen",
      "Turn south/north in degrees; Enter redraws. Or drag the globe",
      "Rotation sud/nord en degrés ; Entrée redessine. Ou faites glisser le globe"}},
    {"Button_Phi_minus_10", {"Blick 10° nach Süden", "View 10° to the south", "Vue de 10° vers le sud"}},
    {"Button_Phi_minus_01", {"Blick 1° nach Süden", "View 1° to the south", "Vue de 1° vers le sud"}},
    {"Button_Phi_plus_01", {"Blick 1° nach Norden", "View 1° to the north", "Vue de 1° vers le nord"}},
    {"Button_Phi_plus_10", {"Blick 10° nach Norden", "View 10° to the north", "Vue de 10° vers le nord"}},
    {"Edit_Chi",
     {"Kippen um die Blickrichtung in Grad; die Eingabetaste zeichnet neu. Oder mit Umschalt "
      "oder rechts ziehen",
      "Tilt about the line of sight in degrees; Enter redraws. Or Shift-drag or right-drag the globe",
      "Inclinaison autour de la ligne de visée en degrés ; Entrée redessine. Ou glisser avec Maj "
      "ou le bouton droit"}},
    {"Button_Chi_Minus_10",
     {"Bild 10° im Uhrzeigersinn kippen", "Tilt the picture 10° clockwise",
      "Incliner l'image de 10° dans le sens horaire"}},
    {"Button_Chi_minus_01",
     {"Bild 1° im Uhrzeigersinn kippen", "Tilt the picture 1° clockwise",
      "Incliner l'image de 1° dans le sens horaire"}},
    {"Button_Chi_plus_01",
     {"Bild 1° gegen den Uhrzeigersinn kippen", "Tilt the picture 1° anticlockwise",
      "Incliner l'image de 1° dans le sens antihoraire"}},
    {"Button_Chi_plus_10",
     {"Bild 10° gegen den Uhrzeigersinn kippen", "Tilt the picture 10° anticlockwise",
      "Incliner l'image de 10° dans le sens antihoraire"}},
    {"Edit_RK",
     {"Globusradius in Pixeln, 100 bis 9999; die Eingabetaste zeichnet neu. Oder das Mausrad",
      "Globe radius in pixels, 100 to 9999; Enter redraws. Or the mouse wheel",
      "Rayon du globe en pixels, de 100 à 9999 ; Entrée redessine. Ou la molette"}},
    {"Button_RK_minus_10", {"Globus 25 Pixel kleiner", "Globe 25 pixels smaller", "Globe plus petit de 25 pixels"}},
    {"Button_RK_minus_01", {"Globus 5 Pixel kleiner", "Globe 5 pixels smaller", "Globe plus petit de 5 pixels"}},
    {"Button_RK_plus_01", {"Globus 5 Pixel größer", "Globe 5 pixels larger", "Globe plus grand de 5 pixels"}},
    {"Button_RK_plus_10", {"Globus 25 Pixel größer", "Globe 25 pixels larger", "Globe plus grand de 25 pixels"}},
    {"Button_ResetView",
     {"Winkel zurück auf 0, Globusgröße auf 500", "Angles back to 0, globe size to 500",
      "Angles remis à 0, taille du globe à 500"}},
    {"RadioButton_Ortho",
     {"Der Globus, wie aus großer Entfernung gesehen", "The globe as seen from far away",
      "Le globe vu de très loin"}},
    {"RadioButton_Stereo",
     {"Winkeltreue Abbildung: fast die ganze Erde auf einmal",
      "Conformal projection: nearly the whole Earth at once",
      "Projection conforme : presque toute la Terre à la fois"}},
    {"CheckBox_Farbe",
     {"Die Erde mit Relief und Meeren gefärbt", "The Earth coloured with its relief and oceans",
      "La Terre colorée avec son relief et ses océans"}},
    // The way out.
    {"Button_Exit",
     {"Beendet das Programm und schreibt die Legenden-Bitmap (Strg+Q)",
      "Quits and writes the legend bitmap (Ctrl+Q)",
      "Quitte le programme et écrit l'image de légende (Ctrl+Q)"}},
    // Around the map.
    {"GlobeInput",
     {"Ziehen: drehen · Umschalt- oder rechts ziehen: kippen · Rad: Größe · Doppelklick: "
      "zentrieren · Klick (Karte aktiv) oder Rechtsklick: Ort wählen · Esc: voriger Ort · "
      "Pfeiltasten, + und −",
      "Drag: turn · Shift-drag or right-drag: tilt · Wheel: size · Double-click: centre · "
      "Click (map focused) or right-click: choose the place · Esc: previous place · "
      "Arrow keys, + and −",
      "Glisser : tourner · Glisser avec Maj ou le bouton droit : incliner · Molette : taille · "
      "Double-clic : centrer · Clic (carte active) ou clic droit : choisir le lieu · "
      "Échap : lieu précédent · Flèches, + et −"}},
    {"CursorPlace",
     {"Breite und Länge unter dem Mauszeiger", "Latitude and longitude under the cursor",
      "Latitude et longitude sous le curseur"}},
    {"LegendPanel",
     {"Was die Farben der Kurven und Marken bedeuten", "What the colours of the curves and markers mean",
      "Ce que signifient les couleurs des courbes et des repères"}},
    {"LocalContacts",
     {"Kontakte und Maximum am gewählten Ort, in Weltzeit und Ortszeit, mit Sonnenhöhe und -azimut",
      "Contacts and maximum at the chosen place, in UT and local time, with the Sun's altitude and azimuth",
      "Contacts et maximum au lieu choisi, en UT et en heure locale, avec la hauteur et l'azimut du Soleil"}},
    {"VisibleFromHereButton",
     {"Listet die Finsternisse, die an diesem Ort zu sehen sind",
      "Lists the eclipses that can be seen from this place",
      "Liste les éclipses visibles depuis ce lieu"}},
    {"Button_About_OK", {"Schließt diese Tafel", "Closes this panel", "Ferme ce panneau"}},
    // The eclipses visible from the chosen place.
    {"VisibleFromYear",
     {"Das erste Jahr der Liste (-4999 bis 7000)", "The list's first year (-4999 to 7000)",
      "La première année de la liste (-4999 à 7000)"}},
    {"VisibleToYear",
     {"Das letzte Jahr der Liste (-4999 bis 7000)", "The list's last year (-4999 to 7000)",
      "La dernière année de la liste (-4999 à 7000)"}},
    {"VisibleMinMagnitude",
     {"Nur Finsternisse, die hier bei Tag mindestens diese Größe erreichen (0 bis 1)",
      "Only eclipses that reach at least this magnitude here with the Sun up (0 to 1)",
      "Seulement les éclipses qui atteignent ici au moins cette grandeur, Soleil levé (0 à 1)"}},
    {"VisibleKindTotal",
     {"Totale Finsternisse zeigen (auf der Erde total, hier oft nur partiell)",
      "Show total eclipses (total on the Earth, often only partial here)",
      "Montrer les éclipses totales (totales sur la Terre, souvent partielles ici)"}},
    {"VisibleKindAnnular",
     {"Ringförmige Finsternisse zeigen", "Show annular eclipses", "Montrer les éclipses annulaires"}},
    {"VisibleKindHybrid",
     {"Hybride (ringförmig-totale) Finsternisse zeigen", "Show hybrid (annular-total) eclipses",
      "Montrer les éclipses hybrides (annulaires-totales)"}},
    {"VisibleKindPartial",
     {"Partielle Finsternisse zeigen", "Show partial eclipses", "Montrer les éclipses partielles"}},
    {"VisibleEclipsesTable",
     {"Doppelklick oder Eingabetaste zeigt die Finsternis im Hauptfenster",
      "Double-click or Enter shows the eclipse in the main window",
      "Un double-clic ou Entrée montre l'éclipse dans la fenêtre principale"}},
    {"VisibleShowButton",
     {"Zeigt die gewählte Finsternis im Hauptfenster; die Liste bleibt offen",
      "Shows the selected eclipse in the main window; the list stays open",
      "Montre l'éclipse choisie dans la fenêtre principale ; la liste reste ouverte"}},
    {"VisibleCloseButton", {"Schließt die Liste", "Closes the list", "Ferme la liste"}},
};


}  // namespace

std::span<const TooltipRow> ControlTooltips() { return kTooltips; }

QString TooltipOf(const QString& objectName, Language language) {
  for (const auto& row : kTooltips) {
    if (objectName == QLatin1String(row.objectName)) return TextIn(row.text, language);
  }
  return {};
}

void ApplyTooltips(QObject* root, Language language) {
  const std::size_t l = LanguageIndex(language);
  for (const auto& row : kTooltips) {
    if (auto* widget = root->findChild<QWidget*>(QString::fromLatin1(row.objectName))) {
      widget->setToolTip(QString::fromUtf8(row.text[l]));
    }
  }
}

}  // namespace darvelle::ui
