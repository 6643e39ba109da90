// The window's construction: the left panel, the map panel, the status bar
// and the About panel. Each control is connected where it is made.

#include <QDockWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"
#include "ui/control_column.h"
#include "ui/control_factory.h"
#include "ui/eclipse_controls.h"
#include "ui/dock_arranger.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/save_controller.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

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

constexpr int kSarosNotFoundMilliseconds = 5000;

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
  dockArranger_ = std::make_unique<DockArranger>(*this, *Panel2, QList<QDockWidget*>{legendDock_, placeDock_, townsDock_});
  BuildStatusBar();
  BuildMenus();
  BuildPlaceMenuItems();
  BuildAboutPanel();
  BuildConventions();
  // The docks do not set the window's least width: a narrower window moves
  // them under the globe (ArrangeDocks) instead of refusing to shrink.
  setMinimumWidth(centralWidget()->minimumSizeHint().width());
  BindSession();
  BuildTimeControls();
  connect(&exitWriter_, &QFutureWatcherBase::finished, this, &MainWindow::FinishExit);
}

void MainWindow::BuildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(central);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* body = new QHBoxLayout;
  body->setSpacing(0);
  outer->addLayout(body, 1);

  controls_ = new EclipseControls(*controller_, catalogue_);
  body->addWidget(new ControlColumn(controls_, central));
  connect(controls_, &EclipseControls::timeScaleSwitched, this, &MainWindow::SwitchTimeScale);
  connect(controls_, &EclipseControls::exitRequested, this, &MainWindow::Exit);
  connect(controls_, &EclipseControls::message, this, &MainWindow::ShowMessage);
  connect(controls_, &EclipseControls::sarosNotFound, this, [this](int saros) {
    statusBar_->ShowMessage(SarosNotFoundText(saros, UiLanguage()), kSarosNotFoundMilliseconds);
  });

  Panel2 = new MapPanel(central);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  body->addWidget(Panel2, 1);
  connect(Panel2, &MapPanel::firstMapPainted, this, &MainWindow::firstMapPainted);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(1);
  outer->addWidget(Panel1);
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

}  // namespace darvelle::ui
