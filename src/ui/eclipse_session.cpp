#include "ui/eclipse_session.h"

#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <utility>

#include "catalogue/data_files.h"
#include "geometry/computation_files.h"
#include "geometry/report_files.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// Writes the report and curve files of `result` into `folder`, if any. A
// file that cannot be written does not cost the user the map: the cause
// comes back for the user to read.
std::optional<std::string> WriteFiles(const EclipseResult& result,
                                      const std::optional<fs::path>& folder) {
  if (!folder) return std::nullopt;
  try {
    DeleteComputationFiles(*folder);
    WriteComputationFiles(result, *folder);
    return std::nullopt;
  } catch (const FileError& error) {
    return error.what();
  }
}

}  // namespace

TextureFuture LoadTextureInBackground(const fs::path& file) {
  return QtConcurrent::run([file] {
    auto loaded = std::make_shared<LoadedTexture>();
    try {
      loaded->load = LoadTexture(file, loaded->image);
    } catch (const std::exception& error) {
      loaded->image = EarthTexture{};
      loaded->failure = error.what();
    } catch (...) {
      loaded->image = EarthTexture{};
      loaded->failure = "The Earth texture " + file.string() + " could not be decoded.";
    }
    return std::shared_ptr<const LoadedTexture>(std::move(loaded));
  });
}

void RedrawForFiles(MapRenderer& renderer, const SessionResult& shown, const TextureFuture& texture,
                    const CoastlineLayer& coastlines) {
  const ViewParameters& drawn = shown.drawnView;
  // Halos are drawn on the coloured Earth only; a plain drawing is already as the files want it.
  if (!drawn.CurveHalos || !drawn.ColoredEarth || !texture.isValid()) return;
  ViewParameters plain = drawn;
  plain.CurveHalos = false;
  // A coloured drawing was made with a usable texture, which is still there.
  const std::shared_ptr<const LoadedTexture> loaded = texture.result();
  renderer.DrawMap(*shown.computation, plain, loaded->image, coastlines,
                   renderer.DisplayImage().width());
}

EclipseSession::EclipseSession(SessionResources resources, QObject* parent)
    : QObject(parent), resources_(std::move(resources)) {
  connect(&watcher_, &QFutureWatcher<JobOutcome>::finished, this, &EclipseSession::Finished);
}

EclipseSession::~EclipseSession() {
  waiting_.reset();
  watcher_.disconnect(this);
  watcher_.waitForFinished();
}

void EclipseSession::Recompute(const SessionState& next, QSize mapArea) {
  PreparedEclipse eclipse;
  try {
    eclipse =
        PrepareEclipse(*resources_.catalogue, next.index, next.universalTime, next.view.Resolution);
  } catch (const std::exception& error) {
    emit failed(QString::fromUtf8(error.what()));
    return;
  }
  state_ = next;
  emit prepared(eclipse, true);
  Submit({Job::Compute, next, mapArea, pixelRatio_, std::move(eclipse), nullptr});
}

void EclipseSession::SwitchTimeScale(bool universalTime, QSize mapArea) {
  SessionState next = state_;
  next.universalTime = universalTime;
  const bool shownIsChosen = current_ != nullptr && current_->state.index == state_.index &&
                             current_->state.view.Resolution == state_.view.Resolution;
  if (!shownIsChosen || IsBusy()) {
    // Nothing finished to redraw (or what is shown is not what was chosen:
    // its recomputation failed), or what runs is about to be replaced.
    Recompute(next, mapArea);
    return;
  }
  auto eclipse = std::make_shared<EclipseResult>(*current_->computation);
  SetTimeScale(*eclipse, universalTime);
  state_ = next;
  emit prepared(*eclipse, false);
  Submit({Job::Redraw, next, mapArea, pixelRatio_, *eclipse, std::move(eclipse)});
}

void EclipseSession::DropPending() { waiting_.reset(); }

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
  watcher_.setFuture(QtConcurrent::run(
      [request = std::move(request), resources = resources_, texture = texture_] {
        return Run(request, resources, texture);
      }));
}

void EclipseSession::Finished() {
  JobOutcome outcome = watcher_.result();
  if (waiting_) {
    // A newer request came while this one ran: its result is stale.
    Request next = std::move(*waiting_);
    waiting_.reset();
    Start(std::move(next));
    return;
  }
  running_ = Job::None;
  if (outcome.result != nullptr) {
    current_ = outcome.result;
    emit resultReady(outcome.result);
  }
  emit busyChanged(false);
  if (outcome.result == nullptr) emit failed(outcome.error);
}

EclipseSession::JobOutcome EclipseSession::Run(const Request& request,
                                               const SessionResources& resources,
                                               const TextureFuture& texture) {
  try {
    auto result = std::make_shared<SessionResult>();
    result->state = request.state;
    std::shared_ptr<const EclipseResult> eclipse = request.computed;
    if (request.kind == Job::Compute) {
      // Pool threads come and go: each job has its own work areas.
      EclipseScratch scratch;
      eclipse = std::make_shared<const EclipseResult>(ComputeEclipse(request.prepared, scratch));
      result->outputFailure = WriteFiles(*eclipse, resources.outputFolder);
    }
    // The texture is waited for here, on the worker, never on the window's thread.
    std::shared_ptr<const LoadedTexture> loaded;
    if (request.state.view.ColoredEarth && texture.isValid()) loaded = texture.result();
    const bool colored = loaded != nullptr && loaded->Usable();
    result->drawnView = request.state.view;
    result->drawnView.ColoredEarth = colored;
    result->renderer = std::make_shared<MapRenderer>();
    const EarthTexture none;
    result->status = result->renderer->DrawMap(*eclipse, result->drawnView,
                                               colored ? loaded->image : none,
                                               *resources.coastlines, request.mapArea.width());
    // Fitting the picture to the panel is the costliest step of showing it:
    // done here, the window's thread only copies it to the screen.
    result->mapArea = request.mapArea;
    result->pixelRatio = request.pixelRatio;
    result->fitted = MapPanel::Fit(result->ScreenImage(), request.mapArea, request.pixelRatio);
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
