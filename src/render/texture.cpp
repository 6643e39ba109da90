#include "render/texture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <vector>

#include "astro/constants.h"

namespace darvelle {

namespace {

constexpr std::uint8_t kWhite[3] = {255, 255, 255};
// A pixel of the orthographic view outside the disc: left as it is.
constexpr std::ptrdiff_t kOutsideDisc = -2;
// Rows per band of work for one thread.
constexpr int kBand = 16;

// A double as an int, truncated towards zero; values beyond the int range
// (only from absurd view offsets) are held at its ends instead of overflowing.
inline int TruncateToInt(double value) {
  constexpr double kMax = 2147483647.0;
  if (!(value == value)) return -1;  // NaN: a position outside the texture
  return static_cast<int>(std::clamp(value, -kMax, kMax));
}

// Row pointers of the target, taken once before any thread starts, and its size.
struct Target {
  std::uint8_t* bits;
  qsizetype bytesPerLine;
  int width;
  int height;
  std::uint8_t* Row(int bitmapRow) const { return bits + bitmapRow * bytesPerLine; }
};

inline void Store(std::uint8_t* pixel, const std::uint8_t* rgb) {
  pixel[0] = rgb[0];
  pixel[1] = rgb[1];
  pixel[2] = rgb[2];
}

// In the stereographic view the angle gamma = 2 atan(rho / 2) is needed only
// through its sine and cosine, which follow from tan(gamma / 2) = rho / 2
// without any trigonometry. The results differ from the exact formulas' by a
// few units in the last place, far less than a texel (7.3e-4 rad), so a texel
// index is taken from them only when the value lies more than kTexelSlack
// from a texel boundary, where the exact formulas could not truncate
// differently; every other pixel (a few in a hundred thousand) is computed
// with the exact formulas, so the picture is theirs, pixel for pixel.
constexpr double kTexelSlack = 1e-5;            // texels
constexpr double kFastTexelLimit = 1073741824;  // 2^30: beyond, always the exact path
// Near the poles asin magnifies any error of its argument: exact path there.
constexpr double kFastAsinLimit = 1.0 - 1e-6;

// The texel index of a fast value t, when t is safely inside one texel.
inline bool SafeTexel(double t, int& index) {
  if (!(t >= kTexelSlack && t < kFastTexelLimit)) return false;
  const double low = std::floor(t - kTexelSlack);
  if (low != std::floor(t + kTexelSlack)) return false;
  index = static_cast<int>(low);
  return true;
}

// The texture is far larger than the caches and a row of the picture reads
// texels scattered over many texture rows: the positions of a whole picture
// row are computed first, each texel's line requested as its position is
// known, and the colours copied afterwards, so the memory reads overlap.
// An offset of -1 stands for a position outside the texture (white),
// kOutsideDisc for a pixel the orthographic disc does not cover.
using RowOffsets = std::vector<std::ptrdiff_t>;

inline std::ptrdiff_t TexelOffset(const EarthTexture& texture, int column, int row) {
  const std::uint8_t* p = texture.Pixel(column, row);
  if (p == nullptr) return -1;
  __builtin_prefetch(p);
  return p - texture.rgb.data();
}

inline void CopyRow(std::uint8_t* row, const EarthTexture& texture, const RowOffsets& offsets,
                    int xFirst, int xEnd) {
  const std::uint8_t* base = texture.rgb.data();
  for (int x = xFirst; x < xEnd; ++x) {
    const std::ptrdiff_t offset = offsets[static_cast<std::size_t>(x)];
    if (offset == kOutsideDisc) continue;
    Store(row + 3 * x, offset >= 0 ? base + offset : kWhite);
  }
}

// Sets the offset of pixel x and, in a coarse picture, of the step - 1
// pixels after it (up to xEnd).
inline void PutOffset(RowOffsets& offsets, int x, int xEnd, int step, std::ptrdiff_t offset) {
  offsets[static_cast<std::size_t>(x)] = offset;
  for (int k = 1; k < step && x + k < xEnd; ++k) offsets[static_cast<std::size_t>(x + k)] = offset;
}

// Bitmap row height - 1 - m from the offsets, and in a coarse picture the step - 1
// rows above it (up to endM).
inline void CopyRows(const Target& image, const EarthTexture& texture, const RowOffsets& offsets, int m,
                     int endM, int step, int xFirst, int xEnd) {
  for (int k = 0; k < step && m + k < endM; ++k) {
    CopyRow(image.Row(image.height - 1 - m - k), texture, offsets, xFirst, xEnd);
  }
}

// Rows are counted from the bottom of the picture: bitmap row height - 1 - m
// samples v = (m - (height - centreY)) / RK, so the textured disc sits one
// row above the vector layers' centre (on the default canvas bitmap row
// 1065 - m samples v = (m - 533) / RK round the centre (800, 533)). Every
// saved picture has that row, so it stays.
double TextureCentreM(const Target& image, const GlobeProjection& view) {
  return image.height - view.Canvas().CentreY();
}

void RenderOrthographicRows(const Target& image, const EarthTexture& texture,
                            const GlobeProjection& view, int firstM, int endM, int step) {
  const double rk = view.RK();
  const double centreM = TextureCentreM(image, view);
  const double centreX = view.CentreX();
  const double sinPsi = view.SinPsi(), cosPsi = view.CosPsi();
  const double sinPhi = view.SinPhi(), cosPhi = view.CosPhi();
  const double sinChi = view.SinChi(), cosChi = view.CosChi();
  RowOffsets offsets(static_cast<std::size_t>(image.width));
  for (int m = firstM; m < endM; m += step) {
    const double v = (m - centreM) / rk;
    const double v2 = v * v;
    if (v2 >= 1.0) continue;
    // Only the columns whose u can satisfy u^2 + v^2 < 1 need the test; the
    // bound is widened by one pixel so that rounding never drops a pixel.
    const double halfWidth = std::sqrt(1.0 - v2) * rk + 1.0;
    // Blocks start at multiples of the step, as the rows' do.
    const int xFirst = std::max(0, static_cast<int>(std::floor(centreX - halfWidth))) / step * step;
    const int xEnd =
        std::min(image.width, (static_cast<int>(std::ceil(centreX + halfWidth)) + step) / step * step);
    for (int x = xFirst; x < xEnd; x += step) {
      const double u = (x - centreX) / rk;
      const double r2 = u * u + v2;
      if (r2 >= 1.0) {
        PutOffset(offsets, x, xEnd, step, kOutsideDisc);
        continue;
      }
      const double z = std::sqrt(1.0 - u * u - v * v);
      // Undo the turns of the projection in reverse order: -Chi, -Phi, -Psi.
      const double x2 = u * cosChi + v * sinChi;
      const double y2 = -u * sinChi + v * cosChi;
      const double y1 = y2 * cosPhi + z * sinPhi;
      const double z1 = -y2 * sinPhi + z * cosPhi;
      const double x0 = x2 * cosPsi + z1 * sinPsi;
      const double z0 = -x2 * sinPsi + z1 * cosPsi;
      const double y0 = y1;
      const double phi = std::asin(std::clamp(y0, -1.0, 1.0));  // rounding can pass 1
      const double lambda = std::atan2(x0, z0);
      const int textureRow = TruncateToInt(2160.0 - phi * 2160.0 / kHalfPi);
      const int textureColumn = TruncateToInt(lambda * 4320.0 / kPi + 4320.0);
      PutOffset(offsets, x, xEnd, step, TexelOffset(texture, textureColumn, textureRow));
    }
    CopyRows(image, texture, offsets, m, endM, step, xFirst, xEnd);
  }
}

// The oblique stereographic inverse with centre (Psi, Phi) and scale 2 RK.
void RenderStereographicRows(const Target& image, const EarthTexture& texture,
                             const GlobeProjection& view, bool fast, int firstM, int endM, int step) {
  const double rk = view.RK();
  const double psi = view.TotalPsi();
  const double sinPhi = view.SinPhi(), cosPhi = view.CosPhi();
  const double sinChi = view.SinChi(), cosChi = view.CosChi();
  const double centreM = TextureCentreM(image, view);
  const double centreX = view.CentreX();
  RowOffsets offsets(static_cast<std::size_t>(image.width));
  for (int m = firstM; m < endM; m += step) {
    const double v = (m - centreM) / rk;
    for (int x = 0; x < image.width; x += step) {
      const double u = (x - centreX) / rk;
      const double b = u * cosChi + v * sinChi;
      const double c = -u * sinChi + v * cosChi;
      const double rho2 = b * b + c * c + 1e-20;
      int textureRow = 0;
      int textureColumn = 0;
      bool done = false;
      if (fast) {
        // With t = tan(gamma / 2) = rho / 2: sin gamma = rho / (1 + t^2),
        // cos gamma = (1 - t^2) / (1 + t^2); rho then cancels from the
        // latitude's sine and from both arguments of the arctangent.
        const double t2 = rho2 / 4.0;
        const double inverse = 1.0 / (1.0 + t2);
        const double s = ((1.0 - t2) * sinPhi + c * cosPhi) * inverse;
        done = std::abs(s) < kFastAsinLimit &&
               SafeTexel(2160.0 - std::asin(s) * 2160.0 / kHalfPi + 4320.0, textureRow) &&
               SafeTexel((psi + std::atan2(b, (1.0 - t2) * cosPhi - c * sinPhi)) * 4320.0 / kPi +
                             4320.0 + 8640.0,
                         textureColumn);
        textureRow %= 4320;
        textureColumn %= 8640;
      }
      if (!done) {
        const double rho = std::sqrt(rho2);
        const double gamma = 2.0 * std::atan2(rho, 2.0);
        const double sinGamma = std::sin(gamma);
        const double cosGamma = std::cos(gamma);
        const double phi =
            std::asin(std::clamp(cosGamma * sinPhi + sinGamma * c * cosPhi / rho, -1.0, 1.0));
        const double lambda =
            psi + std::atan2(b * sinGamma, rho * cosPhi * cosGamma - c * sinPhi * sinGamma);
        // Truncation towards zero, then the remainder with the sign of the
        // dividend: a longitude far below -180 deg gives a negative column,
        // which lies outside the texture and paints white.
        textureRow = TruncateToInt(2160.0 - phi * 2160.0 / kHalfPi + 4320.0) % 4320;
        textureColumn = TruncateToInt(lambda * 4320.0 / kPi + 4320.0 + 8640.0) % 8640;
      }
      PutOffset(offsets, x, image.width, step, TexelOffset(texture, textureColumn, textureRow));
    }
    CopyRows(image, texture, offsets, m, endM, step, 0, image.width);
  }
}

}  // namespace

void RenderTexture(QImage& image, const EarthTexture& texture, const GlobeProjection& view,
                   int threads, TextureEvaluation evaluation) {
  RenderTextureInBlocks(image, texture, view, 1, threads, evaluation);
}

void RenderTextureInBlocks(QImage& image, const EarthTexture& texture, const GlobeProjection& view, int step,
                           int threads, TextureEvaluation evaluation) {
  const MapCanvas& canvas = view.Canvas();
  if (image.width() != canvas.width || image.height() != canvas.height ||
      image.format() != QImage::Format_RGB888) {
    throw std::invalid_argument("RenderTexture needs an RGB888 drawing image of the projection's canvas");
  }
  // A band of kBand rows holds whole blocks.
  if (step < 1 || kBand % step != 0) throw std::invalid_argument("RenderTexture: a block step must divide 16");
  image.fill(Qt::white);
  const Target target{image.bits(), image.bytesPerLine(), image.width(), image.height()};
  const bool fast = evaluation == TextureEvaluation::Fast;
  auto rows = [&](int firstM, int endM) {
    if (view.Stereographic()) {
      RenderStereographicRows(target, texture, view, fast, firstM, endM, step);
    } else {
      RenderOrthographicRows(target, texture, view, firstM, endM, step);
    }
  };
  threads = std::clamp(threads, 1, 8);
  if (threads == 1) {
    rows(0, target.height);
    return;
  }
  // Interleaved bands keep the threads' loads even in the orthographic view,
  // where the disc's rows differ in length. Each row is written by one thread.
  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(threads));
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      for (int first = t * kBand; first < target.height; first += threads * kBand) {
        rows(first, std::min(first + kBand, target.height));
      }
    });
  }
  for (std::thread& w : workers) w.join();
}

}  // namespace darvelle
