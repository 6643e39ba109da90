#pragma once
// The menus that choose how the map is drawn: Resolution, Pen width, and
// Option (the language, the map's layers, the legend and fit to window).
// A choice goes to the SessionController; a layer is also remembered in
// the window's settings for the next start. The items' ticks follow the
// state the session holds.

#include <QObject>
#include <filesystem>
#include <functional>

#include "catalogue/language.h"

class QAction;
class QDockWidget;
class QMenu;
class QMenuBar;

namespace darvelle {
struct PreparedEclipse;
}
namespace darvelle::ui {

class SessionController;
struct SessionState;

class ViewMenus : public QObject {
  Q_OBJECT

 public:
  // Adds the menus to `bar`. `legendDock`'s toggle and "Fit to window"
  // (which calls `fitToWindow`) close the Option menu.
  ViewMenus(QMenuBar& bar, SessionController& controller, std::filesystem::path settingsFolder,
            QDockWidget& legendDock, std::function<void()> fitToWindow);

  // The layers as the last run left them (the window's settings).
  void RestoreLayers(SessionState& state) const;
  void ShowState(const SessionState& state);
  // The DeltaT band is offered where the model's DeltaT is uncertain, in UT.
  void ShowEclipse(const PreparedEclipse& eclipse);
  QMenu* OptionMenu() const { return optionMenu_; }

 signals:
  void languageChosen(Language language);

 private:
  void BuildResolutionMenu(QMenuBar& bar);
  void BuildPenWidthMenu(QMenuBar& bar);
  void BuildOptionMenu(QMenuBar& bar, QDockWidget& legendDock, std::function<void()> fitToWindow);

  SessionController& controller_;
  std::filesystem::path settingsFolder_;
  QAction* resolutionItems_[6] = {};
  QAction* penWidthItems_[3] = {};
  QAction* languageItems_[3] = {};
  // The map's layers in the order of the Option menu; the DeltaT band's
  // item is enabled only where the band can be drawn.
  static constexpr std::size_t kLayerCount = 5;
  static constexpr std::size_t kDeltaTBandLayer = 2;
  QAction* layerItems_[kLayerCount] = {};
  QMenu* optionMenu_ = nullptr;
};

}  // namespace darvelle::ui
