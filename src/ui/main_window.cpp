#include "postscript/exit_files.h"
#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolTip>
#include <QHelpEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <future>
#include <stdexcept>

#include "astro/format.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/platform_folders.h"
#include "catalogue/selection.h"
#include "darvelle/version.h"
#include "geometry/report_files.h"
#include "postscript/map_sheet.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// Panel0's medium grey, also the idle colour of the busy bar.
const QColor kPanelGrey(160, 160, 164);
const QColor kBusyRed(255, 0, 0);

constexpr int kStatusPanelWidths[kStatusPanelCount] = {87, 76, 77, 77, 77, 77, 77, 77, 75,
                                                       72, 60, 72, 75, 80, 80, 70, 70};
constexpr int kResolutions[6] = {1, 2, 4, 8, 16, 32};
constexpr const char* kResolutionNames[6] = {"Resol1", "Resol2", "Resol4",
                                             "Resol8", "Resol16", "Resol32"};
constexpr const char* kResolutionCaptions[6] = {"&1", "&2", "&4", "&8", "&1&6", "&32"};
constexpr int kMinGlobeSize = 100;
constexpr int kMaxGlobeSize = 9999;
constexpr int kGlobeSizeOnBadEntry = 300;

QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The eclipse texts are Windows-1252 bytes; those this program uses are all
// in the Latin-1 range.
QString FromWindows1252(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<double> ParseReal(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseInteger(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

QString OneDecimal(double value) { return FromStd(FixedText(value, 1)); }

QPushButton* StepButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setFixedWidth(42);
  button->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

QLineEdit* Edit(const QString& name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setFont(PixelFont(QStringLiteral("Arial"), 23, true));
  edit->setMinimumWidth(60);
  return edit;
}

QLabel* Label(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(PixelFont(QStringLiteral("Arial"), 18, true));
  return label;
}

// A row of [<<][<][edit][>][>>], the layout of every stepped value.
QHBoxLayout* StepRow(QPushButton* minus10, QPushButton* minus1, QLineEdit* edit,
                     QPushButton* plus1, QPushButton* plus10) {
  auto* row = new QHBoxLayout;
  row->setSpacing(2);
  row->addWidget(minus10);
  row->addWidget(minus1);
  row->addWidget(edit, 1);
  row->addWidget(plus1);
  row->addWidget(plus10);
  return row;
}

}  // namespace

StartupOptions StartupOptions::FromEnvironment(const QString& executable) {
  StartupOptions options;
  options.tempFolder = darvelle::TempFolder();
  options.settingsFolder = darvelle::SettingsFolder();
  options.computerName = darvelle::ComputerName();
  options.keepFilesHost = kKeepFilesHost;
  options.executable = executable;
  return options;
}

TForm_Main::TForm_Main(StartupOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      computation_(std::make_unique<EclipseComputation>()),
      renderer_(std::make_unique<MapRenderer>()) {
  setObjectName(QStringLiteral("Form_Main"));
  setWindowTitle(QStringLiteral("Darvelle"));
  setWindowIcon(QIcon(QPixmap::fromImage(DarvelleIcon(64))));
  setFont(PixelFont(QStringLiteral("Arial"), 20, true));
  messageSink_ = [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.exec();
  };
  BuildControls();
  BuildMenus();
  BuildStatusBar();
  BuildAboutPanel();
}

TForm_Main::~TForm_Main() = default;

void TForm_Main::BuildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(central);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* body = new QHBoxLayout;
  body->setSpacing(0);
  outer->addLayout(body, 1);

  Panel0 = new QWidget(central);
  Panel0->setObjectName(QStringLiteral("Panel0"));
  Panel0->setFixedWidth(250);
  Panel0->setAutoFillBackground(true);
  QPalette grey = Panel0->palette();
  grey.setColor(QPalette::Window, kPanelGrey);
  Panel0->setPalette(grey);
  body->addWidget(Panel0);

  Panel2 = new MapPanel(central);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  body->addWidget(Panel2, 1);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(1);
  outer->addWidget(Panel1);

  auto* column = new QVBoxLayout(Panel0);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(3);

  // Eclipse by year and catalogue steps.
  GroupBox_Finsternis = new QGroupBox(QStringLiteral("Eclipse in the year..."), Panel0);
  GroupBox_Finsternis->setObjectName(QStringLiteral("GroupBox_Finsternis"));
  Edit_Jahr = Edit(QStringLiteral("Edit_Jahr"), QStringLiteral("2021"), GroupBox_Finsternis);
  auto* yearRow = StepRow(StepButton(QStringLiteral("Button_minus_10_Ecl"), QStringLiteral("<<"), GroupBox_Finsternis),
                          StepButton(QStringLiteral("Button_minus_01_Ecl"), QStringLiteral("<"), GroupBox_Finsternis),
                          Edit_Jahr,
                          StepButton(QStringLiteral("Button_plus_01_Ecl"), QStringLiteral(">"), GroupBox_Finsternis),
                          StepButton(QStringLiteral("Button_plus_10_Ecl"), QStringLiteral(">>"), GroupBox_Finsternis));
  auto* yearLayout = new QVBoxLayout(GroupBox_Finsternis);
  yearLayout->setContentsMargins(3, 3, 3, 3);
  yearLayout->addLayout(yearRow);
  column->addWidget(GroupBox_Finsternis);

  // Eclipse by Saros series.
  GroupBox_Saros = new QGroupBox(QStringLiteral("Eclipse in Saros"), Panel0);
  GroupBox_Saros->setObjectName(QStringLiteral("GroupBox_Saros"));
  GroupBox_Saros->setFont(PixelFont(QStringLiteral("Arial"), 17, true));
  Saros_Edit = Edit(QStringLiteral("Saros_Edit"), QStringLiteral("152"), GroupBox_Saros);
  auto* sarosRow = StepRow(StepButton(QStringLiteral("Button_minus_3_saros"), QStringLiteral("-3S"), GroupBox_Saros),
                           StepButton(QStringLiteral("Button_minus_1_saros"), QStringLiteral("-1S"), GroupBox_Saros),
                           Saros_Edit,
                           StepButton(QStringLiteral("Button_plus_1_saros"), QStringLiteral("+1S"), GroupBox_Saros),
                           StepButton(QStringLiteral("Button_plus_3_saros"), QStringLiteral("+3S"), GroupBox_Saros));
  auto* sarosLayout = new QVBoxLayout(GroupBox_Saros);
  sarosLayout->setContentsMargins(3, 3, 3, 3);
  sarosLayout->addLayout(sarosRow);
  column->addWidget(GroupBox_Saros);

  // Time scale.
  GroupBox_ET_UT = new QGroupBox(QStringLiteral("DeltaT (TT or UT)"), Panel0);
  GroupBox_ET_UT->setObjectName(QStringLiteral("GroupBox_ET_UT"));
  CheckBox_ET_UT = new QCheckBox(QStringLiteral("UT"), GroupBox_ET_UT);
  CheckBox_ET_UT->setObjectName(QStringLiteral("CheckBox_ET_UT"));
  CheckBox_ET_UT->setChecked(true);
  CheckBox_ET_UT->setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  auto* timeLayout = new QVBoxLayout(GroupBox_ET_UT);
  timeLayout->setContentsMargins(3, 3, 3, 3);
  timeLayout->addWidget(CheckBox_ET_UT);
  column->addWidget(GroupBox_ET_UT);

  Shape1 = new ShapeBar(Panel0);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFixedSize(246, 10);
  Shape1->SetBrushColor(kPanelGrey);
  column->addWidget(Shape1);

  Label_SoFiTyp = Label(QStringLiteral("Label_SoFiTyp"), QStringLiteral("Total"), Panel0);
  Label_SoFiTyp->setAlignment(Qt::AlignCenter);
  Label_DatumZeit = Label(QStringLiteral("Label_DatumZeit"), QString(), Panel0);
  Label_DatumZeit->setAlignment(Qt::AlignCenter);
  column->addWidget(Label_SoFiTyp);
  column->addWidget(Label_DatumZeit);

  // The four view values, each a label over a stepped edit.
  struct ViewRow {
    const char* label;
    const char* caption;
    const char* edit;
    const char* text;
    const char* buttons[4];
    QLineEdit** target;
  };
  const ViewRow rows[] = {
      {"Label2", "Angle Psi (West/East)", "Edit_Psi", "0.0",
       {"Button_Psi_minus_10", "Button_Psi_minus_01", "Button_Psi_plus_01", "Button_Psi_plus_10"}, &Edit_Psi},
      {"Label3", "Angle Phi (South/North)", "Edit_Phi", "0.0",
       {"Button_Phi_minus_10", "Button_Phi_minus_01", "Button_Phi_plus_01", "Button_Phi_plus_10"}, &Edit_Phi},
      {"Label4", "Angle Chi (tilt)", "Edit_Chi", "0.0",
       {"Button_Chi_Minus_10", "Button_Chi_minus_01", "Button_Chi_plus_01", "Button_Chi_plus_10"}, &Edit_Chi},
      {"Label1", "Globe Size (Pixels)", "Edit_RK", "500",
       {"Button_RK_minus_10", "Button_RK_minus_01", "Button_RK_plus_01", "Button_RK_plus_10"}, &Edit_RK},
  };
  for (const auto& row : rows) {
    column->addSpacing(4);
    column->addWidget(Label(QString::fromLatin1(row.label), QString::fromLatin1(row.caption), Panel0));
    *row.target = Edit(QString::fromLatin1(row.edit), QString::fromLatin1(row.text), Panel0);
    column->addLayout(StepRow(StepButton(QString::fromLatin1(row.buttons[0]), QStringLiteral("<<"), Panel0),
                              StepButton(QString::fromLatin1(row.buttons[1]), QStringLiteral("<"), Panel0),
                              *row.target,
                              StepButton(QString::fromLatin1(row.buttons[2]), QStringLiteral(">"), Panel0),
                              StepButton(QString::fromLatin1(row.buttons[3]), QStringLiteral(">>"), Panel0)));
  }

  column->addSpacing(4);
  auto* reset = new QPushButton(QStringLiteral("Reset view"), Panel0);
  reset->setObjectName(QStringLiteral("Button_ResetView"));
  column->addWidget(reset);

  const QFont optionFont = PixelFont(QStringLiteral("Arial"), 16, true);
  RadioButton_Ortho = new QRadioButton(QStringLiteral("Orthographic view"), Panel0);
  RadioButton_Ortho->setObjectName(QStringLiteral("RadioButton_Ortho"));
  RadioButton_Ortho->setChecked(true);
  RadioButton_Stereo = new QRadioButton(QStringLiteral("Stereograph. view"), Panel0);
  RadioButton_Stereo->setObjectName(QStringLiteral("RadioButton_Stereo"));
  CheckBox_Farbe = new QCheckBox(QStringLiteral("Colored Earth"), Panel0);
  CheckBox_Farbe->setObjectName(QStringLiteral("CheckBox_Farbe"));
  for (QWidget* w : {static_cast<QWidget*>(RadioButton_Ortho), static_cast<QWidget*>(RadioButton_Stereo),
                     static_cast<QWidget*>(CheckBox_Farbe)}) {
    w->setFont(optionFont);
    column->addWidget(w);
  }

  column->addSpacing(6);
  Button_Exit = new QPushButton(QStringLiteral("E&xit"), Panel0);
  Button_Exit->setObjectName(QStringLiteral("Button_Exit"));
  Button_Exit_pdf = new QPushButton(QStringLiteral("Exit (write ps)"), Panel0);
  Button_Exit_pdf->setObjectName(QStringLiteral("Button_Exit_pdf"));
  Button_Exit_pdf->setToolTip(ExitPdfHint(kEnglish));
  Button_Exit_pdf->installEventFilter(this);
  column->addWidget(Button_Exit);
  column->addWidget(Button_Exit_pdf);
  column->addStretch(1);

  auto on = [this](const char* name, void (TForm_Main::*handler)()) {
    auto* button = findChild<QPushButton*>(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, handler);
  };
  on("Button_minus_10_Ecl", &TForm_Main::Button_minus_10_EclClick);
  on("Button_minus_01_Ecl", &TForm_Main::Button_minus_01_EclClick);
  on("Button_plus_01_Ecl", &TForm_Main::Button_plus_01_EclClick);
  on("Button_plus_10_Ecl", &TForm_Main::Button_plus_10_EclClick);
  on("Button_minus_1_saros", &TForm_Main::Button_minus_1_sarosClick);
  on("Button_plus_1_saros", &TForm_Main::Button_plus_1_sarosClick);
  on("Button_minus_3_saros", &TForm_Main::Button_minus_3_sarosClick);
  on("Button_plus_3_saros", &TForm_Main::Button_plus_3_sarosClick);
  on("Button_ResetView", &TForm_Main::Button_ResetViewClick);
  on("Button_Exit", &TForm_Main::Button_ExitClick);
  on("Button_Exit_pdf", &TForm_Main::Button_Exit_pdfClick);

  // The angle and size buttons: the same handler body with another edit and step.
  const struct {
    const char* name;
    QLineEdit* edit;
    double step;
  } angleButtons[] = {
      {"Button_Psi_minus_10", Edit_Psi, -10}, {"Button_Psi_minus_01", Edit_Psi, -1},
      {"Button_Psi_plus_01", Edit_Psi, 1},    {"Button_Psi_plus_10", Edit_Psi, 10},
      {"Button_Phi_minus_10", Edit_Phi, -10}, {"Button_Phi_minus_01", Edit_Phi, -1},
      {"Button_Phi_plus_01", Edit_Phi, 1},    {"Button_Phi_plus_10", Edit_Phi, 10},
      {"Button_Chi_Minus_10", Edit_Chi, -10}, {"Button_Chi_minus_01", Edit_Chi, -1},
      {"Button_Chi_plus_01", Edit_Chi, 1},    {"Button_Chi_plus_10", Edit_Chi, 10},
  };
  for (const auto& b : angleButtons) {
    QLineEdit* edit = b.edit;
    const double step = b.step;
    connect(findChild<QPushButton*>(QString::fromLatin1(b.name)), &QPushButton::clicked, this,
            [this, edit, step] { StepAngle(edit, step); });
  }
  const std::pair<const char*, int> sizeButtons[] = {{"Button_RK_minus_10", -25},
                                                      {"Button_RK_minus_01", -5},
                                                      {"Button_RK_plus_01", 5},
                                                      {"Button_RK_plus_10", 25}};
  for (const auto& [name, step] : sizeButtons) {
    const int s = step;
    connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this,
            [this, s] { StepGlobeSize(s); });
  }

  connect(Edit_Jahr, &QLineEdit::returnPressed, this, &TForm_Main::Edit_JahrKeyDown);
  connect(Saros_Edit, &QLineEdit::returnPressed, this, &TForm_Main::Saros_EditKeyDown);
  connect(Edit_Psi, &QLineEdit::returnPressed, this, &TForm_Main::Edit_PsiKeyDown);
  connect(Edit_Phi, &QLineEdit::returnPressed, this, &TForm_Main::Edit_PhiKeyDown);
  connect(Edit_Chi, &QLineEdit::returnPressed, this, &TForm_Main::Edit_ChiKeyDown);
  connect(Edit_RK, &QLineEdit::returnPressed, this, &TForm_Main::Edit_RKKeyDown);
  connect(CheckBox_ET_UT, &QCheckBox::clicked, this, &TForm_Main::CheckBox_ET_UTClick);
  connect(RadioButton_Ortho, &QRadioButton::clicked, this, &TForm_Main::RadioButton_OrthoClick);
  connect(RadioButton_Stereo, &QRadioButton::clicked, this, &TForm_Main::RadioButton_StereoClick);
  connect(CheckBox_Farbe, &QCheckBox::clicked, this, &TForm_Main::CheckBox_FarbeClick);
}

void TForm_Main::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  bar->setFont(PixelFont(QStringLiteral("Arial"), 15, false));

  auto menu = [&](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };
  auto item = [&](QMenu* m, const char* name, const char* caption) {
    QAction* a = m->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };

  QMenu* file = menu("File1", "&File");
  connect(item(file, "Exit1", "E&xit"), &QAction::triggered, this, &TForm_Main::Button_ExitClick);

  QMenu* resolution = menu("Resolution1", "&Resolution");
  auto* resolutionGroup = new QActionGroup(this);
  for (int i = 0; i < 6; ++i) {
    resolutionItems_[i] = item(resolution, kResolutionNames[i], kResolutionCaptions[i]);
    resolutionItems_[i]->setCheckable(true);
    resolutionGroup->addAction(resolutionItems_[i]);
    const int r = kResolutions[i];
    connect(resolutionItems_[i], &QAction::triggered, this, [this, r] {
      ChooseResolution(r);
      Recompute();
    });
  }
  resolutionItems_[0]->setChecked(true);

  QMenu* pen = menu("Penwidth1", "Pen width");
  auto* penGroup = new QActionGroup(this);
  for (int i = 0; i < 3; ++i) {
    const QByteArray name = "PWidth" + QByteArray::number(i + 1);
    penWidthItems_[i] = item(pen, name.constData(), QByteArray::number(i + 1).constData());
    penWidthItems_[i]->setCheckable(true);
    penGroup->addAction(penWidthItems_[i]);
    const int w = i + 1;
    connect(penWidthItems_[i], &QAction::triggered, this, [this, w] {
      ChoosePenWidth(w);
      Recompute();
    });
  }
  penWidthItems_[0]->setChecked(true);

  QMenu* option = menu("Option1", "&Option");
  auto* languageGroup = new QActionGroup(this);
  languageItems_[kGerman] = item(option, "Deutsch1", "&Deutsch");
  languageItems_[kEnglish] = item(option, "English1", "&English");
  languageItems_[kFrench] = item(option, "Francais1", "&Français");
  for (QAction* a : languageItems_) {
    a->setCheckable(true);
    languageGroup->addAction(a);
  }
  connect(languageItems_[kGerman], &QAction::triggered, this, &TForm_Main::Deutsch1Click);
  connect(languageItems_[kEnglish], &QAction::triggered, this, &TForm_Main::English1Click);
  connect(languageItems_[kFrench], &QAction::triggered, this, &TForm_Main::Francais1Click);

  QMenu* help = menu("Help1", "&Help");
  connect(item(help, "DVLHelp1", "DVL Help"), &QAction::triggered, this, &TForm_Main::DVLHelp1Click);
  connect(item(help, "About1", "&About"), &QAction::triggered, this, &TForm_Main::About1Click);
}

