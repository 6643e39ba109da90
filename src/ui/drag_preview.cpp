#include "ui/drag_preview.h"

#include "ui/eclipse_session.h"

namespace darvelle::ui {

QImage DragPreview::Draw(const SessionResult& shown, const ViewParameters& view,
                         const CoastlineLayer& coastlines, QSize area, qreal pixelRatio) {
  ViewParameters quick = shown.drawnView;
  quick.Psi = view.Psi;
  quick.Phi = view.Phi;
  quick.Chi = view.Chi;
  quick.RK = view.RK;
  // The texture pass is most of a coloured drawing's time: the preview
  // shows the plain globe, whose curves need no halos.
  quick.ColoredEarth = false;
  quick.CurveHalos = false;
  static const EarthTexture kNoTexture;
  const QSize device = (QSizeF(area) * pixelRatio).toSize();
  if (device.isEmpty()) return {};
  // The drawing's own smooth scaling to the panel's width (within the
  // display image's bounds) keeps the one-pixel lines whole; the last step
  // to the panel's size is then a small one.
  renderer_.DrawMap(*shown.computation, quick, kNoTexture, coastlines, device.width());
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
