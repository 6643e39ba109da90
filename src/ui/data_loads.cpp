#include "ui/data_loads.h"

#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <utility>

#include "catalogue/data_files.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

// The layer every drawing gets when there are no coastlines; immutable.
const CoastlineLayer& NoCoastlines() {
  static const CoastlineLayer none;
  return none;
}

}  // namespace

TextureFuture LoadTextureInBackground(QThreadPool* pool, const fs::path& file) {
  return QtConcurrent::run(pool, [file] {
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

CoastlineFuture LoadCoastlinesInBackground(QThreadPool* pool, std::optional<fs::path> dataFolder,
                                           CoastlineReader read) {
  return QtConcurrent::run(pool, [dataFolder = std::move(dataFolder), read = std::move(read)] {
    auto loaded = std::make_shared<LoadedCoastlines>();
    try {
      loaded->layer = CoastlineLayer(read(FindDataFile(kCoastlineFileName, dataFolder)));
    } catch (const std::exception& error) {
      loaded->failure = error.what();
    } catch (...) {
      // Nothing may cross into the pool: the window would meet it as a crash.
      loaded->failure = "The coastline file " + std::string(kCoastlineFileName) + " could not be read.";
    }
    return std::shared_ptr<const LoadedCoastlines>(std::move(loaded));
  });
}

const CoastlineLayer& ReadyCoastlines(const CoastlineFuture& loading) {
  if (!loading.isValid() || !loading.isFinished()) return NoCoastlines();
  return loading.result()->layer;
}

const CoastlineLayer& AwaitCoastlines(const CoastlineFuture& loading) {
  if (!loading.isValid()) return NoCoastlines();
  return loading.result()->layer;
}

}  // namespace darvelle::ui