void TForm_Main::BuildStatusBar() {
  StatusBar1 = statusBar();
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFont(PixelFont(QStringLiteral("Arial Narrow"), 15, false));
  StatusBar1->setSizeGripEnabled(false);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    auto* panel = new QLabel(StatusBar1);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFixedWidth(kStatusPanelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(panel);
    statusPanels_[i] = panel;
  }
}

void TForm_Main::BuildAboutPanel() {
  Panel_About = new QFrame(centralWidget());
  Panel_About->setObjectName(QStringLiteral("Panel_About"));
  Panel_About->setAutoFillBackground(true);
  static_cast<QFrame*>(Panel_About)->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QVBoxLayout(Panel_About);
  auto* top = new QHBoxLayout;
  auto* image = new QLabel(Panel_About);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(QPixmap::fromImage(DarvelleIcon(64)));
  auto* title = new QLabel(QStringLiteral("Darvelle"), Panel_About);
  title->setObjectName(QStringLiteral("Label_Darvelle"));
  title->setFont(PixelFont(QStringLiteral("Arial"), 32, true));
  top->addWidget(image);
  top->addWidget(title, 1);
  layout->addLayout(top);

  StringGrid_VersionsInfo = new QTableWidget(kVersionGridRows, 2, Panel_About);
  StringGrid_VersionsInfo->setObjectName(QStringLiteral("StringGrid_VersionsInfo"));
  StringGrid_VersionsInfo->horizontalHeader()->hide();
  StringGrid_VersionsInfo->verticalHeader()->hide();
  StringGrid_VersionsInfo->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
  StringGrid_VersionsInfo->setColumnWidth(0, 195);
  StringGrid_VersionsInfo->setColumnWidth(1, 195);
  StringGrid_VersionsInfo->verticalHeader()->setDefaultSectionSize(19);
  StringGrid_VersionsInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid_VersionsInfo->setFixedSize(2 * 195 + 4, kVersionGridRows * 19 + 4);
  StringGrid_VersionsInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid_VersionsInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(StringGrid_VersionsInfo);

  auto* ok = new QPushButton(QStringLiteral("OK"), Panel_About);
  ok->setObjectName(QStringLiteral("Button_About_OK"));
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  connect(ok, &QPushButton::clicked, this, &TForm_Main::Button_About_OKClick);
  Panel_About->adjustSize();
  Panel_About->move(270, 20);
  Panel_About->hide();
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
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

// ---------------------------------------------------------------- start-up

bool TForm_Main::FormCreate() {
  // Number texts use "." whatever the locale: every conversion below goes
  // through FixedText and QString's C-locale conversions; main() fixes the
  // C library's LC_NUMERIC for the core.
  selectedIndex_ = kStartEclipseIndex;
  resolution_ = 1;
  penWidth_ = 1;

  CreateFolder(options_.settingsFolder);
  versionInfo_ = ReadVersionInfo(options_.executable);
  settings_ = NewSettings(versionInfo_.FileVersion.toStdString());
  settingsPath_ = options_.settingsFolder / kSettingsFileName;

  const auto rows = VersionGridRows(versionInfo_);
  for (int r = 0; r < kVersionGridRows; ++r) {
    for (int c = 0; c < 2; ++c) {
      auto* cell = new QTableWidgetItem(rows[r][c]);
      cell->setToolTip(rows[r][c]);  // long values do not fit a 195-pixel column
      StringGrid_VersionsInfo->setItem(r, c, cell);
    }
  }
  captionPrefix_ = QStringLiteral("Darvelle v.") + rows[3][1];

  // The texture is decoded on a second thread: it is the longest step of the
  // start-up, and the first map does not need it ("Colored Earth" starts
  // unticked). FinishTextureLoad joins it when the texture is first wanted,
  // at the latest right after the first map is on the screen.
  StatusBar1->showMessage(QStringLiteral("Loading image. Please wait..."));
  try {
    const fs::path textureFile = FindDataFile(kTextureFileName, options_.dataFolder);
    textureLoad_ = std::async(std::launch::async,
                              [this, textureFile] { return LoadTexture(textureFile, texture_); });
  } catch (const std::exception& e) {
    ReportMissingTexture(FromStd(e.what()));
  }
  StatusBar1->showMessage(QStringLiteral("Image loaded."));

  try {
    catalogue_ = LoadCatalogue(FindDataFile(kCatalogueFileName, options_.dataFolder));
  } catch (const std::exception& e) {
    QString text = FromStd(e.what());
    if (!text.contains(QStringLiteral("Places searched"))) {
      text += QStringLiteral("\nPlaces searched:");
      for (const auto& folder : DataSearchFolders(options_.dataFolder)) {
        text += QStringLiteral("\n  ") + FromStd(folder.string());
      }
    }
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                text + QStringLiteral("\n\nWithout the eclipse catalogue there is nothing to show; "
                                      "the program ends."));
    return false;
  }
  // A catalogue of fewer records than the start value still starts (on its last record).
  selectedIndex_ = ClampEclipseIndex(selectedIndex_, catalogue_.Count());

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->availableGeometry());
  }
  setWindowState(windowState() | Qt::WindowMaximized);

  try {
    coastlines_ = LoadCoastlines(FindDataFile(kCoastlineFileName, options_.dataFolder));
    coastlineLayer_ = CoastlineLayer(coastlines_);
  } catch (const std::exception& e) {
    coastlines_.clear();
    coastlineLayer_ = CoastlineLayer();
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                FromStd(e.what()) + QStringLiteral("\n\nThe globe is drawn without coastlines."));
  }
  SetStatusPanel(1, FromStd(CoastlineStatusText(coastlines_.size())));
  StatusBar1->clearMessage();

  std::error_code ec;
  if (fs::exists(settingsPath_, ec)) {
    try {
      settings_ = ReadSettingsFile(settingsPath_);
      uiLanguage_ = settings_.Language;
      selectedIndex_ = ClampEclipseIndex(settings_.EclipseIndex, catalogue_.Count());
      auto angle = [](double value) { return std::isfinite(value) ? value : 0.0; };
      Edit_Psi->setText(OneDecimal(angle(settings_.Psi)));
      Edit_Phi->setText(OneDecimal(angle(settings_.Phi)));
      Edit_Chi->setText(OneDecimal(angle(settings_.Chi)));
      Edit_RK->setText(QString::number(std::clamp<int>(settings_.GlobeSize, kMinGlobeSize, kMaxGlobeSize)));
      ChooseResolution(IsValidResolution(settings_.Resolution) ? settings_.Resolution : 1);
      penWidth_ = ClampPenWidth(settings_.PenWidth);
    } catch (const std::exception& e) {
      settings_ = NewSettings(versionInfo_.FileVersion.toStdString());
      ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                  FromStd(e.what()) + QStringLiteral("\n\nThe program starts with its default settings."));
    }
  } else {
    try {
      WriteSettingsFile(settingsPath_, settings_);
    } catch (const std::exception&) {
      // Nothing is lost but the memory of this run's choices; FormClose
      // saves only into an existing file, so it stays silent as well.
    }
  }

  try {
    PrepareEclipse(*computation_, catalogue_, selectedIndex_, CheckBox_ET_UT->isChecked(), resolution_);
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), FromStd(e.what()));
  }
  // The handlers below would each run a recomputation whose result the last
  // one replaces before anything is shown; only the last one runs.
  startingUp_ = true;
  if (CheckBox_ET_UT->isChecked() != (settings_.UseUT != 0)) {
    CheckBox_ET_UT->setChecked(settings_.UseUT != 0);
    CheckBox_ET_UTClick();
  }
  ChoosePenWidth(penWidth_);
  if (settings_.Orthographic == 1) {
    RadioButton_Ortho->setChecked(true);
  } else {
    RadioButton_Stereo->setChecked(true);
    RadioButton_StereoClick();
  }
  // A language byte the program never writes (a damaged file) is read as English.
  ChooseLanguage(uiLanguage_ >= kGerman && uiLanguage_ <= kFrench ? uiLanguage_ : kEnglish);
  startingUp_ = false;
  Recompute();
  ProcessMessages();
  connect(Panel2, &MapPanel::firstMapPainted, this, &TForm_Main::FinishTextureLoad, Qt::QueuedConnection);
  return true;
}

