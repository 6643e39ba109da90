#include "ui/view_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <string_view>
#include <algorithm>

#include "astro/delta_t.h"
#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/eclipse_session.h"
#include "ui/fit_to_window.h"
#include "ui/session_controller.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

constexpr int kResolutions[6] = {1, 2, 4, 8, 16, 32};
constexpr const char* kResolutionNames[6] = {"Resol1", "Resol2", "Resol4", "Resol8", "Resol16", "Resol32"};
constexpr const char* kResolutionCaptions[6] = {"&1", "&2", "&4", "&8", "&1&6", "&32"};

// The map's layers, off at first, so that the map is the one it always was.
struct Layer {
  const char* name;
  const char* caption;
  const char* key;
  void (*show)(SessionController&, bool);
  bool SessionState::*shown;
};
constexpr Layer kLayers[] = {
    {"Borders1", "National borders", kBordersKey, [](SessionController& c, bool on) { c.ShowBorders(on); }, &SessionState::borders},
    {"PathBand1", "Path as a band", kPathBandKey, [](SessionController& c, bool on) { c.ShowPathBand(on); }, &SessionState::pathBand},
    {"DeltaTBand1", "DeltaT band (±2σ)", kDeltaTBandKey, [](SessionController& c, bool on) { c.ShowDeltaTBand(on); }, &SessionState::deltaTBand},
    {"TownNames1", "Town names", kTownNamesKey, [](SessionController& c, bool on) { c.ShowTownNames(on); }, &SessionState::townNames},
    {"TownDurations1", "Towns in the path with durations", kTownDurationsKey, [](SessionController& c, bool on) { c.ShowTownDurations(on); },
     &SessionState::townDurations},
};

// A checkable item, in a group of exclusive ones when `group` is set.
QAction* AddChoice(QMenu* menu, QActionGroup* group, const char* name, const char* caption) {
  QAction* action = AddItem(menu, name, caption);
  action->setCheckable(true);
  if (group != nullptr) group->addAction(action);
  return action;
}

}  // namespace

ViewMenus::ViewMenus(QMenuBar& bar, SessionController& controller, std::filesystem::path settingsFolder,
                     QDockWidget& legendDock, std::function<void()> fitToWindow)
    : QObject(&bar), controller_(controller), settingsFolder_(std::move(settingsFolder)) {
  BuildResolutionMenu(bar);
  BuildPenWidthMenu(bar);
  BuildOptionMenu(bar, legendDock, std::move(fitToWindow));
}

void ViewMenus::BuildResolutionMenu(QMenuBar& bar) {
  QMenu* menu = AddMenu(bar, "Resolution1", "&Resolution");
  auto* group = new QActionGroup(this);
  for (int i = 0; i < 6; ++i) {
    resolutionItems_[i] = AddChoice(menu, group, kResolutionNames[i], kResolutionCaptions[i]);
    const int resolution = kResolutions[i];
    connect(resolutionItems_[i], &QAction::triggered, this, [this, resolution] { controller_.ChooseResolution(resolution); });
  }
  resolutionItems_[0]->setChecked(true);
}

void ViewMenus::BuildPenWidthMenu(QMenuBar& bar) {
  QMenu* menu = AddMenu(bar, "Penwidth1", "Pen width");
  auto* group = new QActionGroup(this);
  for (int i = 0; i < 3; ++i) {
    const QByteArray name = "PWidth" + QByteArray::number(i + 1);
    penWidthItems_[i] = AddChoice(menu, group, name.constData(), QByteArray::number(i + 1).constData());
    const int width = i + 1;
    connect(penWidthItems_[i], &QAction::triggered, this, [this, width] { controller_.ChoosePenWidth(width); });
  }
  penWidthItems_[0]->setChecked(true);
}

void ViewMenus::BuildOptionMenu(QMenuBar& bar, QDockWidget& legendDock, std::function<void()> fitToWindow) {
  QMenu* menu = optionMenu_ = AddMenu(bar, "Option1", "&Option");
  auto* group = new QActionGroup(this);
  languageItems_[LanguageIndex(kGerman)] = AddChoice(menu, group, "Deutsch1", "&Deutsch");
  languageItems_[LanguageIndex(kEnglish)] = AddChoice(menu, group, "English1", "&English");
  languageItems_[LanguageIndex(kFrench)] = AddChoice(menu, group, "Francais1", "&Français");
  for (Language language : {kGerman, kEnglish, kFrench}) {
    connect(languageItems_[LanguageIndex(language)], &QAction::triggered, this,
            [this, language] { emit languageChosen(language); });
  }
  menu->addSeparator();
  // Each layer is remembered in the window's settings for the next start.
  static_assert(std::size(kLayers) == kLayerCount);
  static_assert(std::string_view(kLayers[kDeltaTBandLayer].name) == "DeltaTBand1");
  for (std::size_t i = 0; i < std::size(kLayers); ++i) {
    const Layer& layer = kLayers[i];
    QAction* item = AddChoice(menu, nullptr, layer.name, layer.caption);
    layerItems_[i] = item;
    const Layer* entry = &layer;  // the table's own row, not the loop's reference
    connect(item, &QAction::triggered, this, [this, entry](bool shown) {
      WindowSettings(settingsFolder_).SetValue(QString::fromLatin1(entry->key), shown);
      entry->show(controller_, shown);
    });
  }
  menu->addSeparator();
  menu->addAction(legendDock.toggleViewAction());
  menu->addSeparator();
  AddFitToWindowItem(menu, std::move(fitToWindow));
}

void ViewMenus::RestoreLayers(SessionState& state) const {
  const WindowSettings saved(settingsFolder_);
  for (const Layer& layer : kLayers) state.*layer.shown = saved.Value(QString::fromLatin1(layer.key), false).toBool();
}

void ViewMenus::ShowState(const SessionState& state) {
  for (std::size_t i = 0; i < std::size(kLayers); ++i) layerItems_[i]->setChecked(state.*kLayers[i].shown);
  for (int i = 0; i < 6; ++i) {
    if (kResolutions[i] == state.view.Resolution) resolutionItems_[i]->setChecked(true);
  }
  penWidthItems_[std::clamp(state.view.PenWidth, 1, 3) - 1]->setChecked(true);
  languageItems_[LanguageIndex(state.language)]->setChecked(true);
}

void ViewMenus::ShowEclipse(const PreparedEclipse& eclipse) {
  // The band shows the uncertainty of the UT instants, where the model gives one.
  layerItems_[kDeltaTBandLayer]->setEnabled(eclipse.timeScale == TimeScale::kUniversal &&
                                            DeltaTUncertainty(eclipse.elements.year).has_value());
}

}  // namespace darvelle::ui
