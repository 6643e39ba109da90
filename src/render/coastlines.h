#pragma once
// The geographic reference layers of the map: the graticule of parallels and
// meridians, and the coastline points plotted as single black pixels.

#include <QImage>

#include <span>
#include <vector>

#include "render/coastline_file.h"
#include "render/projection.h"

namespace darvelle {

// Graticule pen colours: light over the texture, darker on the plain globe.
inline constexpr int kGraticuleGreyColored = 208;
inline constexpr int kGraticuleGreyPlain = 144;
// Projected graticule coordinates are held in this range (pixels) before
// rounding; only the stereographic view near the far antipode reaches it.
inline constexpr double kGraticuleClampMin = -500.0;
inline constexpr double kGraticuleClampMax = 3000.0;

// Parallels every 10 deg from +80 to -80 (sampled every 2 deg of longitude)
// and meridians every 10 deg (sampled every 2 deg from +85 to -85), 1 pixel,
// grey, broken where they pass behind the globe.
void DrawGraticule(QImage& image, const GlobeProjection& view, bool coloredEarth);

// The coastline points, rounded to whole arcseconds and turned into unit
// vectors once, so that each drawing pays only for the three turns of the
// projection. Projections are identical to ProjectPoint on the same points.
class CoastlineLayer {
 public:
  CoastlineLayer() = default;
  explicit CoastlineLayer(std::span<const CoastlinePoint> points);

  std::size_t Count() const { return vectors_.size(); }
  std::span<const UnitVector> Vectors() const { return vectors_; }

 private:
  std::vector<UnitVector> vectors_;
};

// Sets the pixel of every visible coastline point to black; points off the
// image are ignored.
void DrawCoastlines(QImage& image, const GlobeProjection& view, const CoastlineLayer& coastlines);

}  // namespace darvelle
