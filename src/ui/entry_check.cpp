#include "ui/entry_check.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include <cmath>

#include "catalogue/selection.h"
#include "geometry/eclipse_computation.h"
#include "ui/control_factory.h"
#include "ui/languages.h"
#include "ui/tooltips.h"

namespace darvelle::ui {
namespace {

constexpr const char* kNotAccepted[3] = {"„%1“ wird hier nicht angenommen.",
                                         "“%1” is not accepted here.",
                                         "« %1 » n'est pas accepté ici."};

// What each kind accepts, in the order of Entry.
constexpr const char* kAccepted[5][3] = {
    {"Ein ganzes Jahr von -4999 bis 7000, z. B. 2024.",
     "Enter a whole year from -4999 to 7000, e.g. 2024.",
     "Entrez une année entière de -4999 à 7000, p. ex. 2024."},
    {"Eine ganze Saros-Nummer von -61 bis 282, z. B. 139.",
     "Enter a whole Saros number from -61 to 282, e.g. 139.",
     "Entrez un numéro de Saros entier de -61 à 282, p. ex. 139."},
    {"Ein Winkel in Grad, eine Zahl wie -12.5.",
     "Enter an angle in degrees, a number such as -12.5.",
     "Entrez un angle en degrés, un nombre comme -12.5."},
    {"Ein ganzer Radius in Pixeln von 100 bis 9999.",
     "Enter a whole radius in pixels from 100 to 9999.",
     "Entrez un rayon entier en pixels de 100 à 9999."},
    {"DeltaT in Sekunden zwischen -1000000 und 1000000, z. B. 10500; leer: die Schätzung des Modells.",
     "Enter DeltaT in seconds from -1000000 to 1000000, e.g. 10500; empty: the model's estimate.",
     "Entrez DeltaT en secondes de -1000000 à 1000000, p. ex. 10500 ; vide : l'estimation du modèle."},
};

constexpr const char* kShownInstead[3] = {"Stattdessen gilt: %1", "Shown instead: %1",
                                          "Valeur retenue à la place : %1"};
constexpr const char* kEclipseKept[3] = {"Die angezeigte Finsternis bleibt.",
                                         "The eclipse shown stays.",
                                         "L'éclipse affichée reste."};

bool WholeWithin(const QString& text, int low, int high) {
  const auto value = ParseInteger(text);
  return value && *value >= low && *value <= high;
}

bool Accepted(Entry kind, const QString& text) {
  switch (kind) {
    case Entry::Year: return WholeWithin(text, kFirstCatalogueYear, kLastCatalogueYear);
    case Entry::Saros: return WholeWithin(text, kFirstSelectableSaros, kLastSelectableSaros);
    case Entry::Angle: return ParseReal(text).has_value();
    case Entry::GlobeSize: return WholeWithin(text, kMinGlobeSize, kMaxGlobeSize);
    case Entry::DeltaT: return DeltaTOfEntry(text).has_value();
  }
  return false;
}

// Light red behind dark red text: marked, and still readable.
const QString kMarkedStyle =
    QStringLiteral("QLineEdit { background-color: #ffc8c8; color: #a00000; }");

}  // namespace

std::optional<std::optional<double>> DeltaTOfEntry(const QString& text) {
  if (text.trimmed().isEmpty()) return std::optional<double>();
  const auto seconds = ParseReal(text);
  if (!seconds || std::abs(*seconds) > kLargestUserDeltaT) return std::nullopt;
  return seconds;
}

QString EntryProblem(Entry kind, const QString& text, Language language) {
  if (Accepted(kind, text)) return {};
  const std::size_t l = LanguageIndex(language);
  return QString::fromUtf8(kNotAccepted[l]).arg(text) + QLatin1Char('\n') +
         QString::fromUtf8(kAccepted[static_cast<int>(kind)][l]);
}

QString EntryOutcome(const QString& shown, bool kept, Language language) {
  const std::size_t l = LanguageIndex(language);
  return kept ? QString::fromUtf8(kEclipseKept[l]) : QString::fromUtf8(kShownInstead[l]).arg(shown);
}

EntryCheck::EntryCheck(QLineEdit* edit, Entry kind) : QObject(edit), edit_(edit), kind_(kind) {
  // What the user types is checked. What the window writes into the edit is
  // the value it shows, and clears the mark: a record's own Saros number may
  // lie beyond what the entry accepts, and is not the user's mistake.
  connect(edit_, &QLineEdit::textChanged, this, &EntryCheck::Evaluate);
  // Connected after the window's own handler, so this runs once the window
  // has taken (or kept) the text.
  connect(edit_, &QLineEdit::returnPressed, this, &EntryCheck::ExplainEnter);
  edit_->installEventFilter(this);
  Evaluate();
}

void EntryCheck::SetLanguage(Language language) {
  language_ = language;
  Evaluate();
}

void EntryCheck::Evaluate() {
  // setText leaves the edit unmodified; typing, pasting and undo modify it.
  const QString problem = edit_->isModified() ? EntryProblem(kind_, edit_->text(), language_) : QString();
  if (problem.isEmpty()) {
    if (!problem_.isEmpty()) edit_->setStyleSheet(QString());
    edit_->setToolTip(TooltipOf(edit_->objectName(), language_));
  } else {
    if (problem_.isEmpty()) edit_->setStyleSheet(kMarkedStyle);
    edit_->setToolTip(problem);
  }
  problem_ = problem;
}

bool EntryCheck::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) enteredText_ = edit_->text();
  }
  return QObject::eventFilter(watched, event);
}

void EntryCheck::ExplainEnter() {
  const QString problem = EntryProblem(kind_, enteredText_, language_);
  if (problem.isEmpty()) return;
  const bool kept = edit_->text() == enteredText_;
  lastExplanation_ = problem + QLatin1Char('\n') + EntryOutcome(edit_->text(), kept, language_);
  QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())), lastExplanation_, edit_);
}

}  // namespace darvelle::ui