void TForm_Main::FinishTextureLoad() {
  if (!textureLoad_.valid()) return;
  try {
    const TextureLoadResult loaded = textureLoad_.get();
    if (!loaded.decoded) ReportMissingTexture(FromStd(loaded.message));
  } catch (const std::exception& e) {
    texture_ = EarthTexture{};
    ReportMissingTexture(FromStd(e.what()) + QStringLiteral("\n\nThe globe is drawn without the Earth texture."));
  }
}

void TForm_Main::ReportMissingTexture(const QString& text) {
  QString message = text;
  if (!message.contains(QStringLiteral("without"))) {
    message += QStringLiteral("\n\nThe globe is drawn without the Earth texture.");
  }
  CheckBox_Farbe->setChecked(false);
  CheckBox_Farbe->setEnabled(false);
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), message);
}

// ---------------------------------------------------------------- the cycle

void TForm_Main::Recompute() {
  if (startingUp_) return;
  const QPointer<QWidget> focus = QApplication::focusWidget();
  busy_ = true;
  setEnabled(false);
  ProcessMessages();
  auto giveBack = [&] {
    setEnabled(true);
    busy_ = false;
    if (focus != nullptr && focus->isVisible()) focus->setFocus();
  };
  try {
    DeleteComputationFiles(options_.tempFolder);
    ProcessMessages();
    computation_->curves.ClearAll();
    for (int p = 2; p <= 12; ++p) SetStatusPanel(p, QString());
    PrepareEclipse(*computation_, catalogue_, selectedIndex_, CheckBox_ET_UT->isChecked(), resolution_);
    const EclipseRecord& e = computation_->eclipse;
    SetStatusPanel(0, QStringLiteral("Eclipse#%1").arg(selectedIndex_));
    GroupBox_Saros->setTitle(FromWindows1252(SarosCaption(e.SarosMember, e.SarosMemberCount, uiLanguage_)));
    Edit_Jahr->setText(QString::number(e.Year));
    Saros_Edit->setText(QString::number(e.SarosNumber));
    UpdateEclipseLabels();
    computation_->outputFolder = options_.tempFolder;
    ComputeEclipse(*computation_);
    computed_ = true;
    DrawMap();
  } catch (const std::exception& error) {
    giveBack();
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), FromStd(error.what()));
    if (closeRequested_) close();
    return;
  }
  giveBack();
  if (closeRequested_) close();
}

