// darvelle-cli towns: every town that sees one eclipse.

#include <cctype>
#include <iostream>
#include <string>
#include <vector>

#include "astro/delta_t.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/local_commands.h"
#include "cli/selection_options.h"
#include "places/local_time.h"
#include "places/place_index.h"
#include "places/towns_on_path.h"

namespace darvelle::cli {
namespace {

constexpr const char* kTownsCsvHeader =
    "name,country,admin,lat,lon,population,time_zone,kind,duration_s,max_ut,max_local,magnitude,"
    "obscuration,sun_alt";

const char* KindName(LocalKind kind) {
  switch (kind) {
    case LocalKind::kPartial: return "partial";
    case LocalKind::kAnnular: return "annular";
    case LocalKind::kTotal: return "total";
    case LocalKind::kNone: break;
  }
  return "none";
}

// A CSV field, quoted when it holds a separator or a quote (town names do).
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) continue;
    out += c;
  }
  return out + "\"";
}

struct Row {
  std::vector<std::pair<const char*, std::string>> fields;  // name, text
  std::vector<bool> quoted;                                 // a string in JSON
};

Row RowOf(const places::Place& town, const LocalCircumstances& l, const BesselianElements& e,
          double deltaT) {
  std::string maxUt, maxLocal, sunAlt;
  if (l.Maximum) {
    const double jdUt = Instant::FromEpochHours(e.julianDay, l.Maximum->Time).JulianDayUT(deltaT);
    maxUt = IsoDateTime(jdUt) + "Z";
    const places::LocalTime local = places::LocalTimeAt(jdUt, town.TimeZone, town.LongitudeDeg);
    maxLocal = local.Text + (local.MeanTime ? "" : local.Offset);
    sunAlt = FixedText(l.Maximum->SunAltitudeDeg, 2);
  }
  Row row;
  row.fields = {{"name", town.Name},
                {"country", town.CountryCode},
                {"admin", town.AdminArea},
                {"lat", FixedText(town.LatitudeDeg, 5)},
                {"lon", FixedText(town.LongitudeDeg, 5)},
                // GeoNames gives 0 where it knows no count (seats of regions, mostly).
                {"population", town.Population > 0 ? std::to_string(town.Population) : ""},
                {"time_zone", town.TimeZone},
                {"kind", KindName(l.Kind)},
                {"duration_s", l.DurationS ? FixedText(*l.DurationS, 1) : ""},
                {"max_ut", maxUt},
                {"max_local", maxLocal},
                {"magnitude", FixedText(l.Magnitude, 4)},
                {"obscuration", FixedText(l.Obscuration, 4)},
                {"sun_alt", sunAlt}};
  row.quoted = {true, true, true, false, false, false, true, true, false, true, true, false, false, false};
  return row;
}

std::string TableLine(const Row& row) {
  // name, admin, country, duration, local time of maximum, magnitude, Sun's altitude
  const auto& f = row.fields;
  std::string name = f[0].second + (f[2].second.empty() ? "" : ", " + f[2].second) + ", " + f[1].second;
  if (name.size() < 44) name.resize(44, ' ');
  std::string duration = f[8].second.empty() ? "-" : f[8].second + " s";
  if (duration.size() < 9) duration.insert(0, 9 - duration.size(), ' ');
  return name + " " + duration + "  " + f[10].second + "  mag " + f[11].second + "  alt " + f[13].second + "\n";
}

}  // namespace

CommandHelp TownsHelp() {
  return {"towns", "",
    "Every town of the town list that sees one eclipse, longest duration first.",
    Joined({EclipseChoice(),
            {{"central", "", "only towns that see the total or annular phase with the Sun up"},
             {"min-magnitude", "M", "only towns whose greatest magnitude with the Sun up reaches M"},
             {"country", "CC", "only towns of that country (ISO 3166 code)"},
             {"limit", "N", "at most N towns (default all)"},
             {"sort", "duration|population|name", "the order (default duration)"},
             DeltaTOptionHelp(),
             {"csv", "", "print CSV", false, kOutputFormat},
             {"json", "", "print JSON", false, kOutputFormat},
             LanguageOptionHelp(), DataOptionHelp()}})};
}

