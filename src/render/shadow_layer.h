#pragma once
// The shadow at one instant drawn over a map that is already drawn: the
// night side shaded, the umbra (or antumbra) filled dark, the penumbra's
// outline with its lines of equal magnitude, the axis point and the
// sub-solar point marked. The base map is drawn once and kept; a time slider
// or an animation copies it and draws only this layer for each instant
// (a few milliseconds at the full drawing size, bench_shadow).

#include <QColor>
#include <QImage>

#include <span>

#include "geometry/shadow_at_instant.h"
#include "geometry/timed_outlines.h"
#include "render/projection.h"

namespace darvelle {

struct ShadowLayerStyle {
  double NightDarkening = 0.45;  // share of the light taken from the night side
  QColor Umbra{20, 10, 40, 190};
  QColor UmbraEdge{0, 0, 0};
  QColor Terminator{60, 60, 90};
  QColor Penumbra{255, 200, 40};
  QColor MagnitudeLine{255, 200, 40, 170};
  QColor SubSolar{255, 230, 0};
  QColor Axis{255, 60, 60};
  double LineWidth = 1.5;  // pixels
};

// Draws `shadow` over `image` (a drawing of MapRenderer, RGB32 or ARGB32,
// of the projection's canvas, the globe at its centre) with the projection
// the map was drawn with. Other formats are converted to RGB32 first.
void DrawShadowLayer(QImage& image, const GlobeProjection& projection,
                     const ShadowAtInstant& shadow, const ShadowLayerStyle& style = {});

// The umbra's areas at several instants over a map, outlined and lightly
// filled, each marked with its time of UT (hours and minutes by
// `deltaTForLabels`, the model's DeltaT): the shadow's march along the path.
inline constexpr int kOutlineLabelPixels = 13;
inline constexpr int kUmbraOutlineFillAlpha = 70;  // of 255: the ground shows through
void DrawUmbraOutlines(QImage& image, const GlobeProjection& projection,
                       std::span<const TimedUmbraArea> areas, double deltaTForLabels,
                       const ShadowLayerStyle& style = {});

}  // namespace darvelle