void TForm_Main::UpdateEclipseLabels() {
  const EclipseComputation& c = *computation_;
  CheckBox_ET_UT->setText(FromWindows1252(
      TimeScaleCaption(CheckBox_ET_UT->isChecked(), c.modelDeltaT, c.eclipse.Year, uiLanguage_)));
  const QString dateTime = FromStd(c.dateTimeText);
  const QString nine(9, QLatin1Char(' '));
  setWindowTitle(captionPrefix_ + nine + dateTime + nine +
                 FromWindows1252(EclipseTypeName(c.eclipse.EclipseType, uiLanguage_)));
  Label_SoFiTyp->setText(FromWindows1252(EclipseTypeShortName(c.eclipse.EclipseType, uiLanguage_)));
  Label_DatumZeit->setText(dateTime);
}

ViewParameters TForm_Main::ReadViewParameters() const {
  auto angle = [](const QLineEdit* edit, const char* name) {
    const auto value = ParseReal(edit->text());
    if (!value) {
      throw std::runtime_error(std::string("The angle ") + name + " \"" + edit->text().toStdString() +
                               "\" is not a number.");
    }
    return *value;
  };
  ViewParameters view;
  view.Psi = angle(Edit_Psi, "Psi");
  view.Phi = angle(Edit_Phi, "Phi");
  view.Chi = angle(Edit_Chi, "Chi");
  const auto rk = ParseInteger(Edit_RK->text());
  if (!rk) {
    throw std::runtime_error("The globe size \"" + Edit_RK->text().toStdString() + "\" is not a whole number.");
  }
  view.RK = *rk;
  view.Stereographic = RadioButton_Stereo->isChecked();
  // The texture is read only once its loading thread is done with it.
  view.ColoredEarth = CheckBox_Farbe->isChecked() && !textureLoad_.valid() && !texture_.Empty();
  view.PenWidth = penWidth_;
  view.Resolution = resolution_;
  return view;
}

