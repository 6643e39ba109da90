#pragma once
// The eclipse as a film: one picture of the globe per instant from the first
// contact to the last, the shadow of that instant drawn over a map drawn
// once, optionally joined into an MP4 or WebM by ffmpeg. darvelle-cli
// animate and the window's "Export animation…" both write through here.
//
// Values in, files out; nothing is kept between calls. The frames are drawn
// on several threads at once; the caller's thread waits and reports.

#include <QImage>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "geometry/eclipse_computation.h"
#include "render/coastlines.h"
#include "render/map.h"
#include "render/projection.h"
#include "render/texture.h"

namespace darvelle {

// A film of more frames than this is a mistake (a step of a second over a
// whole eclipse is some 20,000).
inline constexpr int kMaxFilmFrames = 100000;
inline constexpr int kMinFilmSize = 100;
// The drawing's height: a square frame cut round the globe fits in it.
inline constexpr int kMaxFilmSize = kMapHeight;
inline constexpr double kMinFilmStepSeconds = 1.0;
inline constexpr double kMaxFilmStepSeconds = 3600.0;

struct FilmOptions {
  double stepSeconds = 60.0;  // of UT between frames
  int size = 800;             // pixels, square
  bool colored = false;       // the Earth texture under the map
  std::filesystem::path folder;  // frame_0001.png, ...
  std::optional<std::filesystem::path> video;  // .mp4 or .webm
  int threads = 0;  // drawing threads; 0: one per core
};

// Why the options cannot make a film (empty when they can): the step, the
// size or the video file's kind, in words for the user.
std::string FilmOptionsProblem(const FilmOptions& options);

// The globe as the film shows it, centred on the eclipse, its radius
// fitting the frame with a small margin: drawn once per film.
struct FilmBase {
  QImage map;  // RGB32, kMapWidth x kMapHeight
  GlobeProjection projection{0, 0, 0, 1, false};
};
FilmBase DrawFilmBase(const EclipseResult& eclipse, const FilmOptions& options,
                      const EarthTexture& texture, const CoastlineLayer& coastlines);

// The number of frames of `eclipse` at the step of `options`; 0 without a
// first or last contact.
int FilmFrameCount(const EclipseResult& eclipse, const FilmOptions& options);

// Called on the caller's thread while the frames are drawn (frames done,
// frames in all) and once with -1 done while ffmpeg runs; false stops the film.
using FilmProgress = std::function<bool(int done, int total)>;

enum class FilmOutcome { kWritten, kCancelled };

// Writes the frames and, when asked, the video. Throws std::runtime_error
// (FileError for the files) naming what failed. A film stopped by `progress`
// leaves none of its frames and no video behind (earlier files of those
// names are gone too: the folder is the film's).
FilmOutcome WriteFilm(const EclipseResult& eclipse, const FilmOptions& options,
                      const FilmBase& base, const FilmProgress& progress = {});

}  // namespace darvelle
