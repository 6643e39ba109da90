#include "ui/time_slider.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "catalogue/eclipse_texts.h"
#include "geometry/local_circumstances.h"
#include "places/local_time.h"

namespace darvelle::ui {
namespace {

struct Captions {
  const char* play;
  const char* pause;
  const char* greatest;
  const char* placeMaximum;
  const char* perSecond;  // "%1 min/s"
  const char* local;
  const char* noPlace;
};

Captions CaptionsIn(Language language) {
  switch (language) {
    case kGerman:
      return {"Abspielen", "Anhalten", "Größte Finsternis", "Maximum am Ort", "%1 min/s",
              "Ortszeit", "kein Ort gewählt"};
    case kEnglish:
      return {"Play", "Pause", "Greatest eclipse", "Maximum at the place", "%1 min/s",
              "Local time", "no place chosen"};
    default:
      return {"Lecture", "Pause", "Éclipse maximale", "Maximum au lieu", "%1 min/s",
              "Heure locale", "aucun lieu choisi"};
  }
}

// "2024-04-08 18:42:07" from the program's ISO text of an instant in whole seconds.
QString Civil(const std::string& iso) {
  return QString::fromStdString(iso.substr(0, 10) + " " + iso.substr(11, 8));
}

// The slider counts seconds from the first contact.
int SecondsFrom(double first, double t) { return static_cast<int>(std::lround((t - first) * 3600.0)); }

}  // namespace

TimeSlider::TimeSlider(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 4);
  back_ = new QPushButton(QStringLiteral("−1 min"), this);
  back_->setObjectName(QStringLiteral("TimeBack"));
  play_ = new QPushButton(this);
  play_->setObjectName(QStringLiteral("TimePlay"));
  forward_ = new QPushButton(QStringLiteral("+1 min"), this);
  forward_->setObjectName(QStringLiteral("TimeForward"));
  speeds_ = new QComboBox(this);
  speeds_->setObjectName(QStringLiteral("TimeSpeed"));
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("TimeSliderBar"));
  // The slider's own keys would step a second: the widget's keys step a minute.
  slider_->setFocusPolicy(Qt::NoFocus);
  greatest_ = new QPushButton(this);
  greatest_->setObjectName(QStringLiteral("TimeGreatest"));
  placeMaximum_ = new QPushButton(this);
  placeMaximum_->setObjectName(QStringLiteral("TimePlaceMaximum"));
  scaleTime_ = new QLabel(this);
  scaleTime_->setObjectName(QStringLiteral("TimeInScale"));
  localTime_ = new QLabel(this);
  localTime_->setObjectName(QStringLiteral("TimeLocal"));
  // The keys belong to the slider as a whole: a click anywhere on it gives it the focus.
  for (QPushButton* b : {back_, play_, forward_, greatest_, placeMaximum_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this] { setFocus(Qt::MouseFocusReason); });
  }
  speeds_->setFocusPolicy(Qt::NoFocus);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(play_);
  buttons->addWidget(forward_);
  buttons->addWidget(speeds_);
  buttons->addSpacing(12);
  buttons->addWidget(greatest_);
  buttons->addWidget(placeMaximum_);
  buttons->addStretch(1);
  grid->addLayout(buttons, 0, 0, 1, 2);
  grid->addWidget(slider_, 1, 0, 1, 2);
  grid->addWidget(scaleTime_, 2, 0);
  grid->addWidget(localTime_, 2, 1, Qt::AlignRight);

  connect(back_, &QPushButton::clicked, this, [this] { stepMinutes(-1); });
  connect(forward_, &QPushButton::clicked, this, [this] { stepMinutes(1); });
  connect(play_, &QPushButton::clicked, this, [this] { setPlaying(!playing()); });
  connect(slider_, &QSlider::sliderMoved, this, [this](int seconds) {
    if (span_) setInstant(span_->firstContact + seconds / 3600.0);
  });
  connect(greatest_, &QPushButton::clicked, this, [this] {
    if (span_) setInstant(span_->greatest);
  });
  connect(placeMaximum_, &QPushButton::clicked, this, [this] {
    if (placeMaximumTime_) setInstant(*placeMaximumTime_);
  });
  timer_.setInterval(kFrameMilliseconds);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &TimeSlider::Advance);
  ApplyCaptions();
  ShowInstant();
}

void TimeSlider::setSpan(const TimeSpan& span) {
  const bool same = span_ && span_->eclipse.index == span.eclipse.index;
  span_ = span;
  FindPlaceMaximum();
  slider_->setRange(0, SecondsFrom(span.firstContact, span.lastContact));
  if (!same || instant_ < span.firstContact || instant_ > span.lastContact) {
    instant_ = span.greatest;
  }
  setInstant(instant_);
}

void TimeSlider::setPlace(const std::optional<ObserverPlace>& place) {
  place_ = place;
  FindPlaceMaximum();
  ShowInstant();
}

void TimeSlider::setLanguage(Language language) {
  language_ = language;
  ApplyCaptions();
  ShowInstant();
}

