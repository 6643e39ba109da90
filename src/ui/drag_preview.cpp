#include "ui/drag_preview.h"

#include "ui/eclipse_session.h"

namespace darvelle::ui {

DragPreview::DragPreview() { renderer_.SetTextureStep(kTextureStep); }

QImage DragPreview::Draw(const SessionResult& shown, const ViewParameters& view, const EarthTexture* texture,
                         const CoastlineLayer& coastlines, QSize area, qreal pixelRatio) {
  ViewParameters quick = shown.drawnView;
  quick.Psi = view.Psi;
  quick.Phi = view.Phi;
  quick.Chi = view.Chi;
  quick.RK = view.RK;
  // Without a texture the plain globe is drawn, whose curves need no halos.
  static const EarthTexture kNoTexture;
  const bool colored = quick.ColoredEarth && texture != nullptr && !texture->Empty();
  quick.ColoredEarth = colored;
  quick.CurveHalos = colored && quick.CurveHalos;
  const QSize device = (QSizeF(area) * pixelRatio).toSize();
  if (device.isEmpty()) return {};
  // On the shown drawing's canvas, so that the quick picture lies where the
  // mouse's positions are read. On the files' canvas (no panel size yet) the
  // drawing's own smooth scaling to the panel's width keeps the one-pixel
  // lines whole; the last step to the panel's size is then a small one.
  renderer_.SetCanvas(shown.renderer->Canvas());
  renderer_.DrawMap(*shown.computation, quick, colored ? *texture : kNoTexture, coastlines, device.width());
  const QImage& display = renderer_.DisplayImage();
  const QSize target = display.size().scaled(device, Qt::KeepAspectRatio);
  // Nearest pixels when enlarging (quickest, on 32-bit pixels), smooth when
  // shrinking, where nearest pixels would drop whole lines.
  QImage fitted = display.convertToFormat(QImage::Format_RGB32)
                      .scaled(target, Qt::IgnoreAspectRatio,
                              target.width() > display.width() ? Qt::FastTransformation
                                                               : Qt::SmoothTransformation);
  fitted.setDevicePixelRatio(pixelRatio);
  return fitted;
}

}  // namespace darvelle::ui
