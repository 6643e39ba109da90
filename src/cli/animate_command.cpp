// darvelle-cli animate.

#include "cli/animate_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/map_outputs.h"
#include "cli/progress_bar.h"
#include "cli/selection_options.h"
#include "export/film.h"
#include "geometry/eclipse_computation.h"
#include "io/file_error.h"
#include "render/coastline_file.h"
#include "render/texture_file.h"

namespace darvelle::cli {

CommandHelp AnimateHelp() {
  return {"animate", "",
    "Draws a picture of the shadow every step from the first contact to the last, as "
    "DIR/frame_0001.png ..., and with --video joins them into a film by ffmpeg.",
    Joined({EclipseChoice(),
            {{"out", "DIR", "the folder of the frames", true},
             {"step", "SECONDS", "time between frames (default 60)"},
             {"size", "PIXELS", "side of the square frame, 100 .. 1066 (default 800)"},
             {"colored", "", "paint the globe with the Earth texture"},
             {"video", "FILE.mp4|.webm", "join the frames into that film (needs ffmpeg)"},
             DeltaTOptionHelp(), DataOptionHelp()}})};
}

int RunAnimate(const std::vector<std::string>& args) {
  const Args parsed(args, AnimateHelp().options);
  if (int{parsed.Has("index")} + int{parsed.Has("year")} + int{parsed.Has("date")} != 1) {
    throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  }
  parsed.Integer("index");
  parsed.Integer("year");
  parsed.Date("date");
  const auto out = parsed.Value("out");
  if (!out) throw UsageError("give the folder of the frames as --out DIR");
  FilmOptions options;
  options.stepSeconds = parsed.Real("step").value_or(60.0);
  options.size = static_cast<int>(std::clamp<long long>(parsed.Integer("size").value_or(800), -1,
                                                        kMaxFilmSize + 1));
  options.colored = parsed.Has("colored");
  options.folder = *out;
  if (const auto video = parsed.Value("video")) options.video = *video;
  if (const std::string problem = FilmOptionsProblem(options); !problem.empty()) {
    throw UsageError(problem);
  }

  const Catalogue catalogue = LoadCatalogueFor(parsed);
  PreparedEclipse prepared = PrepareEclipse(catalogue, SelectedEclipseFor(parsed, catalogue), TimeScale::kUniversal, 1);
  if (const auto deltaT = DeltaTOption(parsed)) SetUserDeltaT(prepared, *deltaT);
  const EclipseResult computation = ComputeEclipse(prepared);
  const int frames = FilmFrameCount(computation, options);
  if (frames == 0) throw std::runtime_error("the eclipse has no first or last contact");

  const GuiSession session;
  EarthTexture texture;
  if (options.colored) {
    const TextureLoadResult loaded =
        LoadTexture(FindDataFile(kTextureFileName, DataFolder(parsed)), texture);
    if (!loaded.decoded) throw FileError(loaded.message);
  }
  const CoastlineLayer coastlines(LoadCoastlines(FindDataFile(kCoastlineFileName, DataFolder(parsed))));
  const FilmBase base = DrawFilmBase(computation, options, texture, coastlines);

  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  bool barShown = false;
  WriteFilm(computation, options, base, [&](int done, int total) {
    if (terminal && done >= 0) {
      DrawProgressBar(done, total);
      barShown = true;
    } else if (barShown) {
      std::fputc('\n', stderr);
      barShown = false;
    }
    return true;
  });
  if (barShown) std::fputc('\n', stderr);
  std::cerr << "darvelle-cli animate: " << frames << " frames in " << options.folder.string()
            << "\n";
  return kExitOk;
}

}  // namespace darvelle::cli
