#pragma once
// Entries the window does not take as typed are marked and explained: the
// edit turns red and its tooltip says what it accepts, for as long as its
// text is not accepted; it is plain again once the text is accepted (typed
// so, or the window writes the value shown back into it). Only what the user
// typed is judged: what the window writes is the value it shows. When Enter is
// pressed on such text the window does what it has always done (keeps the
// eclipse for a year, takes a default or the nearest bound otherwise), and
// the explanation pops up beside the edit, saying what is shown instead.

#include <QObject>
#include <QString>
#include <optional>

#include "catalogue/language.h"

class QLineEdit;

namespace darvelle::ui {

// DeltaT: seconds, or nothing for the model's estimate.
enum class Entry { Year, Saros, Angle, GlobeSize, DeltaT };

// The DeltaT an entry asks for: a number of seconds within
// +-kLargestUserDeltaT, or an empty inner value for empty text (the model's
// estimate); nullopt for anything else.
std::optional<std::optional<double>> DeltaTOfEntry(const QString& text);

// Why `text` is not accepted as `kind`, in `language` (0 German, 1 English,
// 2 French): the text quoted and what is accepted. Empty when it is accepted.
QString EntryProblem(Entry kind, const QString& text, Language language);

// The line that follows the problem once Enter was pressed: the value the
// window shows instead, or that the eclipse shown stays when it keeps the text.
QString EntryOutcome(const QString& shown, bool kept, Language language);

class EntryCheck : public QObject {
  Q_OBJECT

 public:
  // Watches `edit`, which takes text of `kind`; the check belongs to the edit.
  EntryCheck(QLineEdit* edit, Entry kind);

  // Re-words the mark and the tooltip; the tooltip of accepted text is the
  // control's own (tooltips.h).
  void SetLanguage(Language language);
  bool Marked() const { return !problem_.isEmpty(); }
  // The problem shown, empty when the text is accepted.
  const QString& Problem() const { return problem_; }
  // The text popped up after the last Enter on text not accepted (empty if none).
  const QString& LastExplanation() const { return lastExplanation_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Evaluate();
  void ExplainEnter();

  QLineEdit* edit_;
  Entry kind_;
  Language language_ = kGerman;
  QString problem_;
  QString enteredText_;  // the text when Enter was pressed, before the window took it
  QString lastExplanation_;
};

}  // namespace darvelle::ui
