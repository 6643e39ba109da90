#include "cli/map_outputs.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "cli/args.h"
#include "geometry/shadow_at_instant.h"
#include "export/path_band.h"
#include "geometry/timed_outlines.h"
#include "places/place_index.h"
#include "places/towns_on_path.h"
#include "render/border_file.h"
#include "render/coastline_file.h"
#include "render/image_file.h"
#include "render/map.h"
#include "render/shadow_layer.h"
#include "render/texture_file.h"
#include "render/vector_state.h"
#include "render/zoom_coastlines.h"

namespace darvelle::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxGlobeRadius = 9999;

std::optional<std::string> OptionValue(const ComputeOptions& options, const char* name) {
  const auto it = options.outputValues.find(name);
  if (it == options.outputValues.end()) return std::nullopt;
  return it->second;
}

double AngleOption(const ComputeOptions& options, const char* name) {
  const auto text = OptionValue(options, name);
  if (!text) return 0.0;
  const auto value = RealNumberOf(*text);
  if (!value || std::abs(*value) > 1e6) {
    throw UsageError(std::string("--") + name + " must be an angle in degrees, not '" + *text +
                     "'");
  }
  return *value;
}

long long IntegerOption(const ComputeOptions& options, const char* name, long long fallback,
                        long long low, long long high) {
  const auto text = OptionValue(options, name);
  if (!text) return fallback;
  const auto value = WholeNumberOf(*text);
  if (!value || *value < low || *value > high) {
    throw UsageError(std::string("--") + name + " must be a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high) + ", not '" + *text +
                     "'");
  }
  return *value;
}

// --outlines MINUTES, 0 when not given.
long long OutlineMinutes(const ComputeOptions& options) {
  return IntegerOption(options, "outlines", 0, kMinOutlineStepMinutes, kMaxOutlineStepMinutes);
}

// "BMP" or "PNG" from the file's extension; UsageError otherwise.
const char* PictureFormat(const std::string& option, const std::string& file) {
  std::string ext = fs::path(file).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (ext == ".bmp") return "BMP";
  if (ext == ".png") return "PNG";
  throw UsageError("--" + option + " needs a file name ending in .bmp or .png, not '" + file +
                   "'");
}

// The towns that see the central phase, most populous first, each named
// with its duration.
std::vector<TownLabelCandidate> TownDurationCandidates(const EclipseResult& c,
                                                       const std::vector<places::Place>& towns) {
  places::TownsFilter central;
  central.CentralOnly = true;
  std::vector<TownLabelCandidate> candidates;
  for (const places::TownDurationLabel& label : places::TownDurationLabels(
           places::FindTownsOnPath(c.elements, c.deltaT, towns, central), towns)) {
    candidates.push_back({QString::fromStdString(label.text), label.LongitudeDeg, label.LatitudeDeg});
  }
  return candidates;
}

// Every town of the list, the towns in the path first.
std::vector<TownLabelCandidate> TownNameCandidates(const places::PlaceIndex& index,
                                                   const std::vector<BandArea>& areas) {
  std::vector<TownLabelCandidate> byPopulation;
  byPopulation.reserve(index.Size());
  for (const places::Place& place : index.Places()) {
    byPopulation.push_back({QString::fromStdString(place.Name), place.LongitudeDeg, place.LatitudeDeg});
  }
  return RankTownLabels(byPopulation, std::nullopt, PathRingsOf(areas));
}

}  // namespace

GuiSession::GuiSession() {
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  ClearUpperVectorState();
}

GuiSession::~GuiSession() = default;

void DrawMapFor(MapRenderer& renderer, const EclipseResult& c, const ComputeOptions& options) {
  const ViewParameters view = MapViewFor(options);
  EarthTexture texture;
  if (view.ColoredEarth) {
    const TextureLoadResult loaded =
        LoadTexture(FindDataFile(kTextureFileName, options.dataFolder), texture);
    if (!loaded.decoded) throw FileError(loaded.message);
    if (loaded.warning) std::cerr << "darvelle-cli: " << EscapeControlBytes(loaded.message) << "\n";
  }
  const CoastlineLayer coastlines(
      LoadCoastlines(FindDataFile(kCoastlineFileName, options.dataFolder)));

  MapLayers layers;
  // Zoomed in, the finest tier installed; the points when there is none.
  std::optional<ZoomCoastLayer> zoomCoast;
  for (const char tier : CoastTiersToTry(view.RK)) {
    try {
      zoomCoast.emplace(LoadCoastTier(FindDataFile(CoastTierFileName(tier), options.dataFolder)));
      layers.zoomCoast = &*zoomCoast;
      break;
    } catch (const FileError& error) {
      std::cerr << "darvelle-cli: " << EscapeControlBytes(error.what()) << "\n";
    }
  }
  std::optional<BorderLayer> borders;
  if (options.outputValues.contains("borders")) {
    borders.emplace(LoadBorders(FindDataFile(kBorderFileName, options.dataFolder)));
    layers.borders = &*borders;
  }
  const bool band = options.outputValues.contains("band");
  const bool labels = options.outputValues.contains("labels");
  std::vector<BandArea> areas;
  if (band || labels) areas = PathBandAreas(c, true);
  if (band) layers.band = areas;
  std::optional<DeltaTBandLayer> deltaTBand;
  if (options.outputValues.contains("delta-t-band")) {
    deltaTBand = DeltaTBandLayerOf(c);
    if (deltaTBand) layers.deltaTBand = &*deltaTBand;
  }
  std::vector<TownLabelCandidate> towns;
  const bool durations = options.outputValues.contains("town-durations");
  if (labels || durations) {
    static constexpr const char* kCodes[] = {"de", "en", "fr"};
    const auto index = places::PlaceIndex::Load(kCodes[LanguageIndex(options.language)],
                                                options.dataFolder);
    if (!index.Note().empty()) std::cerr << "darvelle-cli: " << index.Note() << "\n";
    towns = durations ? TownDurationCandidates(c, index.Places()) : TownNameCandidates(index, areas);
    layers.towns = towns;
  }
  std::vector<TimedUmbraArea> outlines;
  if (const long long minutes = OutlineMinutes(options); minutes > 0) {
    outlines = TimedUmbraAreas(c, static_cast<int>(minutes));
    layers.umbraOutlines = outlines;
  }
  // The files are the drawing and the legend, never the window's scaled copy.
  renderer.DrawMap(c, view, texture, coastlines, layers, kNoDisplayImage);
}

