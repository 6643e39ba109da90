#pragma once
// The map panel with the globe under the mouse: it shows the session's
// pictures, and drags, the wheel and double-clicks on it ask for a new view.
// While a drag goes on it shows quick pictures of the turning globe, made
// on the window's thread from what the last map drew.

#include <memory>

#include "ui/widgets.h"

namespace darvelle {
struct ViewParameters;
}
namespace darvelle::ui {

class DragPreview;
class EarthLoads;
class EclipseSession;
class GlobeView;
class SessionController;
struct SessionResult;

class GlobeWidget : public MapPanel {
  Q_OBJECT

 public:
  // All outlive the widget.
  GlobeWidget(EclipseSession& session, SessionController& controller, const EarthLoads& earth,
              QWidget* parent = nullptr);
  ~GlobeWidget() override;

  // The globe view over the map, which reads the mouse and the keys.
  GlobeView& Input() const { return *input_; }
  // A result of the session: its picture, and the globe under the mouse.
  void ShowResult(const SessionResult& result);
  // The session's current map, stretched until its fit for this size comes.
  void ShowCurrentMap();
  // The globe under the mouse as `result` drew it.
  void ShowOnGlobe(const SessionResult& result);

 private:
  void Turn(const ViewParameters& view, bool interim);
  void ShowDragPreview(const ViewParameters& view);

  EclipseSession& session_;
  SessionController& controller_;
  const EarthLoads& earth_;
  GlobeView* input_ = nullptr;  // GlobeInput
  std::unique_ptr<DragPreview> dragPreview_;  // made at the first drag
};

}  // namespace darvelle::ui
