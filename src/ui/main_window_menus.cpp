// The main menu: exit, resolution, pen width, language, the map's layers,
// fit to window, help and About.

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "ui/about_panel.h"
#include "ui/control_factory.h"
#include "ui/earth_loads.h"
#include "ui/fit_to_window.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/save_controller.h"
#include "ui/view_menus.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

}  // namespace

QMenu* MainWindow::AddMenu(const char* name, const char* caption) {
  QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

void MainWindow::BuildSaves(QMenu* file) {
  saveController_ = std::make_unique<SaveController>(SaveController::Context{
      *session_, workers_, earthLoads_->Texture(), earthLoads_->Coastlines(), options_.settingsFolder, *statusBar_, *this});
  connect(saveController_.get(), &SaveController::message, this, &MainWindow::ShowMessage);
  connect(saveController_.get(), &SaveController::settingsProblem, this, &MainWindow::ReportSettingsProblem);
  connect(saveController_.get(), &SaveController::finished, this, [this](const QString& path, bool written) {
    emit saveFinished(path, written);
    // A close asked for during the save waits for this.
    if (!IsSaving() && !IsBusy()) emit becameIdle();
  });
  saveController_->AddMenuItems(file);
}

void MainWindow::SetFileAsker(FileAsker asker) { saveController_->SetFileAsker(std::move(asker)); }

bool MainWindow::IsSaving() const { return saveController_ != nullptr && saveController_->IsSaving(); }

void MainWindow::BuildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  menuBar()->setFont(PixelFont(QStringLiteral("Arial"), 15, false));

  QMenu* file = AddMenu("File1", "&File");
  BuildSaves(file);
  Exit1 = AddItem(file, "Exit1", "E&xit");
  connect(Exit1, &QAction::triggered, this, [this] { Exit(false); });
  viewMenus_ = new ViewMenus(*menuBar(), *controller_, options_.settingsFolder, *legendDock_, [this] {
    if (const auto size = FitToWindowSize(session_->Current().get(), session_->State().view, MapArea(),
                                          Panel2->devicePixelRatioF())) {
      controller_->SetGlobeSize(*size);
    }
  });
  connect(viewMenus_, &ViewMenus::languageChosen, this, &MainWindow::ChooseLanguage);

  QMenu* help = AddMenu("Help1", "&Help");
  helpItem_ = AddItem(help, "DVLHelp1", "DVL Help");
  connect(helpItem_, &QAction::triggered, this, &MainWindow::OpenHelp);
  connect(AddItem(help, "About1", "&About"), &QAction::triggered, this, [this] {
    aboutPanel_->Open();
  });
}

void MainWindow::ChooseLanguage(Language language) {
  ApplyLanguageCaptions(this, language);
  controller_->ChooseLanguage(language);
}

void MainWindow::OpenHelp() {
  try {
    const std::filesystem::path index =
        FindDataFile(HelpIndexFile(UiLanguage()), options_.dataFolder);
    if (helpWindow_ == nullptr) helpWindow_ = new HelpBrowser(this);
    helpWindow_->OpenContents(index);
    helpWindow_->show();
    helpWindow_->raise();
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(e.what()));
  }
}

}  // namespace darvelle::ui
