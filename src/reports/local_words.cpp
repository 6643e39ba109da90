#include "reports/local_words.h"

namespace darvelle::reports {
namespace {

// Each row German, English, French, as LanguageIndex orders them.
using Words = std::string_view[kLanguageCount];

// The contacts that do not depend on the central phase, and the two
// horizon crossings, in the order of LocalMoment (C2 and C3 left empty).
constexpr Words kMomentNames[kLocalMomentCount] = {
    {"Beginn (C1)", "Begins (C1)", "Début (C1)"},
    {},
    {"Maximum", "Maximum", "Maximum"},
    {},
    {"Ende (C4)", "Ends (C4)", "Fin (C4)"},
    {"Sonnenaufgang", "Sunrise", "Lever du Soleil"},
    {"Sonnenuntergang", "Sunset", "Coucher du Soleil"}};
// C2 and C3 by the phase they begin and end, in the order of CentralPhase.
constexpr Words kInnerNames[2][2] = {
    {{"Totalität beginnt (C2)", "Totality begins (C2)", "Début de la totalité (C2)"},
     {"Totalität endet (C3)", "Totality ends (C3)", "Fin de la totalité (C3)"}},
    {{"Ringförmigkeit beginnt (C2)", "Annularity begins (C2)", "Début de l'anneau (C2)"},
     {"Ringförmigkeit endet (C3)", "Annularity ends (C3)", "Fin de l'anneau (C3)"}}};

// In the order of LocalKind.
constexpr Words kKindNames[4] = {
    {"Keine Finsternis an diesem Ort", "No eclipse at this place", "Pas d'éclipse en ce lieu"},
    {"Partielle Finsternis", "Partial eclipse", "Éclipse partielle"},
    {"Ringförmige Finsternis", "Annular eclipse", "Éclipse annulaire"},
    {"Totale Finsternis", "Total eclipse", "Éclipse totale"}};

// In the order of Visibility.
constexpr Words kVisibilityNames[5] = {
    {"Keine Finsternis: von hier nicht sichtbar", "No eclipse: not visible from here",
     "Pas d'éclipse : invisible d'ici"},
    {"Sonne unter dem Horizont: von hier nicht sichtbar", "Sun below the horizon: not visible from here",
     "Soleil sous l'horizon : invisible d'ici"},
    {"Bei Sonnenaufgang im Gange", "In progress at sunrise", "En cours au lever du Soleil"},
    {"Bei Sonnenuntergang im Gange", "In progress at sunset", "En cours au coucher du Soleil"},
    {"Von Anfang bis Ende sichtbar", "Visible from beginning to end", "Visible du début à la fin"}};

// In the order of LocalLabel.
constexpr Words kLabels[kLocalLabelCount] = {
    {"Ereignis", "Event", "Événement"},
    {"Ortszeit", "Local time", "Heure locale"},
    {"Größe", "Magnitude", "Grandeur"},
    {"Bedeckung", "Obscuration", "Obscuration"},
    {"Dauer", "Duration", "Durée"},
    {"Sichtbarkeit", "Visibility", "Visibilité"},
    {"Sonnenhöhe", "Sun alt.", "Haut. Soleil"}};

std::string_view In(const Words& words, Language language) { return words[LanguageIndex(language)]; }

}  // namespace

CentralPhase InnerContactPhase(LocalKind here, EclipseKind onEarth) {
  if (here == LocalKind::kTotal) return CentralPhase::kTotality;
  if (here == LocalKind::kAnnular) return CentralPhase::kAnnularity;
  const bool annularElsewhere = onEarth == EclipseKind::Annular || onEarth == EclipseKind::NonCentralAnnular;
  return annularElsewhere ? CentralPhase::kAnnularity : CentralPhase::kTotality;
}

std::string_view LocalMomentName(LocalMoment moment, CentralPhase phase, Language language) {
  if (moment == LocalMoment::kC2 || moment == LocalMoment::kC3) {
    return In(kInnerNames[static_cast<int>(phase)][moment == LocalMoment::kC3], language);
  }
  return In(kMomentNames[static_cast<int>(moment)], language);
}

std::string_view LocalKindName(LocalKind kind, Language language) {
  return In(kKindNames[static_cast<int>(kind)], language);
}

std::string_view VisibilityName(Visibility seen, Language language) {
  return In(kVisibilityNames[static_cast<int>(seen)], language);
}

std::string_view LocalLabelName(LocalLabel label, Language language) {
  return In(kLabels[static_cast<int>(label)], language);
}

}  // namespace darvelle::reports