ViewEditTexts EditTextsFor(const ComputeOptions& options) {
  const ViewParameters view = MapViewFor(options);
  ViewEditTexts edits = ViewEditTexts::FromParameters(view);
  // The texts as typed, as the window's edits would hold them; an angle of
  // zero reads "0.0" as the reset button writes it, so that "--psi 0" still
  // counts as the view the program chose.
  if (auto v = OptionValue(options, "psi"); v && view.Psi != 0.0) edits.psi = *v;
  if (auto v = OptionValue(options, "phi"); v && view.Phi != 0.0) edits.phi = *v;
  if (auto v = OptionValue(options, "chi"); v && view.Chi != 0.0) edits.chi = *v;
  if (auto v = OptionValue(options, "size")) edits.rk = *v;
  return edits;
}

namespace {

void WriteMap(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  const GuiSession session;
  MapRenderer renderer;
  DrawMapFor(renderer, c, options);
  SaveImageFile(renderer.DrawingImage(), file, PictureFormat("map", file), PngEncoding::kQuick);
}

void WriteLegend(const EclipseResult& c, const ComputeOptions& options, const std::string& file) {
  const GuiSession session;
  MapRenderer renderer;
  DrawMapFor(renderer, c, options);
  const ViewEditTexts edits = EditTextsFor(options);
  const QString title =
      QString::fromLatin1(EclipseTypeName(c.elements.kind, options.language).data());
  renderer.ComposeLegendImage(c, title, edits);
  SaveImageFile(renderer.DisplayImage(), file, PictureFormat("legend", file), PngEncoding::kQuick);
}

void WriteNothing(const EclipseResult&, const ComputeOptions&, const std::string&) {}

}  // namespace

std::vector<ComputeOutput> MapOutputs() {
  return {
      {"psi", "DEG", "longitude offset of the view centre, degrees (default 0)", WriteNothing},
      {"phi", "DEG", "latitude offset of the view centre, degrees (default 0)", WriteNothing},
      {"chi", "DEG", "turn of the picture, degrees counter-clockwise (default 0)", WriteNothing},
      {"size", "PIXELS", "globe radius in pixels, 1 .. 9999 (default 500)", WriteNothing},
      {"stereographic", nullptr, "stereographic instead of orthographic view", WriteNothing},
      {"colored", nullptr, "paint the globe with the Earth texture", WriteNothing},
      {"pen-width", "1|2|3", "pen width of the curves: 1, 2 or 3 pixels (default 1)", WriteNothing},
      {"borders", nullptr, "national borders on the pictures", WriteNothing},
      {"labels", nullptr, "town names on the pictures, the towns in the path first", WriteNothing},
      {"band", nullptr, "the path shaded on the pictures, the partial zone faintly", WriteNothing},
      {"delta-t-band", nullptr,
       "the central line's band for DeltaT +- 2 sigma (before 1600 and after 2100, UT)",
       WriteNothing},
      {"town-durations", nullptr,
       "the largest towns in the path named with their duration (in place of --labels)",
       WriteNothing},
      {"map", "FILE", "the 1600 x 1066 map drawing, a .bmp or .png file", WriteMap, true},
      {"outlines", "MINUTES", "with --map: the umbra every MINUTES of UT along the path, 1 .. 720",
       WriteNothing},
      {"legend", "FILE", "the 1600 x 1266 legend picture, a .bmp or .png file", WriteLegend,
       true},
  };
}

ViewParameters MapViewFor(const ComputeOptions& options) {
  ViewParameters view;
  view.Psi = AngleOption(options, "psi");
  view.Phi = AngleOption(options, "phi");
  view.Chi = AngleOption(options, "chi");
  view.RK = static_cast<int>(IntegerOption(options, "size", kDefaultGlobeRadius, kMinGlobeRadius,
                                           kMaxGlobeRadius));
  view.PenWidth = static_cast<int>(IntegerOption(options, "pen-width", 1, 1, 3));
  view.Stereographic = options.outputValues.contains("stereographic");
  view.ColoredEarth = options.outputValues.contains("colored");
  view.Resolution = options.resolution;
  return view;
}

void CheckMapOptions(const ComputeOptions& options) {
  (void)MapViewFor(options);
  if (auto file = OptionValue(options, "map")) PictureFormat("map", *file);
  (void)OutlineMinutes(options);
  if (auto file = OptionValue(options, "legend")) PictureFormat("legend", *file);
}

}  // namespace darvelle::cli
