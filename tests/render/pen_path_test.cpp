#include "render/pen_path.h"

#include <gtest/gtest.h>

#include "render/projection.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;
using test::Rgb;

QImage WhiteImage() {
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  image.fill(Qt::white);
  return image;
}

int CountNonWhite(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += IsWhite(PixelAt(image, x, y)) ? 0 : 1;
  }
  return n;
}

TEST(PixelPenPath, LinesIncludeBothEndsAndFollowTheirCourse) {
  struct Case {
    QPoint from, to;
    int pixels;  // a one-pixel line covers max(|dx|, |dy|) + 1 pixels
  };
  const Case cases[] = {{{10, 20}, {10, 11}, 10}, {{100, 100}, {140, 110}, 41},
                        {{700, 600}, {600, 800}, 201}, {{5, 5}, {5, 5}, 1}};
  for (const Case& c : cases) {
    QImage image = WhiteImage();
    PixelPenPath pen(image);
    pen.SetColor(qRgb(64, 64, 64));
    pen.MoveTo(c.from.x(), c.from.y());
    pen.LineTo(c.to.x(), c.to.y());
    EXPECT_EQ(PixelAt(image, c.from.x(), c.from.y()), (Rgb{64, 64, 64}));
    EXPECT_EQ(PixelAt(image, c.to.x(), c.to.y()), (Rgb{64, 64, 64}));
    EXPECT_EQ(CountNonWhite(image), c.pixels);
  }
}

TEST(PixelPenPath, FarEndsAreCutWithoutBendingTheLine) {
  QImage image = WhiteImage();
  PixelPenPath pen(image);
  pen.SetColor(qRgb(0, 0, 255));
  // A diagonal through the image from far outside, and a horizontal line
  // from one far side to the other.
  pen.MoveTo(-100000, -100000);
  pen.LineTo(300000, 300000);
  pen.MoveTo(-4000000, 700);
  pen.LineTo(4000000, 700);
  for (int x = 0; x < kMapHeight; x += 13) {
    EXPECT_EQ(PixelAt(image, x, x), (Rgb{0, 0, 255})) << x;
  }
  for (int x = 0; x < kMapWidth; x += 17) EXPECT_EQ(PixelAt(image, x, 700), (Rgb{0, 0, 255}));
  EXPECT_EQ(CountNonWhite(image), kMapHeight + kMapWidth - 1);  // one shared pixel

  // A segment that misses the image leaves it untouched.
  QImage untouched = WhiteImage();
  PixelPenPath other(untouched);
  other.MoveTo(-50, -50);
  other.LineTo(5000, -10);
  EXPECT_EQ(CountNonWhite(untouched), 0);
}

TEST(PenPath, WideSegmentsReachingFarOutsideAreDrawnInsideTheImage) {
  QImage image = WhiteImage();
  {
    QPainter painter(&image);
    PenPath pen(painter, 3);
    pen.SetColor(qRgb(255, 0, 0));
    pen.MoveTo(800, 533);
    pen.LineTo(std::int64_t{1} << 40, 533);  // beyond the rasteriser's range
  }
  EXPECT_EQ(PixelAt(image, 1000, 533), (Rgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(image, 1599, 533), (Rgb{255, 0, 0}));
  EXPECT_TRUE(IsWhite(PixelAt(image, 700, 533)));
}

}  // namespace
}  // namespace darvelle
