#include "cli/local_output.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "catalogue/eclipse_texts.h"
#include "places/local_time.h"
#include "reports/local_words.h"

namespace darvelle::cli {
namespace {

const char* KindWord(LocalKind kind) {
  switch (kind) {
    case LocalKind::kPartial: return "partial";
    case LocalKind::kAnnular: return "annular";
    case LocalKind::kTotal: return "total";
    case LocalKind::kNone: break;
  }
  return "none";
}

const char* VisibilityWord(Visibility visibility) {
  switch (visibility) {
    case Visibility::kFull: return "full";
    case Visibility::kRise: return "rise";
    case Visibility::kSet: return "set";
    case Visibility::kNight: return "night";
    case Visibility::kNone: break;
  }
  return "none";
}

double JulianDayTT(const LocalReport& r, double t) {
  return Instant::FromEpochHours(r.Elements.julianDay, t).JulianDayTT();
}
double JulianDayUT(const LocalReport& r, double t) {
  return Instant::FromEpochHours(r.Elements.julianDay, t).JulianDayUT(r.DeltaT);
}

// JSON string with the characters JSON requires escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string EventJson(const LocalReport& r, const std::optional<LocalEvent>& e) {
  if (!e) return "null";
  return "{\"ut\":\"" + IsoDateTime(JulianDayUT(r, e->Time)) + "Z\",\"tt\":\"" +
         IsoDateTime(JulianDayTT(r, e->Time)) + "\",\"sun_alt\":" +
         FixedText(e->SunAltitudeDeg, 2) + ",\"sun_az\":" + FixedAngleText(e->SunAzimuthDeg, 2) +
         ",\"position_angle\":" + FixedAngleText(e->PositionAngleDeg, 1) + "}";
}

std::string OptionalText(const std::optional<std::string>& text) {
  return text ? Quoted(*text) : "null";
}

std::string CatalogueDate(const EclipseDescription& e) { return IsoDate(e.year, e.month, e.day); }

// The local time of an instant, or empty when the place has no zone.
std::string ZoneTime(const LocalReport& r, double t) {
  const auto local =
      places::LocalTimeAt(JulianDayUT(r, t), r.TimeZone.value_or(""), r.Place.LongitudeDeg);
  return local.Text + (local.MeanTime ? " LMT" : local.Offset);
}

// The words of these tables alone; those the window shows too come from
// reports/local_words.h.
struct Words {
  const char* eclipse;
  const char* place;
  const char* timeScale;  // followed by the DeltaT
  const char* sunAz;
  const char* positionAngle;
  const char* ratio;
  const char* sunDown;
  const char* dateTT;
  const char* maximumUT;
  const char* magnitudeSeen;  // the visible list's filter: with the Sun up
};

const Words kWords[3] = {
    {"Finsternis", "Ort", "Zeitskala: UT = TT - DeltaT, DeltaT", "Azimut", "P",
     "Verhältnis Mond/Sonne", "Sonne unter dem Horizont", "Datum (TT)", "Maximum (UT)", "gesehen"},
    {"Eclipse", "Place", "Time scale: UT = TT - DeltaT, DeltaT", "Azimuth", "P", "Moon/Sun ratio",
     "Sun below the horizon", "Date (TT)", "Maximum (UT)", "seen"},
    {"Éclipse", "Lieu", "Échelle de temps : UT = TT - DeltaT, DeltaT", "Azimut", "P",
     "Rapport Lune/Soleil", "Soleil sous l'horizon", "Date (TT)", "Maximum (UT)", "vue"},
};

const Words& WordsFor(Language language) {
  return kWords[LanguageIndex(language)];
}

std::string Padded(const std::string& text, std::size_t width) {
  // Width in characters, counting UTF-8 continuation bytes as nothing.
  std::size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return text + std::string(width > characters ? width - characters : 1, ' ');
}

std::string UtClock(const LocalReport& r, double t) {
  return IsoDateTime(JulianDayUT(r, t)).substr(IsoDateTime(JulianDayUT(r, t)).find('T') + 1);
}

std::string PlaceLine(const LocalReport& r) {
  std::string line = r.PlaceLabel ? *r.PlaceLabel + "  " : "";
  line += FixedText(r.Place.LatitudeDeg, 4) + " " + FixedText(r.Place.LongitudeDeg, 4) + " " +
          FixedText(r.Place.HeightM, 0) + " m";
  if (r.TimeZone) line += "  " + *r.TimeZone;
  return line;
}

}  // namespace

