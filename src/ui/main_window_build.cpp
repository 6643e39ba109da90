// The window's construction: the left panel, the map panel, the status bar
// and the About panel. Each control is connected where it is made.

#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "catalogue/eclipse_texts.h"
#include "ui/about_panel.h"
#include "ui/control_column.h"
#include "ui/control_factory.h"
#include "ui/dock_arranger.h"
#include "ui/earth_loads.h"
#include "ui/exit_writer.h"
#include "ui/globe_widget.h"
#include "ui/eclipse_controls.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/place_docks.h"
#include "ui/save_controller.h"
#include "ui/session_settings.h"
#include "ui/view_menus.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

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
  earthLoads_ = std::make_unique<EarthLoads>(workers_, *session_, options_.dataFolder, options_.readCoastlines);
  BuildControls();
  BuildLegendDock();
  BuildPlaceDocks();
  dockArranger_ = std::make_unique<DockArranger>(*this, *Panel2, QList<QDockWidget*>{legendDock_, placeDocks_->PlaceDock(), placeDocks_->TownsDock()});
  BuildStatusBar();
  BindGlobe();
  BindEarthLoads();
  BuildMenus();
  placeDocks_->AddMenuItems(viewMenus_->OptionMenu());
  aboutPanel_ = new AboutPanel(centralWidget());
  BuildConventions();
  // The docks do not set the window's least width: a narrower window moves
  // them under the globe (ArrangeDocks) instead of refusing to shrink.
  setMinimumWidth(centralWidget()->minimumSizeHint().width());
  BindSession();
  BuildTimeControls();
  exitWriter_ = std::make_unique<ExitWriter>(workers_, *earthLoads_, options_.tempFolder);
  connect(exitWriter_.get(), &ExitWriter::finished, this, &MainWindow::FinishExit);
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

  Panel2 = new GlobeWidget(*session_, *controller_, *earthLoads_, central);
  body->addWidget(Panel2, 1);
  connect(Panel2, &MapPanel::firstMapPainted, this, &MainWindow::firstMapPainted);

  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(1);
  outer->addWidget(Panel1);
}

void MainWindow::BuildStatusBar() { statusBar_ = new WindowStatusBar(statusBar()); }

void MainWindow::BindEarthLoads() {
  EarthLoads* loads = earthLoads_.get();
  connect(loads, &EarthLoads::status, this, [this](const QString& text) { statusBar_->ShowMessage(text); });
  connect(loads, &EarthLoads::coastlinePointsRead, this,
          [this](std::size_t count) { statusBar_->ShowCoastlinePoints(count); });
  connect(loads, &EarthLoads::message, this, &MainWindow::ShowMessage);
  connect(loads, &EarthLoads::textureMissing, this, [this](const QString& why) {
    controls_->DisableColoredEarth();
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), why);
  });
}

}  // namespace darvelle::ui
