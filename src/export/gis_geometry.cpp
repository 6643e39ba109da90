#include "export/gis_geometry.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "export/gis_longitudes.h"

namespace darvelle {

using gis_detail::Lerp;
using gis_detail::SamePlace;

namespace {

GeoVertex InterpolatedVertex(const GeoVertex& a, const GeoVertex& b, double f) {
  GeoVertex v;
  v.LatitudeDeg = Lerp(a.LatitudeDeg, b.LatitudeDeg, f);
  v.JulianDayTT = Lerp(a.JulianDayTT, b.JulianDayTT, f);
  v.DurationSeconds = Lerp(a.DurationSeconds, b.DurationSeconds, f);
  v.WidthKm = Lerp(a.WidthKm, b.WidthKm, f);
  v.SunAltitudeDeg = Lerp(a.SunAltitudeDeg, b.SunAltitudeDeg, f);
  return v;
}

void AppendUnlessRepeated(GeoLine& part, const GeoVertex& v) {
  if (part.empty() || !SamePlace(part.back(), v)) part.push_back(v);
}

}  // namespace

double RoundCoordinate(double degrees) {
  const double rounded = std::round(degrees / kCoordinateStep) * kCoordinateStep;
  return rounded == 0.0 ? 0.0 : rounded;  // no "-0" in the files
}

void AppendCoordinateText(std::string& out, double degrees) {
  std::array<char, 32> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    RoundCoordinate(degrees), std::chars_format::fixed, 6);
  // Trailing zeros (and a bare point) say nothing.
  const char* end = result.ptr;
  while (end[-1] == '0') --end;
  if (end[-1] == '.') --end;
  out.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

std::vector<GeoLine> SplitAtAntimeridian(const GeoLine& line) {
  std::vector<GeoLine> parts;
  GeoLine current;
  const GeoVertex* previous = nullptr;
  for (const GeoVertex& v : line) {
    if (!std::isfinite(v.LongitudeDeg) || !std::isfinite(v.LatitudeDeg)) continue;
    if (previous != nullptr && std::fabs(v.LongitudeDeg - previous->LongitudeDeg) > 180.0) {
      // Eastward over +180 when the longitude drops, westward over -180 when it rises.
      const double edge = v.LongitudeDeg < previous->LongitudeDeg ? 180.0 : -180.0;
      const double unwrapped = v.LongitudeDeg + 2.0 * edge;
      const double f = (edge - previous->LongitudeDeg) / (unwrapped - previous->LongitudeDeg);
      GeoVertex cut = InterpolatedVertex(*previous, v, f);
      cut.LongitudeDeg = edge;
      AppendUnlessRepeated(current, cut);
      if (current.size() >= 2) parts.push_back(std::move(current));
      current.clear();
      cut.LongitudeDeg = -edge;
      current.push_back(cut);
    }
    AppendUnlessRepeated(current, v);
    previous = &v;
  }
  if (current.size() >= 2) parts.push_back(std::move(current));
  return parts;
}

namespace {

// The geometries are written as text straight from the coordinates: they
// are nearly all of the file, and a JSON value per number would cost several
// times the rest of the export.
void AppendPosition(std::string& out, const GeoPoint& p) {
  out += '[';
  AppendCoordinateText(out, p.LongitudeDeg);
  out += ',';
  AppendCoordinateText(out, p.LatitudeDeg);
  out += ']';
}

template <typename Points>
void AppendPositions(std::string& out, const Points& points) {
  out += '[';
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out += ',';
    AppendPosition(out, points[i]);
  }
  out += ']';
}

}  // namespace

std::string GeoJsonLineGeometry(const std::vector<GeoLine>& parts) {
  std::string out;
  if (parts.size() == 1) {
    out = R"({"type":"LineString","coordinates":)";
    AppendPositions(out, parts.front());
  } else {
    out = R"({"type":"MultiLineString","coordinates":[)";
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (i > 0) out += ',';
      AppendPositions(out, parts[i]);
    }
    out += ']';
  }
  return out + '}';
}

std::string GeoJsonAreaGeometry(const std::vector<GeoRing>& polygons) {
  std::string out;
  if (polygons.size() == 1) {
    out = R"({"type":"Polygon","coordinates":[)";
    AppendPositions(out, polygons.front());
    out += ']';
  } else {
    out = R"({"type":"MultiPolygon","coordinates":[)";
    for (std::size_t i = 0; i < polygons.size(); ++i) {
      if (i > 0) out += ',';
      out += '[';
      AppendPositions(out, polygons[i]);
      out += ']';
    }
    out += ']';
  }
  return out + '}';
}

std::string GeoJsonPointGeometry(const GeoPoint& p) {
  std::string out = R"({"type":"Point","coordinates":)";
  AppendPosition(out, p);
  return out + '}';
}

}  // namespace darvelle