void TimeSlider::setInstant(double t) {
  if (!span_) return;
  instant_ = std::clamp(t, span_->firstContact, span_->lastContact);
  slider_->setValue(SecondsFrom(span_->firstContact, instant_));
  ShowInstant();
  emit instantChanged(instant_);
}

void TimeSlider::stepMinutes(int minutes) { setInstant(instant_ + minutes / 60.0); }

int TimeSlider::speed() const { return kSpeeds[std::max(0, speeds_->currentIndex())]; }

void TimeSlider::setPlaying(bool playing) {
  if (playing == timer_.isActive()) return;
  if (playing) {
    // Played to the end, it starts again from the first contact.
    if (span_ && instant_ >= span_->lastContact) setInstant(span_->firstContact);
    sinceFrame_.start();
    timer_.start();
  } else {
    timer_.stop();
  }
  ApplyCaptions();
}

void TimeSlider::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
      setPlaying(!playing());
      return;
    // Page Up and Page Down stay the window's previous and next eclipse.
    case Qt::Key_Left:
      if (event->modifiers() & Qt::ShiftModifier) {
        jumpToPlaceEvent(-1);
      } else {
        stepMinutes(-1);
      }
      return;
    case Qt::Key_Right:
      if (event->modifiers() & Qt::ShiftModifier) {
        jumpToPlaceEvent(1);
      } else {
        stepMinutes(1);
      }
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TimeSlider::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  QWidget::mousePressEvent(event);
}

void TimeSlider::Advance() {
  if (!span_) {
    setPlaying(false);
    return;
  }
  // By the time that has passed, not by the ticks: a late tick catches up.
  const double seconds = sinceFrame_.restart() / 1000.0;
  setInstant(instant_ + seconds * speed() / 60.0);
  if (instant_ >= span_->lastContact) setPlaying(false);
}

void TimeSlider::FindPlaceMaximum() {
  placeMaximumTime_.reset();
  placeEvents_.clear();
  if (!span_ || !place_) return;
  const LocalCircumstances local = ComputeLocalCircumstances(
      span_->eclipse.elements, span_->eclipse.deltaT, ObserverOf(*place_));
  if (local.Maximum) placeMaximumTime_ = local.Maximum->Time;
  for (const auto* event : {&local.C1, &local.C2, &local.Maximum, &local.C3, &local.C4}) {
    if (*event) placeEvents_.push_back((*event)->Time);
  }
}

void TimeSlider::jumpToPlaceEvent(int direction) {
  // Half a second of slack: standing on a contact, the next one is meant.
  constexpr double kSlackHours = 0.5 / 3600.0;
  if (direction > 0) {
    for (double t : placeEvents_) {
      if (t > instant_ + kSlackHours) return setInstant(t);
    }
  } else {
    for (auto it = placeEvents_.rbegin(); it != placeEvents_.rend(); ++it) {
      if (*it < instant_ - kSlackHours) return setInstant(*it);
    }
  }
}

void TimeSlider::ApplyCaptions() {
  const Captions c = CaptionsIn(language_);
  play_->setText(QString::fromUtf8(playing() ? c.pause : c.play));
  greatest_->setText(QString::fromUtf8(c.greatest));
  placeMaximum_->setText(QString::fromUtf8(c.placeMaximum));
  const int chosen = std::max(0, speeds_->currentIndex());
  speeds_->clear();
  for (int s : kSpeeds) speeds_->addItem(QString::fromUtf8(c.perSecond).arg(s));
  speeds_->setCurrentIndex(chosen);
}

void TimeSlider::ShowInstant() {
  const Captions c = CaptionsIn(language_);
  placeMaximum_->setEnabled(placeMaximumTime_.has_value());
  greatest_->setEnabled(span_.has_value());
  if (!span_) {
    scaleTime_->clear();
    localTime_->clear();
    return;
  }
  const ShownEclipse& e = span_->eclipse;
  // Whole seconds before any formatting: the two clocks then never disagree
  // by a second that one rounding and one truncation would make.
  auto toSecond = [](double julianDay) { return std::round(julianDay * kSecondsPerDay) / kSecondsPerDay; };
  const Instant instant = Instant::FromEpochHours(e.elements.julianDay, instant_);
  // e.deltaT is the one in force: zero when the window shows TT.
  const double inScale = toSecond(instant.JulianDayUT(e.deltaT));
  scaleTime_->setText(Civil(IsoInstantUt(inScale)) +
                      (e.timeScale == TimeScale::kUniversal ? QStringLiteral(" UT") : QStringLiteral(" TT")));
  if (!place_) {
    localTime_->setText(QString::fromUtf8(c.local) + QStringLiteral(": ") +
                        QString::fromUtf8(c.noPlace));
    return;
  }
  const double ut = toSecond(instant.JulianDayUT(span_->modelDeltaT));
  const places::LocalTime local =
      places::LocalTimeAt(ut, place_->timeZone.toStdString(), place_->longitudeDeg);
  localTime_->setText(QString::fromUtf8(c.local) + QStringLiteral(": ") + Civil(local.Text) +
                      QStringLiteral(" ") + QString::fromStdString(local.Abbreviation));
}

}  // namespace darvelle::ui