namespace {

const char* VerdictWord(CentralVerdict verdict) {
  switch (verdict) {
    case CentralVerdict::kCertain: return "certain";
    case CentralVerdict::kPossible: return "possible";
    case CentralVerdict::kExcluded: return "excluded";
  }
  return "excluded";
}

// The line of the table on the central phase over DeltaT's range; the
// verdict's word as the JSON gives it, so that scripts and people read one.
std::string BandLine(const LocalReport& r, Language language) {
  if (!r.BandRange || !r.Band) return {};
  const char* const heads[3] = {"Zentrale Phase für DeltaT ", "Central phase for DeltaT ",
                                "Phase centrale pour DeltaT "};
  const char* const during[3] = {"zentral für DeltaT ", "central for DeltaT ",
                                 "centrale pour DeltaT "};
  const int i = language == kGerman ? 0 : language == kFrench ? 2 : 1;
  std::string line = std::string(heads[i]) + FixedText(r.BandRange->Low, 0) + " .. " +
                     FixedText(r.BandRange->High, 0) + " s (2 sigma): " +
                     VerdictWord(r.Band->Verdict);
  for (std::size_t k = 0; k < r.Band->Central.size(); ++k) {
    line += std::string(k ? ", " : "; ") + during[i] + FixedText(r.Band->Central[k].Low, 0) +
            " .. " + FixedText(r.Band->Central[k].High, 0) + " s";
  }
  return line + "\n";
}

}  // namespace

std::string LocalJson(const LocalReport& r) {
  const LocalCircumstances& l = r.Local;
  std::string json = "{\"index\":" + std::to_string(r.Index) + ",\"date\":\"" +
                     CatalogueDate(r.Elements) + "\",\"observer\":{\"lat\":" +
                     FixedText(r.Place.LatitudeDeg, 6) + ",\"lon\":" +
                     FixedText(r.Place.LongitudeDeg, 6) + ",\"height\":" +
                     FixedText(r.Place.HeightM, 1) + ",\"place\":" + OptionalText(r.PlaceLabel) +
                     ",\"time_zone\":" + OptionalText(r.TimeZone) + "},\"delta_t_s\":" +
                     FixedText(r.DeltaT, 1) + ",\"kind\":\"" + KindWord(l.Kind) +
                     "\",\"visibility\":\"" + VisibilityWord(l.Seen) + "\"";
  json += ",\"c1\":" + EventJson(r, l.C1) + ",\"c2\":" + EventJson(r, l.C2) +
          ",\"max\":" + EventJson(r, l.Maximum) + ",\"c3\":" + EventJson(r, l.C3) +
          ",\"c4\":" + EventJson(r, l.C4);
  json += ",\"magnitude\":" + FixedText(l.Magnitude, 4) + ",\"moon_sun_ratio\":" +
          FixedText(l.MoonSunRatio, 4) + ",\"obscuration\":" + FixedText(l.Obscuration, 4) +
          ",\"duration_s\":" + (l.DurationS ? FixedText(*l.DurationS, 1) : "null");
  // What the place sees with the Sun up, after the geometric values.
  json += ",\"kind_seen\":\"" + std::string(KindWord(l.SeenKind())) + "\",\"magnitude_seen\":" +
          FixedText(l.VisibleMagnitude(), 4);
  if (r.BandRange && r.Band) {
    json += ",\"delta_t_band\":{\"low_s\":" + FixedText(r.BandRange->Low, 1) + ",\"high_s\":" +
            FixedText(r.BandRange->High, 1) + ",\"sigma_s\":" + FixedText(r.BandRange->Sigma, 1) +
            ",\"central\":\"" + VerdictWord(r.Band->Verdict) + "\",\"central_for_delta_t_s\":[";
    for (std::size_t i = 0; i < r.Band->Central.size(); ++i) {
      json += std::string(i ? "," : "") + "[" + FixedText(r.Band->Central[i].Low, 1) + "," +
              FixedText(r.Band->Central[i].High, 1) + "]";
    }
    json += "]}";
  }
  return json + "}";
}

