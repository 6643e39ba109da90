#include "render/texture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "astro/constants.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;
using test::Rgb;
using test::SyntheticTexel;

constexpr double kDeg = kPi / 180.0;

class RenderTextureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    texture_ = std::make_unique<EarthTexture>(test::SyntheticTexture());
  }
  static void TearDownTestSuite() { texture_.reset(); }

  static QImage Render(const GlobeProjection& view, int threads = 2) {
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
    image.fill(Qt::black);
    RenderTexture(image, *texture_, view, threads);
    return image;
  }

  static GlobeProjection View(double psiDeg, double phiDeg, double chiDeg, int rk,
                              bool stereographic) {
    return GlobeProjection(psiDeg * kDeg, phiDeg * kDeg, chiDeg * kDeg, rk, stereographic);
  }

  static std::unique_ptr<EarthTexture> texture_;
};
std::unique_ptr<EarthTexture> RenderTextureTest::texture_;

TEST_F(RenderTextureTest, PixelAboveTheCentreShowsTheViewCentre) {
  struct Case {
    double psi, phi;
    bool stereographic;
  };
  const Case cases[] = {{0.0, 0.0, false},    {-104.14, 25.29, false}, {33.0, -61.53, true},
                        {170.2, 12.01, false}, {-179.9, -5.01, true}};
  for (const Case& c : cases) {
    const QImage image = Render(View(c.psi, c.phi, 17.0, 500, c.stereographic));
    const int column = static_cast<int>(c.psi * kDeg * 4320.0 / kPi + 4320.0);
    const int row = static_cast<int>(2160.0 - c.phi * kDeg * 2160.0 / (kPi / 2));
    EXPECT_EQ(PixelAt(image, 800, 532), SyntheticTexel(column, row)) << c.psi << " " << c.phi;
  }
}

// The coarse texture of a moving globe: every block of step x step pixels
// has the colour the exact texture has at the block's lower-left pixel
// (the first row and column the exact pass computes for it), and a block
// step that does not divide a thread's band of rows is refused.
TEST_F(RenderTextureTest, BlocksTakeTheExactColourOfTheirFirstPixel) {
  for (const bool stereographic : {false, true}) {
    const GlobeProjection view = View(-75.5, 38.25, -12.0, 500, stereographic);
    const QImage exact = Render(view);
    for (const int step : {2, 4}) {
      QImage coarse(kMapWidth, kMapHeight, QImage::Format_RGB888);
      coarse.fill(Qt::black);
      RenderTextureInBlocks(coarse, *texture_, view, step);
      int blocks = 0;
      int differing = 0;
      // Rows counted from the bottom as the renderer counts them (m = 1065 - bitmap row).
      for (int m = 0; m + step <= kMapHeight; m += step) {
        for (int x = 0; x + step <= kMapWidth; x += step) {
          const Rgb anchor = PixelAt(coarse, x, kMapHeight - 1 - m);
          if (IsWhite(anchor)) continue;  // off the disc, or on its edge
          ++blocks;
          if (anchor != PixelAt(exact, x, kMapHeight - 1 - m)) ++differing;
          for (int dy = 0; dy < step; ++dy) {
            for (int dx = 0; dx < step; ++dx) {
              ASSERT_EQ(PixelAt(coarse, x + dx, kMapHeight - 1 - m - dy), anchor)
                  << stereographic << " step " << step << " at " << x << "," << m;
            }
          }
        }
      }
      EXPECT_EQ(differing, 0) << stereographic << " step " << step;
      EXPECT_GT(blocks, 40000 / (step * step)) << stereographic << " step " << step;
    }
  }
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  for (const int step : {0, 3, 32}) {
    EXPECT_THROW(RenderTextureInBlocks(image, *texture_, View(0, 0, 0, 500, false), step), std::invalid_argument);
  }
}

TEST_F(RenderTextureTest, OrthographicDiscIsCentredOneRowAboveTheGlobeCentre) {
  for (int rk : {100, 500, 700}) {
    const QImage image = Render(View(10, 20, 0, rk, false));
    int checked = 0;
    for (int y = 0; y < kMapHeight; y += 3) {
      for (int x = 0; x < kMapWidth; x += 3) {
        const long long d2 = static_cast<long long>(x - 800) * (x - 800) +
                             static_cast<long long>(532 - y) * (532 - y);
        const bool inside = d2 < static_cast<long long>(rk) * rk;
        ASSERT_EQ(!IsWhite(PixelAt(image, x, y)), inside) << x << "," << y << " rk " << rk;
        ++checked;
      }
    }
    EXPECT_GT(checked, 180000);
    // The rim of the disc: the last textured pixel on row 532 is at 800 + rk - 1.
    EXPECT_FALSE(IsWhite(PixelAt(image, 800 + rk - 1, 532)));
    EXPECT_TRUE(IsWhite(PixelAt(image, 800 + rk, 532)));
    if (532 + rk < kMapHeight) {
      EXPECT_TRUE(IsWhite(PixelAt(image, 800, 532 + rk)));
      EXPECT_FALSE(IsWhite(PixelAt(image, 800, 532 + rk - 1)));
    }
  }
}

