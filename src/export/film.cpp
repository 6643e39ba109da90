#include "export/film.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "astro/instant.h"
#include "astro/iso_time.h"
#include "geometry/shadow_at_instant.h"
#include "io/atomic_file.h"
#include "io/deferred_sync.h"
#include "io/file_error.h"
#include "render/shadow_layer.h"

extern char** environ;

namespace darvelle {
namespace {

namespace fs = std::filesystem;

struct Plan {
  double firstJulianDayUt = 0;
  double stepDays = 0;
  int frames = 0;
};

Plan PlanOf(const EclipseResult& c, const FilmOptions& options) {
  Plan plan;
  const auto p1 = c.circumstances.events.Time(EventId::TP1);
  const auto p4 = c.circumstances.events.Time(EventId::TP4);
  if (!p1 || !p4 || !(options.stepSeconds > 0.0)) return plan;
  plan.firstJulianDayUt = Instant::FromEpochHours(c.elements.julianDay, *p1).JulianDayUT(c.deltaT);
  plan.stepDays = options.stepSeconds / kSecondsPerDay;
  plan.frames = std::min(kMaxFilmFrames,
                         static_cast<int>(std::floor((*p4 - *p1) * 3600.0 / options.stepSeconds)) + 1);
  return plan;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return text;
}

// One frame: the kept map, the shadow at that instant, the instant written
// in a corner; cut square round the globe.
QImage DrawFrame(const EclipseResult& c, const FilmBase& base, const Plan& plan, int size,
                 int frame) {
  const double julianDayUt = plan.firstJulianDayUt + frame * plan.stepDays;
  const ShadowAtInstant shadow =
      ComputeShadowAt(c.elements, c.deltaT, ShadowTimeOfUt(c.elements, c.deltaT, julianDayUt));
  QImage image = base.map;
  DrawShadowLayer(image, base.projection, shadow);
  const MapCanvas& canvas = base.projection.Canvas();
  QImage square = image.copy(canvas.CentreX() - size / 2, canvas.CentreY() - size / 2, size, size);
  QPainter painter(&square);
  QFont font(LegendFontFamily());
  font.setPixelSize(std::max(12, size / 32));
  painter.setFont(font);
  painter.setPen(Qt::black);
  const std::string text = IsoInstantUt(julianDayUt);
  // "2024-04-08 18:42:00 UT": whole seconds, as a film shows them.
  const QString when =
      QString::fromStdString(text.substr(0, 10) + " " + text.substr(11, 8) + " UT");
  painter.drawText(QRect(8, 4, size - 16, font.pixelSize() * 2), Qt::AlignLeft | Qt::AlignTop,
                   when);
  return square;
}

std::string FrameName(int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%04d.png", frame + 1);
  return name;
}

// Draws and writes every frame; the files wait in `deferred` for one flush
// at the end, as the batch's do. Returns the frames begun (all of them
// unless stopped).
int WriteFrames(const EclipseResult& c, const FilmOptions& options, const FilmBase& base,
                const Plan& plan, DeferredSync& deferred, const FilmProgress& progress) {
  std::atomic<int> next{0}, done{0};
  std::atomic<bool> stop{false};
  std::mutex failure;
  std::string problem;
  auto work = [&] {
    for (int frame = next++; frame < plan.frames && !stop; frame = next++) {
      try {
        const QImage picture = DrawFrame(c, base, plan, options.size, frame);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // A light compression: the frames are many and passed on to a video.
        if (!picture.save(&buffer, "PNG", 80)) throw FileError("a frame could not be encoded");
        WriteFileAtomically(options.folder / FrameName(frame),
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                            &deferred);
      } catch (const std::exception& e) {
        const std::lock_guard lock(failure);
        if (problem.empty()) problem = e.what();
        stop = true;
      }
      ++done;
    }
  };
  const unsigned cores = options.threads > 0
                             ? static_cast<unsigned>(options.threads)
                             : std::max(1u, std::min(std::thread::hardware_concurrency(), 64u));
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < cores; ++i) threads.emplace_back(work);
  bool cancelled = false;
  while (done < plan.frames && !stop) {
    if (progress && !progress(done, plan.frames)) {
      cancelled = true;
      stop = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  for (auto& t : threads) t.join();
  if (!problem.empty()) throw std::runtime_error(problem);
  if (cancelled) return std::min(next.load(), plan.frames);
  if (progress) progress(done, plan.frames);
  deferred.Flush();
  return plan.frames;
}

// Joins the frames into `file` by ffmpeg, through a temporary that becomes
// the file only when ffmpeg ended well. False when `progress` stopped it.
bool WriteVideo(const FilmOptions& options, const Plan& plan, const FilmProgress& progress) {
  const fs::path& file = *options.video;
  std::vector<std::string> args = {"ffmpeg", "-nostdin", "-loglevel", "error", "-y",
                                   "-framerate", "30", "-i",
                                   (options.folder / "frame_%04d.png").string(),
                                   // Frames of an earlier, longer film may follow in the folder.
                                   "-frames:v", std::to_string(plan.frames)};
  if (Lower(file.extension().string()) == ".mp4") {
    args.insert(args.end(), {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-f", "mp4"});
  } else {
    args.insert(args.end(), {"-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p", "-f", "webm"});
  }
  AtomicFile out(file);
  args.push_back(out.TemporaryPath().string());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ);
  if (spawned == ENOENT) {
    throw std::runtime_error("cannot write \"" + file.string() +
                             "\": ffmpeg is not installed (tools/setup.sh installs it); the "
                             "frames are in " + options.folder.string());
  }
  if (spawned != 0) {
    throw std::runtime_error("cannot write \"" + file.string() + "\": cannot run ffmpeg: " +
                             std::strerror(spawned));
  }
  int status = 0;
  bool cancelled = false;
  for (;;) {
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) break;
    if (ended < 0 && errno != EINTR) break;
    if (!cancelled && progress && !progress(-1, plan.frames)) {
      // Its half-written temporary goes with `out`.
      ::kill(pid, SIGTERM);
      cancelled = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (cancelled) return false;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("cannot write \"" + file.string() +
                             "\": ffmpeg failed (see its message above); the frames are in " +
                             options.folder.string());
  }
  out.Commit();
  return true;
}

void RemoveFrames(const fs::path& folder, int count) {
  std::error_code ignored;
  for (int frame = 0; frame < count; ++frame) fs::remove(folder / FrameName(frame), ignored);
}

}  // namespace

std::string FilmOptionsProblem(const FilmOptions& options) {
  if (!(options.stepSeconds >= kMinFilmStepSeconds && options.stepSeconds <= kMaxFilmStepSeconds)) {
    return "the step must lie in 1 .. 3600 seconds";
  }
  if (options.size < kMinFilmSize || options.size > kMaxFilmSize) {
    return "the size must lie in " + std::to_string(kMinFilmSize) + " .. " +
           std::to_string(kMaxFilmSize) + " pixels";
  }
  if (options.video) {
    const std::string ext = Lower(options.video->extension().string());
    if (ext != ".mp4" && ext != ".webm") {
      return "the video needs a file name ending in .mp4 or .webm, not '" +
             options.video->string() + "'";
    }
  }
  return {};
}

FilmBase DrawFilmBase(const EclipseResult& eclipse, const FilmOptions& options,
                      const EarthTexture& texture, const CoastlineLayer& coastlines) {
  ViewParameters view;
  view.RK = std::max(1, options.size * 47 / 100);
  view.ColoredEarth = options.colored;
  view.PenWidth = options.size >= 600 ? 2 : 1;
  MapRenderer renderer;
  renderer.DrawMap(eclipse, view, texture, coastlines);
  return {renderer.DrawingImage().convertToFormat(QImage::Format_RGB32), *renderer.LastView()};
}

int FilmFrameCount(const EclipseResult& eclipse, const FilmOptions& options) {
  return PlanOf(eclipse, options).frames;
}

FilmOutcome WriteFilm(const EclipseResult& eclipse, const FilmOptions& options,
                      const FilmBase& base, const FilmProgress& progress) {
  const Plan plan = PlanOf(eclipse, options);
  if (plan.frames == 0) throw std::runtime_error("the eclipse has no first or last contact");
  fs::create_directories(options.folder);
  int begun = 0;
  {
    DeferredSync deferred(options.folder);
    begun = WriteFrames(eclipse, options, base, plan, deferred, progress);
  }  // frames still waiting for their flush go as temporaries here
  if (begun < plan.frames) {
    RemoveFrames(options.folder, begun);
    return FilmOutcome::kCancelled;
  }
  if (options.video && !WriteVideo(options, plan, progress)) {
    RemoveFrames(options.folder, plan.frames);
    return FilmOutcome::kCancelled;
  }
  return FilmOutcome::kWritten;
}

}  // namespace darvelle
