// darvelle-cli shadow.

#include "cli/shadow_command.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "astro/delta_t.h"
#include "astro/iso_time.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/selection_options.h"
#include "export/shadow_geojson.h"
#include "geometry/shadow_at_instant.h"

namespace darvelle::cli {
namespace {

std::string Degrees(double value, char positive, char negative) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f %c", std::abs(value), value < 0.0 ? negative : positive);
  return text;
}

std::string PlaceText(const ShadowPoint& p) {
  return Degrees(p.LatitudeDeg, 'N', 'S') + "  " + Degrees(p.LongitudeDeg, 'E', 'W');
}

std::string CurvesText(const std::vector<ShadowCurve>& curves) {
  if (curves.empty()) return "not on the Earth";
  std::string text;
  for (const ShadowCurve& c : curves) {
    if (!text.empty()) text += "; ";
    text += (c.Closed ? "closed ring of " : "arc ending on the terminator, ") +
            std::to_string(c.Points.size()) + " points";
  }
  return text;
}

std::string JsonNumber(double value, int decimals) {
  char text[40];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string JsonPlace(const std::optional<ShadowPoint>& p) {
  if (!p) return "null";
  return R"({"lat":)" + JsonNumber(p->LatitudeDeg, 6) + R"(,"lon":)" +
         JsonNumber(p->LongitudeDeg, 6) + "}";
}

std::string JsonCurves(const std::vector<ShadowCurve>& curves) {
  std::string text = "[";
  for (std::size_t i = 0; i < curves.size(); ++i) {
    if (i > 0) text += ',';
    text += R"({"closed":)" + std::string(curves[i].Closed ? "true" : "false") +
            R"(,"points":)" + std::to_string(curves[i].Points.size()) + "}";
  }
  return text + "]";
}

struct Snapshot {
  int index = 0;
  EclipseDescription eclipse;
  double deltaT = 0;
  double julianDayUt = 0;
  ShadowAtInstant shadow;
};

std::string Text(const Snapshot& s) {
  const ShadowAtInstant& shadow = s.shadow;
  std::string out = "Eclipse " + std::to_string(s.index) + " of " +
                    IsoDate(s.eclipse.year, s.eclipse.month, s.eclipse.day) + " at " +
                    IsoInstantUt(s.julianDayUt) + " (DeltaT " + JsonNumber(s.deltaT, 1) +
                    " s)\n";
  if (!shadow.InEclipse) {
    out += "The shadow does not touch the Earth at this instant (before the first or after the "
           "last contact): nothing to show.\n";
  } else {
    out += std::string(shadow.Antumbra ? "Antumbra: " : "Umbra: ") + CurvesText(shadow.Umbra) + "\n";
    out += "Penumbra: " + CurvesText(shadow.Penumbra) + "\n";
    for (const MagnitudeLine& line : shadow.MagnitudeLines) {
      out += "Magnitude " + JsonNumber(line.Magnitude, 1) + ": " + CurvesText(line.Curves) + "\n";
    }
    out += "Shadow axis: " + (shadow.Axis ? PlaceText(*shadow.Axis) : "misses the Earth") + "\n";
  }
  if (shadow.SubSolar) out += "Sub-solar point: " + PlaceText(*shadow.SubSolar) + "\n";
  out += "Terminator: " + CurvesText({shadow.Terminator}) + "\n";
  return out;
}

std::string Json(const Snapshot& s) {
  const ShadowAtInstant& shadow = s.shadow;
  std::string magnitudes = "[";
  for (std::size_t i = 0; i < shadow.MagnitudeLines.size(); ++i) {
    if (i > 0) magnitudes += ',';
    magnitudes += R"({"magnitude":)" + JsonNumber(shadow.MagnitudeLines[i].Magnitude, 1) +
                  R"(,"curves":)" + JsonCurves(shadow.MagnitudeLines[i].Curves) + "}";
  }
  magnitudes += "]";
  return R"({"index":)" + std::to_string(s.index) + R"(,"date":")" +
         IsoDate(s.eclipse.year, s.eclipse.month, s.eclipse.day) + R"(","time_ut":")" +
         IsoInstantUt(s.julianDayUt) + R"(","delta_t":)" + JsonNumber(s.deltaT, 3) +
         R"(,"in_eclipse":)" + (shadow.InEclipse ? "true" : "false") + R"(,"umbra":{"kind":")" +
         (shadow.Antumbra ? "antumbra" : "umbra") + R"(","curves":)" + JsonCurves(shadow.Umbra) +
         R"(},"penumbra":)" + JsonCurves(shadow.Penumbra) + R"(,"magnitude":)" + magnitudes +
         R"(,"axis":)" + JsonPlace(shadow.Axis) + R"(,"subsolar":)" + JsonPlace(shadow.SubSolar) +
         R"(,"terminator":)" + JsonCurves({shadow.Terminator}) + "}\n";
}

}  // namespace

CommandHelp ShadowHelp() {
  return {"shadow", "",
    "Where the shadow lies at one instant of UT: the outlines of the umbra and the "
    "penumbra, the lines of magnitude 0.2 to 0.8, the shadow's axis, the sub-solar point and "
    "the terminator.",
    Joined({EclipseChoice(),
            {{"at", "YYYY-MM-DDThh:mm[:ss[.fff]][Z]", "the instant, UT", true}, DeltaTOptionHelp(), JsonOptionHelp(),
             {"geojson", "FILE", "write the shadow as GeoJSON"}, DataOptionHelp()}})};
}

int RunShadow(const std::vector<std::string>& args) {
  const Args parsed(args, ShadowHelp().options);
  // Every usage error before the catalogue is read.
  if (int{parsed.Has("index")} + int{parsed.Has("year")} + int{parsed.Has("date")} != 1) {
    throw UsageError("give exactly one of --index N, --year Y or --date YYYY-MM-DD");
  }
  parsed.Integer("index");
  parsed.Integer("year");
  parsed.Date("date");
  const auto at = parsed.InstantUt("at");
  if (!at) throw UsageError("give the instant as --at YYYY-MM-DDThh:mm:ssZ (UT)");

  const Catalogue catalogue = LoadCatalogueFor(parsed);
  Snapshot s;
  s.index = SelectedEclipseFor(parsed, catalogue);
  const BesselianElements elements = CurrentElements(catalogue, s.index);
  s.eclipse = elements;
  s.deltaT = DeltaTOption(parsed).value_or(ComputeDeltaT(elements.year, elements.month));
  s.julianDayUt = *at;
  s.shadow = ComputeShadowAt(elements, s.deltaT, ShadowTimeOfUt(elements, s.deltaT, *at));

  if (const auto file = parsed.Value("geojson")) {
    WriteShadowGeoJsonFile(*file, s.shadow, s.julianDayUt);
  }
  // With the GeoJSON on standard output the summary goes to stderr.
  const bool toStdout = parsed.Value("geojson") == "-" || parsed.Value("geojson") == "/dev/stdout";
  std::ostream& out = toStdout ? std::cerr : std::cout;
  out << (parsed.Has("json") ? Json(s) : Text(s));
  return kExitOk;
}

}  // namespace darvelle::cli
