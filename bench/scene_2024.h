#pragma once
// The scene several benchmarks draw: the total eclipse of 2024 April 8
// computed at resolution 1, with the shipped Earth texture and coastlines.
// Built once per benchmark program, on first use (loading takes a second).

#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/selection.h"
#include "geometry/eclipse_computation.h"
#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "render/texture.h"
#include "render/texture_file.h"

namespace darvelle {

struct Scene2024 {
  std::shared_ptr<const EclipseResult> computation;
  EarthTexture texture;
  CoastlineLayer coastlines;
  std::string missing;  // why the scene could not be built, if it could not
};

inline const Scene2024& SharedScene2024() {
  static const std::unique_ptr<const Scene2024> scene = [] {
    auto s = std::make_unique<Scene2024>();
    const std::filesystem::path data = DARVELLE_TEST_DATA_DIR;
    try {
      const Catalogue catalogue = LoadCatalogue(data / kCatalogueFileName);
      s->computation = std::make_shared<const EclipseResult>(
          ComputeEclipse(PrepareEclipse(catalogue, FindFirstOfYear(catalogue, 2024), TimeScale::kUniversal, 1)));
      s->coastlines = CoastlineLayer(LoadCoastlines(data / kCoastlineFileName));
      const TextureLoadResult loaded = LoadTexture(data / kTextureFileName, s->texture);
      if (!loaded.decoded) s->missing = loaded.message;
    } catch (const std::exception& e) {
      s->missing = e.what();
    }
    return s;
  }();
  return *scene;
}

}  // namespace darvelle
