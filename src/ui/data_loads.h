#pragma once
// The data files the window reads besides the catalogue: the Earth texture
// and the coastline points. Each is read on a worker, so that neither keeps
// the window's thread (and with it the first map) waiting; a job that draws
// waits for what it needs on its own worker.

#include <QFuture>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "render/texture_file.h"

class QThreadPool;

namespace darvelle::ui {

// The Earth texture as its loading job leaves it.
struct LoadedTexture {
  EarthTexture image;
  TextureLoadResult load;  // decoded, or why not; a warning says the picture is incomplete
  std::string failure;     // the file could not be read at all (empty when it could)
  bool Usable() const { return failure.empty() && load.decoded && !image.Empty(); }
};
using TextureFuture = QFuture<std::shared_ptr<const LoadedTexture>>;

// Starts decoding `file` on a thread of `pool`.
TextureFuture LoadTextureInBackground(QThreadPool* pool, const std::filesystem::path& file);

// The coastline points as their loading job leaves them: turned into the
// layer the drawing reads, or none and why.
struct LoadedCoastlines {
  CoastlineLayer layer;
  std::string failure;  // names the file and the cause; empty when the points were read
};
using CoastlineFuture = QFuture<std::shared_ptr<const LoadedCoastlines>>;

// How the coastline file is read (LoadCoastlines; tests wrap it to see
// which thread reads it).
using CoastlineReader = std::function<std::vector<CoastlinePoint>(const std::filesystem::path&)>;

// Finds the coastline file (in `dataFolder` only, when given, else in the
// usual data folders) and reads it with `read` on a thread of `pool`.
CoastlineFuture LoadCoastlinesInBackground(QThreadPool* pool,
                                           std::optional<std::filesystem::path> dataFolder,
                                           CoastlineReader read);

// The layer of a finished load; none while the load runs or when it failed.
// Never waits, so the window's thread may ask.
const CoastlineLayer& ReadyCoastlines(const CoastlineFuture& loading);

// The layer once loaded, waiting for the load: for workers only.
const CoastlineLayer& AwaitCoastlines(const CoastlineFuture& loading);

}  // namespace darvelle::ui
