#pragma once
// Shared helpers of the drawing tests: a GUI application for fonts, pixel
// access, and a synthetic full-size Earth texture whose every texel tells
// its own column and row.

#include <QGuiApplication>
#include <QImage>

#include <array>
#include <cstdint>

#include "render/texture_file.h"

namespace darvelle::test {

// Text needs a QGuiApplication; one is made on first use and kept for the
// process (the test runner sets QT_QPA_PLATFORM=offscreen).
inline void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "render_tests";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

using Rgb = std::array<int, 3>;

inline Rgb PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {qRed(p), qGreen(p), qBlue(p)};
}

// The colour the synthetic texture holds at (column, row): red and green the
// low bytes of column and row, blue the high parts. Never white.
inline Rgb SyntheticTexel(int column, int row) {
  return {column & 0xff, row & 0xff, ((column >> 8) & 0x3f) | (((row >> 8) & 0x3) << 6)};
}

inline EarthTexture SyntheticTexture(int width = kTextureWidth, int height = kTextureHeight) {
  EarthTexture t;
  t.width = width;
  t.height = height;
  t.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  std::uint8_t* p = t.rgb.data();
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const Rgb c = SyntheticTexel(column, row);
      *p++ = static_cast<std::uint8_t>(c[0]);
      *p++ = static_cast<std::uint8_t>(c[1]);
      *p++ = static_cast<std::uint8_t>(c[2]);
    }
  }
  return t;
}

inline bool IsWhite(const Rgb& c) { return c[0] == 255 && c[1] == 255 && c[2] == 255; }

}  // namespace darvelle::test
