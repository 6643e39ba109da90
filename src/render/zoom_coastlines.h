#pragma once
// The shores and borders of a globe zoomed in beyond what the coastline
// point file resolves: GSHHG polylines at the resolution that suits the
// scale, one file per resolution ("tier", tools/coastlines/make_coast_tier.py),
// indexed by their bounds so that a zoomed view projects only the lines it
// may show.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/projection.h"

namespace darvelle {

// The dot file's points lie about 6.5 km apart along the shore; from this
// radius on a pixel is finer than that (6.4 km) and the dots fall apart, so
// the lines take over. The default views (500) stay below it.
inline constexpr int kZoomCoastRadius = 1000;

// GSHHG's resolutions from coarse to fine, by the letter GMT gives them.
inline constexpr char kCoastTiers[] = {'i', 'h', 'f'};

// The tier a globe of radius `rk` wants: none below kZoomCoastRadius (the dot
// file), else the coarsest whose detail is no coarser than a pixel
// (intermediate 1 km, high 0.2 km, full 40 m).
std::optional<char> CoastTierForRadius(int rk);

// The tiers worth loading for radius `rk`, the wanted one first, then the
// coarser ones a view may draw until it is there (or when it is not
// installed); empty below kZoomCoastRadius.
std::vector<char> CoastTiersToTry(int rk);

// "Coast_GSHHG_h.bin".
std::string CoastTierFileName(char tier);

// The file as read: for the shores and for the borders, the point count of
// each line and the points, longitude and latitude in millionths of a degree.
struct CoastTierLines {
  std::vector<std::uint32_t> counts;
  std::vector<std::int32_t> points;  // longitude, latitude, ...
  std::size_t PointCount() const { return points.size() / 2; }
};
struct CoastTierFile {
  char tier = 0;
  CoastTierLines shores;
  CoastTierLines borders;
};

// Reads a tier file. A missing, unreadable, truncated or overlong file, a
// wrong magic, a line of fewer than two points or a coordinate outside
// -360 .. 360 / -90 .. 90 degrees throws FileError naming the file and the cause.
CoastTierFile LoadCoastTier(const std::filesystem::path& fileName);

// One kind of lines cut into short pieces, each with a bounding cap on the
// sphere, and the pieces filed in 10-degree tiles with caps of their own.
class ZoomLines {
 public:
  ZoomLines() = default;
  explicit ZoomLines(const CoastTierLines& lines);

  std::size_t PointCount() const { return points_.size() / 2; }

  // Calls visit(first, count) for each piece whose cap may show in an image
  // of `width` x `height` under `view`; the points are PiecePoints(first, count).
  template <typename Visit>
  void ForEachVisiblePiece(const GlobeProjection& view, int width, int height, Visit&& visit) const;

  // Longitude and latitude (millionths of a degree) of point k.
  std::int32_t Longitude(std::size_t k) const { return points_[2 * k]; }
  std::int32_t Latitude(std::size_t k) const { return points_[2 * k + 1]; }

 private:
  struct Cap {
    UnitVector centre;
    double radius;  // radians
  };
  struct Piece {
    std::uint32_t first, count;
    Cap cap;
  };
  struct Tile {
    Cap cap;
    std::uint32_t firstPiece, pieceCount;
  };
  static bool MayShow(const Cap& cap, const GlobeProjection& view, int width, int height);

  std::vector<std::int32_t> points_;
  std::vector<Piece> pieces_;  // by tile
  std::vector<Tile> tiles_;
};

// A loaded tier, ready to draw.
class ZoomCoastLayer {
 public:
  explicit ZoomCoastLayer(const CoastTierFile& file)
      : tier_(file.tier), shores_(file.shores), borders_(file.borders) {}

  char Tier() const { return tier_; }
  const ZoomLines& Shores() const { return shores_; }
  const ZoomLines& Borders() const { return borders_; }

 private:
  char tier_;
  ZoomLines shores_;
  ZoomLines borders_;
};

// The lines as one-pixel segments between their visible points, broken
// where a line passes behind the globe: shores black, as the dots are.
void DrawZoomLines(QImage& image, const GlobeProjection& view, const ZoomLines& lines, QRgb color);

// How many points the last view would project (the pieces that may show),
// for the benchmark and the tests of the index.
std::size_t VisiblePointCount(const GlobeProjection& view, const ZoomLines& lines, int width,
                              int height);

// ---- inline ----

template <typename Visit>
void ZoomLines::ForEachVisiblePiece(const GlobeProjection& view, int width, int height,
                                    Visit&& visit) const {
  for (const Tile& tile : tiles_) {
    if (!MayShow(tile.cap, view, width, height)) continue;
    for (std::uint32_t k = tile.firstPiece; k < tile.firstPiece + tile.pieceCount; ++k) {
      const Piece& piece = pieces_[k];
      if (MayShow(piece.cap, view, width, height)) visit(piece.first, piece.count);
    }
  }
}

}  // namespace darvelle