void TForm_Main::ProcessMessages() { QApplication::processEvents(); }

void TForm_Main::ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text) {
  if (messageSink_) messageSink_(icon, title, text);
}

void TForm_Main::SetStatusPanel(int panel, const QString& text) {
  if (panel >= 0 && panel < kStatusPanelCount) statusPanels_[panel]->setText(text);
}

const QImage& TForm_Main::DisplayImage() const { return renderer_->DisplayImage(); }

// ---------------------------------------------------------------- selection

void TForm_Main::Edit_JahrKeyDown() {
  const auto year = ParseInteger(Edit_Jahr->text());
  if (!year) return;
  const int clamped = ClampYear(*year);
  Edit_Jahr->setText(QString::number(clamped));
  selectedIndex_ = FindFirstOfYear(catalogue_, clamped);
  Recompute();
}

void TForm_Main::StepCatalogueBy(int step) {
  const int next = StepCatalogue(catalogue_, selectedIndex_, step);
  if (next == selectedIndex_) return;
  selectedIndex_ = next;
  ChooseResolution(1);
  Recompute();
}

void TForm_Main::Button_plus_01_EclClick() { StepCatalogueBy(1); }
void TForm_Main::Button_minus_01_EclClick() { StepCatalogueBy(-1); }
void TForm_Main::Button_plus_10_EclClick() { StepCatalogueBy(10); }
void TForm_Main::Button_minus_10_EclClick() { StepCatalogueBy(-10); }

