#include "export/gis_texts.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "catalogue/eclipse_texts.h"

namespace darvelle {
namespace {

// German, English, French (UTF-8).
using Names = std::array<std::string_view, 3>;

std::string_view Pick(const Names& names, Language language) {
  return names[LanguageIndex(language)];
}

struct CurveText {
  std::string_view id;
  Names names;
};

// In MapCurve order.
constexpr std::array<CurveText, kMapCurveCount> kCurveTexts = {{
    {"northern_penumbral_limit",
     {"Nördliche Grenze des Halbschattens", "Northern limit of the penumbra",
      "Limite nord de la pénombre"}},
    {"northern_umbral_limit",
     {"Nördliche Grenze des Kernschattens", "Northern limit of the umbra",
      "Limite nord de l'ombre"}},
    {"southern_umbral_limit",
     {"Südliche Grenze des Kernschattens", "Southern limit of the umbra",
      "Limite sud de l'ombre"}},
    {"central_line", {"Zentrallinie", "Central line", "Ligne centrale"}},
    {"southern_penumbral_limit",
     {"Südliche Grenze des Halbschattens", "Southern limit of the penumbra",
      "Limite sud de la pénombre"}},
    {"rise_set_curve_1",
     {"Beginn oder Ende bei Sonnenauf- oder -untergang",
      "Eclipse begins or ends at sunrise or sunset",
      "Début ou fin au lever ou au coucher du Soleil"}},
    {"rise_set_curve_2",
     {"Beginn oder Ende bei Sonnenauf- oder -untergang",
      "Eclipse begins or ends at sunrise or sunset",
      "Début ou fin au lever ou au coucher du Soleil"}},
    {"rise_set_curve_3",
     {"Beginn oder Ende bei Sonnenaufgang", "Eclipse begins or ends at sunrise",
      "Début ou fin au lever du Soleil"}},
    {"rise_set_curve_4",
     {"Beginn oder Ende bei Sonnenaufgang", "Eclipse begins or ends at sunrise",
      "Début ou fin au lever du Soleil"}},
    {"rise_set_curve_5",
     {"Beginn oder Ende bei Sonnenuntergang", "Eclipse begins or ends at sunset",
      "Début ou fin au coucher du Soleil"}},
    {"rise_set_curve_6",
     {"Beginn oder Ende bei Sonnenuntergang", "Eclipse begins or ends at sunset",
      "Début ou fin au coucher du Soleil"}},
    {"max_on_horizon_south",
     {"Maximum am Horizont, südliche Grenze", "Maximum eclipse on the horizon, southern limit",
      "Maximum à l'horizon, limite sud"}},
    {"max_on_horizon_north",
     {"Maximum am Horizont, nördliche Grenze", "Maximum eclipse on the horizon, northern limit",
      "Maximum à l'horizon, limite nord"}},
    {"max_at_sunrise",
     {"Maximum bei Sonnenaufgang", "Maximum eclipse at sunrise", "Maximum au lever du Soleil"}},
    {"max_at_sunset",
     {"Maximum bei Sonnenuntergang", "Maximum eclipse at sunset", "Maximum au coucher du Soleil"}},
}};

// In EventId (table) order.
constexpr std::array<Names, kEventCount> kEventNames = {{
    {"Erster Kontakt des Halbschattens mit der Erde", "First contact of the penumbra with the Earth",
     "Premier contact de la pénombre avec la Terre"},
    {"Halbschatten ganz auf der Erde: Beginn", "Complete partial eclipse begins",
     "Pénombre entière sur la Terre : début"},
    {"Halbschatten ganz auf der Erde: Ende", "Complete partial eclipse ends",
     "Pénombre entière sur la Terre : fin"},
    {"Letzter Kontakt des Halbschattens mit der Erde", "Last contact of the penumbra with the Earth",
     "Dernier contact de la pénombre avec la Terre"},
    {"Erster Extrempunkt der nördlichen Halbschattengrenze",
     "First extreme point on the northern penumbral limit",
     "Premier point extrême de la limite nord de la pénombre"},
    {"Letzter Extrempunkt der nördlichen Halbschattengrenze",
     "Last extreme point on the northern penumbral limit",
     "Dernier point extrême de la limite nord de la pénombre"},
    {"Erster Extrempunkt der südlichen Halbschattengrenze",
     "First extreme point on the southern penumbral limit",
     "Premier point extrême de la limite sud de la pénombre"},
    {"Letzter Extrempunkt der südlichen Halbschattengrenze",
     "Last extreme point on the southern penumbral limit",
     "Dernier point extrême de la limite sud de la pénombre"},
    {"Beginn der Kernschattenfinsternis", "Umbral eclipse begins",
     "Début de l'éclipse par l'ombre"},
    {"Kernschatten ganz auf der Erde: Beginn", "Complete umbral eclipse begins",
     "Ombre entière sur la Terre : début"},
    {"Kernschatten ganz auf der Erde: Ende", "Complete umbral eclipse ends",
     "Ombre entière sur la Terre : fin"},
    {"Ende der Kernschattenfinsternis", "Umbral eclipse ends", "Fin de l'éclipse par l'ombre"},
    {"Erster Extrempunkt der nördlichen Kernschattengrenze",
     "First extreme point on the northern umbral limit",
     "Premier point extrême de la limite nord de l'ombre"},
    {"Letzter Extrempunkt der nördlichen Kernschattengrenze",
     "Last extreme point on the northern umbral limit",
     "Dernier point extrême de la limite nord de l'ombre"},
    {"Erster Extrempunkt der südlichen Kernschattengrenze",
     "First extreme point on the southern umbral limit",
     "Premier point extrême de la limite sud de l'ombre"},
    {"Letzter Extrempunkt der südlichen Kernschattengrenze",
     "Last extreme point on the southern umbral limit",
     "Dernier point extrême de la limite sud de l'ombre"},
    {"Beginn der zentralen Finsternis", "Central eclipse begins", "Début de l'éclipse centrale"},
    {"Ende der zentralen Finsternis", "Central eclipse ends", "Fin de l'éclipse centrale"},
    {"Größte Finsternis", "Greatest eclipse", "Maximum de l'éclipse"},
}};

constexpr std::array<std::string_view, kEventCount> kEventCodes = {
    "TP1", "TP2", "TP3", "TP4", "TPN1", "TPN2", "TPS1", "TPS2", "TU1", "TU2",
    "TU3", "TU4", "TUN1", "TUN2", "TUS1", "TUS2", "TC1", "TC2", "TG0"};

std::size_t EventIndex(EventId id) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= kEventCount) throw std::invalid_argument("unknown event");
  return static_cast<std::size_t>(i);
}

