// The quick PNG encoder's files, read back by Qt's own decoder, hold every
// pixel of the picture and its resolution.

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>

#include "render/image_file.h"

namespace darvelle {
namespace {

// Long runs of a few colours, as a map has, broken by noise that defeats
// run-length matching.
QImage MapLikePicture(int width, int height, QImage::Format format) {
  QImage image(width, height, format);
  image.fill(Qt::white);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      if (y % 7 == 0 || (x > width / 3 && x < width / 2)) {
        image.setPixel(x, y, qRgb(static_cast<int>(state >> 24), static_cast<int>(state >> 16) & 255, x & 255));
      } else if ((x + y) % 5 == 0) {
        image.setPixel(x, y, qRgb(0, 0, 0));
      }
    }
  }
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(2835);
  return image;
}

TEST(QuickPng, QtReadsBackEveryPixelAndTheResolution) {
  const struct {
    int width, height;
    QImage::Format format;
  } cases[] = {{1, 1, QImage::Format_RGB888},
               {333, 97, QImage::Format_RGB888},  // rows not a multiple of 4 bytes
               {1600, 60, QImage::Format_RGB888},
               {50, 40, QImage::Format_RGB32}};
  for (const auto& c : cases) {
    const QImage picture = MapLikePicture(c.width, c.height, c.format);
    const std::string png = QuickPng(picture);
    QImage read;
    ASSERT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                  static_cast<int>(png.size()), "PNG"))
        << c.width << "x" << c.height;
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB888),
              picture.convertToFormat(QImage::Format_RGB888))
        << c.width << "x" << c.height;
    EXPECT_EQ(read.dotsPerMeterX(), 3780);
    EXPECT_EQ(read.dotsPerMeterY(), 2835);
  }
}

}  // namespace
}  // namespace darvelle
