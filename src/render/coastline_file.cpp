#include "render/coastline_file.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <optional>
#include <string_view>

#include "catalogue/data_files.h"
#include "io/whole_file.h"
#include "render/text_items.h"

namespace darvelle {
namespace {

// Beyond these the points are not coordinates any more, and the drawing's
// conversion to whole arcseconds would overflow.
constexpr double kMaxAbsLongitudeDeg = 360.0;
constexpr double kMaxAbsLatitudeDeg = 90.0;

// 170,000 lines of a few dozen characters; anything near this is not a
// coastline file.
constexpr std::uintmax_t kMaxCoastlineFileBytes = std::uintmax_t{256} * 1024 * 1024;

// The file's usual "-12.3456": the same double as ParseNumber gives, since
// both the digits as a whole number and the power of ten are exact, and one
// division rounds correctly as the general parser does; in a fraction of its
// time. Anything else (a '+', an exponent, a bare point, many digits) is left
// to ParseNumber.
std::optional<double> ParseCoordinate(std::string_view item) {
  static constexpr double kPowersOfTen[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  std::size_t i = 0;
  const bool negative = !item.empty() && item[0] == '-';
  if (negative) ++i;
  std::int64_t digits = 0;
  std::size_t wholeDigits = 0;
  for (; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i, ++wholeDigits) {
    if (wholeDigits == 6) return ParseNumber(item);  // before the digits could overflow
    digits = digits * 10 + (item[i] - '0');
  }
  std::size_t fractionDigits = 0;
  if (i < item.size() && item[i] == '.') {
    for (++i; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i, ++fractionDigits) {
      if (fractionDigits == 8) return ParseNumber(item);
      digits = digits * 10 + (item[i] - '0');
    }
    if (fractionDigits == 0) return ParseNumber(item);
  }
  if (i != item.size() || wholeDigits == 0 || wholeDigits > 6 || fractionDigits > 8) {
    return ParseNumber(item);
  }
  const double value = static_cast<double>(digits) / kPowersOfTen[fractionDigits];
  return negative ? -value : value;
}

[[noreturn]] void FailAt(const std::filesystem::path& file, std::size_t lineNumber,
                         const std::string& cause) {
  throw FileError("Cannot read the coastline file \"" + file.string() + "\": line " +
                  std::to_string(lineNumber) + ": " + cause);
}

}  // namespace

std::vector<CoastlinePoint> LoadCoastlines(const std::filesystem::path& fileName) {
  const std::string text = ReadWholeFile(fileName, kMaxCoastlineFileBytes, "the coastline file");
  const std::string_view all(text);

  std::vector<CoastlinePoint> points;
  // Typical files are a little under the limit: one allocation, no copies.
  points.reserve(std::min<std::size_t>(kMaxCoastlinePoints, all.size() / 16 + 1));

  std::size_t lineNumber = 0;
  std::size_t lineStart = 0;
  while (lineStart < all.size()) {
    std::size_t lineEnd = all.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = all.size();
    const std::string_view line = all.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    ++lineNumber;

    std::size_t pos = 0;
    const std::string_view first = NextItem(line, pos);
    if (first.empty()) continue;  // blank line
    const std::optional<double> longitude = ParseCoordinate(first);
    if (!longitude) FailAt(fileName, lineNumber, Shown(first) + " is not a number");
    const std::string_view second = NextItem(line, pos);
    if (second.empty()) {
      FailAt(fileName, lineNumber, "only one number; expected longitude and latitude");
    }
    const std::optional<double> latitude = ParseCoordinate(second);
    if (!latitude) FailAt(fileName, lineNumber, Shown(second) + " is not a number");

    // Points on the prime meridian or the equator are dropped by design of the
    // file format, so generators shift such points instead.
    if (*longitude * *latitude == 0.0) continue;
    if (std::fabs(*longitude) > kMaxAbsLongitudeDeg) {
      FailAt(fileName, lineNumber,
             "longitude " + std::string(first) + " outside -360 .. 360 degrees");
    }
    if (std::fabs(*latitude) > kMaxAbsLatitudeDeg) {
      FailAt(fileName, lineNumber, "latitude " + std::string(second) + " outside -90 .. 90 degrees");
    }
    if (points.size() == kMaxCoastlinePoints) {
      FailAt(fileName, lineNumber, "more than " + std::to_string(kMaxCoastlinePoints) + " points");
    }
    points.push_back({*longitude, *latitude});
  }
  return points;
}

std::string CoastlineStatusText(std::size_t count) { return std::to_string(count) + " recs"; }

}  // namespace darvelle
