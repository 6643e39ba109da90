#include "ui/local_texts.h"

#include <QRegularExpression>
#include <cmath>
#include <string>
#include <string_view>

#include "astro/constants.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "places/local_time.h"
#include "places/towns_on_path.h"
#include "reports/local_words.h"
#include "ui/globe_view.h"
#include "ui/languages.h"

namespace darvelle::ui {
namespace {

const QString kAbsent = QStringLiteral("\u2014");

// The detail after the visibility's phrase while the Sun crosses the horizon.
constexpr const char* kSunriseDetail[3] = {"Aufgang %1, Größe %2", "sunrise %1, magnitude %2",
                                           "lever %1, grandeur %2"};
constexpr const char* kSunsetDetail[3] = {"Untergang %1, Größe %2", "sunset %1, magnitude %2",
                                          "coucher %1, grandeur %2"};
constexpr const char* kMeanTime[3] = {"Ortszeit: mittlere Ortszeit (LMT, Länge/15°)",
                                      "Local time: local mean time (LMT, longitude/15°)",
                                      "Heure locale : temps moyen local (LMT, longitude/15°)"};
constexpr const char* kZone[3] = {"Zeitzone %1", "Time zone %1", "Fuseau horaire %1"};
constexpr const char* kZoneOutsideYears[3] = {
    "Zeitzone %1; vor 1900 und nach 2099 mittlere Ortszeit (LMT)",
    "Time zone %1; before 1900 and after 2099 local mean time (LMT)",
    "Fuseau horaire %1 ; avant 1900 et après 2099 temps moyen local (LMT)"};
constexpr const char* kUniversal[3] = {"UT = TT \u2212 %1 s (DeltaT)", "UT = TT \u2212 %1 s (DeltaT)",
                                       "UT = TT \u2212 %1 s (DeltaT)"};
constexpr const char* kTerrestrial[3] = {"TT (DeltaT = 0, wie die Karte)",
                                         "TT (DeltaT = 0, as the map)",
                                         "TT (DeltaT = 0, comme la carte)"};
constexpr const char* kNear[3] = {"Bei %1", "Near %1", "Près de %1"};
// The verdicts in the order of CentralVerdict.
constexpr const char* kVerdicts[3][3] = {{"sicher", "certain", "certaine"},
                                         {"möglich", "possible", "possible"},
                                         {"ausgeschlossen", "excluded", "exclue"}};
constexpr const char* kCentralFor[3] = {"zentral für ΔT %1 .. %2 s", "central for ΔT %1 .. %2 s",
                                        "centrale pour ΔT %1 .. %2 s"};

// An instant of the window's scale, to the second: the Julian Day rounded
// to whole seconds, so that its clock text and its zone text agree.
double RoundedJulianDay(const ShownEclipse& eclipse, double hoursTT) {
  // DeltaT in force: zero when the window shows TT.
  const double jd = Instant::FromEpochHours(eclipse.elements.julianDay, hoursTT).JulianDayUT(eclipse.deltaT);
  // Whole days and the fraction apart, so that the rounding keeps its second.
  const double day = std::floor(jd - 0.5);
  const double seconds = std::round((jd - 0.5 - day) * kSecondsPerDay);
  return day + 0.5 + seconds / kSecondsPerDay;
}

// "YYYY-MM-DDThh:mm:ss.s" split into the date and "hh:mm:ss".
struct Stamp {
  QString date;
  QString clock;
};
Stamp StampOf(const std::string& iso) {
  const QString text = QString::fromStdString(iso);
  const qsizetype t = text.indexOf(QLatin1Char('T'));
  return {text.left(t), text.mid(t + 1, 8)};
}

QString Degrees(double value) { return QString::number(value, 'f', 1) + QStringLiteral("\u00B0"); }

// An azimuth never reads 360.0: what rounds up to a full turn is north, 0.0.
QString Direction(double degrees) {
  return QString::fromStdString(FixedAngleText(degrees, 1)) + QStringLiteral("\u00B0");
}

QString LocalClock(const ObserverPlace& place, double julianDay, const QString& referenceDate) {
  const places::LocalTime local =
      places::LocalTimeAt(julianDay, place.timeZone.toStdString(), place.longitudeDeg);
  const Stamp stamp = StampOf(local.Text);
  QString text = stamp.clock + QLatin1Char(' ') + QString::fromStdString(local.Abbreviation);
  // Across midnight the local date says which day it is there.
  if (stamp.date != referenceDate) text += QStringLiteral(" (") + stamp.date + QLatin1Char(')');
  return text;
}

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Label(reports::LocalLabel label, Language language) {
  return Utf8(reports::LocalLabelName(label, language));
}

// The moment each row of the contact table shows.
constexpr reports::LocalMoment kRowMoments[kLocalRowCount] = {
    reports::LocalMoment::kC1, reports::LocalMoment::kC2, reports::LocalMoment::kMaximum,
    reports::LocalMoment::kC3, reports::LocalMoment::kC4};

// The visibility's phrase; while the Sun crosses the horizon, followed by
// when it does and how much of the Sun is covered then.
QString VisibilityText(const ShownEclipse& eclipse, const LocalCircumstances& local, Language language) {
  const QString phrase = Utf8(reports::VisibilityName(local.Seen, language));
  if (local.Seen != Visibility::kRise && local.Seen != Visibility::kSet) return phrase;
  const bool rise = local.Seen == Visibility::kRise;
  const std::optional<HorizonCrossing>& c = rise ? local.Sunrise : local.Sunset;
  const QString detail = TextIn(rise ? kSunriseDetail : kSunsetDetail, language);
  if (!c) return phrase + QStringLiteral(" (") + detail.arg(kAbsent, kAbsent) + QLatin1Char(')');
  const QString scale =
      eclipse.timeScale == TimeScale::kUniversal ? QStringLiteral("UT") : QStringLiteral("TT");
  const QString clock = StampOf(IsoDateTime(RoundedJulianDay(eclipse, c->Time))).clock;
  return phrase + QStringLiteral(" (") +
         detail.arg(clock + QLatin1Char(' ') + scale, QString::number(c->Magnitude, 'f', 3)) + QLatin1Char(')');
}

}  // namespace

LocalTexts FormatLocalCircumstances(const ShownEclipse& eclipse, const ObserverPlace& place,
                                    const LocalCircumstances& local, Language language) {
  LocalTexts t;
  t.coordinates = CursorCoordinateText(place.latitudeDeg, place.longitudeDeg, language);
  if (!place.name.isEmpty()) {
    t.place = place.name;
  } else if (!place.nearby.isEmpty()) {
    t.place = TextIn(kNear, language).arg(place.nearby);
  } else {
    t.place = t.coordinates;
  }
  const int year = eclipse.elements.year;
  if (place.timeZone.isEmpty()) {
    t.zone = TextIn(kMeanTime, language);
  } else if (year < places::kFirstZoneYear || year > places::kLastZoneYear) {
    t.zone = TextIn(kZoneOutsideYears, language).arg(place.timeZone);
  } else {
    t.zone = TextIn(kZone, language).arg(place.timeZone);
  }
  t.timeScale = eclipse.timeScale == TimeScale::kUniversal
                    ? TextIn(kUniversal, language).arg(QString::number(eclipse.deltaT, 'f', 1))
                    : TextIn(kTerrestrial, language);
  t.kind = Utf8(reports::LocalKindName(local.Kind, language));
  const reports::CentralPhase phase = reports::InnerContactPhase(local.Kind, eclipse.elements.kind);
  for (int r = 0; r < kLocalRowCount; ++r) {
    t.rows[static_cast<std::size_t>(r)].event = Utf8(reports::LocalMomentName(kRowMoments[r], phase, language));
  }

  // Local dates are compared with the date of the maximum in the window's scale.
  QString referenceDate;
  if (local.Maximum) {
    referenceDate = StampOf(IsoDateTime(RoundedJulianDay(eclipse, local.Maximum->Time))).date;
  }
  const std::optional<LocalEvent>* events[kLocalRowCount] = {&local.C1, &local.C2, &local.Maximum,
                                                             &local.C3, &local.C4};
  for (int r = 0; r < kLocalRowCount; ++r) {
    LocalTexts::Row& row = t.rows[static_cast<std::size_t>(r)];
    const std::optional<LocalEvent>& event = *events[r];
    if (!event) {
      row.time = row.local = row.altitude = row.azimuth = kAbsent;
      continue;
    }
    const double jd = RoundedJulianDay(eclipse, event->Time);
    const Stamp stamp = StampOf(IsoDateTime(jd));
    row.time = stamp.clock;
    if (stamp.date != referenceDate) row.time += QStringLiteral(" (") + stamp.date + QLatin1Char(')');
    row.local = LocalClock(place, jd, referenceDate);
    row.altitude = Degrees(event->SunAltitudeDeg);
    row.azimuth = Direction(event->SunAzimuthDeg);
  }

  const bool eclipsed = local.Kind != LocalKind::kNone;
  t.magnitude = eclipsed ? QString::number(local.Magnitude, 'f', 4) : kAbsent;
  t.obscuration = eclipsed ? QString::number(local.Obscuration * 100.0, 'f', 1) + QStringLiteral(" %")
                           : kAbsent;
  t.duration = local.DurationS ? DurationText(*local.DurationS) : kAbsent;

  t.visibility = VisibilityText(eclipse, local, language);
  return t;
}

QString DurationText(double seconds) { return QString::fromStdString(places::MinutesSecondsText(seconds)); }

QString CentralOverDeltaTText(const DeltaTRange& range, const CentralOverDeltaT& central, Language language) {
  const auto seconds = [](double s) { return QString::number(s, 'f', 0); };
  QString text = QStringLiteral("ΔT %1 .. %2 s (±2σ): %3")
                     .arg(seconds(range.Low), seconds(range.High),
                          TextIn(kVerdicts[static_cast<int>(central.Verdict)], language));
  // Seen for the whole range, the range says it all.
  if (central.Verdict == CentralVerdict::kPossible) {
    for (std::size_t k = 0; k < central.Central.size(); ++k) {
      text += (k == 0 ? QStringLiteral("; ") : QStringLiteral(", ")) +
              TextIn(kCentralFor, language).arg(seconds(central.Central[k].Low), seconds(central.Central[k].High));
    }
  }
  return text;
}

LocalCaptions LocalCaptionsIn(Language language) {
  static constexpr const char* kTitle[3] = {"Örtliche Umstände", "Local circumstances",
                                            "Circonstances locales"};
  static constexpr const char* kSearchHint[3] = {"Ort oder Breite, Länge", "Place or latitude, longitude",
                                                 "Lieu ou latitude, longitude"};
  static constexpr const char* kSearchTip[3] = {
      "Einen Ort suchen (z. B. „Dallas“) oder Koordinaten eingeben (z. B. „32.78, -96.80“), "
      "dann Eingabe; ein Klick auf den Globus wählt den Punkt unter dem Mauszeiger.",
      "Search for a place (e.g. \u201CDallas\u201D) or type coordinates (e.g. \u201C32.78, "
      "-96.80\u201D), then Enter; a click on the globe chooses the point under the cursor.",
      "Chercher un lieu (p. ex. « Dallas ») ou entrer des coordonnées (p. ex. « 32.78, "
      "-96.80 »), puis Entrée ; un clic sur le globe choisit le point sous le curseur."};
  static constexpr const char* kNoPlace[3] = {
      "Noch kein Ort gewählt: einen Ort suchen oder auf den Globus klicken.",
      "No place chosen yet: search for one or click on the globe.",
      "Aucun lieu choisi : cherchez-en un ou cliquez sur le globe."};
  static constexpr const char* kNoMatch[3] = {"Kein Ort gefunden für „%1“.",
                                              "No place found for \u201C%1\u201D.",
                                              "Aucun lieu trouvé pour « %1 »."};
  // Short: the column headers share a dock's width with four other columns.
  static constexpr const char* kAltitude[3] = {"Höhe", "Alt.", "Haut."};
  static constexpr const char* kAzimuth[3] = {"Az.", "Az.", "Az."};
  static constexpr const char* kCentralOverDeltaT[3] = {"Zentrale Phase", "Central phase", "Phase centrale"};
  static constexpr const char* kVisibleFromHere[3] = {"Von hier sichtbare Finsternisse\u2026",
                                                      "Eclipses visible from here\u2026",
                                                      "Éclipses visibles d'ici\u2026"};
  static constexpr const char* kPreviousPlace[3] = {"Vorheriger Ort", "Previous place",
                                                    "Lieu précédent"};
  LocalCaptions c;
  c.title = TextIn(kTitle, language);
  c.searchHint = TextIn(kSearchHint, language);
  c.searchTip = TextIn(kSearchTip, language);
  c.noPlace = TextIn(kNoPlace, language);
  c.noMatch = TextIn(kNoMatch, language);
  c.event = Label(reports::LocalLabel::kEvent, language);
  c.local = Label(reports::LocalLabel::kLocalTime, language);
  c.altitude = TextIn(kAltitude, language);
  c.azimuth = TextIn(kAzimuth, language);
  c.magnitude = Label(reports::LocalLabel::kMagnitude, language);
  c.obscuration = Label(reports::LocalLabel::kObscuration, language);
  c.duration = Label(reports::LocalLabel::kDuration, language);
  c.visibility = Label(reports::LocalLabel::kVisibility, language);
  c.centralOverDeltaT = TextIn(kCentralOverDeltaT, language);
  c.visibleFromHere = TextIn(kVisibleFromHere, language);
  c.previousPlace = TextIn(kPreviousPlace, language);
  return c;
}

std::optional<ObserverPlace> ParseCoordinates(const QString& text) {
  // A number, optionally followed by its hemisphere letter.
  static const QRegularExpression pattern(QStringLiteral(
      R"(^\s*([+-]?\d+(?:\.\d*)?|[+-]?\.\d+)\s*°?\s*([NSns])?\s*[,;\s]\s*)"
      R"(([+-]?\d+(?:\.\d*)?|[+-]?\.\d+)\s*°?\s*([EWew])?\s*$)"));
  const QRegularExpressionMatch m = pattern.match(text);
  if (!m.hasMatch()) return std::nullopt;
  bool latOk = false, lonOk = false;
  double latitude = m.captured(1).toDouble(&latOk);
  double longitude = m.captured(3).toDouble(&lonOk);
  if (!latOk || !lonOk) return std::nullopt;
  const QString ns = m.captured(2).toUpper(), ew = m.captured(4).toUpper();
  // A hemisphere letter with a signed number would say it twice, perhaps differently.
  if ((!ns.isEmpty() && latitude < 0) || (!ew.isEmpty() && longitude < 0)) return std::nullopt;
  if (ns == QStringLiteral("S")) latitude = -latitude;
  if (ew == QStringLiteral("W")) longitude = -longitude;
  if (!(std::abs(latitude) <= 90.0) || !(std::abs(longitude) <= 180.0)) return std::nullopt;
  ObserverPlace place;
  place.latitudeDeg = latitude;
  place.longitudeDeg = longitude;
  return place;
}

}  // namespace darvelle::ui