std::string VisibleCsvRow(const LocalReport& r) {
  const LocalCircumstances& l = r.Local;
  std::string maxUt, maxLocal, sunAlt;
  if (l.Maximum) {
    maxUt = IsoDateTime(JulianDayUT(r, l.Maximum->Time)) + "Z";
    if (r.TimeZone) {
      const auto local =
          places::LocalTimeAt(JulianDayUT(r, l.Maximum->Time), *r.TimeZone, r.Place.LongitudeDeg);
      if (!local.MeanTime) maxLocal = local.Text + local.Offset;
    }
    sunAlt = FixedText(l.Maximum->SunAltitudeDeg, 2);
  }
  // The list tells what the place sees: the kind with the Sun up, the
  // duration only of a central phase seen.
  const bool centralSeen = l.SeenKind() == LocalKind::kTotal || l.SeenKind() == LocalKind::kAnnular;
  return std::to_string(r.Index) + "," + CatalogueDate(r.Elements) + "," + KindWord(l.SeenKind()) + "," +
         VisibilityWord(l.Seen) + "," + maxUt + "," + maxLocal + "," +
         FixedText(l.Magnitude, 4) + "," + FixedText(l.Obscuration, 4) + "," +
         (l.DurationS && centralSeen ? FixedText(*l.DurationS, 1) : "") + "," + sunAlt + "," +
         FixedText(l.VisibleMagnitude(), 4);
}

