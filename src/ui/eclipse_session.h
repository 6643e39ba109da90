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
// A computation's report and curve files are written by a second job that
// follows the drawing, so that the map is on the screen while they are
// written. A request made while a job runs replaces any request still
// waiting; the running job's result is then stale and dropped (and its files
// are not written), so the newest request wins. When the map panel changes
// size, the result shown is fitted to it again by a job of its own beside
// these, on a canvas of the panel's size (the window's thread never draws
// or scales a picture); again the newest size wins.

#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "geometry/eclipse_computation.h"
#include "geometry/headline_numbers.h"
#include "render/coastlines.h"
#include "render/curve_drawing.h"
#include "render/map.h"
#include "render/projection.h"
#include "ui/data_loads.h"
#include "ui/path_town_labels.h"
#include "ui/shared_borders.h"
#include "ui/zoom_coast_tiers.h"
#include "catalogue/language.h"

namespace darvelle::ui {

// What the user has chosen. `view.ColoredEarth` is the wish; the drawing
// honours it once a texture is there.
struct SessionState {
  int index = kStartEclipseIndex;  // catalogue index, 1-based
  TimeScale timeScale = TimeScale::kUniversal;       // UT with DeltaT, else TT
  ViewParameters view;             // angles, size, projection, colours, pen width, resolution
  Language language = kGerman;     // of the window
  // The user's own DeltaT for this eclipse (seconds), in place of the
  // model's; none: the model's estimate.
  std::optional<double> userDeltaT;
  // The central line's band for DeltaT +- 2 sigma on the map, where the
  // eclipse has one (before 1600 and after 2100, in UT).
  bool deltaTBand = false;
  // The largest towns in the path named with their duration on the map;
  // else, when chosen, the names of the towns the scale has room for.
  bool townDurations = false;
  bool townNames = false;
  // National borders, and the path shaded as a band (the partial zone faintly).
  bool borders = false;
  bool pathBand = false;
  // The umbra drawn every so many minutes of UT along the path; 0: not drawn.
  int umbraOutlineMinutes = 0;
  // The user's own place, named before every town when the town names are
  // shown; none for a point without a name. Not a setting of this file:
  // the window's own settings remember the place.
  std::optional<TownLabelCandidate> chosenPlace;

  bool operator==(const SessionState&) const = default;
};

// The optional layers a drawing was made with, and what they point into.
struct DrawnLayers {
  std::optional<DeltaTBandLayer> deltaTBand;
  std::shared_ptr<const PathTownLabels::Labels> towns;
  std::shared_ptr<const BorderLayer> borders;
  std::vector<BandArea> band;
  std::vector<TimedUmbraArea> outlines;
  std::shared_ptr<const ZoomCoastLayer> zoomCoast;

  MapLayers View() const;
  bool Empty() const;
};

// One finished computation and its drawing. Immutable once emitted; the
// renderer may still compose the legend picture on the user-interface
// thread, which is the only thread that holds it by then.
struct SessionResult {
  SessionState state;  // the request it answers
  std::shared_ptr<const EclipseResult> computation;
  std::shared_ptr<MapRenderer> renderer;
  DrawnCurves drawnCurves;  // what the drawing drew, for the status bar
  std::shared_ptr<const DrawnLayers> layers;  // never null once drawn
  HeadlineNumbers headline;  // for the eclipse's summary, computed with the drawing
  ViewParameters drawnView;  // ColoredEarth as actually drawn
  QSize mapArea;             // the map panel's size the pictures were made for (the canvas)
  QImage fitted;             // ScreenImage() fitted into mapArea, as the panel shows it
  qreal pixelRatio = 1.0;    // the screen's device pixels per logical pixel it was fitted for
  std::thread::id fittedBy;  // the worker that made `fitted`

  // The drawing the panel shows: the display image, or on a screen of more
  // than one device pixel per logical pixel the full-size drawing, whose
  // pixels the display image would otherwise halve.
  const QImage& ScreenImage() const {
    return pixelRatio > 1.0 ? renderer->DrawingImage() : renderer->DisplayImage();
  }
};

// The drawing of `shown` as files have it: without the light halos the
// window's globe draws under the curves; with the optional layers the user
// chose for the maps saved from the File menu, without them for the exit
// bitmap and sheet. `renderer` (a copy of the shown one) draws the map again
// when the shown drawing differs from that, and is left as it is otherwise.
// Any thread; waits for the texture when it needs it.
enum class FileLayers { kAsShown, kNone };
void RedrawForFiles(MapRenderer& renderer, const SessionResult& shown, const TextureFuture& texture,
                    const CoastlineLayer& coastlines, FileLayers layers);

// The map panel's size as the window last reported it, shared with the
// jobs: a job reads it when it draws and again when it has drawn, so that a
// picture asked for before the window had its size (at start-up) or while it
// was being resized still fits the panel as it is, and the window's thread
// does not have to scale it again.
class MapAreaNow {
 public:
  struct Area {
    QSize size;
    qreal pixelRatio = 1.0;  // device pixels per logical pixel
    bool operator==(const Area&) const = default;
  };
  void Set(Area area) {
    QMutexLocker lock(&mutex_);
    area_ = area;
  }
  Area Get() const {
    QMutexLocker lock(&mutex_);
    return area_;
  }

