// The window's construction: the left panel, the map panel, the status bar
// and the About panel. Each control is connected where it is made.

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"
#include "ui/control_column.h"
#include "ui/control_factory.h"
#include "ui/delta_t_entry.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

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

// The About panel's grid of version information: two columns of 195
// pixels, 17 rows of 19, filled at start-up.
QTableWidget* NewVersionGrid(QWidget* parent) {
  auto* grid = new QTableWidget(kVersionGridRows, 2, parent);
  grid->setObjectName(QStringLiteral("StringGrid_VersionsInfo"));
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
  grid->setColumnWidth(0, 195);
  grid->setColumnWidth(1, 195);
  grid->verticalHeader()->setDefaultSectionSize(19);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setFixedSize(2 * 195 + 4, kVersionGridRows * 19 + 4);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return grid;
}

// The folder the session writes into: none when it was refused.
std::optional<std::filesystem::path> OutputFolderOf(const StartupOptions& options) {
  if (!options.tempFolderProblem.empty()) return std::nullopt;
  return options.tempFolder;
}

}  // namespace

MainWindow::MainWindow(StartupOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      session_(std::make_unique<EclipseSession>(
          SessionResources{&catalogue_, &workers_, OutputFolderOf(options_), options_.dataFolder})),
      controller_(std::make_unique<SessionController>(
          catalogue_, [this]() -> const SessionState& { return session_->State(); },
          [this](const SessionState& next) { Request(next); })) {
  setObjectName(QStringLiteral("Form_Main"));
  setWindowTitle(QStringLiteral("Darvelle"));
  setWindowIcon(QIcon(QPixmap::fromImage(DarvelleIcon(64))));
  setFont(PixelFont(QStringLiteral("Arial"), 20, true));
  messageSink_ = [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Before the window is up (start-up) the box waits for the user, as the
    // start-up's messages always have; afterwards it never blocks the window.
    if (isVisible()) {
      box->open();
    } else {
      box->exec();
    }
  };
  BuildControls();
  BuildGlobeInput();
  BuildLegendDock();
  BuildPlaceDock();
  PrepareDockArrangement();
  BuildMenus();
  BuildPlaceMenuItems();
  BuildStatusBar();
  BuildAboutPanel();
  BuildConventions();
  // The docks do not set the window's least width: a narrower window moves
  // them under the globe (ArrangeDocks) instead of refusing to shrink.
  setMinimumWidth(centralWidget()->minimumSizeHint().width());
  BindSession();
  BuildTimeControls();
  connect(&exitWriter_, &QFutureWatcherBase::finished, this, &MainWindow::FinishExit);
}

QVBoxLayout* MainWindow::BuildLeftPanel(QWidget* central) {
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* body = new QHBoxLayout;
  body->setSpacing(0);
  outer->addLayout(body, 1);

  Panel0 = new QWidget;
  Panel0->setObjectName(QStringLiteral("Panel0"));
  Panel0->setFixedWidth(250);
  Panel0->setAutoFillBackground(true);
  QPalette grey = Panel0->palette();
  grey.setColor(QPalette::Window, kPanelGrey);
  Panel0->setPalette(grey);
  body->addWidget(new ControlColumn(Panel0, central));

  Panel2 = new MapPanel(central);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  body->addWidget(Panel2, 1);
  connect(Panel2, &MapPanel::firstMapPainted, this, &MainWindow::firstMapPainted);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(1);
  outer->addWidget(Panel1);

  auto* column = new QVBoxLayout(Panel0);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(3);
  return column;
}

void MainWindow::BuildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(central);
  QVBoxLayout* column = BuildLeftPanel(central);
  BuildYearGroup(column);
  BuildSarosGroup(column);
  BuildTimeScaleGroup(column);

  Shape1 = new ShapeBar(Panel0);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFixedSize(246, 10);
  Shape1->SetBrushColor(kPanelGrey);
  column->addWidget(Shape1);

  Label_SoFiTyp = NewLabel("Label_SoFiTyp", QStringLiteral("Total"), Panel0);
  Label_SoFiTyp->setAlignment(Qt::AlignCenter);
  Label_DatumZeit = NewLabel("Label_DatumZeit", QString(), Panel0);
  Label_DatumZeit->setAlignment(Qt::AlignCenter);
  column->addWidget(Label_SoFiTyp);
  column->addWidget(Label_DatumZeit);
  headlineLabel_ = new QLabel(Panel0);
  headlineLabel_->setObjectName(QStringLiteral("Label_Headline"));
  headlineLabel_->setAlignment(Qt::AlignCenter);
  // Smaller than the kind and date above it: five lines of figures.
  headlineLabel_->setFont(PixelFont(QStringLiteral("Arial"), 13, false));
  headlineLabel_->setWordWrap(true);
  column->addWidget(headlineLabel_);

  BuildViewRows(column);
  BuildProjectionOptions(column);
  BuildExitButtons(column);
  column->addStretch(1);
}

