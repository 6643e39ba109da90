#include "reports/computation_files.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "geometry/headline_numbers.h"
#include "io/file_set.h"
#include "reports/report_files.h"
#include "reports/report_text.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

// Writes one file into the eclipse's set and notes its name for
// WriteComputationFiles.
class FileWriter {
 public:
  FileWriter(const fs::path& folder, DeferredSync* deferred) : folder_(folder), set_(deferred) {}
  void Write(std::string_view name, std::string_view text) {
    set_.Write(folder_ / name, text);
    written_.emplace_back(name);
  }
  // A curve that does not exist for this eclipse has no file.
  void Curve(const EclipseResult& c, const PointCurve& curve, std::string_view name,
             bool corrected) {
    if (curve.Ready()) Write(name, PointFileText(curve, c.deltaT, corrected));
  }
  const fs::path& Folder() const { return folder_; }
  const std::vector<std::string>& Written() const { return written_; }
  FileSet& Set() { return set_; }

 private:
  fs::path folder_;
  FileSet set_;
  std::vector<std::string> written_;
};

void Reports(const EclipseResult& c, FileWriter& out) {
  const EclipseReports reports = MakeReports(c);
  out.Write(kReportGermanFileName, reports.german);
  out.Write(kReportEnglishFileName, reports.english);
  out.Write(kCornerPointsFileName, CornerPointsText(c.circumstances.events, c.elements, c.deltaT));
}

void RiseSet(const EclipseResult& c, FileWriter& out) {
  for (int number = 1; number <= 6; ++number) {
    out.Curve(c, c.curves.RiseSet(number), RiseSetFileName(number), true);
  }
}

void Umbra(const EclipseResult& c, FileWriter& out) {
  out.Curve(c, c.curves.northUmbra, kNorthUmbraFileName, true);
  if (c.curves.centralLine.Ready()) {
    out.Write(kCentralLineFileName, CentralLineFileText(c.curves.centralLine, c.elements, c.deltaT));
  }
  out.Curve(c, c.curves.southUmbra, kSouthUmbraFileName, true);
}

void Horizon(const EclipseResult& c, FileWriter& out) {
  out.Curve(c, c.curves.maxHorizonSouth, kMaxHorizonSouthFileName, true);
  out.Curve(c, c.curves.maxHorizonNorth, kMaxHorizonNorthFileName, true);
  out.Curve(c, c.curves.maxSunrise, kMaxSunriseFileName, true);
  out.Curve(c, c.curves.maxSunset, kMaxSunsetFileName, true);
}

void Penumbra(const EclipseResult& c, FileWriter& out) {
  // The penumbral limit files carry ephemeris longitudes.
  out.Curve(c, c.curves.northPenumbra, kNorthPenumbraFileName, false);
  out.Curve(c, c.curves.southPenumbra, kSouthPenumbraFileName, false);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Removes the files of the program's names in the writer's folder that this
// computation did not write: a curve file of another eclipse left there would
// pass for one of this eclipse.
void RemoveOthers(const fs::path& folder, const std::vector<std::string>& written) {
  std::vector<std::string_view> names(kComputationFileNames.begin(), kComputationFileNames.end());
  names.push_back(kSummaryFileName);
  for (const std::string_view name : names) {
    const fs::path file = folder / name;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) continue;
    // Another spelling of a file just written is that file where the file
    // system ignores case, and a left-over where it does not.
    const bool ours = std::any_of(written.begin(), written.end(), [&](const std::string& w) {
      if (w == name) return true;
      std::error_code same;
      return SameIgnoringCase(w, name) && fs::equivalent(folder / w, file, same);
    });
    if (!ours) fs::remove(file, ec);
  }
}

std::string Number(double value, int decimals) {
  return std::isfinite(value) ? FixedText(value, decimals) : "null";
}

}  // namespace

std::string SummaryJson(const EclipseResult& c) {
  const HeadlineNumbers h = ComputeHeadlineNumbers(c.elements, c.deltaT, c.circumstances);
  // The instants in UT whatever the scale shown, as the GIS files give them.
  const auto ut = [&](double t) {
    return "\"" + IsoInstantUt(Instant::FromEpochHours(c.elements.julianDay, t).JulianDayUT(c.modelDeltaT)) + "\"";
  };
  std::string json = "{\"index\":" + std::to_string(c.selectedIndex) + ",\"date_tt\":\"" +
                     IsoDate(c.elements.year, c.elements.month, c.elements.day) +
                     "\",\"time_scale\":\"" + (c.timeScale == TimeScale::kUniversal ? "UT" : "TT") +
                     "\",\"delta_t_s\":" + Number(c.deltaT, 1) + ",\"delta_t_model_s\":" +
                     Number(c.modelDeltaT, 1) + ",\"greatest_ut\":" +
                     ut(c.circumstances.timeGreatest) + ",\"greatest_duration\":";
  if (const auto& g = h.greatestDuration) {
    json += "{\"lat\":" + Number(g->LatitudeDeg, 4) + ",\"lon\":" + Number(g->LongitudeDeg, 4) +
            ",\"ut\":" + ut(g->Time) + ",\"duration_s\":" + Number(g->DurationS, 1) +
            ",\"width_km\":" + (g->WidthKm ? Number(*g->WidthKm, 1) : "null") +
            ",\"sun_alt\":" + Number(g->SunAltitudeDeg, 1) + "}";
  } else {
    json += "null";
  }
  json += ",\"width_km\":" + (h.widthKm ? Number(*h.widthKm, 1) : "null") +
          ",\"magnitude\":" + Number(h.magnitude, 4) + ",\"gamma\":" + Number(h.gamma, 4) +
          "}\n";
  return json;
}

void WriteComputationFiles(const EclipseResult& c, const fs::path& folder,
                           DeferredSync* deferred, bool summary) {
  FileWriter out(folder, deferred);
  Reports(c, out);
  if (summary) out.Write(kSummaryFileName, SummaryJson(c));
  RiseSet(c, out);
  Umbra(c, out);
  Horizon(c, out);
  Penumbra(c, out);
  // Only once the whole new set has replaced the earlier one, so that a
  // failure anywhere before leaves the earlier files as they were.
  out.Set().ThenRun([folder = out.Folder(), written = out.Written()] { RemoveOthers(folder, written); });
  out.Set().Commit();
}

}  // namespace darvelle
