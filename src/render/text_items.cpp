#include "render/text_items.h"

#include <charconv>
#include <cmath>

namespace darvelle {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view NextItem(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

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
  constexpr std::size_t kMaxShown = 40;
  if (item.size() > kMaxShown) return "\"" + std::string(item.substr(0, kMaxShown)) + "...\"";
  return "\"" + std::string(item) + "\"";
}

}  // namespace darvelle
