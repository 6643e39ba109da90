#pragma once
// Painting the Earth texture onto the drawing image: every pixel is taken
// back through the exact inverse of the globe projection to a longitude and
// latitude and gets the colour of the texture there.

#include <QImage>

#include "render/projection.h"
#include "render/texture_file.h"

namespace darvelle {

// Fast: in the stereographic view, the sine and cosine of the angular
// distance from tan(gamma / 2) instead of the library functions, with a
// guard band round every texel boundary inside which the exact formulas are
// used (identical pixels, faster). ExactOnly: the formulas as they stand
// everywhere (for comparisons). The orthographic view is always exact.
enum class TextureEvaluation { Fast, ExactOnly };

// Fills `image` (the size of the projection's canvas, Format_RGB888) with
// white, then paints the texture: in the orthographic view the disc of
// radius RK round the pixel one row above the canvas centre ((800, 532) on
// the default canvas), in the stereographic view every pixel. Texture positions
// outside the picture (an empty texture, the far edge at +180 deg or -90 deg)
// stay white. The work is split over `threads` threads (1 or more) by rows;
// the pixels do not depend on the split.
void RenderTexture(QImage& image, const EarthTexture& texture, const GlobeProjection& view,
                   int threads = 2, TextureEvaluation evaluation = TextureEvaluation::Fast);

// The same, coarse and quicker, for pictures of a globe on the move: the
// texture looked up once per block of step x step pixels (step 1, 2, 4, 8 or
// 16; 1 is RenderTexture) and the block painted with it. Throws
// std::invalid_argument for another step.
void RenderTextureInBlocks(QImage& image, const EarthTexture& texture, const GlobeProjection& view, int step,
                           int threads = 2, TextureEvaluation evaluation = TextureEvaluation::Fast);

}  // namespace darvelle
