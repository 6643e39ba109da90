#include "ui/eclipse_controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"
#include "catalogue/selection.h"
#include "ui/control_factory.h"
#include "ui/delta_t_entry.h"
#include "ui/entry_check.h"
#include "ui/languages.h"
#include "ui/session_controller.h"
#include "ui/widgets.h"
#include "ui/year_eclipse_list.h"

namespace darvelle::ui {
namespace {

// One row of the view: a label over an edit between four step buttons.
struct ViewRow {
  const char* label;
  const char* caption;
  const char* edit;
  const char* text;
  const char* widest;  // the widest text the edit shows whole
  const char* buttons[4];  // <<, <, >, >>
  const int* steps;        // what each button adds, in the same order
};

constexpr int kAngleSteps[4] = {-10, -1, 1, 10};  // degrees
constexpr int kSizeSteps[4] = {-25, -5, 5, 25};   // pixels
constexpr int kGlobeSizeOnBadEntry = 300;

}  // namespace

EclipseControls::EclipseControls(SessionController& controller, const Catalogue& catalogue, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  setObjectName(QStringLiteral("Panel0"));
  setFixedWidth(250);
  setAutoFillBackground(true);
  QPalette grey = palette();
  grey.setColor(QPalette::Window, kPanelGrey);
  setPalette(grey);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(3);
  BuildYearGroup(column, catalogue);
  BuildSarosGroup(column);
  BuildTimeScaleGroup(column);
  BuildEclipseLabels(column);
  BuildViewRows(column);
  BuildProjectionOptions(column);
  BuildExitButtons(column);
  column->addStretch(1);
  AddStepKeys();

  entryChecks_ = {new EntryCheck(yearEdit_, Entry::Year),      new EntryCheck(sarosEdit_, Entry::Saros),
                  new EntryCheck(psiEdit_, Entry::Angle),      new EntryCheck(phiEdit_, Entry::Angle),
                  new EntryCheck(chiEdit_, Entry::Angle),      new EntryCheck(globeSizeEdit_, Entry::GlobeSize),
                  new EntryCheck(deltaTEntry_->Edit(), Entry::DeltaT)};
}

// Page Up and Page Down step through the catalogue as the < and > buttons
// beside the year do, wherever the focus is in the window.
void EclipseControls::AddStepKeys() {
  auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
  previous->setObjectName(QStringLiteral("PreviousEclipseKey"));
  connect(previous, &QShortcut::activated, this, [this] { controller_.StepCatalogue(-1); });
  auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
  next->setObjectName(QStringLiteral("NextEclipseKey"));
  connect(next, &QShortcut::activated, this, [this] { controller_.StepCatalogue(1); });
}

QPushButton* EclipseControls::StepButton(const char* name, const char* caption, QWidget* parent,
                                         std::function<void()> onClick) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFixedWidth(36);
  button->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &QPushButton::clicked, this, std::move(onClick));
  return button;
}

void EclipseControls::BuildYearGroup(QVBoxLayout* column, const Catalogue& catalogue) {
  yearGroup_ = new QGroupBox(QStringLiteral("Eclipse in the year..."), this);
  yearGroup_->setObjectName(QStringLiteral("GroupBox_Finsternis"));
  yearEdit_ = NewEdit("Edit_Jahr", QStringLiteral("2021"), QStringLiteral("-4999"), yearGroup_);
  connect(yearEdit_, &QLineEdit::returnPressed, this, &EclipseControls::EnterYear);
  QWidget* box = yearGroup_;
  auto step = [this](int by) { return [this, by] { controller_.StepCatalogue(by); }; };
  auto* yearRow = StepRow(StepButton("Button_minus_10_Ecl", "<<", box, step(-10)),
                          StepButton("Button_minus_01_Ecl", "<", box, step(-1)), yearEdit_,
                          StepButton("Button_plus_01_Ecl", ">", box, step(1)),
                          StepButton("Button_plus_10_Ecl", ">>", box, step(10)));
  auto* yearLayout = new QVBoxLayout(yearGroup_);
  yearLayout->setContentsMargins(3, 3, 3, 3);
  yearLayout->addLayout(yearRow);

  yearList_ = new YearEclipseList(yearGroup_);
  yearList_->setFont(PixelFont(QStringLiteral("Arial"), 13, false));
  // Room for a year's eclipses (two to five) without squashing the column.
  yearList_->setFixedHeight(yearList_->header()->sizeHint().height() + 3 * yearList_->fontMetrics().height() + 10);
  yearList_->setCatalogue(&catalogue);
  yearLayout->addWidget(yearList_);
  connect(yearList_, &YearEclipseList::eclipseChosen, this, [this](int index) { controller_.ChooseEclipse(index); });
  column->addWidget(yearGroup_);
}

