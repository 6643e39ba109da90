#include "export/shadow_geojson.h"

#include <cstdio>

#include "astro/iso_time.h"
#include "darvelle/version.h"
#include "export/gis_geometry.h"
#include "io/atomic_file.h"

namespace darvelle {
namespace {

GeoPoint ToGeo(const ShadowPoint& p) { return GeoPoint{p.LongitudeDeg, p.LatitudeDeg}; }

std::vector<GeoLine> LineParts(const ShadowCurve& curve) {
  GeoLine line;
  line.reserve(curve.Points.size());
  for (const ShadowPoint& p : curve.Points) {
    GeoVertex v;
    v.LongitudeDeg = p.LongitudeDeg;
    v.LatitudeDeg = p.LatitudeDeg;
    line.push_back(v);
  }
  return SplitAtAntimeridian(line);
}

class FeatureList {
 public:
  explicit FeatureList(double julianDayUt) : time_(IsoInstantUt(julianDayUt)) {}

  void Add(const std::string& geometry, const char* layer, const std::string& more = {}) {
    if (geometry.empty()) return;
    out_ += count_++ == 0 ? "\n" : ",\n";
    out_ += R"({"type":"Feature","geometry":)" + geometry + R"(,"properties":{"shadow":")" +
            layer + R"(","time_ut":")" + time_ + '"' + more + "}}";
  }

  // An outline: its area where it closes on the day side, else the line.
  void AddOutline(const ShadowCurve& curve, const char* layer, const ShadowPoint& inside,
                  const std::string& more = {}) {
    if (curve.Closed) {
      std::vector<GeoPoint> ring;
      for (const ShadowPoint& p : curve.Points) ring.push_back(ToGeo(p));
      const auto polygons = PolygonsOnMap(ring, ToGeo(inside));
      if (!polygons.empty()) {
        Add(GeoJsonAreaGeometry(polygons), layer, more);
        return;
      }
    }
    AddLine(curve, layer, more);
  }

  void AddLine(const ShadowCurve& curve, const char* layer, const std::string& more = {}) {
    const auto parts = LineParts(curve);
    if (!parts.empty()) Add(GeoJsonLineGeometry(parts), layer, more);
  }

  std::string Text() const {
    return R"({"type":"FeatureCollection","generator":")" + std::string(kGeneratorName) +
           R"(","features":[)" + out_ + "\n]}\n";
  }

 private:
  std::string time_;
  std::string out_;
  int count_ = 0;
};

}  // namespace

std::string ShadowGeoJson(const ShadowAtInstant& shadow, double julianDayUt) {
  FeatureList features(julianDayUt);
  // A closed outline lies wholly on the day side, around the axis.
  const ShadowPoint inside = shadow.Axis.value_or(ShadowPoint{});
  const std::string kind =
      std::string(R"(,"kind":")") + (shadow.Antumbra ? "antumbra" : "umbra") + '"';
  for (const ShadowCurve& c : shadow.Umbra) features.AddOutline(c, "umbra", inside, kind);
  for (const ShadowCurve& c : shadow.Penumbra) features.AddOutline(c, "penumbra", inside);
  for (const MagnitudeLine& line : shadow.MagnitudeLines) {
    char magnitude[32];
    std::snprintf(magnitude, sizeof magnitude, R"(,"magnitude":%.1f)", line.Magnitude);
    for (const ShadowCurve& c : line.Curves) features.AddLine(c, "magnitude", magnitude);
  }
  if (shadow.Axis) features.Add(GeoJsonPointGeometry(ToGeo(*shadow.Axis)), "axis");
  if (shadow.SubSolar) features.Add(GeoJsonPointGeometry(ToGeo(*shadow.SubSolar)), "subsolar");
  features.AddLine(shadow.Terminator, "terminator");
  return features.Text();
}

void WriteShadowGeoJsonFile(const std::filesystem::path& file, const ShadowAtInstant& shadow,
                            double julianDayUt) {
  if (!file.has_filename()) {
    throw FileError("Cannot write \"" + file.string() + "\": the name is a folder");
  }
  WriteFileAtomically(file, ShadowGeoJson(shadow, julianDayUt));
}

}  // namespace darvelle
