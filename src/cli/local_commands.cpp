// darvelle-cli local / visible / places.

#include "cli/local_commands.h"

#include <QByteArray>
#include <QTimeZone>

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "astro/delta_t.h"
#include "astro/format.h"
#include "astro/iso_time.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/eclipse_texts.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/local_output.h"
#include "cli/selection_options.h"
#include "geometry/delta_t_range.h"
#include "geometry/local_circumstances.h"
#include "geometry/visible_eclipses.h"
#include "places/place_index.h"
#include "places/places.h"

namespace darvelle::cli {
namespace {

constexpr int kFirstCatalogueYear = -4999;
constexpr int kLastCatalogueYear = 7000;

Language LanguageOf(const Args& args) {
  const std::string text = args.Value("language").value_or("en");
  if (text == "de") return kGerman;
  if (text == "en") return kEnglish;
  if (text == "fr") return kFrench;
  throw UsageError("--language must be de, en or fr, not '" + text + "'");
}

// The observer of --lat/--lon/--height or --place, with the place's label and
// zone when it came from the search.
struct ChosenPlace {
  Observer observer;
  std::optional<std::string> label;
  std::optional<std::string> timeZone;
};

std::vector<places::Place> SearchPlaceIndex(const Args& args, const std::string& query,
                                            std::size_t limit) {
  const places::PlaceIndex index =
      places::PlaceIndex::Load(args.Value("language").value_or("en"), DataFolder(args));
  if (!index.Note().empty()) std::cerr << "darvelle-cli: " << index.Note() << "\n";
  return index.Search(query, limit);
}

void CheckPlaceOptions(const Args& args) {
  const bool coordinates = args.Has("lat") || args.Has("lon");
  if (coordinates == args.Has("place")) {
    throw UsageError("give either --lat DEG --lon DEG [--height M] or --place NAME");
  }
  if (coordinates && !(args.Has("lat") && args.Has("lon"))) {
    throw UsageError("--lat and --lon go together");
  }
  if (args.Has("place") && args.Has("height")) {
    throw UsageError("--height goes with --lat and --lon");
  }
  if (args.Has("place") && args.Has("tz")) {
    throw UsageError("--tz goes with --lat and --lon (a place found by name has its own zone)");
  }
  if (const auto zone = args.Value("tz")) {
    if (!QTimeZone::isTimeZoneIdAvailable(QByteArray::fromStdString(*zone))) {
      throw UsageError("--tz needs a time zone of the IANA database (such as Europe/Berlin), not '" +
                       *zone + "'");
    }
  }
}

ChosenPlace PlaceFor(const Args& args, bool announce) {
  ChosenPlace chosen;
  if (const auto name = args.Value("place")) {
    const auto found = SearchPlaceIndex(args, *name, 1);
    if (found.empty()) throw std::runtime_error("no place found for '" + *name + "'");
    const places::Place& place = found.front();
    chosen.observer = {place.LatitudeDeg, place.LongitudeDeg, 0.0};
    chosen.label = place.Label();
    if (!place.TimeZone.empty()) chosen.timeZone = place.TimeZone;
    if (announce) std::cerr << "darvelle-cli: place: " << place.Label() << "\n";
    return chosen;
  }
  chosen.observer = {*args.Real("lat"), *args.Real("lon"), args.Real("height").value_or(0.0)};
  chosen.timeZone = args.Value("tz");
  if (const char* problem = ObserverProblem(chosen.observer)) throw UsageError(problem);
  return chosen;
}

}  // namespace

int EclipseFor(const Args& args, const Catalogue& catalogue) {
  if (args.Has("index") == args.Has("date")) {
    throw UsageError("give exactly one of --index N or --date YYYY-MM-DD");
  }
  if (const auto index = args.Integer("index")) {
    if (*index < 1 || *index > catalogue.Count()) {
      throw UsageError("--index must lie in 1 .. " + std::to_string(catalogue.Count()));
    }
    return static_cast<int>(*index);
  }
  return IndexOfDate(catalogue, *args.Date("date"));
}

namespace {

LocalReport ReportFor(const Catalogue& catalogue, int index, const ChosenPlace& place,
                      const LocalCircumstances* computed = nullptr,
                      std::optional<double> deltaT = std::nullopt) {
  LocalReport report;
  report.Index = index;
  report.Elements = CurrentElements(catalogue, index);
  report.DeltaT = deltaT.value_or(ComputeDeltaT(report.Elements.year, report.Elements.month));
  report.Place = place.observer;
  report.PlaceLabel = place.label;
  report.TimeZone = place.timeZone;
  report.Local = computed ? *computed
                          : ComputeLocalCircumstances(report.Elements, report.DeltaT, place.observer);
  return report;
}

LocalKindFilter KindFilterOf(const Args& args) {
  const auto text = args.Value("kind");
  if (!text) return LocalKindFilter::kAny;
  if (*text == "partial") return LocalKindFilter::kPartial;
  if (*text == "annular") return LocalKindFilter::kAnnular;
  if (*text == "total") return LocalKindFilter::kTotal;
  if (*text == "central") return LocalKindFilter::kCentral;
  throw UsageError("--kind must be partial, annular, total or central, not '" + *text + "'");
}

VisibleEclipseFilter FilterOf(const Args& args) {
  VisibleEclipseFilter filter;
  const long long from = args.Integer("from").value_or(kFirstCatalogueYear);
  const long long to = args.Integer("to").value_or(kLastCatalogueYear);
  if (from < kFirstCatalogueYear || to > kLastCatalogueYear || from > to) {
    throw UsageError("--from and --to must lie in " + std::to_string(kFirstCatalogueYear) +
                     " .. " + std::to_string(kLastCatalogueYear) + " with --from <= --to");
  }
  filter.FromYear = static_cast<int>(from);
  filter.ToYear = static_cast<int>(to);
  filter.MinMagnitude = args.Real("min-magnitude").value_or(0.0);
  if (!(filter.MinMagnitude >= 0.0 && filter.MinMagnitude <= 2.0)) {
    throw UsageError("--min-magnitude must be a number from 0 to 2");
  }
  filter.Kind = KindFilterOf(args);
  return filter;
}

void ApplyPlaceLanguage(const Args& args) {
  if (args.Has("place")) {
    places::UsePlaceLanguage(args.Value("language").value_or("en"));
  }
}

}  // namespace

std::string LocalText(const std::vector<std::string>& rawArgs, const Catalogue* catalogue) {
  const Args args(rawArgs, LocalHelp().options);
  CheckPlaceOptions(args);
  const Language language = LanguageOf(args);
  if (args.Has("index") == args.Has("date")) {
    throw UsageError("give exactly one of --index N or --date YYYY-MM-DD");
  }
  // A mistyped index or date is a usage error even before the catalogue is read.
  (void)args.Integer("index");
  (void)args.Date("date");
  ApplyPlaceLanguage(args);
  const ChosenPlace place = PlaceFor(args, catalogue == nullptr);
  std::optional<Catalogue> loaded;
  if (catalogue == nullptr) catalogue = &loaded.emplace(LoadCatalogueFor(args));
  const std::optional<double> deltaT = DeltaTOption(args);
  LocalReport report = ReportFor(*catalogue, EclipseFor(args, *catalogue), place, nullptr, deltaT);
  // The band is the model's uncertainty around the DeltaT in force, the
  // user's included: a value from a record is no better known than that.
  report.BandRange = DeltaTBandOf(report.Elements, report.DeltaT);
  if (report.BandRange) {
    report.Band = CentralPhaseOverDeltaT(report.Elements, place.observer, *report.BandRange);
  }
  return args.Has("json") ? LocalJson(report) + "\n" : LocalTable(report, language);
}

CommandHelp LocalHelp() {
  return {"local", "",
    "What one place sees of one eclipse: the contacts, the maximum, the Sun's altitude and "
    "azimuth, magnitude, obscuration, the duration of totality or annularity and the "
    "visibility (and, before 1600 and after 2100, over DeltaT +- 2 sigma).",
    Joined({EclipseChoice(false), PlaceChoice(), {DeltaTOptionHelp(), LanguageOptionHelp(), JsonOptionHelp(), DataOptionHelp()}})};
}

int RunLocal(const std::vector<std::string>& rawArgs) {
  std::cout << LocalText(rawArgs);
  return kExitOk;
}

CommandHelp VisibleHelp() {
  return {"visible", "",
    "Every eclipse of the catalogue a place sees, as it sees it with the Sun up.",
    Joined({PlaceChoice(),
            {{"from", "YEAR", "the first year (default the catalogue's first, -4999)"},
             {"to", "YEAR", "the last year (default the catalogue's last, 7000)"},
             {"min-magnitude", "X", "only eclipses whose magnitude seen reaches X, 0 .. 2"},
             {"kind", "partial|annular|total|central",
              "only eclipses seen so (central: total or annular there)"},
             DeltaTOptionHelp(),
             {"csv", "", "print CSV", false, kOutputFormat},
             {"json", "", "print JSON", false, kOutputFormat},
             LanguageOptionHelp(), DataOptionHelp()}})};
}

int RunVisible(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, VisibleHelp().options);
  CheckPlaceOptions(args);
  if (args.Has("csv") && args.Has("json")) throw UsageError("give at most one of --csv, --json");
  const Language language = LanguageOf(args);
  VisibleEclipseFilter filter = FilterOf(args);
  filter.DeltaT = DeltaTOption(args);
  ApplyPlaceLanguage(args);
  const ChosenPlace place = PlaceFor(args, true);
  const Catalogue catalogue = LoadCatalogueFor(args);
  const auto seen = FindVisibleEclipses(catalogue, place.observer, filter);
  std::string out;
  if (args.Has("csv")) {
    out = std::string(kVisibleCsvHeader) + "\n";
  } else if (args.Has("json")) {
    out = "[";
  } else {
    out = VisibleTableHeader(language);
  }
  bool first = true;
  for (const VisibleEclipse& v : seen) {
    const LocalReport report = ReportFor(catalogue, v.Index, place, &v.Local, v.DeltaT);
    if (args.Has("csv")) {
      out += VisibleCsvRow(report) + "\n";
    } else if (args.Has("json")) {
      out += (first ? "" : ",\n") + LocalJson(report);
    } else {
      out += VisibleTableRow(report, language);
    }
    first = false;
  }
  if (args.Has("json")) out += "]\n";
  std::cout << out;
  return kExitOk;
}