void TForm_Main::StepSarosBy(int members) {
  const int next = StepSaros(catalogue_, selectedIndex_, members);
  if (next == selectedIndex_) return;
  selectedIndex_ = next;
  ChooseResolution(1);
  Recompute();
}

void TForm_Main::Button_plus_1_sarosClick() { StepSarosBy(1); }
void TForm_Main::Button_minus_1_sarosClick() { StepSarosBy(-1); }
void TForm_Main::Button_plus_3_sarosClick() { StepSarosBy(3); }
void TForm_Main::Button_minus_3_sarosClick() { StepSarosBy(-3); }

void TForm_Main::Saros_EditKeyDown() {
  const int saros = ClampSaros(ParseInteger(Saros_Edit->text()).value_or(kDefaultSarosEntry));
  Saros_Edit->setText(QString::number(saros));
  const auto first = FindFirstOfSaros(catalogue_, saros);
  if (!first) {
    StatusBar1->showMessage(SarosNotFoundText(saros, uiLanguage_), 5000);
    return;
  }
  selectedIndex_ = *first;
  Recompute();
}

void TForm_Main::CheckBox_ET_UTClick() {
  SetTimeScale(*computation_, CheckBox_ET_UT->isChecked());
  UpdateEclipseLabels();
  if (!computed_) return;  // start-up: nothing drawn yet, the first Recompute draws
  // The drawing lets the window process messages; like the recomputation it
  // holds the window disabled so that no click starts a second one inside it.
  busy_ = true;
  setEnabled(false);
  QString failure;
  try {
    DrawMap();
  } catch (const std::exception& error) {
    failure = FromStd(error.what());
  }
  setEnabled(true);
  busy_ = false;
  CheckBox_ET_UT->setFocus();
  if (!failure.isEmpty()) ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), failure);
  if (closeRequested_) close();
}

