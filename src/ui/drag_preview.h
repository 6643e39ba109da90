#pragma once
// The quick picture shown while the globe is dragged: the eclipse already
// computed, drawn again in the view under the mouse (graticule, coastlines,
// curves and markers; on the coloured Earth a coarse texture, in blocks of
// four pixels square, under the curves' halos) and fitted to the map panel without
// smoothing. Nothing is recomputed; the full drawing follows when the mouse
// stops.

#include <QImage>
#include <QSize>

#include "render/coastlines.h"
#include "render/map.h"
#include "render/projection.h"

namespace darvelle::ui {

struct SessionResult;

class DragPreview {
 public:
  // Texture lookups per block of this many pixels square.
  static constexpr int kTextureStep = 4;

  DragPreview();

  // `shown` drawn with the angles and size of `view` (the rest of the view
  // as it was drawn), fitted to `area` (logical pixels) at `pixelRatio`
  // device pixels per logical one and tagged with it. `texture` is the
  // coloured Earth's, null while there is none (the plain Earth is drawn).
  // The window's thread.
  QImage Draw(const SessionResult& shown, const ViewParameters& view, const EarthTexture* texture,
              const CoastlineLayer& coastlines, QSize area, qreal pixelRatio);

 private:
  MapRenderer renderer_;  // kept: its images are made once, not at every frame
};

}  // namespace darvelle::ui
