#include "render/coastline_file.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "catalogue/data_files.h"

namespace darvelle {
namespace {

// Beyond these the points are not coordinates any more, and the drawing's
// conversion to whole arcseconds would overflow.
constexpr double kMaxAbsLongitudeDeg = 360.0;
constexpr double kMaxAbsLatitudeDeg = 90.0;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

class CoastlineFileError {
 public:
  explicit CoastlineFileError(const std::filesystem::path& file) : file_(file) {}
  [[noreturn]] void Fail(const std::string& cause) const {
    throw FileError("Cannot read the coastline file \"" + file_.string() + "\": " + cause);
  }
  [[noreturn]] void FailAt(std::size_t lineNumber, const std::string& cause) const {
    Fail("line " + std::to_string(lineNumber) + ": " + cause);
  }

 private:
  const std::filesystem::path& file_;
};

std::string ReadWholeFile(const std::filesystem::path& file, const CoastlineFileError& error) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) error.Fail(std::strerror(errno));
  if (std::fseek(in.get(), 0, SEEK_END) != 0) error.Fail(std::strerror(errno));
  const long size = std::ftell(in.get());
  if (size < 0) error.Fail(std::strerror(errno));
  std::rewind(in.get());
  std::string text(static_cast<std::size_t>(size), '\0');
  if (std::fread(text.data(), 1, text.size(), in.get()) != text.size()) {
    error.Fail(std::ferror(in.get()) ? std::strerror(errno) : "the file ended early");
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The next blank-separated item of `line` from `pos` on (empty at the end of
// the line); `pos` moves past it.
std::string_view NextItem(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

// A finite decimal number filling the whole item (an optional sign, digits
// with an optional point, an optional exponent); the point is the decimal
// separator whatever the locale.
std::optional<double> ParseNumber(std::string_view item) {
  if (!item.empty() && item.front() == '+') item.remove_prefix(1);
  if (item.empty() || item.front() == '+') return std::nullopt;
  double value = 0.0;
  const char* end = item.data() + item.size();
  const auto [ptr, ec] = std::from_chars(item.data(), end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Shown(std::string_view item) {
  constexpr std::size_t kMaxShown = 40;  // keeps the message one readable line
  if (item.size() > kMaxShown) return "\"" + std::string(item.substr(0, kMaxShown)) + "...\"";
  return "\"" + std::string(item) + "\"";
}

}  // namespace

std::vector<CoastlinePoint> LoadCoastlines(const std::filesystem::path& fileName) {
  const CoastlineFileError error(fileName);
  const std::string text = ReadWholeFile(fileName, error);
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
    const std::optional<double> longitude = ParseNumber(first);
    if (!longitude) error.FailAt(lineNumber, Shown(first) + " is not a number");
    const std::string_view second = NextItem(line, pos);
    if (second.empty()) {
      error.FailAt(lineNumber, "only one number; expected longitude and latitude");
    }
    const std::optional<double> latitude = ParseNumber(second);
    if (!latitude) error.FailAt(lineNumber, Shown(second) + " is not a number");

    // Points on the prime meridian or the equator are dropped by design of the
    // file format, so generators shift such points instead.
    if (*longitude * *latitude == 0.0) continue;
    if (std::fabs(*longitude) > kMaxAbsLongitudeDeg || std::fabs(*latitude) > kMaxAbsLatitudeDeg) {
      error.FailAt(lineNumber, "longitude " + std::string(first) + " or latitude " +
                                   std::string(second) + " outside -360 .. 360 / -90 .. 90 degrees");
    }
    if (points.size() == kMaxCoastlinePoints) {
      error.FailAt(lineNumber, "more than " + std::to_string(kMaxCoastlinePoints) + " points");
    }
    points.push_back({*longitude, *latitude});
  }
  return points;
}

std::string CoastlineStatusText(std::size_t count) { return std::to_string(count) + " recs"; }

}  // namespace darvelle
