#include "ui/eclipse_session.h"

#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <utility>

#include "catalogue/data_files.h"
#include "export/path_band.h"
#include "geometry/timed_outlines.h"
#include "reports/computation_files.h"
#include "reports/report_files.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// Writes the report and curve files of `result` into `folder`. A file that
// cannot be written does not cost the user the map: the cause comes back
// for the user to read.
std::optional<std::string> WriteFiles(const std::shared_ptr<const EclipseResult>& result,
                                      const fs::path& folder) {
  try {
    // The earlier eclipse's files stay until the new set is whole.
    WriteComputationFiles(*result, folder);
    return std::nullopt;
  } catch (const std::exception& error) {
    // Nothing may cross into the pool.
    return error.what();
  } catch (...) {
    return "The report and curve files could not be written to " + folder.string() + ".";
  }
}

// The canvas a drawing for the panel is made on: the panel's own size in
// device pixels, so that nothing is scaled and the globe size means logical
// pixels on any screen. Before the panel has a size, the files' canvas.
MapCanvas CanvasFor(MapAreaNow::Area area) {
  if (area.size.isEmpty()) return {};
  return ScreenCanvas(area.size.width(), area.size.height(), area.pixelRatio);
}

// The picture the panel shows of `result`, whose drawing was made for `area`.
// `result` holds a renderer no other thread sees.
void FitToPanel(SessionResult& result, MapAreaNow::Area area) {
  result.mapArea = area.size;
  result.pixelRatio = area.pixelRatio;
  result.fitted = MapPanel::Fit(result.ScreenImage(), area.size, area.pixelRatio);
  result.fittedBy = std::this_thread::get_id();
}

// A copy of `shown` drawn anew on the canvas of `area` and fitted to it. Null
// when it failed (the stretched picture stays on the screen until the next
// size or result).
std::shared_ptr<const SessionResult> RefitShown(const std::shared_ptr<const SessionResult>& shown,
                                                const TextureFuture& texture, const CoastlineFuture& coastlines,
                                                MapAreaNow::Area area) {
  try {
    auto result = std::make_shared<SessionResult>(*shown);
    auto renderer = std::make_shared<MapRenderer>(CanvasFor(area));
    // A coloured drawing was made with a usable texture, which is still there.
    const EarthTexture none;
    std::shared_ptr<const LoadedTexture> loaded;
    if (shown->drawnView.ColoredEarth && texture.isValid()) loaded = texture.result();
    const bool colored = loaded != nullptr && loaded->Usable();
    ViewParameters view = shown->drawnView;
    view.ColoredEarth = colored;
    result->drawnCurves = renderer->DrawMap(*shown->computation, view, colored ? loaded->image : none,
                                            AwaitCoastlines(coastlines),
                                            shown->layers ? shown->layers->View() : MapLayers{},
                                            area.size.width());
    result->drawnView = view;
    result->renderer = std::move(renderer);
    FitToPanel(*result, area);
    return result;
  } catch (...) {
    // Nothing may cross into the pool; a picture too large for the memory left is only not sharpened.
    return nullptr;
  }
}

}  // namespace

MapLayers DrawnLayers::View() const {
  MapLayers view;
  if (deltaTBand) view.deltaTBand = &*deltaTBand;
  if (towns) view.towns = *towns;
  view.borders = borders.get();
  view.band = band;
  view.umbraOutlines = outlines;
  view.zoomCoast = zoomCoast.get();
  return view;
}

bool DrawnLayers::Empty() const {
  return !deltaTBand && (!towns || towns->empty()) && !borders && band.empty() && outlines.empty() &&
         !zoomCoast;
}

