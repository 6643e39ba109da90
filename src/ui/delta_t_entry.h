#pragma once
// The user's own DeltaT beside the time-scale switch: seconds, or empty for
// the model's estimate, which a new eclipse starts from. Enter asks for it;
// text not accepted is marked by its EntryCheck, and Enter on such text
// writes back the DeltaT in force.

#include <QWidget>
#include <optional>

#include "catalogue/language.h"

class QLabel;
class QLineEdit;

namespace darvelle::ui {

class DeltaTEntry : public QWidget {
  Q_OBJECT

 public:
  explicit DeltaTEntry(QWidget* parent);

  QLineEdit* Edit() const { return edit_; }
  // The placeholder's word for the estimate.
  void SetLanguage(Language language);
  // The DeltaT the session uses now, written into the edit unmarked.
  void ShowDeltaT(std::optional<double> seconds);

 signals:
  void deltaTChosen(std::optional<double> seconds);

 private:
  void Enter();

  QLabel* label_;
  QLineEdit* edit_;
  std::optional<double> shown_;
};

// The edit's text for a DeltaT: empty for the estimate, else seconds with
// one decimal, as the entry reads it back.
QString DeltaTText(std::optional<double> seconds);

}  // namespace darvelle::ui
