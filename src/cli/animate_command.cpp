// darvelle-cli animate.

#include "cli/animate_command.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "astro/iso_time.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "cli/args.h"
#include "cli/map_outputs.h"
#include "cli/selection_options.h"
#include "geometry/eclipse_computation.h"
#include "geometry/shadow_at_instant.h"
#include "io/atomic_file.h"
#include "io/deferred_sync.h"
#include "io/file_error.h"
#include "io/file_set.h"
#include "render/coastline_file.h"
#include "render/map.h"
#include "render/shadow_layer.h"
#include "render/texture_file.h"

extern char** environ;

namespace darvelle::cli {
namespace {

namespace fs = std::filesystem;

// A film of more frames than this is a mistake (a step of a second over a
// whole eclipse is some 20,000).
constexpr int kMaxFrames = 100000;
constexpr int kMinFrameSize = 100;
// The drawing's height: a square frame cut round the globe fits in it.
constexpr int kMaxFrameSize = kMapHeight;

struct Film {
  EclipseResult computation;
  double firstJulianDayUt = 0;
  double stepDays = 0;
  int frames = 0;
  int size = 800;
  GlobeProjection projection{0, 0, 0, 1, false};
  QImage base;  // the map without the shadow, drawn once
  fs::path folder;
};

double UtOf(const EclipseResult& c, double t) {
  return c.elements.julianDay + t / 24.0 - c.deltaT / 86400.0;
}

// One frame: the kept map, the shadow at that instant, the instant written
// in a corner; cut square round the globe.
QImage DrawFrame(const Film& film, int frame) {
  const double julianDayUt = film.firstJulianDayUt + frame * film.stepDays;
  const EclipseResult& c = film.computation;
  const ShadowAtInstant shadow =
      ComputeShadowAt(c.elements, c.deltaT, ShadowTimeOfUt(c.elements, c.deltaT, julianDayUt));
  QImage image = film.base;
  DrawShadowLayer(image, film.projection, shadow);
  QImage square = image.copy(kGlobeCentreX - film.size / 2, kGlobeCentreY - film.size / 2,
                             film.size, film.size);
  QPainter painter(&square);
  QFont font(LegendFontFamily());
  font.setPixelSize(std::max(12, film.size / 32));
  painter.setFont(font);
  painter.setPen(Qt::black);
  const std::string text = IsoInstantUt(julianDayUt);
  // "2024-04-08 18:42:00 UT": whole seconds, as a film shows them.
  const QString when =
      QString::fromStdString(text.substr(0, 10) + " " + text.substr(11, 8) + " UT");
  painter.drawText(QRect(8, 4, film.size - 16, font.pixelSize() * 2),
                   Qt::AlignLeft | Qt::AlignTop, when);
  return square;
}

std::string FrameName(int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%04d.png", frame + 1);
  return name;
}

void DrawBar(int done, int total) {
  constexpr int kWidth = 40;
  const int filled = total > 0 ? static_cast<int>(static_cast<long long>(done) * kWidth / total) : kWidth;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), '.');
  std::fprintf(stderr, "\r[%s] %d/%d", bar.c_str(), done, total);
  std::fflush(stderr);
}

// Draws and writes every frame on every core; the files wait in `deferred`
// for one flush at the end, as the batch's do.
void WriteFrames(const Film& film, DeferredSync& deferred) {
  std::atomic<int> next{0}, done{0};
  std::atomic<bool> failed{false};
  std::mutex failure;
  std::string problem;
  auto work = [&] {
    for (int frame = next++; frame < film.frames; frame = next++) {
      try {
        const QImage picture = DrawFrame(film, frame);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // A light compression: the frames are many and passed on to a video.
        if (!picture.save(&buffer, "PNG", 80)) throw FileError("a frame could not be encoded");
        WriteFileAtomically(film.folder / FrameName(frame),
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                            &deferred);
      } catch (const std::exception& e) {
        const std::lock_guard lock(failure);
        if (problem.empty()) problem = e.what();
        failed = true;
        next = film.frames;
      }
      ++done;
    }
  };
  const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 64u));
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < cores; ++i) threads.emplace_back(work);
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  while (done < film.frames && !failed) {
    if (terminal) DrawBar(done, film.frames);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  for (auto& t : threads) t.join();
  if (terminal) {
    DrawBar(done, film.frames);
    std::fputc('\n', stderr);
  }
  if (!problem.empty()) throw std::runtime_error(problem);
  deferred.Flush();
}

