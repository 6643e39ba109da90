#include "ui/sun_view.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "catalogue/eclipse_texts.h"

namespace darvelle::ui {
namespace {

struct Words {
  const char* magnitude;
  const char* obscuration;
  const char* altitude;
  const char* below;
  const char* none;
};

Words WordsIn(Language language) {
  switch (language) {
    case kGerman:
      return {"Größe", "Bedeckung", "Sonnenhöhe", "Sonne unter dem Horizont",
              "Ort wählen, um die Sonne zu sehen"};
    case kEnglish:
      return {"Magnitude", "Obscuration", "Sun's altitude", "Sun below the horizon",
              "Choose a place to see the Sun"};
    default:
      return {"Grandeur", "Obscuration", "Hauteur du Soleil", "Soleil sous l'horizon",
              "Choisir un lieu pour voir le Soleil"};
  }
}

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

}  // namespace

SunView::SunView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SunView"));
  setMinimumSize(minimumSizeHint());
}

void SunView::setView(const std::optional<LocalView>& view) {
  view_ = view;
  update();
}

void SunView::setLanguage(Language language) {
  language_ = language;
  update();
}

void SunView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const Words words = WordsIn(language_);
  const QRectF area = rect();
  if (!view_) {
    p.fillRect(area, palette().window());
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(words.none));
    return;
  }
  const LocalView& v = *view_;
  const bool up = v.SunAltitudeDeg > kSunUpAltitudeDeg - v.SunRadiusDeg;
  // The daytime sky, a night sky below the horizon. The sky hardly darkens
  // until the last few per cent of the Sun are covered.
  const double light = up ? std::clamp(1.0 - std::pow(v.Obscuration, 6.0), 0.0, 1.0) : 0.0;
  const QColor sky = QColor::fromRgbF(0.08 + 0.37 * light, 0.10 + 0.52 * light, 0.22 + 0.66 * light);
  p.fillRect(area, sky);

  const QPointF centre = area.center();
  const double radius = std::min(area.width(), area.height()) * 0.22;
  const double pixelsPerDeg = v.SunRadiusDeg > 0.0 ? radius / v.SunRadiusDeg : 0.0;

  // The corona round a covered Sun, fading in over the last per cent of it
  // (at an inner contact the Sun's last sliver is thinner than a pixel).
  if (const double corona = std::clamp((v.Obscuration - 0.99) / 0.01, 0.0, 1.0); corona > 0.0) {
    QRadialGradient glow(centre, radius * 2.2);
    glow.setColorAt(0.4, QColor(255, 255, 240, static_cast<int>(200 * corona)));
    glow.setColorAt(1.0, QColor(255, 255, 240, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius * 2.2, radius * 2.2);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 214, 64));
  p.drawEllipse(centre, radius, radius);

  // The Moon: its direction counted from the top of the picture (the
  // zenith) towards the left, where east lies for one facing the Sun.
  const double towardsZenith = (v.PositionAngleDeg - v.ParallacticAngleDeg) * kDegToRad;
  const double distance = v.SeparationSunRadii * radius;
  const QPointF moon(centre.x() - std::sin(towardsZenith) * distance,
                     centre.y() - std::cos(towardsZenith) * distance);
  const double moonRadius = v.MoonSunRatio * radius;
  // A new Moon is seen only against the Sun; at an outer contact it touches it.
  if (distance < radius + moonRadius + 1.0) {
    p.setBrush(QColor(40, 40, 48));
    p.drawEllipse(moon, moonRadius, moonRadius);
  }

  // The horizon when the Sun is low: the ground below it, half clear so
  // that a Sun below it still shows.
  if (pixelsPerDeg > 0.0 && v.SunAltitudeDeg < kHorizonShownBelowDeg) {
    const double y = centre.y() + v.SunAltitudeDeg * pixelsPerDeg;
    if (y < area.bottom()) {
      const double top = std::max(area.top(), y);
      p.fillRect(QRectF(area.left(), top, area.width(), area.bottom() - top),
                 QColor(52, 82, 40, 215));
      p.setPen(QPen(QColor(200, 230, 170), 2));
      if (y >= area.top()) p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
  }

  p.setPen(light > 0.45 ? Qt::black : Qt::white);
  QFont font = p.font();
  font.setPixelSize(13);
  p.setFont(font);
  const QString text =
      QStringLiteral("%1 %2   %3 %4%\n%5 %6°")
          .arg(QString::fromUtf8(words.magnitude))
          .arg(v.Magnitude, 0, 'f', 3)
          .arg(QString::fromUtf8(words.obscuration))
          .arg(v.Obscuration * 100.0, 0, 'f', 1)
          .arg(QString::fromUtf8(words.altitude))
          .arg(v.SunAltitudeDeg, 0, 'f', 1);
  p.drawText(area.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, text);
  if (!up) {
    p.drawText(area.adjusted(6, 4, -6, -4), Qt::AlignHCenter | Qt::AlignBottom,
               QString::fromUtf8(words.below));
  }
}

}  // namespace darvelle::ui
