#include "render/border_file.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/data_files.h"
#include "io/whole_file.h"
#include "render/text_items.h"

namespace darvelle {
namespace {

// The intermediate-resolution file is under half a megabyte; the full
// resolution would be a few megabytes. Anything far beyond is not a border file.
constexpr std::uintmax_t kMaxBorderFileBytes = std::uintmax_t{128} * 1024 * 1024;

[[noreturn]] void FailAt(const std::filesystem::path& file, std::size_t lineNumber,
                         const std::string& cause) {
  throw FileError("Cannot read the border file \"" + file.string() + "\": line " +
                  std::to_string(lineNumber) + ": " + cause);
}

}  // namespace

std::vector<BorderLine> LoadBorders(const std::filesystem::path& fileName) {
  const std::string text = ReadWholeFile(fileName, kMaxBorderFileBytes, "the border file");
  const std::string_view all(text);
  std::vector<BorderLine> lines;
  BorderLine current;
  std::size_t total = 0;
  const auto finish = [&] {
    if (current.size() >= 2) lines.push_back(std::move(current));
    current.clear();
  };

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
    if (first.empty()) continue;
    if (first.front() == '>') {
      finish();
      continue;
    }
    const std::optional<double> longitude = ParseNumber(first);
    if (!longitude) FailAt(fileName, lineNumber, Shown(first) + " is not a number");
    const std::string_view second = NextItem(line, pos);
    if (second.empty()) {
      FailAt(fileName, lineNumber, "only one number; expected longitude and latitude");
    }
    const std::optional<double> latitude = ParseNumber(second);
    if (!latitude) FailAt(fileName, lineNumber, Shown(second) + " is not a number");
    if (std::fabs(*longitude) > 360.0) {
      FailAt(fileName, lineNumber,
             "longitude " + std::string(first) + " outside -360 .. 360 degrees");
    }
    if (std::fabs(*latitude) > 90.0) {
      FailAt(fileName, lineNumber, "latitude " + std::string(second) + " outside -90 .. 90 degrees");
    }
    if (++total > kMaxBorderPoints) {
      FailAt(fileName, lineNumber, "more than " + std::to_string(kMaxBorderPoints) + " points");
    }
    current.push_back({*longitude, *latitude});
  }
  finish();
  return lines;
}

}  // namespace darvelle
