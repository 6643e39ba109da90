#pragma once
// The map's optional layers, each off unless the caller asks for it: the
// national borders, the path of the umbra as a translucent band (and the
// partial zone lightly shaded), and town names placed so that none overlaps
// another. The exit bitmap and the sheet draw none of them.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>

#include <optional>
#include <span>
#include <vector>

#include "render/border_file.h"
#include "render/projection.h"

namespace darvelle {

// ---- Borders ----

// Magenta: no curve uses it, and it stands out from the greens, browns and
// blues of the coloured Earth as well as from the plain globe's grey.
inline constexpr QRgb kBorderColor = 0xffb000b0;

// The border lines as unit vectors (whole arcseconds, as the coastlines), so
// that a drawing pays only for the projection.
class BorderLayer {
 public:
  BorderLayer() = default;
  explicit BorderLayer(std::span<const BorderLine> lines);

  std::size_t LineCount() const { return lines_.size(); }
  std::size_t PointCount() const;
  std::span<const std::vector<UnitVector>> Lines() const { return lines_; }

 private:
  std::vector<std::vector<UnitVector>> lines_;
};

// Every border line as one-pixel segments between its visible points,
// broken where the line passes behind the globe.
void DrawBorders(QImage& image, const GlobeProjection& view, const BorderLayer& borders);

// ---- The path as a band ----

// One area to shade: closed rings in degrees (longitude east positive,
// latitude) as the GIS files write them, cut at the antimeridian, and the
// translucent colour they are filled with.
struct BandArea {
  std::vector<std::vector<CoastlinePoint>> rings;
  QRgb color = 0;
  bool partialZone = false;  // else the umbra's path
};

// The totality band red, the annularity band yellow, a hybrid's orange, the
// partial zone a faint grey: the central line's colours, thin enough that
// the Earth shows through.
inline constexpr QRgb kTotalityBandColor = 0x59ff0000;    // alpha 89 of 255
inline constexpr QRgb kAnnularityBandColor = 0x66ffd700;  // alpha 102
inline constexpr QRgb kHybridBandColor = 0x60ff8000;      // alpha 96
inline constexpr QRgb kPartialZoneColor = 0x26303040;     // alpha 38

// Fills each area's visible part: edges are followed on the sphere in steps
// of at most half a degree, and in the orthographic view the part behind the
// globe is cut along its outline.
void DrawBand(QImage& image, const GlobeProjection& view, std::span<const BandArea> areas);

// Whether a point (degrees) lies inside any of the rings, by the crossing
// rule in the longitude/latitude plane the rings were made in.
bool InsideRings(const std::vector<std::vector<CoastlinePoint>>& rings, double longitudeDeg,
                 double latitudeDeg);

// ---- The central line's band for an uncertain DeltaT ----

// Where the central line may lie for DeltaT within its range (before 1600
// and after 2100): the band between the line at both ends of the range and
// those two lines, in degrees as the GIS files write them.
struct DeltaTBandLayer {
  std::vector<std::vector<CoastlinePoint>> rings;  // the band, cut at the antimeridian
  std::vector<std::vector<CoastlinePoint>> edges;  // the central line at each end, cut there too
};

// Lavender and violet, which no curve and no path band uses and which stand
// out from the ocean's blues as well as from the plain globe's grey: the band
// thin enough that the path's own colours show through, its edges solid.
inline constexpr QRgb kDeltaTBandColor = 0x58c080ff;  // alpha 88 of 255
inline constexpr QRgb kDeltaTEdgeColor = 0xff8020d0;

// Fills the band as DrawBand fills an area, then draws both edges as
// one-pixel lines broken where they pass behind the globe.
void DrawDeltaTBand(QImage& image, const GlobeProjection& view, const DeltaTBandLayer& band);

// ---- Town names ----

// A town that may be named, in the order the names are tried: the caller
// puts the chosen place first, then the towns inside the path, each group
// most populous first.
struct TownLabelCandidate {
  QString name;
  double longitudeDeg = 0.0;
  double latitudeDeg = 0.0;

  bool operator==(const TownLabelCandidate&) const = default;
};

// A name placed on the drawing: the town's dot at `anchor` (the town's
// projection, image pixels) and the name's box beside it.
struct PlacedLabel {
  QString name;
  QPointF anchor;
  QRect box;  // the name's text with its halo
  std::size_t candidate = 0;  // index into the candidates
};

// The order the names are tried in: `chosen` (the user's place) first, then
// the towns inside `pathRings`, then the rest, each group in the order given
// (most populous first).
std::vector<TownLabelCandidate> RankTownLabels(
    std::span<const TownLabelCandidate> byPopulation, const std::optional<TownLabelCandidate>& chosen,
    const std::vector<std::vector<CoastlinePoint>>& pathRings);

// The font of the names (the legend's family).
QFont TownLabelFont();

// At most this many names whatever the scale; fewer fit a small globe,
// since no name may overlap another.
inline constexpr int kMaxTownLabels = 300;

// Greedy placement by rank: each candidate whose town is visible and inside
// the image gets the first of four places round its dot (right, left, above,
// below) whose box meets no box placed before and no placed dot; the search
// ends after kMaxTownLabels names or when a run of candidates found no room
// (the rest are smaller towns in an already crowded picture).
std::vector<PlacedLabel> PlaceTownLabels(std::span<const TownLabelCandidate> candidates,
                                         const GlobeProjection& view, QSize imageSize);

// Draws the dots and the names (dark text on a light halo, which reads over
// both Earths).
void DrawTownLabels(QImage& image, std::span<const PlacedLabel> labels);

}  // namespace darvelle
