#pragma once
// Lines and rings on the Earth for GIS files: longitude east positive and
// geodetic latitude in degrees, longitudes in [-180, 180]. GIS programs draw
// an edge straight in longitude and latitude, so a curve or area crossing the
// antimeridian is cut there into parts that each stay on one side, and an
// area around a pole is closed along the pole's parallel.

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace darvelle {

struct GeoPoint {
  double LongitudeDeg = 0;  // east positive
  double LatitudeDeg = 0;
};

// A vertex of a curve with the values some curves carry per point; the
// values are interpolated with the position where a curve is cut, NaN where
// the curve has none.
struct GeoVertex : GeoPoint {
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  double JulianDayTT = kNone;
  double DurationSeconds = kNone;  // of the central phase
  double WidthKm = kNone;          // of the path
  double SunAltitudeDeg = kNone;
};

using GeoLine = std::vector<GeoVertex>;
// A closed ring: the last point repeats the first.
using GeoRing = std::vector<GeoPoint>;

// Coordinates are written to 6 decimals of a degree (0.11 m at most).
inline constexpr double kCoordinateStep = 1e-6;
double RoundCoordinate(double degrees);
// The rounded coordinate as the files write it: "-96.8", "32.780001", "0".
void AppendCoordinateText(std::string& out, double degrees);

// The parts of a line between its crossings of the antimeridian: a segment
// whose ends lie more than 180 degrees of longitude apart is taken the short
// way round and cut at +-180 with an interpolated vertex on each side.
// Vertices that are not numbers are left out; parts of fewer than two
// vertices are dropped.
std::vector<GeoLine> SplitAtAntimeridian(const GeoLine& line);

// The polygons (exterior rings, closed, counter-clockwise, coordinates
// rounded, no repeated consecutive point) that cover the area bounded by
// `ring` (open or closed) once it is cut at the antimeridian. A ring that
// winds once around the Earth encloses a pole: the one on the side of
// `inside`, a point known to lie in the area. Returns nothing for a ring of
// fewer than three distinct points or one the cut cannot pair up.
std::vector<GeoRing> PolygonsOnMap(const std::vector<GeoPoint>& ring, const GeoPoint& inside);

// Twice the signed area of a ring in the longitude/latitude plane (positive
// counter-clockwise), square degrees.
double SignedAreaTwice(const GeoRing& ring);

// GeoJSON geometry objects as text, coordinates rounded as above: a
// LineString (MultiLineString for several parts), a Polygon (MultiPolygon
// for several), a Point.
std::string GeoJsonLineGeometry(const std::vector<GeoLine>& parts);
std::string GeoJsonAreaGeometry(const std::vector<GeoRing>& polygons);
std::string GeoJsonPointGeometry(const GeoPoint& p);

}  // namespace darvelle
