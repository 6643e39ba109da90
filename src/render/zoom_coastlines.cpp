#include "render/zoom_coastlines.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "catalogue/data_files.h"
#include "io/whole_file.h"
#include "render/pen_path.h"
#include "render/sphere_stroke.h"

namespace darvelle {
namespace {

constexpr char kMagic[8] = {'D', 'V', 'C', 'O', 'A', 'S', 'T', '1'};
constexpr std::size_t kHeaderBytes = 40;
// The full resolution's shores and borders make about 90 MB; far beyond is
// not a tier file.
constexpr std::uintmax_t kMaxTierFileBytes = std::uintmax_t{512} * 1024 * 1024;
constexpr double kEarthRadiusKm = 6371.0;
// Millionths of a degree to arcseconds.
constexpr double kArcsecondsPerUnit = 3600.0 / 1.0e6;
// Short pieces keep a cap tight round a winding shore.
constexpr std::uint32_t kPiecePoints = 32;
constexpr int kTileDegrees = 10;
constexpr int kTileColumns = 360 / kTileDegrees;
constexpr int kTileRows = 180 / kTileDegrees;
// The arcsecond rounding moves a point by under 1e-5 rad.
constexpr double kCapSlack = 1.0e-5;

struct TierResolution {
  char tier;
  double km;
};
constexpr std::array<TierResolution, 3> kTierResolutions{{{'i', 1.0}, {'h', 0.2}, {'f', 0.04}}};

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& cause) {
  throw FileError("Cannot read the coastline tier \"" + file.string() + "\": " + cause);
}

template <typename T>
T ReadAt(const std::string& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);  // the file is little-endian, as we are
  return value;
}

UnitVector VectorOf(std::int32_t longitude, std::int32_t latitude) {
  return UnitVectorFromArcseconds(RoundHalfEven(longitude * kArcsecondsPerUnit),
                                  RoundHalfEven(latitude * kArcsecondsPerUnit));
}

double Angle(const UnitVector& a, const UnitVector& b) {
  // atan2 of the cross and dot products: exact for the small angles of a piece.
  const double cx = a.y * b.z - a.z * b.y, cy = a.z * b.x - a.x * b.z, cz = a.x * b.y - a.y * b.x;
  return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), a.x * b.x + a.y * b.y + a.z * b.z);
}

UnitVector Normalised(double x, double y, double z, const UnitVector& fallback) {
  const double n = std::sqrt(x * x + y * y + z * z);
  if (n < 1.0e-9) return fallback;
  return {x / n, y / n, z / n};
}

int TileOf(const UnitVector& v) {
  const double lon = std::atan2(v.x, v.z) * 180.0 / std::numbers::pi;  // -180 .. 180
  const double lat = std::asin(std::clamp(v.y, -1.0, 1.0)) * 180.0 / std::numbers::pi;
  const int column = std::clamp(static_cast<int>(std::floor((lon + 180.0) / kTileDegrees)), 0,
                                kTileColumns - 1);
  const int row =
      std::clamp(static_cast<int>(std::floor((lat + 90.0) / kTileDegrees)), 0, kTileRows - 1);
  return row * kTileColumns + column;
}

template <typename Pen>
void DrawWith(Pen& pen, const GlobeProjection& view, const ZoomLines& lines, int width,
              int height) {
  lines.ForEachVisiblePiece(view, width, height, [&](std::uint32_t first, std::uint32_t count) {
    SphereStroke stroke(pen, view);
    for (std::size_t k = first; k < std::size_t{first} + count; ++k) {
      stroke.Add(VectorOf(lines.Longitude(k), lines.Latitude(k)));
    }
  });
  pen.Flush();
}

}  // namespace

std::optional<char> CoastTierForRadius(int rk) {
  if (rk < kZoomCoastRadius) return std::nullopt;
  const double kmPerPixel = kEarthRadiusKm / rk;
  for (const TierResolution& t : kTierResolutions) {
    if (t.km <= kmPerPixel) return t.tier;
  }
  return kTierResolutions.back().tier;
}

std::vector<char> CoastTiersToTry(int rk) {
  std::vector<char> tiers;
  const std::optional<char> wanted = CoastTierForRadius(rk);
  if (!wanted) return tiers;
  for (auto t = kTierResolutions.rbegin(); t != kTierResolutions.rend(); ++t) {
    if (!tiers.empty() || t->tier == *wanted) tiers.push_back(t->tier);
  }
  return tiers;
}

std::string CoastTierFileName(char tier) { return std::string("Coast_GSHHG_") + tier + ".bin"; }