namespace {

std::string Label(reports::LocalLabel label, Language language) {
  return std::string(reports::LocalLabelName(label, language));
}

// What the place sees, in the window's words: the kind, then the visibility.
std::string SeenLines(const LocalCircumstances& l, Language language) {
  return std::string(reports::LocalKindName(l.Kind, language)) + "\n" +
         Label(reports::LocalLabel::kVisibility, language) + ": " +
         std::string(reports::VisibilityName(l.Seen, language)) + "\n";
}

// Contacts, maximum, sunrise and sunset in the order they happen; a
// contact that does not exist has no row and no time.
std::string EventRows(const LocalReport& r, Language language) {
  using reports::LocalMoment;
  const Words& w = WordsFor(language);
  const LocalCircumstances& l = r.Local;
  const reports::CentralPhase phase = reports::InnerContactPhase(l.Kind, r.Elements.kind);
  // The moment's name and its instant in UT and in local time.
  const auto head = [&](LocalMoment m, double t) {
    return Padded(std::string(reports::LocalMomentName(m, phase, language)), 30) + Padded(UtClock(r, t), 12) +
           Padded(ZoneTime(r, t), 32);
  };
  std::vector<std::pair<double, std::string>> rows;
  const std::pair<LocalMoment, const std::optional<LocalEvent>*> events[5] = {
      {LocalMoment::kC1, &l.C1}, {LocalMoment::kC2, &l.C2}, {LocalMoment::kMaximum, &l.Maximum},
      {LocalMoment::kC3, &l.C3}, {LocalMoment::kC4, &l.C4}};
  for (const auto& [moment, event] : events) {
    if (!*event) continue;
    const LocalEvent& e = **event;
    rows.emplace_back(e.Time, head(moment, e.Time) + Padded(FixedText(e.SunAltitudeDeg, 1), 13) +
                                  Padded(FixedAngleText(e.SunAzimuthDeg, 1), 9) +
                                  FixedAngleText(e.PositionAngleDeg, 1) +
                                  (e.SunUp() ? "" : std::string("  (") + w.sunDown + ")"));
  }
  const std::pair<LocalMoment, const std::optional<HorizonCrossing>*> crossings[2] = {
      {LocalMoment::kSunrise, &l.Sunrise}, {LocalMoment::kSunset, &l.Sunset}};
  for (const auto& [moment, crossing] : crossings) {
    if (!*crossing) continue;
    const HorizonCrossing& c = **crossing;
    rows.emplace_back(c.Time, head(moment, c.Time) + Label(reports::LocalLabel::kMagnitude, language) + " " +
                                  FixedText(c.Magnitude, 4));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& row : rows) out += row.second + "\n";
  return out;
}

std::string SummaryLines(const LocalCircumstances& l, Language language) {
  using reports::LocalLabel;
  std::string out = Label(LocalLabel::kMagnitude, language) + ": " + FixedText(l.Magnitude, 4) + "   " +
                    Label(LocalLabel::kObscuration, language) + ": " + FixedText(l.Obscuration, 4) +
                    "   " + WordsFor(language).ratio + ": " + FixedText(l.MoonSunRatio, 4) + "\n";
  if (l.DurationS) {
    const int tenths = static_cast<int>(*l.DurationS * 10.0 + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%dm %02d.%ds", tenths / 600, tenths / 10 % 60, tenths % 10);
    out += Label(LocalLabel::kDuration, language) + ": " + text + "\n";
  }
  return out;
}

}  // namespace

std::string LocalTable(const LocalReport& r, Language language) {
  using reports::LocalLabel;
  const Words& w = WordsFor(language);
  const LocalCircumstances& l = r.Local;
  std::string out = std::string(w.eclipse) + " #" + std::to_string(r.Index) + "  " +
                    CatalogueDate(r.Elements) + " (TT)\n" + w.place + ": " + PlaceLine(r) + "\n" +
                    w.timeScale + " = " + FixedText(r.DeltaT, 1) + " s\n";
  out += BandLine(r, language) + SeenLines(l, language);
  if (l.Kind == LocalKind::kNone) return out;
  out += "\n" + Padded(Label(LocalLabel::kEvent, language), 30) + Padded("UT", 12) +
         Padded(Label(LocalLabel::kLocalTime, language), 32) +
         Padded(Label(LocalLabel::kSunAltitude, language), 13) + Padded(w.sunAz, 9) + w.positionAngle + "\n";
  return out + EventRows(r, language) + "\n" + SummaryLines(l, language);
}

// The kind and the visibility are the longest cells: the window's phrases.
constexpr std::size_t kKindWidth = 24;
constexpr std::size_t kVisibilityWidth = 31;

std::string VisibleTableHeader(Language language) {
  using reports::LocalLabel;
  const Words& w = WordsFor(language);
  return Padded("#", 7) + Padded(w.dateTT, 13) + Padded(w.eclipse, kKindWidth) +
         Padded(Label(LocalLabel::kVisibility, language), kVisibilityWidth) + Padded(w.maximumUT, 24) +
         Padded(Label(LocalLabel::kMagnitude, language), 11) + Padded(w.magnitudeSeen, 11) +
         Padded(Label(LocalLabel::kObscuration, language), 13) +
         Padded(Label(LocalLabel::kDuration, language), 10) + Label(LocalLabel::kSunAltitude, language) + "\n";
}

std::string VisibleTableRow(const LocalReport& r, Language language) {
  const LocalCircumstances& l = r.Local;
  return Padded(std::to_string(r.Index), 7) + Padded(CatalogueDate(r.Elements), 13) +
         Padded(std::string(reports::LocalKindName(l.SeenKind(), language)), kKindWidth) +
         Padded(std::string(reports::VisibilityName(l.Seen, language)), kVisibilityWidth) +
         Padded(l.Maximum ? IsoDateTime(JulianDayUT(r, l.Maximum->Time)) : "", 24) +
         Padded(FixedText(l.Magnitude, 4), 11) + Padded(FixedText(l.VisibleMagnitude(), 4), 11) +
         Padded(FixedText(l.Obscuration, 4), 13) +
         Padded(l.DurationS && l.SeenKind() != LocalKind::kPartial ? FixedText(*l.DurationS, 1) + " s" : "", 10) +
         (l.Maximum ? FixedText(l.Maximum->SunAltitudeDeg, 1) : "") + "\n";
}

}  // namespace darvelle::cli