// ---------------------------------------------------------------- view

void TForm_Main::StepAngle(QLineEdit* edit, double step) {
  const auto value = ParseReal(edit->text());
  if (!value) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                QStringLiteral("\"%1\" is not a valid floating point value.").arg(edit->text()));
    return;
  }
  edit->setText(OneDecimal(*value + step));
  Recompute();
}

void TForm_Main::EnterAngle(QLineEdit* edit) {
  edit->setText(OneDecimal(ParseReal(edit->text()).value_or(0.0)));
  Recompute();
}

void TForm_Main::Edit_PsiKeyDown() { EnterAngle(Edit_Psi); }
void TForm_Main::Edit_PhiKeyDown() { EnterAngle(Edit_Phi); }
void TForm_Main::Edit_ChiKeyDown() { EnterAngle(Edit_Chi); }

void TForm_Main::StepGlobeSize(int step) {
  const auto size = ParseInteger(Edit_RK->text());
  if (!size) {
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                QStringLiteral("\"%1\" is not a valid integer value.").arg(Edit_RK->text()));
    return;
  }
  const long long next = static_cast<long long>(*size) + step;
  const long long bounded = step < 0 ? std::max<long long>(kMinGlobeSize, next)
                                     : std::min<long long>(kMaxGlobeSize, next);
  Edit_RK->setText(QString::number(bounded));
  Recompute();
}

void TForm_Main::Edit_RKKeyDown() {
  const int size = ParseInteger(Edit_RK->text()).value_or(kGlobeSizeOnBadEntry);
  Edit_RK->setText(QString::number(std::clamp(size, kMinGlobeSize, kMaxGlobeSize)));
  Recompute();
}

void TForm_Main::Button_ResetViewClick() {
  Edit_Psi->setText(QStringLiteral("0.0"));
  Edit_Phi->setText(QStringLiteral("0.0"));
  Edit_Chi->setText(QStringLiteral("0.0"));
  Edit_RK->setText(QString::number(kDefaultGlobeSize));
  Recompute();
  ProcessMessages();
}

void TForm_Main::RadioButton_OrthoClick() {
  Recompute();
  ProcessMessages();
}