 private:
  mutable QMutex mutex_;
  Area area_;
};

// What a job needs besides the request: read-only for as long as the session lives.
struct SessionResources {
  const Catalogue* catalogue = nullptr;
  // Where the jobs run: a pool of the window's own, never Qt's global pool,
  // whose threads Qt borrows to scale and convert pictures on the window's
  // thread (a long job there would keep the window waiting for them).
  QThreadPool* workers = nullptr;
  // Report and curve files; none are written without a folder.
  std::optional<std::filesystem::path> outputFolder;
  // The folder the user named for the data files (the borders), if any.
  std::optional<std::filesystem::path> dataFolder;
};

class EclipseSession : public QObject {
  Q_OBJECT

 public:
  EclipseSession(SessionResources resources, QObject* parent = nullptr);
  // Waits for a running job: it reads the catalogue and writes the output folder.
  ~EclipseSession() override;

  void SetTexture(TextureFuture texture) { texture_ = std::move(texture); }
  // The coastlines, perhaps still loading: a drawing waits for them on its worker.
  void SetCoastlines(CoastlineFuture coastlines) { coastlines_ = std::move(coastlines); }
  // The screen's device pixels per logical pixel, which the pictures of the
  // next requests are fitted for.
  void SetPixelRatio(qreal ratio) { pixelRatio_ = ratio; }
  // The map panel has a new size: the next drawing is made for it.
  void FollowMapArea(QSize mapArea) { mapArea_->Set({mapArea, pixelRatio_}); }
  // The same, and the result shown is drawn again for the new size on a
  // worker; refitted() brings it.
  void ResizeMapArea(QSize mapArea);

  const SessionState& State() const { return state_; }
  // The newest result shown, null before the first.
  const std::shared_ptr<const SessionResult>& Current() const { return current_; }
  bool IsBusy() const { return running_ != Job::None; }
  // True while the result shown is being fitted to a new panel size.
  bool IsFitting() const { return fitRunning_; }

  // The full cycle for `next`: the eclipse is prepared at once (prepared()
  // carries it, for the labels), computed and drawn on the worker, and
  // resultReady() follows unless a newer request came first; busyChanged()
  // brackets the work, including the writing of the files, and its false
  // comes after the result. A bad index emits failed() and changes nothing.
  void Recompute(const SessionState& next, QSize mapArea);
  // Switches TT/UT and redraws the current computation with the new DeltaT
  // (its events, curves and files stay as they are). Before any result it
  // recomputes instead.
  void SwitchTimeScale(TimeScale timeScale, QSize mapArea);
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
  // The report and curve files of the result shown could not be written: the
  // cause, naming the folder or file. The map is shown all the same.
  void filesFailed(const QString& cause);
  void failed(const QString& message);
  // The result shown, drawn anew for the map panel's size (a copy of the
  // result shown, with the drawing and the picture for that size); it is
  // Current() from now on.
  void refitted(std::shared_ptr<const darvelle::ui::SessionResult> result);
  // No fitting job runs any more (after the last refitted(), if any).
  void fittingEnded();

 private:
  enum class Job { None, Compute, Redraw, WriteFiles };
  struct Request {
    Job kind = Job::None;
    SessionState state;
    PreparedEclipse prepared;  // what a computing job starts from
    // What a redrawing job draws: the result shown, in the new time scale.
    std::shared_ptr<const EclipseResult> computed;
  };
  struct JobOutcome {
    std::shared_ptr<const SessionResult> result;
    QString error;  // the job failed: nothing to show
  };

  // A request that moves only the user's place: drawn again without being
  // recomputed when the names are shown, merely taken otherwise. False when
  // `next` asks for more, or the result shown is not what it differs from.
  bool MovePlaceOnly(const SessionState& next, QSize mapArea);
  void Submit(Request request);
  void Start(Request request);
  void Drawn();
  void FilesWritten();
  void StartWaitingOrRest();
  static JobOutcome Draw(const Request& request, const TextureFuture& texture,
                         const CoastlineFuture& coastlines, const MapAreaNow& mapArea,
                         PathTownLabels& townLabels, SharedBorders& borders,
                         ZoomCoastTiers& zoomCoast);
  // Starts fitting the result shown to the panel's size unless it fits, or
  // a fitting job runs (its end looks again).
  void FitShownToPanel();
  void Fitted();
  struct Refit {
    std::shared_ptr<const SessionResult> source;  // what was shown when it started
    std::shared_ptr<const SessionResult> result;  // null when the fitting failed
    MapAreaNow::Area area;                        // what it was fitted to
  };

  SessionResources resources_;
  TextureFuture texture_;
  CoastlineFuture coastlines_;
  SessionState state_;
  qreal pixelRatio_ = 1.0;
  std::shared_ptr<MapAreaNow> mapArea_ = std::make_shared<MapAreaNow>();
  std::shared_ptr<PathTownLabels> townLabels_ = std::make_shared<PathTownLabels>();
  std::shared_ptr<SharedBorders> borders_;
  // A finer tier came after the zoomed view was drawn: the view is drawn
  // again with it, once no job runs.
  void ZoomTierLoaded();
  std::shared_ptr<ZoomCoastTiers> zoomCoast_;
  bool zoomTierPending_ = false;
  std::shared_ptr<const SessionResult> current_;
  Job running_ = Job::None;
  std::optional<Request> waiting_;
  QFutureWatcher<JobOutcome> drawing_;
  // The files of the result just shown; the text is the failure, if any.
  QFutureWatcher<std::optional<std::string>> files_;
  QFutureWatcher<Refit> fitting_;
  bool fitRunning_ = false;
};

}  // namespace darvelle::ui
