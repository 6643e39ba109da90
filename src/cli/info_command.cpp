// darvelle-cli info: one catalogue record as the program reads it, with the
// eclipse's circumstances and headline numbers.

#include <cmath>
#include <cstdio>
#include <optional>
#include <iostream>
#include <string>

#include "astro/constants.h"
#include "astro/delta_t.h"
#include "astro/format.h"
#include "astro/instant.h"
#include "catalogue/catalogue.h"
#include "cli/common_options.h"
#include "cli/commands.h"
#include "astro/iso_time.h"
#include "catalogue/besselian_elements.h"
#include "cli/selection_options.h"
#include "geometry/circumstances.h"
#include "geometry/eclipse_scratch.h"
#include "geometry/events.h"
#include "geometry/headline_numbers.h"

namespace darvelle::cli {
namespace {

struct NamedPolynomial {
  const char* name;
  Polynomial EclipseRecord::*field;
};

constexpr NamedPolynomial kPolynomials[] = {
    {"SunRA", &EclipseRecord::SunRAPoly},     {"SunDec", &EclipseRecord::SunDecPoly},
    {"SunDistance", &EclipseRecord::SunDistancePoly},
    {"MoonRA", &EclipseRecord::MoonRAPoly},   {"MoonDec", &EclipseRecord::MoonDecPoly},
    {"MoonDistance", &EclipseRecord::MoonDistancePoly},
    {"X", &EclipseRecord::XPoly},             {"Y", &EclipseRecord::YPoly},
    {"D", &EclipseRecord::DPoly},             {"Mu", &EclipseRecord::MuPoly},
    {"L1", &EclipseRecord::L1Poly},           {"L2", &EclipseRecord::L2Poly},
    {"TanF1", &EclipseRecord::TanF1Poly},     {"TanF2", &EclipseRecord::TanF2Poly},
};

const char* TypeWord(int type) {
  switch (type) {
    case kPartial: return "partial";
    case kTotal: return "total";
    case kAnnular: return "annular";
    case kHybrid: return "hybrid";
    case kNonCentralTotal: return "non-central total";
    case kNonCentralAnnular: return "non-central annular";
    default: return "unknown";
  }
}

std::string Scientific(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%+.15e", value);
  return buffer;
}

void PrintRecord(int index, int count, const EclipseRecord& r) {
  char date[64];
  std::snprintf(date, sizeof date, "%d-%02d-%02d", r.Year, r.Month, r.Day);
  std::cout << "Eclipse#       " << index << " of " << count << "\n"
            << "Date (TT)      " << date << "\n"
            << "EpochHour      " << r.EpochHour << "\n"
            << "JulianDay      " << FixedText(r.JulianDay, 6) << "\n"
            << "EclipseType    " << r.EclipseType << " (" << TypeWord(r.EclipseType) << ")\n"
            << "Gamma          " << FixedText(r.Gamma, 6) << "\n"
            << "Lunation       " << r.LunationNumber << "\n"
            << "Saros          " << r.SarosNumber << ", member " << r.SarosMember << " of "
            << r.SarosMemberCount << "\n"
            << "DeltaT         " << FixedText(ComputeDeltaT(r.Year, r.Month), 1) << " s\n";
  for (const auto& p : kPolynomials) {
    const Polynomial& poly = r.*p.field;
    char name[20];
    std::snprintf(name, sizeof name, "%-14s", p.name);
    std::cout << name << " " << Scientific(poly.c[0]) << " " << Scientific(poly.c[1]) << " "
              << Scientific(poly.c[2]) << " " << Scientific(poly.c[3]) << "\n";
  }
}

// Everything the texts print beyond the record.
struct InfoValues {
  int index = 0;
  int count = 0;
  BesselianElements elements;
  double modelDeltaT = 0;
  double deltaT = 0;
  Circumstances circumstances;
  HeadlineNumbers headline;
};

double JulianDayUtOf(const InfoValues& v, double t) {
  return Instant::FromEpochHours(v.elements.julianDay, t).JulianDayUT(v.deltaT);
}

std::string Json(double value, int decimals) {
  return std::isfinite(value) ? FixedText(value, decimals) : "null";
}

std::string OptionalJson(const std::optional<double>& value, int decimals) {
  return value ? Json(*value, decimals) : "null";
}

std::string Degrees(double radians) { return FixedText(radians * kRadToDeg, 4); }

std::string InfoJson(const InfoValues& v, const EclipseRecord& r) {
  std::string json = "{\"index\":" + std::to_string(v.index) + ",\"count\":" +
                     std::to_string(v.count) + ",\"date_tt\":\"" + IsoDate(r.Year, r.Month, r.Day) +
                     "\",\"epoch_hour\":" + std::to_string(r.EpochHour) + ",\"julian_day\":" +
                     FixedText(r.JulianDay, 6) + ",\"type\":\"" + TypeWord(r.EclipseType) +
                     "\",\"record_gamma\":" + FixedText(r.Gamma, 6) + ",\"lunation\":" +
                     std::to_string(r.LunationNumber) + ",\"saros\":" +
                     std::to_string(r.SarosNumber) + ",\"saros_member\":" +
                     std::to_string(r.SarosMember) + ",\"saros_members\":" +
                     std::to_string(r.SarosMemberCount) + ",\"delta_t_model_s\":" +
                     FixedText(v.modelDeltaT, 1) + ",\"delta_t_s\":" + FixedText(v.deltaT, 1);
  json += ",\"circumstances\":{\"greatest_ut\":\"" +
          IsoInstantUt(JulianDayUtOf(v, v.circumstances.timeGreatest)) + "\",\"events\":[";
  bool first = true;
  for (int i = 0; i < kEventCount; ++i) {
    const EclipseEvent& e = v.circumstances.events.entries[static_cast<std::size_t>(i)];
    if (!e.exists()) continue;
    std::string label(kEventLabels[static_cast<std::size_t>(i)]);
    while (!label.empty() && label.back() == ' ') label.pop_back();
    json += std::string(first ? "" : ",") + "{\"event\":\"" + label + "\",\"ut\":\"" +
            IsoInstantUt(JulianDayUtOf(v, *e.Time)) + "\",\"lat\":" + Degrees(e.Latitude) +
            ",\"lon\":" + Degrees(e.Longitude) + "}";
    first = false;
  }
  json += "]}";
  const HeadlineNumbers& h = v.headline;
  json += ",\"greatest_duration\":";
  if (const auto& g = h.greatestDuration) {
    json += "{\"lat\":" + FixedText(g->LatitudeDeg, 4) + ",\"lon\":" +
            FixedText(g->LongitudeDeg, 4) + ",\"ut\":\"" + IsoInstantUt(g->JulianDayUt) +
            "\",\"duration_s\":" + FixedText(g->DurationS, 1) + ",\"width_km\":" +
            OptionalJson(g->WidthKm, 1) + ",\"sun_alt\":" + FixedText(g->SunAltitudeDeg, 1) + "}";
  } else {
    json += "null";
  }
  json += ",\"width_km\":" + OptionalJson(h.widthKm, 1) + ",\"magnitude\":" +
          Json(h.magnitude, 4) + ",\"gamma\":" + Json(h.gamma, 4) + "}\n";
  return json;
}

void PrintHeadline(const InfoValues& v) {
  const HeadlineNumbers& h = v.headline;
  std::cout << "DeltaT used    " << FixedText(v.deltaT, 1) << " s\n"
            << "Greatest       " << IsoInstantUt(JulianDayUtOf(v, v.circumstances.timeGreatest))
            << "\n";
  if (const auto& g = h.greatestDuration) {
    std::cout << "LongestCentral " << FixedText(g->DurationS, 1) << " s at "
              << FixedText(g->LatitudeDeg, 4) << " " << FixedText(g->LongitudeDeg, 4) << "  "
              << IsoInstantUt(g->JulianDayUt) << "  Sun " << FixedText(g->SunAltitudeDeg, 1)
              << " deg  width " << (g->WidthKm ? FixedText(*g->WidthKm, 1) + " km" : "-") << "\n";
  }
  if (h.widthKm) std::cout << "PathWidth      " << FixedText(*h.widthKm, 1) << " km\n";
  std::cout << "Magnitude      " << FixedText(h.magnitude, 4) << "\n"
            << "GammaGreatest  " << FixedText(h.gamma, 4) << "\n";
}

}  // namespace

CommandHelp InfoHelp() {
  return {"info", "",
    "Prints a catalogue record, greatest eclipse, the point of greatest duration on the "
    "central line (duration, UT, the Sun's altitude, the path's width) and the path's width, "
    "the magnitude and gamma at greatest eclipse. Instants in UT with the DeltaT model, or "
    "with --delta-t SECONDS (0 gives TT).",
    Joined({EclipseChoice(), {DeltaTOptionHelp(), JsonOptionHelp(), DataOptionHelp()}})};
}

int RunInfo(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, InfoHelp().options);
  const int given = int{args.Has("index")} + int{args.Has("year")} + int{args.Has("date")};
  if (given != 1) throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  if (!args.Has("date")) CheckSelectionOptions(args);
  const std::optional<double> deltaTGiven = DeltaTOption(args);
  const Catalogue catalogue = LoadCatalogueFor(args);
  InfoValues v;
  v.index = SelectedEclipseFor(args, catalogue);
  v.count = catalogue.Count();
  const EclipseRecord record = MakeCurrentEclipse(catalogue, v.index);
  v.elements = CurrentElements(catalogue, v.index);
  v.modelDeltaT = ComputeDeltaT(record.Year, record.Month);
  v.deltaT = deltaTGiven.value_or(v.modelDeltaT);
  EclipseScratch scratch;
  v.circumstances = FindCircumstances(v.elements, v.deltaT, scratch);
  v.headline = ComputeHeadlineNumbers(v.elements, v.deltaT, v.circumstances);
  if (args.Has("json")) {
    std::cout << InfoJson(v, record);
  } else {
    PrintRecord(v.index, v.count, record);
    PrintHeadline(v);
  }
  return kExitOk;
}

}  // namespace darvelle::cli
