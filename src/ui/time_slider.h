#pragma once
// The instant the map's time layer and the view of the Sun show: a slider
// from the first contact of the eclipse shown to its last, play and pause
// at a few speeds, a minute back and forth, and jumps to greatest eclipse
// and to the maximum at the observer's place. Space plays or pauses and
// the Left and Right keys step a minute while it has the focus. The instant
// is written in the window's time scale and in the place's local time.
//
// Instants are hours of TT from the shown record's epoch hour, as the
// geometry takes them.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

#include "ui/local_texts.h"
#include "catalogue/language.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace darvelle::ui {

// The eclipse the slider spans.
struct TimeSpan {
  ShownEclipse eclipse;       // deltaT in force (0 in TT)
  double modelDeltaT = 0.0;   // seconds: the instant's UT for the local time, also in TT
  double firstContact = 0.0;  // hours of TT from the epoch hour
  double lastContact = 0.0;
  double greatest = 0.0;
};

class TimeSlider : public QWidget {
  Q_OBJECT

 public:
  // Minutes of the eclipse per second of playing.
  static constexpr int kSpeeds[] = {1, 2, 5, 10, 30};
  // Playing moves the instant this often (milliseconds): about 30 pictures a second.
  static constexpr int kFrameMilliseconds = 33;

  explicit TimeSlider(QWidget* parent = nullptr);

  // A new eclipse (or time scale) starts at its greatest eclipse, or keeps
  // the instant when it is the same eclipse and the instant lies within it.
  void setSpan(const TimeSpan& span);
  void setPlace(const std::optional<ObserverPlace>& place);
  void setLanguage(Language language);

  std::optional<TimeSpan> span() const { return span_; }
  double instant() const { return instant_; }
  void setInstant(double t);
  void stepMinutes(int minutes);
  // The place's contacts and maximum before or after the instant (direction -1 or +1).
  void jumpToPlaceEvent(int direction);
  bool playing() const { return timer_.isActive(); }
  void setPlaying(bool playing);
  int speed() const;  // minutes per second

 signals:
  void instantChanged(double t);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Advance();
  void ShowInstant();
  void ApplyCaptions();
  void FindPlaceMaximum();

  std::optional<TimeSpan> span_;
  std::optional<ObserverPlace> place_;
  Language language_ = kEnglish;
  double instant_ = 0.0;
  std::optional<double> placeMaximumTime_;
  std::vector<double> placeEvents_;  // the place's contacts and maximum, in order  // the place's maximum, when it sees the eclipse
  QTimer timer_;
  QElapsedTimer sinceFrame_;

  QPushButton* play_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* forward_ = nullptr;
  QComboBox* speeds_ = nullptr;
  QSlider* slider_ = nullptr;
  QPushButton* greatest_ = nullptr;
  QPushButton* placeMaximum_ = nullptr;
  QLabel* scaleTime_ = nullptr;
  QLabel* localTime_ = nullptr;
};

}  // namespace darvelle::ui
