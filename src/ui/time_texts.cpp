#include "ui/time_texts.h"

namespace darvelle::ui {
namespace {

const TimeCaptions kCaptions[3] = {
    {"Zeitleiste", "Die Sonne vom Ort aus", "&Animation exportieren …",
     "Animation exportieren", "Schritt", "Größe", "Farbige Erde", "Wählen…",
     "Ordner der Einzelbilder", "Einzelbilder in", "Auch ein Video (ffmpeg)",
     "Videodatei (.mp4, .webm)",
     "Die Animation wird geschrieben…", "Abbrechen", "Die Bilder werden zum Video verbunden…",
     "&Kernschatten alle …", "&Aus"},
    {"Time slider", "The Sun from the place", "Export &animation…",
     "Export animation", "Step", "Size", "Coloured Earth", "Choose…",
     "Folder of the frames", "Frames into", "Also a video (ffmpeg)",
     "Video file (.mp4, .webm)",
     "Writing the animation…", "Cancel", "Joining the frames into a video…",
     "&Umbra every …", "&Off"},
    {"Curseur temporel", "Le Soleil vu du lieu", "Exporter une &animation…",
     "Exporter une animation", "Pas", "Taille", "Terre en couleurs", "Choisir…",
     "Dossier des images", "Images dans", "Aussi une vidéo (ffmpeg)",
     "Fichier vidéo (.mp4, .webm)",
     "Écriture de l'animation…", "Annuler", "Assemblage des images en vidéo…",
     "&Ombre toutes les …", "&Aucune"},
};

}  // namespace

const TimeCaptions& TimeCaptionsIn(Language language) {
  return kCaptions[LanguageIndex(language)];
}

}  // namespace darvelle::ui