QPushButton* MainWindow::StepButton(const char* name, const char* caption, QWidget* parent,
                                    std::function<void()> onClick) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFixedWidth(36);
  button->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  button->setFocusPolicy(Qt::TabFocus);
  connect(button, &QPushButton::clicked, this, std::move(onClick));
  return button;
}

void MainWindow::BuildYearGroup(QVBoxLayout* column) {
  GroupBox_Finsternis = new QGroupBox(QStringLiteral("Eclipse in the year..."), Panel0);
  GroupBox_Finsternis->setObjectName(QStringLiteral("GroupBox_Finsternis"));
  Edit_Jahr = NewEdit("Edit_Jahr", QStringLiteral("2021"), QStringLiteral("-4999"), GroupBox_Finsternis);
  connect(Edit_Jahr, &QLineEdit::returnPressed, this, &MainWindow::EnterYear);
  QWidget* box = GroupBox_Finsternis;
  auto* yearRow = StepRow(StepButton("Button_minus_10_Ecl", "<<", box, [this] { StepCatalogueBy(-10); }),
                          StepButton("Button_minus_01_Ecl", "<", box, [this] { StepCatalogueBy(-1); }),
                          Edit_Jahr,
                          StepButton("Button_plus_01_Ecl", ">", box, [this] { StepCatalogueBy(1); }),
                          StepButton("Button_plus_10_Ecl", ">>", box, [this] { StepCatalogueBy(10); }));
  auto* yearLayout = new QVBoxLayout(GroupBox_Finsternis);
  yearLayout->setContentsMargins(3, 3, 3, 3);
  yearLayout->addLayout(yearRow);
  BuildYearList(yearLayout);
  column->addWidget(GroupBox_Finsternis);
}

void MainWindow::BuildSarosGroup(QVBoxLayout* column) {
  GroupBox_Saros = new QGroupBox(QStringLiteral("Eclipse in Saros"), Panel0);
  GroupBox_Saros->setObjectName(QStringLiteral("GroupBox_Saros"));
  GroupBox_Saros->setFont(PixelFont(QStringLiteral("Arial"), 17, true));
  Saros_Edit = NewEdit("Saros_Edit", QStringLiteral("152"), QStringLiteral("-108"), GroupBox_Saros);
  connect(Saros_Edit, &QLineEdit::returnPressed, this, &MainWindow::EnterSaros);
  QWidget* box = GroupBox_Saros;
  auto* sarosRow = StepRow(StepButton("Button_minus_3_saros", "-3S", box, [this] { StepSarosBy(-3); }),
                           StepButton("Button_minus_1_saros", "-1S", box, [this] { StepSarosBy(-1); }),
                           Saros_Edit,
                           StepButton("Button_plus_1_saros", "+1S", box, [this] { StepSarosBy(1); }),
                           StepButton("Button_plus_3_saros", "+3S", box, [this] { StepSarosBy(3); }));
  auto* sarosLayout = new QVBoxLayout(GroupBox_Saros);
  sarosLayout->setContentsMargins(3, 3, 3, 3);
  sarosLayout->addLayout(sarosRow);
  column->addWidget(GroupBox_Saros);
}

