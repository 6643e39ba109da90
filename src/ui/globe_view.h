#pragma once
// The globe on screen: shows the map drawing scaled to the widget at the
// screen's own pixel density, and turns the mouse and the keyboard into view
// requests and places, as users of desktop globes expect:
//   drag                      turns the globe, the grabbed point under the cursor
//   Shift-drag or right-drag  turns the picture about the line of sight (Chi)
//   wheel                     zooms about the cursor
//   double-click              centres the point
//   click without a drag      picks a place, once the globe has the focus (the
//                             click that gives it the focus only focuses)
//   right-click               a menu: set the place here, centre here
//   Escape                    asks for the place chosen before
//   arrow keys, + and -       pan and zoom when the globe has the focus
// The widget never draws the map itself: it asks for a view with
// viewRequested and shows whatever drawing it is given next.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

#include "render/globe_interaction.h"
#include "render/projection.h"
#include "catalogue/language.h"

class QPainter;

namespace darvelle::ui {

// "52°31.2′ N  13°24.0′ E": a cursor position for the status bar, with the
// hemisphere letters of the language (0 German, 1 English, 2 French).
QString CursorCoordinateText(double latitude, double longitude, Language language);

class GlobeView : public QWidget {
  Q_OBJECT

 public:
  // A mouse held still this long during a drag, or this long after the last
  // wheel step, asks for the full drawing.
  static constexpr int kSettleMilliseconds = 150;

  explicit GlobeView(QWidget* parent = nullptr);

  // The map drawing (of the projection's canvas) and the view it was drawn
  // with: the user's offsets and the projection they gave.
  void setMap(const QImage& drawing, const ViewParameters& view,
              const GlobeProjection& projection);
  bool hasMap() const { return drawnProjection_.has_value(); }

  // Where the picture lies in the widget: the map's aspect (a picture of
  // this size, scaled to fit and stretched over the whole drawing) and its
  // alignment; by default the drawing's own aspect, centred.
  void setMapPlacement(Qt::Alignment alignment, QSize aspect);

  // An overlay paints nothing: it lies over a widget that shows the map and
  // only turns the mouse and the keys into requests (setMap then needs no
  // drawing).
  void setOverlay(bool overlay);

  // Whether drags and wheel steps also ask for interim views while they go on
  // (for a cheap preview drawing); the final view is asked for in any case.
  void setInterimViews(bool enabled) { interimViews_ = enabled; }

  // The picture on screen: the drawing scaled to the map's rectangle in
  // device pixels, tagged with the device pixel ratio.
  const QImage& displayImage() const { return display_; }
  // Where the map lies in the widget (logical pixels), its aspect kept.
  QRectF mapRect() const;
  // The drawing-image position (pixels of the drawing's canvas) under a
  // widget point (outside the map, too).
  ImagePosition imagePositionAt(QPointF widgetPoint) const;
  // The widget point of a drawing-image position.
  QPointF widgetPointAt(ImagePosition position) const;
  // A marker at a place (the observer), drawn over the picture where the
  // last drawing's projection puts it, so that it follows the globe without
  // a new drawing; none when empty or on the far side.
  void setMarker(std::optional<GeoPosition> place);
  // The widget point of a place in the last drawing; none on the far side
  // or before a drawing.
  std::optional<QPointF> widgetPointOfPlace(GeoPosition place) const;
  // The view the widget last asked for (or was given).
  const ViewParameters& requestedView() const { return requested_; }
  // The language of the right-click menu (0 German, 1 English, 2 French).
  void setLanguage(Language language) { language_ = language; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A view to draw; `interim` while a drag or wheel turn goes on.
  void viewRequested(const darvelle::ViewParameters& view, bool interim);
  // A click without a drag on the globe, degrees (east positive); told once
  // the time for a double-click has passed without one.
  void placeClicked(double latitude, double longitude);
  // The cursor over the globe, degrees; cursorLeftGlobe when it is off it.
  void cursorMoved(double latitude, double longitude);
  void cursorLeftGlobe();
  // Escape on the globe: the user wants the place chosen before back.
  void previousPlaceRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  enum class DragKind { Turn, Tilt };

  GlobeProjection ProjectionFor(const ViewParameters& view) const;
  // The last drawing's canvas, the default one before any.
  MapCanvas Canvas() const;
  void Request(const ViewParameters& view, bool interim);
  void RequestFinal();
  void UpdateDisplay();
  void ReportCursor(QPointF widgetPoint);
  std::optional<GeoPosition> PlaceAt(QPointF widgetPoint) const;
  void PaintMarker(QPainter& painter) const;
  GlobeProjection ShownProjection() const;
  void ShowPlaceMenu(QPointF widgetPoint);
  void ShowHelpTip(QPoint widgetPoint);

  QImage drawing_;
  QImage display_;
  ViewParameters drawnView_;
  std::optional<GlobeProjection> drawnProjection_;
  ViewParameters requested_;
  std::optional<ViewParameters> lastFinal_;
  bool interimViews_ = false;
  bool overlay_ = false;
  Qt::Alignment alignment_ = Qt::AlignCenter;
  QSize aspect_{kMapWidth, kMapHeight};

  // The drag under way: where and with which view it began.
  bool pressed_ = false;
  bool dragging_ = false;
  DragKind dragKind_ = DragKind::Turn;
  QPointF pressPoint_;
  ViewParameters pressView_;
  // The press under way gave the globe the keyboard focus: its click only
  // focuses, so that reaching for the keys never moves the place.
  bool pressFocused_ = false;
  bool focusedByMouse_ = false;
  Language language_ = kEnglish;

  QTimer settle_;
  std::optional<GeoPosition> marker_;
  // A click's place, held until it is clear that no double-click follows.
  QTimer clickWait_;
  GeoPosition clickedPlace_;
};

}  // namespace darvelle::ui