void EclipseControls::BuildSarosGroup(QVBoxLayout* column) {
  sarosGroup_ = new QGroupBox(QStringLiteral("Eclipse in Saros"), this);
  sarosGroup_->setObjectName(QStringLiteral("GroupBox_Saros"));
  sarosGroup_->setFont(PixelFont(QStringLiteral("Arial"), 17, true));
  sarosEdit_ = NewEdit("Saros_Edit", QStringLiteral("152"), QStringLiteral("-108"), sarosGroup_);
  connect(sarosEdit_, &QLineEdit::returnPressed, this, &EclipseControls::EnterSaros);
  QWidget* box = sarosGroup_;
  auto step = [this](int by) { return [this, by] { controller_.StepSaros(by); }; };
  auto* sarosRow = StepRow(StepButton("Button_minus_3_saros", "-3S", box, step(-3)),
                           StepButton("Button_minus_1_saros", "-1S", box, step(-1)), sarosEdit_,
                           StepButton("Button_plus_1_saros", "+1S", box, step(1)),
                           StepButton("Button_plus_3_saros", "+3S", box, step(3)));
  auto* sarosLayout = new QVBoxLayout(sarosGroup_);
  sarosLayout->setContentsMargins(3, 3, 3, 3);
  sarosLayout->addLayout(sarosRow);
  column->addWidget(sarosGroup_);
}

void EclipseControls::BuildTimeScaleGroup(QVBoxLayout* column) {
  auto* group = new QGroupBox(QStringLiteral("DeltaT (TT or UT)"), this);
  group->setObjectName(QStringLiteral("GroupBox_ET_UT"));
  universalTimeBox_ = new QCheckBox(QStringLiteral("UT"), group);
  universalTimeBox_->setObjectName(QStringLiteral("CheckBox_ET_UT"));
  universalTimeBox_->setChecked(true);
  universalTimeBox_->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  connect(universalTimeBox_, &QCheckBox::clicked, this, [this](bool universal) {
    emit timeScaleSwitched(universal ? TimeScale::kUniversal : TimeScale::kTerrestrial);
  });
  auto* timeLayout = new QVBoxLayout(group);
  timeLayout->setContentsMargins(3, 3, 3, 3);
  timeLayout->addWidget(universalTimeBox_);
  deltaTEntry_ = new DeltaTEntry(group);
  connect(deltaTEntry_, &DeltaTEntry::deltaTChosen, this,
          [this](std::optional<double> seconds) { controller_.ChooseDeltaT(seconds); });
  timeLayout->addWidget(deltaTEntry_);
  column->addWidget(group);
}

void EclipseControls::BuildEclipseLabels(QVBoxLayout* column) {
  busyBar_ = new ShapeBar(this);
  busyBar_->setObjectName(QStringLiteral("Shape1"));
  busyBar_->setFixedSize(246, 10);
  busyBar_->SetBrushColor(kPanelGrey);
  column->addWidget(busyBar_);

  kindLabel_ = NewLabel("Label_SoFiTyp", QStringLiteral("Total"), this);
  kindLabel_->setAlignment(Qt::AlignCenter);
  dateLabel_ = NewLabel("Label_DatumZeit", QString(), this);
  dateLabel_->setAlignment(Qt::AlignCenter);
  column->addWidget(kindLabel_);
  column->addWidget(dateLabel_);
  headlineLabel_ = new QLabel(this);
  headlineLabel_->setObjectName(QStringLiteral("Label_Headline"));
  headlineLabel_->setAlignment(Qt::AlignCenter);
  // Smaller than the kind and date above it: five lines of figures.
  headlineLabel_->setFont(PixelFont(QStringLiteral("Arial"), 13, false));
  headlineLabel_->setWordWrap(true);
  column->addWidget(headlineLabel_);
}