void MainWindow::BuildTimeScaleGroup(QVBoxLayout* column) {
  GroupBox_ET_UT = new QGroupBox(QStringLiteral("DeltaT (TT or UT)"), Panel0);
  GroupBox_ET_UT->setObjectName(QStringLiteral("GroupBox_ET_UT"));
  CheckBox_ET_UT = new QCheckBox(QStringLiteral("UT"), GroupBox_ET_UT);
  CheckBox_ET_UT->setObjectName(QStringLiteral("CheckBox_ET_UT"));
  CheckBox_ET_UT->setChecked(true);
  CheckBox_ET_UT->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  connect(CheckBox_ET_UT, &QCheckBox::clicked, this, &MainWindow::SwitchTimeScale);
  auto* timeLayout = new QVBoxLayout(GroupBox_ET_UT);
  timeLayout->setContentsMargins(3, 3, 3, 3);
  timeLayout->addWidget(CheckBox_ET_UT);
  deltaTEntry_ = new DeltaTEntry(GroupBox_ET_UT);
  connect(deltaTEntry_, &DeltaTEntry::deltaTChosen, this,
          [this](std::optional<double> seconds) { controller_->ChooseDeltaT(seconds); });
  timeLayout->addWidget(deltaTEntry_);
  column->addWidget(GroupBox_ET_UT);
}

void MainWindow::BuildViewRows(QVBoxLayout* column) {
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
  double ViewParameters::*const angles[] = {&ViewParameters::Psi, &ViewParameters::Phi,
                                            &ViewParameters::Chi};
  QLineEdit** edits[] = {&Edit_Psi, &Edit_Phi, &Edit_Chi, &Edit_RK};
  for (int r = 0; r < 4; ++r) {
    const ViewRow& row = rows[r];
    column->addSpacing(4);
    column->addWidget(NewLabel(row.label, QString::fromLatin1(row.caption), Panel0));
    QLineEdit* edit = NewEdit(row.edit, QString::fromLatin1(row.text), QString::fromLatin1(row.widest), Panel0);
    *edits[r] = edit;
    // Three rows of angles stepped by 10 and 1 degrees, the last the globe
    // size stepped by 25 and 5 pixels.
    std::function<void(int)> step;
    if (r < 3) {
      double ViewParameters::*angle = angles[r];
      connect(edit, &QLineEdit::returnPressed, this, [this, edit, angle] { EnterAngle(edit, angle); });
      step = [this, edit, angle](int by) { StepAngle(edit, angle, by); };
    } else {
      connect(edit, &QLineEdit::returnPressed, this, &MainWindow::EnterGlobeSize);
      step = [this](int by) { StepGlobeSize(by); };
    }
    const int* by = row.steps;
    column->addLayout(StepRow(StepButton(row.buttons[0], "<<", Panel0, [step, by] { step(by[0]); }),
                              StepButton(row.buttons[1], "<", Panel0, [step, by] { step(by[1]); }),
                              edit,
                              StepButton(row.buttons[2], ">", Panel0, [step, by] { step(by[2]); }),
                              StepButton(row.buttons[3], ">>", Panel0, [step, by] { step(by[3]); })));
  }
}