int RunTowns(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, TownsHelp().options);
  if (args.Has("csv") && args.Has("json")) throw UsageError("give at most one of --csv, --json");
  const std::string language = args.Value("language").value_or("en");
  if (language != "de" && language != "en" && language != "fr") {
    throw UsageError("--language must be de, en or fr, not '" + language + "'");
  }
  const int chosen = args.Has("index") + args.Has("year") + args.Has("date");
  if (chosen != 1) throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  (void)args.Integer("index");
  (void)args.Integer("year");
  (void)args.Date("date");
  places::TownsFilter filter;
  filter.CentralOnly = args.Has("central");
  filter.MinMagnitude = args.Real("min-magnitude").value_or(0.0);
  if (!(filter.MinMagnitude >= 0.0 && filter.MinMagnitude <= 2.0)) {
    throw UsageError("--min-magnitude must be a number from 0 to 2");
  }
  if (const auto country = args.Value("country")) {
    if (country->size() != 2) throw UsageError("--country takes a two-letter code such as US");
    filter.CountryCode = {static_cast<char>(std::toupper(static_cast<unsigned char>((*country)[0]))),
                          static_cast<char>(std::toupper(static_cast<unsigned char>((*country)[1])))};
  }
  const long long limit = args.Integer("limit").value_or(0);
  if (limit < 0) throw UsageError("--limit must be 0 (no limit) or more");
  const std::string sort = args.Value("sort").value_or("duration");
  places::TownOrder order = places::TownOrder::kDuration;
  if (sort == "population") {
    order = places::TownOrder::kPopulation;
  } else if (sort == "name") {
    order = places::TownOrder::kName;
  } else if (sort != "duration") {
    throw UsageError("--sort must be duration, population or name, not '" + sort + "'");
  }

  const Catalogue catalogue = LoadCatalogueFor(args);
  const int index = args.Has("year") ? SelectedIndexFor(args, catalogue) : EclipseFor(args, catalogue);
  const places::PlaceIndex towns =
      places::PlaceIndex::Load(language, DataFolder(args));
  if (!towns.Note().empty()) std::cerr << "darvelle-cli: " << towns.Note() << "\n";
  const BesselianElements elements = CurrentElements(catalogue, index);
  const double deltaT = DeltaTOption(args).value_or(ComputeDeltaT(elements.year, elements.month));
  auto found = places::FindTownsOnPath(elements, deltaT, towns.Places(), filter);
  places::SortTowns(found, towns.Places(), order);
  if (limit > 0 && found.size() > static_cast<std::size_t>(limit)) found.resize(static_cast<std::size_t>(limit));

  std::string out;
  if (args.Has("csv")) out = std::string(kTownsCsvHeader) + "\n";
  if (args.Has("json")) out = "[";
  bool first = true;
  for (const places::TownOnPath& t : found) {
    const Row row = RowOf(towns.Places()[t.Town], t.Local, elements, deltaT);
    if (args.Has("csv")) {
      for (std::size_t i = 0; i < row.fields.size(); ++i) out += (i ? "," : "") + CsvField(row.fields[i].second);
      out += "\n";
    } else if (args.Has("json")) {
      out += first ? "{" : ",\n{";
      for (std::size_t i = 0; i < row.fields.size(); ++i) {
        const std::string& v = row.fields[i].second;
        out += (i ? ",\"" : "\"") + std::string(row.fields[i].first) + "\":" +
               (row.quoted[i] ? JsonString(v) : (v.empty() ? "null" : v));
      }
      out += "}";
    } else {
      out += TableLine(row);
    }
    first = false;
  }
  if (args.Has("json")) out += "]\n";
  if (!args.Has("csv") && !args.Has("json")) {
    out = "Eclipse #" + std::to_string(index) + ": " + std::to_string(found.size()) + " towns\n" + out;
  }
  std::cout << out;
  return kExitOk;
}

}  // namespace darvelle::cli
