#pragma once
// The texts of the local-circumstances panel in German, English and French:
// one eclipse seen from one place, as LocalCircumstancesPanel shows them and
// as anyone who wants the same words (a test, a copy to the clipboard) makes
// them. Pure functions of their arguments.

#include <QString>
#include <array>
#include <optional>

#include "astro/instant.h"
#include "catalogue/besselian_elements.h"
#include "geometry/delta_t_range.h"
#include "geometry/local_circumstances.h"
#include "catalogue/language.h"
#include "ui/observer_place.h"

namespace darvelle::ui {

// What the panel needs of the eclipse the window shows.
struct ShownEclipse {
  int index = 0;                 // catalogue index, 1-based
  BesselianElements elements;    // julianDay: TT at the epoch hour
  double deltaT = 0.0;           // seconds in force: the model's in UT, 0 in TT (as the map)
  TimeScale timeScale = TimeScale::kUniversal;
};

// The rows of the contact table, in this order.
enum LocalRow { kRowC1, kRowC2, kRowMaximum, kRowC3, kRowC4, kLocalRowCount };

struct LocalTexts {
  QString place;        // the place's name, or "near <city>" / the coordinates for a clicked point
  QString coordinates;  // "32°47.0′ N  96°48.4′ W"
  QString zone;         // "America/Chicago", or what local mean time means here
  QString timeScale;    // "UT = TT − 69.2 s" or "TT (DeltaT 0, as the map)"
  QString kind;         // what is seen here: "Total eclipse", ...
  struct Row {
    QString event;      // "Totality begins (C2)"
    QString time;       // "18:40:04" in the window's time scale; "—" when absent
    QString local;      // "13:40:04 CDT"; "—" when absent
    QString altitude;   // "65.7°"
    QString azimuth;    // "195.1°"
  };
  std::array<Row, kLocalRowCount> rows;
  QString magnitude;    // "1.0089"
  QString obscuration;  // "100.0 %"
  QString duration;     // "3 min 52 s", "—" outside the path
  QString visibility;   // "Visible from beginning to end", "In progress at sunrise (…)", ...
};

// The texts for `local`, computed for `eclipse` and `place`; language 0
// German, 1 English, 2 French. Times are rounded to the second.
LocalTexts FormatLocalCircumstances(const ShownEclipse& eclipse, const ObserverPlace& place,
                                    const LocalCircumstances& local, Language language);

// A duration of the central phase: "3 min 52 s", to the second, the same
// in the three languages.
QString DurationText(double seconds);

// Whether the place sees the central phase over DeltaT's range (before 1600
// and after 2100): "ΔT 9873 .. 11721 s (±2σ): possible; central for ΔT
// 10204 .. 10960 s", the verdict in `language`.
QString CentralOverDeltaTText(const DeltaTRange& range, const CentralOverDeltaT& central, Language language);

// Captions that do not depend on an eclipse.
struct LocalCaptions {
  QString title;            // the dock's title
  QString searchHint;       // the search box's placeholder
  QString searchTip;        // its tooltip
  QString noPlace;          // before a place is chosen
  QString noMatch;          // "No place found for "%1"."
  QString event;            // the first column's header
  QString local;            // "Local time"
  QString altitude;         // "Alt." of the Sun
  QString azimuth;          // "Az." of the Sun
  QString magnitude;        // "Magnitude"
  QString obscuration;      // "Obscuration"
  QString duration;         // "Duration"
  QString visibility;       // "Visibility"
  QString centralOverDeltaT;  // "Central phase" over DeltaT's range
  QString visibleFromHere;  // "Eclipses visible from here…"
  QString previousPlace;    // "Previous place": takes the last choice back
};
LocalCaptions LocalCaptionsIn(Language language);

// "32.78, -96.80" and the like: latitude and longitude as decimal degrees,
// signed or followed by N/S and E/W, apart by a comma, a semicolon or
// blanks. Nullopt unless the text is just that and both lie within their
// ranges (the place has no name and no time zone).
std::optional<ObserverPlace> ParseCoordinates(const QString& text);

}  // namespace darvelle::ui
