#pragma once
// The coastline point file: one "longitude latitude" pair a line, in degrees
// (east and north positive), read once at start-up. The points are drawn as
// single pixels, so the file carries no polyline structure the program uses.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace darvelle {

// The most points the program keeps; a file with more is refused.
inline constexpr std::size_t kMaxCoastlinePoints = 170000;

struct CoastlinePoint {
  double longitude = 0.0;  // degrees, east positive, as read
  double latitude = 0.0;   // degrees, north positive, as read
};

// Reads the file. Each line holds two numbers separated by blanks or tabs;
// anything after the second number is ignored. A pair whose product is 0 (a
// point exactly on the prime meridian or the equator) is not stored; blank
// lines are skipped. A missing or unreadable file, a line whose first or
// second item is not a number, a line with a single number, a coordinate
// outside -360 .. 360 (longitude) or -90 .. 90 (latitude), or more than
// kMaxCoastlinePoints points throws FileError naming the file, the line number
// and the cause. The points come back in file order (point k of the 1-based
// numbering is element k - 1).
std::vector<CoastlinePoint> LoadCoastlines(const std::filesystem::path& fileName);

// Status-bar text for the number of points read: "165648 recs".
std::string CoastlineStatusText(std::size_t count);

}  // namespace darvelle