void EclipseControls::BuildViewRows(QVBoxLayout* column) {
  const ViewRow rows[] = {
      {"Label2", "Angle Psi (West/East)", "Edit_Psi", "0.0", "-180.0",
       {"Button_Psi_minus_10", "Button_Psi_minus_01", "Button_Psi_plus_01", "Button_Psi_plus_10"}, kAngleSteps},
      {"Label3", "Angle Phi (South/North)", "Edit_Phi", "0.0", "-180.0",
       {"Button_Phi_minus_10", "Button_Phi_minus_01", "Button_Phi_plus_01", "Button_Phi_plus_10"}, kAngleSteps},
      {"Label4", "Angle Chi (tilt)", "Edit_Chi", "0.0", "-180.0",
       {"Button_Chi_Minus_10", "Button_Chi_minus_01", "Button_Chi_plus_01", "Button_Chi_plus_10"}, kAngleSteps},
      {"Label1", "Globe Size (Pixels)", "Edit_RK", "500", "9999",
       {"Button_RK_minus_10", "Button_RK_minus_01", "Button_RK_plus_01", "Button_RK_plus_10"}, kSizeSteps},
  };
  double ViewParameters::*const angles[] = {&ViewParameters::Psi, &ViewParameters::Phi, &ViewParameters::Chi};
  QLineEdit** edits[] = {&psiEdit_, &phiEdit_, &chiEdit_, &globeSizeEdit_};
  for (int r = 0; r < 4; ++r) {
    const ViewRow& row = rows[r];
    column->addSpacing(4);
    column->addWidget(NewLabel(row.label, QString::fromLatin1(row.caption), this));
    QLineEdit* edit = NewEdit(row.edit, QString::fromLatin1(row.text), QString::fromLatin1(row.widest), this);
    *edits[r] = edit;
    // Three rows of angles stepped by 10 and 1 degrees, the last the globe
    // size stepped by 25 and 5 pixels.
    std::function<void(int)> step;
    if (r < 3) {
      double ViewParameters::*angle = angles[r];
      connect(edit, &QLineEdit::returnPressed, this,
              [this, edit, angle] { controller_.SetAngle(angle, ParseReal(edit->text()).value_or(0.0)); });
      step = [this, edit, angle](int by) { StepAngle(edit, angle, by); };
    } else {
      connect(edit, &QLineEdit::returnPressed, this, [this, edit] {
        controller_.SetGlobeSize(ParseInteger(edit->text()).value_or(kGlobeSizeOnBadEntry));
      });
      step = [this](int by) { StepGlobeSize(by); };
    }
    const int* by = row.steps;
    column->addLayout(StepRow(StepButton(row.buttons[0], "<<", this, [step, by] { step(by[0]); }),
                              StepButton(row.buttons[1], "<", this, [step, by] { step(by[1]); }), edit,
                              StepButton(row.buttons[2], ">", this, [step, by] { step(by[2]); }),
                              StepButton(row.buttons[3], ">>", this, [step, by] { step(by[3]); })));
  }
}

void EclipseControls::BuildProjectionOptions(QVBoxLayout* column) {
  column->addSpacing(4);
  auto* reset = new QPushButton(QStringLiteral("Reset view"), this);
  reset->setObjectName(QStringLiteral("Button_ResetView"));
  connect(reset, &QPushButton::clicked, this, [this] { controller_.ResetView(); });
  column->addWidget(reset);

  const QFont optionFont = PixelFont(QStringLiteral("Arial"), 16, true);
  orthographicButton_ = new QRadioButton(QStringLiteral("Orthographic view"), this);
  orthographicButton_->setObjectName(QStringLiteral("RadioButton_Ortho"));
  orthographicButton_->setChecked(true);
  connect(orthographicButton_, &QRadioButton::clicked, this, [this] { controller_.ChooseProjection(false); });
  stereographicButton_ = new QRadioButton(QStringLiteral("Stereograph. view"), this);
  stereographicButton_->setObjectName(QStringLiteral("RadioButton_Stereo"));
  connect(stereographicButton_, &QRadioButton::clicked, this, [this] { controller_.ChooseProjection(true); });
  coloredEarthBox_ = new QCheckBox(QStringLiteral("Colored Earth"), this);
  coloredEarthBox_->setObjectName(QStringLiteral("CheckBox_Farbe"));
  connect(coloredEarthBox_, &QCheckBox::clicked, this, [this](bool checked) { controller_.ChooseColoredEarth(checked); });
  for (QWidget* w : {static_cast<QWidget*>(orthographicButton_), static_cast<QWidget*>(stereographicButton_),
                     static_cast<QWidget*>(coloredEarthBox_)}) {
    w->setFont(optionFont);
    column->addWidget(w);
  }
}

void EclipseControls::BuildExitButtons(QVBoxLayout* column) {
  column->addSpacing(6);
  auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
  exit->setObjectName(QStringLiteral("Button_Exit"));
  connect(exit, &QPushButton::clicked, this, [this] { emit exitRequested(false); });
  exitWithSheetButton_ = new QPushButton(QStringLiteral("Exit (write ps)"), this);
  exitWithSheetButton_->setObjectName(QStringLiteral("Button_Exit_pdf"));
  exitWithSheetButton_->setToolTip(ExitPdfHint(kEnglish));
  exitWithSheetButton_->installEventFilter(this);
  connect(exitWithSheetButton_, &QPushButton::clicked, this, [this] { emit exitRequested(true); });
  column->addWidget(exit);
  column->addWidget(exitWithSheetButton_);
}