void RedrawForFiles(MapRenderer& renderer, const SessionResult& shown, const TextureFuture& texture,
                    const CoastlineLayer& coastlines, FileLayers layers) {
  const ViewParameters& drawn = shown.drawnView;
  // Halos are drawn on the coloured Earth only.
  const bool halos = drawn.CurveHalos && drawn.ColoredEarth;
  const bool dropLayers = layers == FileLayers::kNone && shown.layers && !shown.layers->Empty();
  // Files keep the default canvas, whatever the panel's size.
  const bool screenCanvas = !renderer.Canvas().IsDefault();
  if (!halos && !dropLayers && !screenCanvas) return;  // the shown drawing is what the files want
  renderer.SetCanvas({});
  ViewParameters plain = drawn;
  plain.CurveHalos = false;
  // A coloured drawing was made with a usable texture, which is still there.
  const EarthTexture none;
  std::shared_ptr<const LoadedTexture> loaded;
  if (drawn.ColoredEarth && texture.isValid()) loaded = texture.result();
  plain.ColoredEarth = loaded != nullptr;
  const MapLayers chosen =
      layers == FileLayers::kAsShown && shown.layers ? shown.layers->View() : MapLayers{};
  renderer.DrawMap(*shown.computation, plain, loaded ? loaded->image : none, coastlines, chosen,
                   renderer.DisplayImage().width());
}

EclipseSession::EclipseSession(SessionResources resources, QObject* parent)
    : QObject(parent),
      resources_(std::move(resources)),
      borders_(std::make_shared<SharedBorders>(resources_.dataFolder)),
      zoomCoast_(std::make_shared<ZoomCoastTiers>(resources_.dataFolder, resources_.workers, [this] {
        QMetaObject::invokeMethod(this, &EclipseSession::ZoomTierLoaded, Qt::QueuedConnection);
      })) {
  connect(&drawing_, &QFutureWatcherBase::finished, this, &EclipseSession::Drawn);
  connect(&files_, &QFutureWatcherBase::finished, this, &EclipseSession::FilesWritten);
  connect(&fitting_, &QFutureWatcherBase::finished, this, &EclipseSession::Fitted);
}

EclipseSession::~EclipseSession() {
  zoomCoast_->WaitForLoads();  // they call back into this session
  waiting_.reset();
  drawing_.disconnect(this);
  files_.disconnect(this);
  fitting_.disconnect(this);
  drawing_.waitForFinished();
  files_.waitForFinished();
  fitting_.waitForFinished();
}

namespace {

bool SameButThePlace(SessionState a, const SessionState& b) {
  a.chosenPlace = b.chosenPlace;
  return a == b;
}

// The place is drawn as the first town name, and only then.
bool NamesThePlace(const SessionState& state) { return state.townNames && !state.townDurations; }

}  // namespace

void EclipseSession::Recompute(const SessionState& next, QSize mapArea) {
  if (MovePlaceOnly(next, mapArea)) return;
  PreparedEclipse eclipse;
  try {
    eclipse =
        PrepareEclipse(*resources_.catalogue, next.index, next.timeScale, next.view.Resolution);
    if (next.userDeltaT) SetUserDeltaT(eclipse, *next.userDeltaT);
  } catch (const std::exception& error) {
    emit failed(QString::fromUtf8(error.what()));
    return;
  }
  state_ = next;
  FollowMapArea(mapArea);
  emit prepared(eclipse, true);
  Submit({Job::Compute, next, std::move(eclipse), nullptr});
}

void EclipseSession::SwitchTimeScale(TimeScale timeScale, QSize mapArea) {
  SessionState next = state_;
  next.timeScale = timeScale;
  const bool shownIsChosen = current_ != nullptr && current_->state.index == state_.index &&
                             current_->state.view.Resolution == state_.view.Resolution &&
                             current_->state.userDeltaT == state_.userDeltaT;
  if (!shownIsChosen || IsBusy()) {
    // Nothing finished to redraw (or what is shown is not what was chosen:
    // its recomputation failed), or what runs is about to be replaced.
    Recompute(next, mapArea);
    return;
  }
  auto eclipse = std::make_shared<EclipseResult>(*current_->computation);
  SetTimeScale(*eclipse, timeScale);
  state_ = next;
  FollowMapArea(mapArea);
  emit prepared(*eclipse, false);
  Submit({Job::Redraw, next, *eclipse, std::move(eclipse)});
}

