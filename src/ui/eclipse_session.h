#pragma once
// The window's model: what the user has chosen (eclipse, time scale, view,
// language) as typed values, and the computation and drawing of that choice
// on a worker thread. The window binds its controls to this object and
// paints what it emits; it never computes, and it never waits.
//
// Threads: every member function and every signal runs on the thread that
// owns the session (the user-interface thread). One worker job runs at a
// time; it owns the computation and the renderer it fills, and hands them
// over, finished and never touched again by the worker, in a SessionResult.
// A request made while a job runs replaces any request still waiting; the
// running job's result is then stale and dropped, so the newest request wins.

#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "geometry/eclipse_computation.h"
#include "render/coastlines.h"
#include "render/curve_drawing.h"
#include "render/map.h"
#include "render/projection.h"
#include "render/texture_file.h"

namespace darvelle::ui {

// What the user has chosen. `view.ColoredEarth` is the wish; the drawing
// honours it once a texture is there.
struct SessionState {
  int index = kStartEclipseIndex;  // catalogue index, 1-based
  bool universalTime = true;       // UT with DeltaT, else TT
  ViewParameters view;             // angles, size, projection, colours, pen width, resolution
  int language = 0;                // UiLanguage: 0 German, 1 English, 2 French
};

// The Earth texture as its loading job leaves it.
struct LoadedTexture {
  EarthTexture image;
  TextureLoadResult load;  // decoded, or why not
  std::string failure;     // the file could not be read at all (empty when it could)
  bool Usable() const { return failure.empty() && load.decoded && !image.Empty(); }
};
using TextureFuture = QFuture<std::shared_ptr<const LoadedTexture>>;

// Starts decoding `file` on a pool thread.
TextureFuture LoadTextureInBackground(const std::filesystem::path& file);

// One finished computation and its drawing. Immutable once emitted; the
// renderer may still compose the legend picture on the user-interface
// thread, which is the only thread that holds it by then.
struct SessionResult {
  SessionState state;  // the request it answers
  std::shared_ptr<const EclipseResult> computation;
  std::shared_ptr<MapRenderer> renderer;
  StatusTexts status;
  ViewParameters drawnView;  // ColoredEarth as actually drawn
  QSize mapArea;             // the map panel's size the pictures were made for
  QImage fitted;             // ScreenImage() fitted into mapArea, as the panel shows it
  qreal pixelRatio = 1.0;    // the screen's device pixels per logical pixel it was fitted for

  // The drawing the panel shows: the display image, or on a screen of more
  // than one device pixel per logical pixel the full-size drawing, whose
  // pixels the display image would otherwise halve.
  const QImage& ScreenImage() const {
    return pixelRatio > 1.0 ? renderer->DrawingImage() : renderer->DisplayImage();
  }
  // The report and curve files could not be written: the cause, naming the
  // folder or file. The map is drawn all the same.
  std::optional<std::string> outputFailure;
};

// The drawing of `shown` as files have it: without the light halos the
// window's globe draws under the curves. `renderer` (a copy of the shown
// one) draws the map again when the shown drawing has halos, and is left as
// it is otherwise. Any thread; waits for the texture when it needs it.
void RedrawForFiles(MapRenderer& renderer, const SessionResult& shown, const TextureFuture& texture,
                    const CoastlineLayer& coastlines);

// What a job needs besides the request: read-only for as long as the session lives.
struct SessionResources {
  const Catalogue* catalogue = nullptr;
  const CoastlineLayer* coastlines = nullptr;
  // Report and curve files; none are written without a folder.
  std::optional<std::filesystem::path> outputFolder;
};

class EclipseSession : public QObject {
  Q_OBJECT

 public:
  EclipseSession(SessionResources resources, QObject* parent = nullptr);
  // Waits for a running job: it reads the catalogue and the coastlines.
  ~EclipseSession() override;

  void SetTexture(TextureFuture texture) { texture_ = std::move(texture); }
  // The screen's device pixels per logical pixel, which the pictures of the
  // next requests are fitted for.
  void SetPixelRatio(qreal ratio) { pixelRatio_ = ratio; }

  const SessionState& State() const { return state_; }
  // The newest result shown, null before the first.
  const std::shared_ptr<const SessionResult>& Current() const { return current_; }
  bool IsBusy() const { return running_ != Job::None; }

  // The full cycle for `next`: the eclipse is prepared at once (prepared()
  // carries it, for the labels), computed and drawn on the worker, and
  // resultReady() follows unless a newer request came first; busyChanged()
  // brackets the work, and its false comes after the result. A bad index
  // emits failed() and changes nothing.
  void Recompute(const SessionState& next, QSize mapArea);
  // Switches TT/UT and redraws the current computation with the new DeltaT
  // (its events, curves and files stay as they are). Before any result it
  // recomputes instead.
  void SwitchTimeScale(bool universalTime, QSize mapArea);
  // Takes `state` as the user's choice without computing it (what is saved
  // at the close may differ from what is shown, as after the sheet's exit).
  void AdoptWithoutRecomputing(const SessionState& state) { state_ = state; }
  // Drops any waiting request; the running job, if any, ends on its own.
  void DropPending();

 signals:
  // The eclipse of a request, ready for the labels; `recomputing` is false
  // for a time-scale switch, which only redraws.
  void prepared(const darvelle::PreparedEclipse& eclipse, bool recomputing);
  void busyChanged(bool busy);
  void resultReady(std::shared_ptr<const darvelle::ui::SessionResult> result);
  void failed(const QString& message);

 private:
  enum class Job { None, Compute, Redraw };
  struct Request {
    Job kind = Job::None;
    SessionState state;
    QSize mapArea;  // the map panel's size: the pictures are made to fit it
    qreal pixelRatio = 1.0;
    PreparedEclipse prepared;  // what a computing job starts from
    // What a redrawing job draws: the result shown, in the new time scale.
    std::shared_ptr<const EclipseResult> computed;
  };
  struct JobOutcome {
    std::shared_ptr<const SessionResult> result;
    QString error;  // the job failed: nothing to show
  };

  void Submit(Request request);
  void Start(Request request);
  void Finished();
  static JobOutcome Run(const Request& request, const SessionResources& resources,
                        const TextureFuture& texture);

  SessionResources resources_;
  TextureFuture texture_;
  SessionState state_;
  qreal pixelRatio_ = 1.0;
  std::shared_ptr<const SessionResult> current_;
  Job running_ = Job::None;
  std::optional<Request> waiting_;
  QFutureWatcher<JobOutcome> watcher_;
};

}  // namespace darvelle::ui
