#pragma once
// The border line file: GSHHG's national boundaries (WDBII) as GMT writes
// multi-segment text. A line beginning with ">" starts a polyline; every
// other line holds "longitude latitude" in degrees (east and north
// positive). Unlike the coastline points, the borders are drawn as lines, so
// the file keeps the pieces apart, and a point on the prime meridian or the
// equator is kept (borders cross both).

#include <cstddef>
#include <filesystem>
#include <vector>

#include "render/coastline_file.h"

namespace darvelle {

// The most points the program keeps; a file with more is refused.
inline constexpr std::size_t kMaxBorderPoints = 2000000;

using BorderLine = std::vector<CoastlinePoint>;

// Reads the file. Blank lines are skipped; points before the first ">" form
// a line of their own. Polylines of fewer than two points are dropped. A
// missing or unreadable file, a line whose first two items are not numbers,
// a coordinate outside -360 .. 360 (longitude) or -90 .. 90 (latitude), or
// more than kMaxBorderPoints points throws FileError naming the file, the
// line number and the cause.
std::vector<BorderLine> LoadBorders(const std::filesystem::path& fileName);

}  // namespace darvelle
