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
  renderer_.DrawMap(*shown.computation, quick, kNoTexture, coastlines, kMinDisplayWidth);
  const QSize device = (QSizeF(area) * pixelRatio).toSize();
  if (device.isEmpty()) return {};
  // Qt's nearest-pixel scaler is quickest on 32-bit pixels.
  QImage fitted = renderer_.DrawingImage()
                      .convertToFormat(QImage::Format_RGB32)
                      .scaled(device, Qt::KeepAspectRatio, Qt::FastTransformation);
  fitted.setDevicePixelRatio(pixelRatio);
  return fitted;
}

}  // namespace darvelle::ui