CommandHelp PlacesHelp() {
  return {"places", "QUERY", "Searches the town list for QUERY (\"Paris, Texas\", \"München\").",
    {{"limit", "N", "at most N places (default 50)"}, LanguageOptionHelp(), DataOptionHelp()}};
}

int RunPlaces(const std::vector<std::string>& rawArgs) {
  if (rawArgs.empty() || rawArgs.front().rfind("--", 0) == 0) {
    throw UsageError("give the name to search for: places QUERY [--language de|en|fr]");
  }
  const std::vector<std::string> rest(rawArgs.begin() + 1, rawArgs.end());
  const Args args(rest, PlacesHelp().options);
  LanguageOf(args);
  const long long limit = args.Integer("limit").value_or(50);
  if (limit < 1) throw UsageError("--limit must be at least 1");
  const auto found = SearchPlaceIndex(args, rawArgs.front(), static_cast<std::size_t>(limit));
  if (found.empty()) throw std::runtime_error("no place found for '" + rawArgs.front() + "'");
  for (const places::Place& p : found) {
    std::cout << p.Name << "\t" << p.AdminArea << "\t" << p.Country << "\t"
              << FixedText(p.LatitudeDeg, 4) << "\t" << FixedText(p.LongitudeDeg, 4) << "\t"
              << p.TimeZone << "\t" << p.Population << "\n";
  }
  return kExitOk;
}

}  // namespace darvelle::cli
