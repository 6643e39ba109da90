// The GIS export over a sample of the whole catalogue (every 5th record,
// -4999 .. 7000, and every hybrid): every area closed and simple, every
// central eclipse with both umbral limits given its path, with greatest
// eclipse and its central line inside it, and no line jumping across the map. Long: CTest label "sweep".

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <cmath>
#include <optional>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "../export/plane_checks.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "export/geojson_export.h"

namespace darvelle {
namespace {

using darvelle::testing::CrossingEdgePairs;
using darvelle::testing::InsideAny;
using darvelle::testing::Ring;

constexpr int kStride = 5;
// Below this the path's end is the umbra's outline on the horizon, which a
// vertex of the central line may touch.
constexpr double kLowestSunDeg = 0.5;
// Where a hybrid changes kind its limits cross as an X, and a drawn limit's
// point within its 0.25 km may lie on either branch: a path narrower than
// this is a sliver there.
constexpr double kNarrowestPathKm = 2.0;

Ring RingOf(const QJsonArray& positions) {
  Ring ring;
  for (const QJsonValue& p : positions) {
    ring.emplace_back(p.toArray()[0].toDouble(), p.toArray()[1].toDouble());
  }
  return ring;
}

std::vector<Ring> Rings(const QJsonObject& geometry, bool area) {
  std::vector<Ring> rings;
  const QJsonArray c = geometry["coordinates"].toArray();
  const QString type = geometry["type"].toString();
  if (type == "Polygon") rings.push_back(RingOf(c[0].toArray()));
  if (type == "MultiPolygon") {
    for (const QJsonValue& p : c) rings.push_back(RingOf(p.toArray()[0].toArray()));
  }
  if (!area && type == "LineString") rings.push_back(RingOf(c));
  if (!area && type == "MultiLineString") {
    for (const QJsonValue& p : c) rings.push_back(RingOf(p.toArray()));
  }
  return rings;
}

// What is wrong with one eclipse's GeoJSON ("" when nothing).
std::string CheckExport(const EclipseResult& c) {
  std::ostringstream problems;
  const QJsonObject collection =
      QJsonDocument::fromJson(GeoJsonForEclipse(c, kEnglish)).object();
  bool path = false;
  std::optional<std::pair<double, double>> greatest;
  std::vector<Ring> pathRings;
  // The path's width (km) at the central-line vertex nearest greatest eclipse.
  std::vector<std::pair<std::pair<double, double>, double>> widths;
  // Central-line vertices with the Sun up and a path that is no sliver.
  std::vector<std::pair<double, double>> centralVertices;
  for (const QJsonValue& value : collection["features"].toArray()) {
    const QJsonObject f = value.toObject();
    const QJsonObject p = f["properties"].toObject();
    const QJsonObject geometry = f["geometry"].toObject();
    if (p["event"].toString() == "TG0") {
      const QJsonArray xy = geometry["coordinates"].toArray();
      greatest = {xy[0].toDouble(), xy[1].toDouble()};
    }
    if (p["curve"].toString() == "central_line") {
      // The per-vertex values run on through the parts of a line cut at the antimeridian.
      Ring xy;
      for (const Ring& part : Rings(geometry, false)) xy.insert(xy.end(), part.begin(), part.end());
      const QJsonArray w = p["width_km"].toArray();
      const QJsonArray sun = p["sun_alt"].toArray();
      for (std::size_t k = 0; k < xy.size() && k < static_cast<std::size_t>(w.size()); ++k) {
        const double width = w[static_cast<qsizetype>(k)].toDouble();
        widths.push_back({xy[k], width});
        // A cut point lies on the path's own cut edge, neither inside nor out.
        const bool onCut = std::fabs(xy[k].first) == 180.0;
        if (width >= kNarrowestPathKm && sun[static_cast<qsizetype>(k)].toDouble() >= kLowestSunDeg && !onCut) {
          centralVertices.push_back(xy[k]);
        }
      }
    }
    // The zones and the umbra's timed outlines are areas: one round a pole is
    // closed along the pole's parallel, from +180 to -180.
    const bool outline = p["curve"].toString() == "umbra_outline";
    if (p.contains("curve") && !outline) {
      for (const Ring& part : Rings(geometry, false)) {
        for (std::size_t i = 1; i < part.size(); ++i) {
          if (std::fabs(part[i].first - part[i - 1].first) > 180.0) {
            problems << p["curve"].toString().toStdString() << " jumps; ";
          }
        }
      }
    }
    if (!p.contains("zone") && !outline) continue;
    const std::vector<Ring> rings = Rings(geometry, true);
    for (const Ring& ring : rings) {
      if (ring.size() < 4 || ring.front() != ring.back()) problems << "open ring; ";
    }
    if (CrossingEdgePairs(rings) != 0) {
      problems << (outline ? "umbra at " + p["time_ut"].toString().toStdString()
                           : p["zone"].toString().toStdString())
               << " crosses itself; ";
    }
    if (p["zone"].toString().startsWith("path_of")) {
      path = true;
      pathRings = rings;
    }
  }
  const bool central = c.curves.northUmbra.Ready() && c.curves.southUmbra.Ready() &&
                       c.curves.centralLine.Ready();
  if (central && !path) problems << "no path; ";
  // A hybrid whose width goes through zero at greatest eclipse has there a
  // sliver narrower than a kilometre that is not written as an area.
  double widthAtGreatest = 0;
  double nearest = 1e9;
  for (const auto& [xy, width] : widths) {
    const double d = std::hypot(xy.first - (greatest ? greatest->first : 0),
                                xy.second - (greatest ? greatest->second : 0));
    if (d < nearest) {
      nearest = d;
      widthAtGreatest = width;
    }
  }
  if (path && greatest && widthAtGreatest >= 1.0 &&
      !InsideAny(pathRings, greatest->first, greatest->second)) {
    problems << "greatest eclipse outside the path; ";
  }
  int outside = 0;
  for (const auto& [lon, lat] : centralVertices) outside += path && !InsideAny(pathRings, lon, lat);
  if (outside > 0) problems << outside << " central-line vertices outside the path; ";
  if (!centralVertices.empty() && !path) problems << "a central line without a path; ";
  return problems.str();
}

TEST(GisSweep, EveryFifthEclipseExportsValidAreasAndLines) {
  const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "catalogue not in data/";
  const Catalogue catalogue = LoadCatalogue(path);
  // Every fifth record and every hybrid, whose paths are built part by part.
  std::vector<int> sample;
  for (int index = 1; index <= catalogue.Count(); ++index) {
    if (index % kStride == 1 || catalogue.Record(index).EclipseType == kHybrid) sample.push_back(index);
  }
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::vector<std::string> failures;
  auto work = [&] {
    EclipseResult c;
    for (std::size_t k = next++; k < sample.size(); k = next++) {
      const int index = sample[k];
      c = ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1));
      if (const std::string problem = CheckExport(c); !problem.empty()) {
        std::lock_guard lock(mutex);
        failures.push_back(std::to_string(index) + ": " + problem);
      }
    }
  };
  std::thread other(work);
  work();
  other.join();
  std::sort(failures.begin(), failures.end());
  std::ostringstream list;
  for (std::size_t i = 0; i < failures.size() && i < 40; ++i) list << failures[i] << "\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " eclipses:\n" << list.str();
}

}  // namespace
}  // namespace darvelle