// Civil date of a day count from 1970-01-01 in the proleptic Gregorian
// calendar (the era arithmetic of H. Hinnant's days_from_civil inverse),
// valid for any day count of the catalogue's span.
void CivilFromDays(long long z, long long& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long dayOfEra = z - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::string_view CurveId(MapCurve curve) {
  return kCurveTexts.at(static_cast<std::size_t>(curve)).id;
}

std::string CurveName(MapCurve curve, Language language) {
  std::string name(Pick(kCurveTexts.at(static_cast<std::size_t>(curve)).names, language));
  // The two branches of one rise/set loop share a name; the number tells them apart.
  const int riseSet = static_cast<int>(curve) - static_cast<int>(MapCurve::RiseSetCurve1);
  if (riseSet >= 0 && riseSet < 6) name += " (" + std::to_string(riseSet + 1) + ")";
  return name;
}

std::string_view EventCode(EventId id) { return kEventCodes[EventIndex(id)]; }

std::string_view EventName(EventId id, Language language) {
  return Pick(kEventNames[EventIndex(id)], language);
}

std::string_view GreatestDurationName(Language language) {
  if (language == kGerman) return "Größte Dauer der zentralen Phase";
  if (language == kFrench) return "Durée maximale de la phase centrale";
  return "Greatest duration of the central phase";
}

std::string_view ZoneId(ZoneKind kind) {
  switch (kind) {
    case ZoneKind::Totality: return "path_of_totality";
    case ZoneKind::Annularity: return "path_of_annularity";
    case ZoneKind::Hybrid: return "path_of_hybrid_eclipse";
    case ZoneKind::Partial: return "partial_zone";
  }
  return "zone";
}

std::string_view ZoneName(ZoneKind kind, Language language) {
  switch (kind) {
    case ZoneKind::Totality:
      return Pick({"Zone der Totalität", "Path of totality", "Bande de totalité"}, language);
    case ZoneKind::Annularity:
      return Pick({"Zone der ringförmigen Finsternis", "Path of annularity", "Bande d'annularité"},
                  language);
    case ZoneKind::Hybrid:
      return Pick({"Zone der hybriden Finsternis", "Path of the hybrid eclipse",
                   "Bande de l'éclipse hybride"},
                  language);
    case ZoneKind::Partial:
      return Pick({"Zone der partiellen Finsternis", "Zone of the partial eclipse",
                   "Zone de l'éclipse partielle"},
                  language);
  }
  return {};
}

GisGroup GroupOf(MapCurve curve) {
  switch (curve) {
    case MapCurve::NorthPenumbraLimit:
    case MapCurve::NorthUmbraLimit:
    case MapCurve::SouthUmbraLimit:
    case MapCurve::SouthPenumbraLimit: return GisGroup::Limits;
    case MapCurve::CentralLine: return GisGroup::CentralLine;
    default: return GisGroup::HorizonCurves;
  }
}

std::string_view GroupName(GisGroup group, Language language) {
  switch (group) {
    case GisGroup::Zones: return Pick({"Zonen", "Zones", "Zones"}, language);
    case GisGroup::Limits: return Pick({"Grenzen", "Limits", "Limites"}, language);
    case GisGroup::CentralLine:
      return Pick({"Zentrallinie", "Central line", "Ligne centrale"}, language);
    case GisGroup::HorizonCurves:
      return Pick({"Horizontkurven", "Horizon curves", "Courbes de l'horizon"}, language);
    case GisGroup::Events: return Pick({"Ereignisse", "Events", "Événements"}, language);
  }
  return {};
}

std::string_view CentralKindId(CentralKind centralKind) {
  switch (centralKind) {
    case CentralKind::Total: return "total";
    case CentralKind::Annular: return "annular";
    case CentralKind::None: break;
  }
  return "partial";
}

std::string_view EclipseTypeId(EclipseKind kind) {
  switch (kind) {
    case EclipseKind::Partial: return "partial";
    case EclipseKind::Total: return "total";
    case EclipseKind::Annular: return "annular";
    case EclipseKind::Hybrid: return "hybrid";
    case EclipseKind::NonCentralTotal: return "non_central_total";
    case EclipseKind::NonCentralAnnular: return "non_central_annular";
  }
  // A damaged record keeps the code it carries.
  return "unknown";
}

std::string IsoDate(const EclipseDescription& eclipse) {
  char text[32];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", eclipse.year, eclipse.month, eclipse.day);
  return text;
}

std::string IsoInstant(double julianDay) {
  if (!std::isfinite(julianDay) || std::fabs(julianDay) > 1e9) return {};
  // Days counted from midnight; the millisecond rounded before the date is
  // taken, so 23:59:59.9997 carries into the next day. Milliseconds because
  // the shadow moves 0.5 to several km a second: a whole second would put a
  // vertex's instant up to tens of kilometres from the vertex near the ends
  // of a path. A Julian Day in a double holds about 0.05 ms.
  constexpr long long kMsPerDay = 86400000;
  const double fromMidnight = julianDay + 0.5;
  long long days = static_cast<long long>(std::floor(fromMidnight));
  long long ms = std::llround((fromMidnight - static_cast<double>(days)) * 86400000.0);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++days;
  }
  long long year = 0;
  int month = 0, day = 0;
  CivilFromDays(days - 2440588, year, month, day);  // JDN 2440588 is 1970-01-01
  const long long seconds = ms / 1000;
  char text[96];
  std::snprintf(text, sizeof text, "%s%04lld-%02d-%02dT%02lld:%02lld:%02lld.%03lldZ",
                year < 0 ? "-" : (year > 9999 ? "+" : ""), year < 0 ? -year : year, month, day,
                seconds / 3600, seconds / 60 % 60, seconds % 60, ms % 1000);
  return text;
}

}  // namespace darvelle
