#pragma once
// The window's left column, Panel0: which eclipse (by year, step or Saros
// series), the time scale and DeltaT, the eclipse's kind, date and headline
// numbers, the view's angles and size, the projection, the coloured Earth
// and the two exits. What the user asks goes to the SessionController; the
// column shows the state and the eclipse the session holds. A request the
// column cannot make itself (the time scale, an exit) it emits.

#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/eclipse_session.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace darvelle {
class Catalogue;
}
namespace darvelle::ui {

class DeltaTEntry;
class EntryCheck;
class SessionController;
class ShapeBar;
class YearEclipseList;

class EclipseControls : public QWidget {
  Q_OBJECT

 public:
  // The catalogue and the controller outlive the column.
  EclipseControls(SessionController& controller, const Catalogue& catalogue, QWidget* parent = nullptr);

  // The state the session holds: the view's edits and options, the time
  // scale, the user's DeltaT, and the column's language.
  void ShowState(const SessionState& state);
  // The eclipse prepared for a request; `recomputing` when it is another
  // eclipse or another computation of it (its year, Saros and list follow).
  void ShowEclipse(const PreparedEclipse& eclipse, bool recomputing, Language language);
  void ShowHeadline(const QString& text);
  // The checks own their edits' tooltips (a marked edit explains its text):
  // after the window's tooltips are set in `language`.
  void ExplainEntriesIn(Language language);
  // The exit with the sheet writing its files: the bar turns red and its
  // button waits.
  void ShowExitWriting(bool writing);
  // Without a texture there is no coloured Earth to choose.
  void DisableColoredEarth();
  // The angles as the edits read, where the user typed a number without
  // pressing Enter; `drawn` where the text is not a number.
  ViewParameters TypedAngles(const ViewParameters& drawn) const;

 signals:
  void timeScaleSwitched(TimeScale scale);
  void exitRequested(bool withSheet);
  void sarosNotFound(int saros);
  void message(QMessageBox::Icon icon, const QString& title, const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildYearGroup(QVBoxLayout* column, const Catalogue& catalogue);
  void BuildSarosGroup(QVBoxLayout* column);
  void BuildTimeScaleGroup(QVBoxLayout* column);
  void BuildEclipseLabels(QVBoxLayout* column);
  void BuildViewRows(QVBoxLayout* column);
  void BuildProjectionOptions(QVBoxLayout* column);
  void BuildExitButtons(QVBoxLayout* column);
  void AddStepKeys();
  QPushButton* StepButton(const char* name, const char* caption, QWidget* parent, std::function<void()> onClick);

  void EnterYear();
  void EnterSaros();
  void StepAngle(QLineEdit* edit, double ViewParameters::*angle, double step);
  void StepGlobeSize(int step);
  void SayNotANumber(const QString& text, const char* kind);

  SessionController& controller_;

  // Their objectNames are the ones the tests and the tooltips know them by.
  QGroupBox* yearGroup_ = nullptr;       // GroupBox_Finsternis
  QLineEdit* yearEdit_ = nullptr;        // Edit_Jahr
  YearEclipseList* yearList_ = nullptr;
  QGroupBox* sarosGroup_ = nullptr;      // GroupBox_Saros
  QLineEdit* sarosEdit_ = nullptr;       // Saros_Edit
  QCheckBox* universalTimeBox_ = nullptr;  // CheckBox_ET_UT
  DeltaTEntry* deltaTEntry_ = nullptr;
  ShapeBar* busyBar_ = nullptr;          // Shape1
  QLabel* kindLabel_ = nullptr;          // Label_SoFiTyp
  QLabel* dateLabel_ = nullptr;          // Label_DatumZeit
  QLabel* headlineLabel_ = nullptr;      // the eclipse's headline numbers under its date
  QLineEdit* psiEdit_ = nullptr;         // Edit_Psi
  QLineEdit* phiEdit_ = nullptr;         // Edit_Phi
  QLineEdit* chiEdit_ = nullptr;         // Edit_Chi
  QLineEdit* globeSizeEdit_ = nullptr;   // Edit_RK
  QRadioButton* orthographicButton_ = nullptr;   // RadioButton_Ortho
  QRadioButton* stereographicButton_ = nullptr;  // RadioButton_Stereo
  QCheckBox* coloredEarthBox_ = nullptr;  // CheckBox_Farbe
  QPushButton* exitWithSheetButton_ = nullptr;  // Button_Exit_pdf
  // Entries not taken as typed are marked and explained.
  std::vector<EntryCheck*> entryChecks_;
};

}  // namespace darvelle::ui