void TForm_Main::RadioButton_StereoClick() {
  Recompute();
  ProcessMessages();
}

void TForm_Main::CheckBox_FarbeClick() { Recompute(); }

void TForm_Main::ChooseResolution(int resolution) {
  for (int i = 0; i < 6; ++i) {
    if (kResolutions[i] == resolution) resolutionItems_[i]->setChecked(true);
  }
  resolution_ = resolution;
}

void TForm_Main::ChoosePenWidth(int penWidth) {
  penWidth_ = std::clamp(penWidth, 1, 3);
  penWidthItems_[penWidth_ - 1]->setChecked(true);
}

// ---------------------------------------------------------------- menus

void TForm_Main::ChooseLanguage(int language) {
  uiLanguage_ = language;
  ApplyLanguageCaptions(this, language);
  languageItems_[language]->setChecked(true);
  Recompute();
}

void TForm_Main::Deutsch1Click() { ChooseLanguage(kGerman); }
void TForm_Main::English1Click() { ChooseLanguage(kEnglish); }
void TForm_Main::Francais1Click() { ChooseLanguage(kFrench); }

void TForm_Main::About1Click() {
  Panel_About->show();
  Panel_About->raise();
}

void TForm_Main::Button_About_OKClick() { Panel_About->hide(); }

void TForm_Main::DVLHelp1Click() {
  try {
    const fs::path index = FindDataFile(kHelpIndexFile, options_.dataFolder);
    if (helpWindow_ == nullptr) helpWindow_ = new HelpBrowser(this);
    static_cast<HelpBrowser*>(helpWindow_)->OpenContents(index);
    helpWindow_->show();
    helpWindow_->raise();
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(e.what()));
  }
}

// ---------------------------------------------------------------- exit

void TForm_Main::Button_ExitClick() {
  if (computed_) {
    try {
      WriteExitFiles(*renderer_, *computation_, LegendTitle(), CurrentEditTexts(),
                     options_.tempFolder);
    } catch (const std::exception& e) {
      // Reported, then the window closes all the same: the user asked to
      // leave, and the map picture is only a by-product of leaving.
      ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), FromStd(e.what()));
    }
    Panel2->SetImage(renderer_->DisplayImage());
  } else {
    std::error_code ignored;
    fs::remove(options_.tempFolder / kSheetFileName, ignored);
  }
  close();
}

void TForm_Main::Button_Exit_pdfClick() {
  Button_Exit_pdf->setEnabled(false);
  Shape1->SetBrushColor(kBusyRed);
  ProcessMessages();
  auto giveBack = [this] {
    Shape1->SetBrushColor(kPanelGrey);
    Button_Exit_pdf->setEnabled(true);
  };
  if (!computed_) {
    giveBack();
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                QStringLiteral("No eclipse has been computed, so there is no sheet to write."));
    return;
  }
  try {
    WriteExitFilesWithSheet(*renderer_, *computation_, LegendTitle(), CurrentEditTexts(),
                            options_.tempFolder);
    Panel2->SetImage(renderer_->DisplayImage());
  } catch (const std::exception& e) {
    // Bitmap and sheet are written under temporary names and renamed when
    // complete, so nothing half-written is left; the user may retry or leave.
    Panel2->SetImage(renderer_->DisplayImage());
    giveBack();
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"), FromStd(e.what()));
    return;
  }
  uiLanguage_ = kEnglish;  // the sheet is English, and the settings remember it
  Shape1->SetBrushColor(kPanelGrey);
  close();
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // A close request from the window manager during a recomputation is
    // carried out when the cycle ends, not in the middle of it.
    closeRequested_ = true;
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  // The help window would otherwise keep the program running on its own.
  if (helpWindow_ != nullptr) helpWindow_->close();
  event->accept();
}

void TForm_Main::FormClose() {
  std::error_code ec;
  if (fs::exists(settingsPath_, ec)) {
    Settings s = settings_;
    s.Language = static_cast<std::uint8_t>(uiLanguage_);
    s.EclipseIndex = selectedIndex_;
    s.UseUT = CheckBox_ET_UT->isChecked() ? 1 : 0;
    // An angle edit left holding text that is not a number must not keep the
    // user from leaving: the angles of the last drawing are saved instead.
    const ViewParameters last = lastDrawnView_.value_or(ViewParameters{});
    s.Psi = ParseReal(Edit_Psi->text()).value_or(last.Psi);
    s.Phi = ParseReal(Edit_Phi->text()).value_or(last.Phi);
    s.Chi = ParseReal(Edit_Chi->text()).value_or(last.Chi);
    s.GlobeSize = lastDrawnView_ ? last.RK : ParseInteger(Edit_RK->text()).value_or(kDefaultGlobeSize);
    s.Orthographic = RadioButton_Ortho->isChecked() ? 1 : 0;
    s.Resolution = 1;
    s.PenWidth = penWidth_;
    try {
      WriteSettingsFile(settingsPath_, s);
    } catch (const std::exception& e) {
      ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(e.what()));
    }
  }
  // The twenty names of the list, and the horizon curves under the names
  // they are written with (the list spells them in capitals).
  if (options_.computerName != options_.keepFilesHost) DeleteComputationFiles(options_.tempFolder);
}

}  // namespace darvelle::ui
