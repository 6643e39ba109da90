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

// The stretch of a segment inside a 10 x 10 frame, worked out by hand.
TEST(ClipSegment, KeepsThePartInsideTheFrame) {
  struct Case {
    const char* what;
    double x0, y0, dx, dy;
    bool hits;
    double t0, t1;
  };
  const Case cases[] = {
      {"wholly inside", 2, 3, 4, 5, true, 0.0, 1.0},
      {"in from the left", -10, 5, 20, 0, true, 0.5, 1.0},
      {"out through the top", 5, 5, 0, -20, true, 0.0, 0.25},
      {"across both sides", -5, 5, 20, 0, true, 0.25, 0.75},
      {"on the edge", 0, 0, 10, 0, true, 0.0, 1.0},
      {"parallel, outside", -1, 0, 0, 10, false, 0, 0},
      {"short of the frame", -10, 5, 5, 0, false, 0, 0},
      {"past a corner", -10, 5, 5, -10, false, 0, 0},
      {"a point inside", 5, 5, 0, 0, true, 0.0, 1.0},
  };
  for (const Case& c : cases) {
    const auto span = ClipSegment(c.x0, c.y0, c.dx, c.dy, {0, 0, 10, 10});
    ASSERT_EQ(span.has_value(), c.hits) << c.what;
    if (!span) continue;
    EXPECT_DOUBLE_EQ(span->t0, c.t0) << c.what;
    EXPECT_DOUBLE_EQ(span->t1, c.t1) << c.what;
  }
}

}  // namespace
}  // namespace darvelle
