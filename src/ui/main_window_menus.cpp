// The main menu: exit, resolution, pen width, language, the map's layers,
// fit to window, help and About.

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/fit_to_window.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

constexpr int kResolutions[6] = {1, 2, 4, 8, 16, 32};
constexpr const char* kResolutionNames[6] = {"Resol1", "Resol2", "Resol4",
                                             "Resol8", "Resol16", "Resol32"};
constexpr const char* kResolutionCaptions[6] = {"&1", "&2", "&4", "&8", "&1&6", "&32"};

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

// A checkable item in a group of exclusive ones.
QAction* AddChoice(QMenu* menu, QActionGroup* group, const char* name, const char* caption) {
  QAction* action = AddItem(menu, name, caption);
  action->setCheckable(true);
  group->addAction(action);
  return action;
}

}  // namespace

QMenu* MainWindow::AddMenu(const char* name, const char* caption) {
  QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

void MainWindow::BuildMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  menuBar()->setFont(PixelFont(QStringLiteral("Arial"), 15, false));

  QMenu* file = AddMenu("File1", "&File");
  BuildFileItems(file);
  Exit1 = AddItem(file, "Exit1", "E&xit");
  connect(Exit1, &QAction::triggered, this, [this] { Exit(false); });
  BuildResolutionMenu();
  BuildPenWidthMenu();
  BuildLanguageMenu();

  QMenu* help = AddMenu("Help1", "&Help");
  helpItem_ = AddItem(help, "DVLHelp1", "DVL Help");
  connect(helpItem_, &QAction::triggered, this, &MainWindow::OpenHelp);
  connect(AddItem(help, "About1", "&About"), &QAction::triggered, this, [this] {
    Panel_About->show();
    Panel_About->raise();
  });
}

void MainWindow::BuildResolutionMenu() {
  QMenu* menu = AddMenu("Resolution1", "&Resolution");
  auto* group = new QActionGroup(this);
  for (int i = 0; i < 6; ++i) {
    resolutionItems_[i] = AddChoice(menu, group, kResolutionNames[i], kResolutionCaptions[i]);
    const int resolution = kResolutions[i];
    connect(resolutionItems_[i], &QAction::triggered, this,
            [this, resolution] { ChooseResolution(resolution); });
  }
  resolutionItems_[0]->setChecked(true);
}

void MainWindow::BuildPenWidthMenu() {
  QMenu* menu = AddMenu("Penwidth1", "Pen width");
  auto* group = new QActionGroup(this);
  for (int i = 0; i < 3; ++i) {
    const QByteArray name = "PWidth" + QByteArray::number(i + 1);
    penWidthItems_[i] = AddChoice(menu, group, name.constData(), QByteArray::number(i + 1).constData());
    const int width = i + 1;
    connect(penWidthItems_[i], &QAction::triggered, this, [this, width] { ChoosePenWidth(width); });
  }
  penWidthItems_[0]->setChecked(true);
}

void MainWindow::BuildLanguageMenu() {
  QMenu* menu = AddMenu("Option1", "&Option");
  auto* group = new QActionGroup(this);
  languageItems_[LanguageIndex(kGerman)] = AddChoice(menu, group, "Deutsch1", "&Deutsch");
  languageItems_[LanguageIndex(kEnglish)] = AddChoice(menu, group, "English1", "&English");
  languageItems_[LanguageIndex(kFrench)] = AddChoice(menu, group, "Francais1", "&Français");
  for (Language language : {kGerman, kEnglish, kFrench}) {
    connect(languageItems_[LanguageIndex(language)], &QAction::triggered, this,
            [this, language] { ChooseLanguage(language); });
  }
  menu->addSeparator();
  // The map's layers, off at first, so that the map is the one it always
  // was; each remembered in the window's settings for the next start.
  struct Layer {
    const char* name;
    const char* caption;
    const char* key;
    void (SessionController::*show)(bool);
  };
  const Layer layers[] = {
      {"Borders1", "National borders", kBordersKey, &SessionController::ShowBorders},
      {"PathBand1", "Path as a band", kPathBandKey, &SessionController::ShowPathBand},
      {"DeltaTBand1", "DeltaT band (±2σ)", kDeltaTBandKey, &SessionController::ShowDeltaTBand},
      {"TownNames1", "Town names", kTownNamesKey, &SessionController::ShowTownNames},
      {"TownDurations1", "Towns in the path with durations", kTownDurationsKey,
       &SessionController::ShowTownDurations},
  };
  for (const Layer& layer : layers) {
    QAction* item = AddItem(menu, layer.name, layer.caption);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, layer](bool shown) {
      WindowSettings(options_.settingsFolder).SetValue(QString::fromLatin1(layer.key), shown);
      (controller_.get()->*layer.show)(shown);
    });
  }
  deltaTBandItem_ = findChild<QAction*>(QStringLiteral("DeltaTBand1"));
  townDurationsItem_ = findChild<QAction*>(QStringLiteral("TownDurations1"));
  menu->addSeparator();
  menu->addAction(legendDock_->toggleViewAction());
  menu->addSeparator();
  AddFitToWindowItem(menu, [this] {
    if (const auto size = FitToWindowSize(session_->Current().get(), session_->State().view, MapArea(),
                                          Panel2->devicePixelRatioF())) {
      controller_->SetGlobeSize(*size);
    }
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
