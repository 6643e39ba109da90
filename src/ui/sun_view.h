#pragma once
// The Sun as the observer sees it at the slider's instant: the Sun's and
// the Moon's discs at their apparent sizes, the Moon where it stands from
// the Sun (the top of the picture towards the zenith), the horizon when the
// Sun is low or down, and the magnitude, obscuration and the Sun's altitude.
// The value comes from LocalViewAt; the widget only paints it.

#include <QWidget>
#include <optional>

#include "geometry/local_circumstances.h"
#include "catalogue/language.h"

namespace darvelle::ui {

class SunView : public QWidget {
  Q_OBJECT

 public:
  // The Sun drawn lower than this (degrees, as many of its radii as fit
  // below the picture's centre) shows the horizon line.
  static constexpr double kHorizonShownBelowDeg = 5.0;

  explicit SunView(QWidget* parent = nullptr);

  // None: no place chosen, or no eclipse shown.
  void setView(const std::optional<LocalView>& view);
  const std::optional<LocalView>& view() const { return view_; }
  void setLanguage(Language language);

  QSize sizeHint() const override { return {260, 260}; }
  QSize minimumSizeHint() const override { return {160, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<LocalView> view_;
  Language language_ = kEnglish;
};

}  // namespace darvelle::ui