bool EclipseControls::eventFilter(QObject* watched, QEvent* event) {
  // The hint keeps its carriage return as the line break; the tooltip
  // renderer breaks lines at a line feed only.
  if (watched == exitWithSheetButton_ && event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    QString shown = exitWithSheetButton_->toolTip();
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QToolTip::showText(help->globalPos(), shown, exitWithSheetButton_);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- requests

void EclipseControls::EnterYear() {
  const auto year = ParseInteger(yearEdit_->text());
  if (!year) return;  // not a whole number: left as typed
  yearEdit_->setText(QString::number(controller_.ChooseYear(*year)));
}

void EclipseControls::EnterSaros() {
  const int saros = ClampSaros(ParseInteger(sarosEdit_->text()).value_or(kDefaultSarosEntry));
  sarosEdit_->setText(QString::number(saros));
  if (!controller_.ChooseSaros(saros)) emit sarosNotFound(saros);
}

void EclipseControls::SayNotANumber(const QString& text, const char* kind) {
  emit message(QMessageBox::Critical, QStringLiteral("Darvelle"),
               QStringLiteral("\"%1\" is not a valid %2 value.").arg(text, QLatin1String(kind)));
}

void EclipseControls::StepAngle(QLineEdit* edit, double ViewParameters::*angle, double step) {
  const auto value = ParseReal(edit->text());
  if (!value) {
    SayNotANumber(edit->text(), "floating point");
    return;
  }
  controller_.SetAngle(angle, *value + step);
}

void EclipseControls::StepGlobeSize(int step) {
  const auto size = ParseInteger(globeSizeEdit_->text());
  if (!size) {
    SayNotANumber(globeSizeEdit_->text(), "integer");
    return;
  }
  controller_.StepGlobeSize(*size, step);
}

// ---------------------------------------------------------------- what is shown

void EclipseControls::ShowState(const SessionState& state) {
  const ViewParameters& view = state.view;
  psiEdit_->setText(OneDecimal(view.Psi));
  phiEdit_->setText(OneDecimal(view.Phi));
  chiEdit_->setText(OneDecimal(view.Chi));
  globeSizeEdit_->setText(QString::number(view.RK));
  (view.Stereographic ? stereographicButton_ : orthographicButton_)->setChecked(true);
  // A box disabled for want of a texture stays unticked.
  coloredEarthBox_->setChecked(view.ColoredEarth && coloredEarthBox_->isEnabled());
  universalTimeBox_->setChecked(state.timeScale == TimeScale::kUniversal);
  yearList_->setLanguage(state.language);
  deltaTEntry_->SetLanguage(state.language);
  deltaTEntry_->ShowDeltaT(state.userDeltaT);
}

void EclipseControls::ExplainEntriesIn(Language language) {
  for (EntryCheck* check : entryChecks_) check->SetLanguage(language);
}

void EclipseControls::ShowEclipse(const PreparedEclipse& eclipse, bool recomputing, Language language) {
  const BesselianElements& e = eclipse.elements;
  if (recomputing) {
    sarosGroup_->setTitle(FromWindows1252(SarosCaption(e.sarosMember, e.sarosMemberCount, language)));
    yearEdit_->setText(QString::number(e.year));
    sarosEdit_->setText(QString::number(e.saros));
    yearList_->setYear(e.year);
    yearList_->setCurrentEclipse(eclipse.selectedIndex);
    headlineLabel_->clear();  // until the worker brings the new eclipse's
  }
  universalTimeBox_->setText(
      FromWindows1252(TimeScaleCaption(eclipse.timeScale, eclipse.modelDeltaT, e.year, language)));
  kindLabel_->setText(FromWindows1252(EclipseTypeShortName(static_cast<int>(e.kind), language)));
  dateLabel_->setText(FromStd(EstimateText(eclipse)));
  yearList_->setTimeScale(eclipse.timeScale);
}

void EclipseControls::ShowHeadline(const QString& text) { headlineLabel_->setText(text); }

void EclipseControls::ShowExitWriting(bool writing) {
  busyBar_->SetBrushColor(writing ? kBusyRed : kPanelGrey);
  exitWithSheetButton_->setEnabled(!writing);
}

void EclipseControls::DisableColoredEarth() {
  coloredEarthBox_->setChecked(false);
  coloredEarthBox_->setEnabled(false);
}

ViewParameters EclipseControls::TypedAngles(const ViewParameters& drawn) const {
  ViewParameters typed = drawn;
  typed.Psi = ParseReal(psiEdit_->text()).value_or(drawn.Psi);
  typed.Phi = ParseReal(phiEdit_->text()).value_or(drawn.Phi);
  typed.Chi = ParseReal(chiEdit_->text()).value_or(drawn.Chi);
  return typed;
}

}  // namespace darvelle::ui