// Joins the frames into `file` by ffmpeg, through a temporary that becomes
// the file only when ffmpeg ended well.
void WriteVideo(const Film& film, const fs::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  std::vector<std::string> args = {"ffmpeg", "-nostdin", "-loglevel", "error", "-y",
                                   "-framerate", "30", "-i",
                                   (film.folder / "frame_%04d.png").string(),
                                   // Frames of an earlier, longer film may follow in the folder.
                                   "-frames:v", std::to_string(film.frames)};
  if (ext == ".mp4") {
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
                             "frames are in " + film.folder.string());
  }
  if (spawned != 0) {
    throw std::runtime_error("cannot write \"" + file.string() + "\": cannot run ffmpeg: " +
                             std::strerror(spawned));
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("cannot write \"" + file.string() +
                             "\": ffmpeg failed (see its message above); the frames are in " +
                             film.folder.string());
  }
  out.Commit();
}

}  // namespace

int RunAnimate(const std::vector<std::string>& args) {
  const Args parsed(args, {"index", "year", "date", "out", "step", "size", "video", "data"},
                    {"colored"});
  if (int{parsed.Has("index")} + int{parsed.Has("year")} + int{parsed.Has("date")} != 1) {
    throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  }
  parsed.Integer("index");
  parsed.Integer("year");
  parsed.Date("date");
  const auto out = parsed.Value("out");
  if (!out) throw UsageError("give the folder of the frames as --out DIR");
  const double step = parsed.Real("step").value_or(60.0);
  if (!(step >= 1.0 && step <= 3600.0)) throw UsageError("--step must lie in 1 .. 3600 seconds");
  const long long size = parsed.Integer("size").value_or(800);
  if (size < kMinFrameSize || size > kMaxFrameSize) {
    throw UsageError("--size must lie in " + std::to_string(kMinFrameSize) + " .. " +
                     std::to_string(kMaxFrameSize) + " pixels");
  }
  const auto video = parsed.Value("video");
  if (video) {
    std::string ext = fs::path(*video).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (ext != ".mp4" && ext != ".webm") {
      throw UsageError("--video needs a file name ending in .mp4 or .webm, not '" + *video + "'");
    }
  }

  const Catalogue catalogue = LoadCatalogueFor(parsed);
  Film film;
  film.computation = ComputeEclipse(PrepareEclipse(catalogue, SelectedEclipseFor(parsed, catalogue),
                                                   true, 1));
  const EclipseResult& c = film.computation;
  const auto p1 = c.circumstances.events.Time(EventId::TP1);
  const auto p4 = c.circumstances.events.Time(EventId::TP4);
  if (!p1 || !p4) throw std::runtime_error("the eclipse has no first or last contact");
  film.firstJulianDayUt = UtOf(c, *p1);
  film.stepDays = step / 86400.0;
  film.frames = std::min(kMaxFrames, static_cast<int>(std::floor((*p4 - *p1) * 3600.0 / step)) + 1);
  film.size = static_cast<int>(size);
  film.folder = *out;
  fs::create_directories(film.folder);

  // The globe as the map draws it, centred on the eclipse, its radius fitting
  // the frame with a small margin.
  const GuiSession session;
  ViewParameters view;
  view.RK = std::max(1, film.size * 47 / 100);
  view.ColoredEarth = parsed.Has("colored");
  view.PenWidth = film.size >= 600 ? 2 : 1;
  EarthTexture texture;
  if (view.ColoredEarth) {
    const TextureLoadResult loaded =
        LoadTexture(FindDataFile(kTextureFileName, DataFolder(parsed)), texture);
    if (!loaded.decoded) throw FileError(loaded.message);
  }
  const CoastlineLayer coastlines(LoadCoastlines(FindDataFile(kCoastlineFileName, DataFolder(parsed))));
  MapRenderer renderer;
  renderer.DrawMap(c, view, texture, coastlines);
  film.base = renderer.DrawingImage().convertToFormat(QImage::Format_RGB32);
  film.projection = *renderer.LastView();

  DeferredSync deferred(film.folder);
  WriteFrames(film, deferred);
  std::cerr << "darvelle-cli animate: " << film.frames << " frames in " << film.folder.string()
            << "\n";
  if (video) WriteVideo(film, *video);
  return kExitOk;
}

}  // namespace darvelle::cli