bool EclipseSession::MovePlaceOnly(const SessionState& next, QSize mapArea) {
  if (next.chosenPlace == state_.chosenPlace || !SameButThePlace(next, state_)) return false;
  // The request waiting is the one this follows: it takes the place along.
  if (waiting_ && SameButThePlace(waiting_->state, next)) {
    waiting_->state.chosenPlace = next.chosenPlace;
    state_ = next;
    return true;
  }
  if (!NamesThePlace(next)) {
    state_ = next;
    return true;
  }
  if (current_ != nullptr && SameButThePlace(current_->state, next)) {
    state_ = next;
    FollowMapArea(mapArea);
    // The computation shown, drawn again; a job running now is superseded and dropped when it ends.
    Submit({Job::Redraw, next, *current_->computation, current_->computation});
    return true;
  }
  // The job running computes what was asked before the place: Drawn() draws
  // its result again with it, rather than computing it all once more.
  if (IsBusy() && !waiting_) {
    state_ = next;
    return true;
  }
  return false;
}

void EclipseSession::DropPending() { waiting_.reset(); }

void EclipseSession::ResizeMapArea(QSize mapArea) {
  FollowMapArea(mapArea);
  FitShownToPanel();
}

void EclipseSession::FitShownToPanel() {
  if (current_ == nullptr || fitRunning_) return;
  const MapAreaNow::Area area = mapArea_->Get();
  if (area.size.isEmpty()) return;
  if (current_->mapArea == area.size && current_->pixelRatio == area.pixelRatio) return;
  fitRunning_ = true;
  // The new canvas needs a new drawing: the shown result drawn again, never recomputed.
  fitting_.setFuture(QtConcurrent::run(resources_.workers, [shown = current_, texture = texture_,
                                                            coastlines = coastlines_, area] {
    return Refit{shown, RefitShown(shown, texture, coastlines, area), area};
  }));
}

void EclipseSession::Fitted() {
  fitRunning_ = false;
  const Refit refit = fitting_.result();
  // A fit is stale when a newer result is shown or the panel has moved on to
  // another size; the look below then starts the one wanted now. A fit that
  // failed is not tried again for the same picture and size: it would fail
  // again, job after job.
  const bool asWanted = refit.source == current_ && refit.area == mapArea_->Get();
  if (asWanted && refit.result != nullptr) {
    current_ = refit.result;
    emit refitted(refit.result);
  }
  if (!asWanted) FitShownToPanel();
  if (!fitRunning_) emit fittingEnded();
}

void EclipseSession::Submit(Request request) {
  if (IsBusy()) {
    // The running job's files are being written: a second job in the same
    // folder would race it. This one waits and replaces any other waiting.
    waiting_ = std::move(request);
    return;
  }
  Start(std::move(request));
  emit busyChanged(true);
}

void EclipseSession::Start(Request request) {
  running_ = request.kind;
  drawing_.setFuture(QtConcurrent::run(
      resources_.workers, [request = std::move(request), texture = texture_, coastlines = coastlines_,
                           mapArea = mapArea_, townLabels = townLabels_, borders = borders_,
                           zoomCoast = zoomCoast_] {
        return Draw(request, texture, coastlines, *mapArea, *townLabels, *borders, *zoomCoast);
      }));
}

void EclipseSession::Drawn() {
  const JobOutcome outcome = drawing_.result();
  // A newer request came while this one ran: its result is stale.
  if (waiting_) return StartWaitingOrRest();
  if (outcome.result == nullptr) {
    running_ = Job::None;
    emit busyChanged(false);
    emit failed(outcome.error);
    return;
  }
  current_ = outcome.result;
  emit resultReady(outcome.result);
  // The panel changed size after the job's last look at it.
  FitShownToPanel();
  // The place moved while this was drawn: the same computation is drawn again with it.
  if (NamesThePlace(state_) && current_->state != state_ && SameButThePlace(current_->state, state_)) {
    Submit({Job::Redraw, state_, *current_->computation, current_->computation});
  }
  // A redraw leaves the files of its computation as they are.
  if (running_ != Job::Compute || !resources_.outputFolder) return StartWaitingOrRest();
  running_ = Job::WriteFiles;
  files_.setFuture(QtConcurrent::run(resources_.workers, WriteFiles, outcome.result->computation,
                                     *resources_.outputFolder));
}