CoastTierFile LoadCoastTier(const std::filesystem::path& fileName) {
  const std::string bytes = ReadWholeFile(fileName, kMaxTierFileBytes, "the coastline tier");
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    Fail(fileName, "not a coastline tier file");
  }
  CoastTierFile file;
  file.tier = bytes[8];
  const std::uint64_t lineCounts[2] = {ReadAt<std::uint32_t>(bytes, 12),
                                       ReadAt<std::uint32_t>(bytes, 16)};
  const std::uint64_t pointCounts[2] = {ReadAt<std::uint64_t>(bytes, 24),
                                        ReadAt<std::uint64_t>(bytes, 32)};
  // Checked before any sum, so that a wild count cannot overflow it.
  constexpr std::uint64_t kMaxCount = kMaxTierFileBytes / 4;
  for (int k = 0; k < 2; ++k) {
    if (lineCounts[k] > kMaxCount || pointCounts[k] > kMaxCount) Fail(fileName, "counts too large");
  }
  const std::uint64_t expected =
      kHeaderBytes + 4 * (lineCounts[0] + lineCounts[1]) + 8 * (pointCounts[0] + pointCounts[1]);
  if (bytes.size() != expected) {
    Fail(fileName, "holds " + std::to_string(bytes.size()) + " bytes, its header says " +
                       std::to_string(expected));
  }
  std::size_t countAt = kHeaderBytes;
  std::size_t pointAt = kHeaderBytes + 4 * (lineCounts[0] + lineCounts[1]);
  CoastTierLines* kinds[2] = {&file.shores, &file.borders};
  for (int k = 0; k < 2; ++k) {
    CoastTierLines& lines = *kinds[k];
    lines.counts.resize(lineCounts[k]);
    std::memcpy(lines.counts.data(), bytes.data() + countAt, 4 * lineCounts[k]);
    countAt += 4 * lineCounts[k];
    std::uint64_t sum = 0;
    for (std::uint32_t n : lines.counts) {
      if (n < 2) Fail(fileName, "a line of fewer than two points");
      sum += n;
    }
    if (sum != pointCounts[k]) Fail(fileName, "the lines' point counts do not add up");
    lines.points.resize(2 * pointCounts[k]);
    std::memcpy(lines.points.data(), bytes.data() + pointAt, 8 * pointCounts[k]);
    pointAt += 8 * pointCounts[k];
    for (std::size_t i = 0; i < lines.points.size(); i += 2) {
      if (std::abs(lines.points[i]) > 360'000'000 || std::abs(lines.points[i + 1]) > 90'000'000) {
        Fail(fileName, "a coordinate out of range");
      }
    }
  }
  return file;
}

ZoomLines::ZoomLines(const CoastTierLines& lines) : points_(lines.points) {
  std::vector<std::vector<Piece>> byTile(kTileColumns * kTileRows);
  std::uint32_t start = 0;
  for (const std::uint32_t count : lines.counts) {
    // Pieces share their end points, so a line drawn piece by piece is unbroken.
    for (std::uint32_t first = start; first + 1 < start + count; first += kPiecePoints - 1) {
      const std::uint32_t n = std::min(kPiecePoints, start + count - first);
      double sx = 0.0, sy = 0.0, sz = 0.0;
      for (std::uint32_t k = first; k < first + n; ++k) {
        const UnitVector v = VectorOf(Longitude(k), Latitude(k));
        sx += v.x;
        sy += v.y;
        sz += v.z;
      }
      const UnitVector some = VectorOf(Longitude(first), Latitude(first));
      const UnitVector centre = Normalised(sx, sy, sz, some);
      double radius = 0.0;
      for (std::uint32_t k = first; k < first + n; ++k) {
        radius = std::max(radius, Angle(centre, VectorOf(Longitude(k), Latitude(k))));
      }
      byTile[static_cast<std::size_t>(TileOf(centre))].push_back(
          {first, n, {centre, radius + kCapSlack}});
    }
    start += count;
  }
  for (const std::vector<Piece>& pieces : byTile) {
    if (pieces.empty()) continue;
    double sx = 0.0, sy = 0.0, sz = 0.0;
    for (const Piece& p : pieces) {
      sx += p.cap.centre.x;
      sy += p.cap.centre.y;
      sz += p.cap.centre.z;
    }
    const UnitVector centre = Normalised(sx, sy, sz, pieces.front().cap.centre);
    double radius = 0.0;
    for (const Piece& p : pieces) radius = std::max(radius, Angle(centre, p.cap.centre) + p.cap.radius);
    tiles_.push_back({{centre, radius}, static_cast<std::uint32_t>(pieces_.size()),
                      static_cast<std::uint32_t>(pieces.size())});
    pieces_.insert(pieces_.end(), pieces.begin(), pieces.end());
  }
}

bool ZoomLines::MayShow(const Cap& cap, const GlobeProjection& view, int width, int height) {
  const ProjectedPoint p = view.ProjectUnitVector(cap.centre.x, cap.centre.y, cap.centre.z);
  const double fromFront = std::acos(std::clamp(p.Depth, -1.0, 1.0));
  const double visibleTo = std::acos(p.VisibilityLimit);
  if (fromFront - cap.radius > visibleTo) return false;  // wholly behind the globe
  // No point of the cap lands farther from the centre's image than its
  // radius times the largest scale of the projection over it: 1 in the
  // orthographic view, 2 / (1 + cos) of the farthest angle in the
  // stereographic view.
  double scale = 1.0;
  if (view.Stereographic()) {
    scale = 2.0 / (1.0 + std::cos(std::min(fromFront + cap.radius, visibleTo)));
  }
  const double reach = view.RK() * scale * std::min(cap.radius, 2.0) + 2.0;
  return p.ScreenX + reach >= 0.0 && p.ScreenX - reach <= width && p.ScreenY + reach >= 0.0 &&
         p.ScreenY - reach <= height;
}

void DrawZoomLines(QImage& image, const GlobeProjection& view, const ZoomLines& lines, QRgb color) {
  if (image.format() == QImage::Format_RGB888) {
    PixelPenPath pen(image);
    pen.SetColor(color);
    DrawWith(pen, view, lines, image.width(), image.height());
    return;
  }
  QPainter painter(&image);
  PenPath pen(painter, 1);
  pen.SetColor(color);
  DrawWith(pen, view, lines, image.width(), image.height());
}

std::size_t VisiblePointCount(const GlobeProjection& view, const ZoomLines& lines, int width,
                              int height) {
  std::size_t count = 0;
  lines.ForEachVisiblePiece(view, width, height,
                            [&](std::uint32_t, std::uint32_t n) { count += n; });
  return count;
}

}  // namespace darvelle
