#pragma once
// The shadow at the slider's instant over the map shown: the session's
// drawing is kept as it is, and for each instant a worker copies it, draws
// the time layer (DrawShadowLayer) over the copy and fits it to the map
// panel; the panel then shows that picture. Only one picture is made at a
// time and only the newest instant waits, so playing never queues work and
// the window's thread never draws. Off, the panel gets the session's own
// picture back, untouched.

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <optional>

#include "ui/eclipse_session.h"

namespace darvelle::ui {

class MapPanel;

class TimeLayer : public QObject {
  Q_OBJECT

 public:
  // showPlainMap: puts the session's own picture back on the panel.
  TimeLayer(MapPanel* panel, QThreadPool* workers, std::function<void()> showPlainMap,
            QObject* parent = nullptr);
  // Waits for a picture under way: it reads the result it was given.
  ~TimeLayer() override;

  void setActive(bool active);
  bool active() const { return active_; }
  // The result the map panel shows now (a new map, or the same fitted to a new size).
  void setShown(std::shared_ptr<const SessionResult> shown);
  void setInstant(double t);
  bool busy() const { return running_; }
  // Puts the last picture back after the window showed another one in its
  // place (the drag's quick pictures end so when the view did not change).
  void showAgain();

  // The picture of one instant: the drawing with the layer, fitted to `area`.
  struct Picture {
    std::shared_ptr<const SessionResult> source;
    QImage drawing;
    QImage fitted;
  };
  static Picture Compose(std::shared_ptr<const SessionResult> shown, double t, QSize area,
                         qreal pixelRatio);

 signals:
  // A picture with the layer is on the panel.
  void pictureShown();

 private:
  void Request();
  void Start();
  void Finished();

  MapPanel* panel_;
  QThreadPool* workers_;
  std::function<void()> showPlainMap_;
  bool active_ = false;
  std::shared_ptr<const SessionResult> shown_;
  std::optional<double> instant_;
  bool running_ = false;
  bool waiting_ = false;
  Picture shownPicture_;  // the last picture put on the panel
  QFutureWatcher<Picture> watcher_;
};

}  // namespace darvelle::ui
