#include "places/local_time.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/calendar.h"
#include "astro/constants.h"
#include "astro/iso_time.h"

namespace darvelle::places {
namespace {

constexpr double kUnixEpochJulianDay = 2440587.5;

LocalTime MeanTimeAt(double julianDayUt, double longitudeDeg) {
  LocalTime local;
  local.Text = IsoDateTime(julianDayUt + longitudeDeg / 360.0);
  local.Abbreviation = "LMT";
  local.MeanTime = true;
  return local;
}

std::string OffsetText(int offsetSeconds) {
  const int minutes = std::abs(offsetSeconds) / 60;
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d:%02d", offsetSeconds < 0 ? '-' : '+', minutes / 60,
                minutes % 60);
  return text;
}

}  // namespace

bool IsKnownTimeZone(const std::string& zone) {
  return !zone.empty() && QTimeZone::isTimeZoneIdAvailable(QByteArray::fromStdString(zone));
}

LocalTime LocalTimeAt(double julianDayUt, const std::string& zone, double longitudeDeg) {
  const int year = JulianDayToCalendar(julianDayUt).year;
  if (year < kFirstZoneYear || year > kLastZoneYear || !IsKnownTimeZone(zone)) {
    return MeanTimeAt(julianDayUt, longitudeDeg);
  }
  const QTimeZone timeZone(QByteArray::fromStdString(zone));
  const auto msecs =
      static_cast<qint64>(std::llround((julianDayUt - kUnixEpochJulianDay) * 86400000.0));
  const QDateTime instant = QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc());
  const int offset = timeZone.offsetFromUtc(instant);
  LocalTime local;
  local.Text = IsoDateTime(julianDayUt + offset / kSecondsPerDay);
  local.Offset = OffsetText(offset);
  local.Abbreviation = timeZone.abbreviation(instant).toStdString();
  return local;
}

}  // namespace darvelle::places