void MainWindow::BuildProjectionOptions(QVBoxLayout* column) {
  column->addSpacing(4);
  auto* reset = new QPushButton(QStringLiteral("Reset view"), Panel0);
  reset->setObjectName(QStringLiteral("Button_ResetView"));
  connect(reset, &QPushButton::clicked, this, &MainWindow::ResetView);
  column->addWidget(reset);

  const QFont optionFont = PixelFont(QStringLiteral("Arial"), 16, true);
  RadioButton_Ortho = new QRadioButton(QStringLiteral("Orthographic view"), Panel0);
  RadioButton_Ortho->setObjectName(QStringLiteral("RadioButton_Ortho"));
  RadioButton_Ortho->setChecked(true);
  connect(RadioButton_Ortho, &QRadioButton::clicked, this, [this] { ChooseProjection(false); });
  RadioButton_Stereo = new QRadioButton(QStringLiteral("Stereograph. view"), Panel0);
  RadioButton_Stereo->setObjectName(QStringLiteral("RadioButton_Stereo"));
  connect(RadioButton_Stereo, &QRadioButton::clicked, this, [this] { ChooseProjection(true); });
  CheckBox_Farbe = new QCheckBox(QStringLiteral("Colored Earth"), Panel0);
  CheckBox_Farbe->setObjectName(QStringLiteral("CheckBox_Farbe"));
  connect(CheckBox_Farbe, &QCheckBox::clicked, this, &MainWindow::ChooseColoredEarth);
  for (QWidget* w : {static_cast<QWidget*>(RadioButton_Ortho), static_cast<QWidget*>(RadioButton_Stereo),
                     static_cast<QWidget*>(CheckBox_Farbe)}) {
    w->setFont(optionFont);
    column->addWidget(w);
  }
}

void MainWindow::BuildExitButtons(QVBoxLayout* column) {
  column->addSpacing(6);
  Button_Exit = new QPushButton(QStringLiteral("E&xit"), Panel0);
  Button_Exit->setObjectName(QStringLiteral("Button_Exit"));
  connect(Button_Exit, &QPushButton::clicked, this, [this] { Exit(false); });
  Button_Exit_pdf = new QPushButton(QStringLiteral("Exit (write ps)"), Panel0);
  Button_Exit_pdf->setObjectName(QStringLiteral("Button_Exit_pdf"));
  Button_Exit_pdf->setToolTip(ExitPdfHint(kEnglish));
  Button_Exit_pdf->installEventFilter(this);
  connect(Button_Exit_pdf, &QPushButton::clicked, this, [this] { Exit(true); });
  column->addWidget(Button_Exit);
  column->addWidget(Button_Exit_pdf);
}

void MainWindow::BuildStatusBar() { statusBar_ = new WindowStatusBar(statusBar()); }

void MainWindow::BuildAboutPanel() {
  auto* about = new QFrame(centralWidget());
  Panel_About = about;
  about->setObjectName(QStringLiteral("Panel_About"));
  about->setAutoFillBackground(true);
  about->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QVBoxLayout(about);
  auto* top = new QHBoxLayout;
  auto* image = new QLabel(about);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(QPixmap::fromImage(DarvelleIcon(64)));
  auto* title = new QLabel(QStringLiteral("Darvelle"), about);
  title->setObjectName(QStringLiteral("Label_Darvelle"));
  title->setFont(PixelFont(QStringLiteral("Arial"), 32, true));
  top->addWidget(image);
  top->addWidget(title, 1);
  layout->addLayout(top);

  StringGrid_VersionsInfo = NewVersionGrid(about);
  layout->addWidget(StringGrid_VersionsInfo);

  auto* ok = new QPushButton(QStringLiteral("OK"), about);
  ok->setObjectName(QStringLiteral("Button_About_OK"));
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  connect(ok, &QPushButton::clicked, about, &QWidget::hide);
  about->adjustSize();
  about->move(270, 20);
  about->hide();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The hint keeps its carriage return as the line break; the tooltip
  // renderer breaks lines at a line feed only.
  if (watched == Button_Exit_pdf && event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    QString shown = Button_Exit_pdf->toolTip();
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QToolTip::showText(help->globalPos(), shown, Button_Exit_pdf);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace darvelle::ui