void EclipseSession::FilesWritten() {
  if (const std::optional<std::string> failure = files_.result()) {
    emit filesFailed(QString::fromStdString(*failure));
  }
  StartWaitingOrRest();
}

void EclipseSession::StartWaitingOrRest() {
  if (waiting_) {
    Request next = std::move(*waiting_);
    waiting_.reset();
    Start(std::move(next));
    return;
  }
  running_ = Job::None;
  emit busyChanged(false);
  if (zoomTierPending_) ZoomTierLoaded();
}

void EclipseSession::ZoomTierLoaded() {
  if (IsBusy()) {
    zoomTierPending_ = true;
    return;
  }
  zoomTierPending_ = false;
  if (current_ == nullptr || !CoastTierForRadius(current_->drawnView.RK)) return;
  Submit({Job::Redraw, current_->state, *current_->computation, current_->computation});
}

EclipseSession::JobOutcome EclipseSession::Draw(const Request& request, const TextureFuture& texture,
                                                const CoastlineFuture& coastlines,
                                                const MapAreaNow& mapArea, PathTownLabels& townLabels,
                                                SharedBorders& borders,
                                                ZoomCoastTiers& zoomCoast) {
  try {
    auto result = std::make_shared<SessionResult>();
    result->state = request.state;
    std::shared_ptr<const EclipseResult> eclipse = request.computed;
    if (request.kind == Job::Compute) {
      // Pool threads come and go: each job has its own work areas.
      EclipseScratch scratch;
      eclipse = std::make_shared<const EclipseResult>(ComputeEclipse(request.prepared, scratch));
    }
    // A scan along the central line: here, not on the window's thread.
    result->headline = ComputeHeadlineNumbers(eclipse->elements, eclipse->deltaT, eclipse->circumstances);
    // The texture and the coastlines are waited for here, on the worker,
    // never on the window's thread.
    std::shared_ptr<const LoadedTexture> loaded;
    if (request.state.view.ColoredEarth && texture.isValid()) loaded = texture.result();
    const bool colored = loaded != nullptr && loaded->Usable();
    result->drawnView = request.state.view;
    result->drawnView.ColoredEarth = colored;
    const CoastlineLayer& coastlineLayer = AwaitCoastlines(coastlines);
    const EarthTexture none;
    const MapAreaNow::Area area = mapArea.Get();
    result->renderer = std::make_shared<MapRenderer>(CanvasFor(area));
    auto layers = std::make_shared<DrawnLayers>();
    const SessionState& state = request.state;
    if (state.deltaTBand) layers->deltaTBand = DeltaTBandLayerOf(*eclipse);
    if (state.townDurations) {
      layers->towns = townLabels.For(*eclipse, state.language);
    } else if (state.townNames) {
      layers->towns = WithChosenFirst(townLabels.Names(*eclipse, state.language), state.chosenPlace);
    }
    if (state.borders) layers->borders = borders.Get();
    layers->zoomCoast = zoomCoast.For(result->drawnView.RK);
    if (state.pathBand) layers->band = PathBandAreas(*eclipse, true);
    if (state.umbraOutlineMinutes > 0) {
      layers->outlines = TimedUmbraAreas(*eclipse, state.umbraOutlineMinutes);
    }
    result->layers = layers;
    result->drawnCurves = result->renderer->DrawMap(*eclipse, result->drawnView,
                                               colored ? loaded->image : none, coastlineLayer,
                                               layers->View(), area.size.width());
    // Done here, the window's thread only copies the picture to the screen.
    // Should the panel have changed size while the map was drawn, the
    // session draws it again for the new size (FitShownToPanel).
    FitToPanel(*result, area);
    result->computation = std::move(eclipse);
    return {std::move(result), {}};
  } catch (const std::exception& error) {
    return {nullptr, QString::fromUtf8(error.what())};
  } catch (...) {
    // Nothing may cross into the pool: the window would meet it as a crash.
    return {nullptr, QStringLiteral("The computation failed for an unknown reason.")};
  }
}

}  // namespace darvelle::ui