TEST_F(RenderTextureTest, StereographicPaintsEveryPixel) {
  const QImage image = Render(View(-60, 70, 45, 300, true));
  for (int y = 0; y < kMapHeight; ++y) {
    for (int x = 0; x < kMapWidth; ++x) {
      ASSERT_FALSE(IsWhite(PixelAt(image, x, y))) << x << "," << y;
    }
  }
}

TEST_F(RenderTextureTest, StereographicLongitudesWrapRoundTheTexture) {
  // Centre at +179 deg: half a globe to the east lies beyond +180 deg and is
  // read from the western end of the texture.
  const QImage image = Render(View(179.0, 0.0, 0.0, 500, true));
  // 10 deg east of the centre on the equator: stereographic radius 2 RK tan(5 deg).
  const int x = static_cast<int>(std::lround(800 + 2 * 500 * std::tan(5 * kDeg)));
  const Rgb c = PixelAt(image, x, 532);
  const int column = c[0] | ((c[2] & 0x3f) << 8);
  EXPECT_NEAR(column, (189 - 360) * 24 + 4320, 3);  // -171 deg
}

TEST_F(RenderTextureTest, ThreadsGiveIdenticalPixels) {
  for (bool stereographic : {false, true}) {
    const GlobeProjection view = View(-75.5, 38.25, -12.0, 640, stereographic);
    const QImage one = Render(view, 1);
    const QImage two = Render(view, 2);
    const QImage three = Render(view, 3);
    EXPECT_TRUE(one == two);
    EXPECT_TRUE(one == three);
  }
}

TEST_F(RenderTextureTest, FastPathGivesTheExactFormulasPixels) {
  // Views chosen to put texel boundaries, poles, the date line and the far
  // antipode into the picture; every pixel must match the library functions.
  struct Case {
    double psi, phi, chi;
    int rk;
    bool stereographic;
  };
  const Case cases[] = {
      {0.0, 0.0, 0.0, 500, false},      {0.0, 90.0, 0.0, 500, false},
      {180.0, -90.0, 0.0, 300, false},  {-104.14, 25.29, 33.3, 5000, false},
      {179.99, 0.01, -45.0, 9999, false}, {12.0, 45.0, 0.0, 100, false},
      {0.0, 0.0, 0.0, 500, true},       {180.0, 90.0, 0.0, 500, true},
      {-75.5, -38.25, 12.0, 100, true}, {400.0, -89.99, 90.0, 2000, true},
      {-1000.0, 10.0, 5.0, 60, true},   {60.0, 0.0, 0.0, 1, false},
  };
  for (const Case& c : cases) {
    const GlobeProjection view = View(c.psi, c.phi, c.chi, c.rk, c.stereographic);
    QImage fast(kMapWidth, kMapHeight, QImage::Format_RGB888);
    QImage exact(kMapWidth, kMapHeight, QImage::Format_RGB888);
    RenderTexture(fast, *texture_, view, 2, TextureEvaluation::Fast);
    RenderTexture(exact, *texture_, view, 2, TextureEvaluation::ExactOnly);
    EXPECT_TRUE(fast == exact) << c.psi << " " << c.phi << " " << c.chi << " " << c.rk
                               << (c.stereographic ? " stereographic" : " orthographic");
  }
}

TEST(RenderTexture, EmptyTextureLeavesTheImageWhite) {
  const EarthTexture empty;
  for (bool stereographic : {false, true}) {
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
    image.fill(Qt::black);
    RenderTexture(image, empty, GlobeProjection(0, 0, 0, 500, stereographic));
    EXPECT_TRUE(IsWhite(PixelAt(image, 800, 532)));
    EXPECT_TRUE(IsWhite(PixelAt(image, 0, 0)));
  }
}

TEST(RenderTexture, SmallerTextureIsReadWithTheSameCoordinates) {
  // A texture of a quarter of the size covers only the north-western part of
  // the fixed layout; the rest of the globe comes out white.
  const EarthTexture small = test::SyntheticTexture(kTextureWidth / 2, kTextureHeight / 2);
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  RenderTexture(image, small, GlobeProjection(-45.01 * kDeg, 44.99 * kDeg, 0, 500, false));
  EXPECT_EQ(PixelAt(image, 800, 532), SyntheticTexel(3239, 1080));
  RenderTexture(image, small, GlobeProjection(45 * kDeg, -45 * kDeg, 0, 500, false));
  EXPECT_TRUE(IsWhite(PixelAt(image, 800, 532)));
}

TEST(RenderTexture, RejectsAnImageOfAnotherShape) {
  const EarthTexture empty;
  QImage wrong(100, 100, QImage::Format_RGB888);
  EXPECT_THROW(RenderTexture(wrong, empty, GlobeProjection(0, 0, 0, 500, false)),
               std::invalid_argument);
}

}  // namespace
}  // namespace darvelle
