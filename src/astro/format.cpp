#include "astro/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace darvelle {
namespace {

struct LastField {
  int width;
  int decimals;
  std::int64_t scale;
};

constexpr LastField kLastFields[] = {{2, 0, 1}, {4, 1, 10}, {5, 2, 100}, {6, 3, 1000},
                                     {7, 4, 10000}};

// Degrees or hours beyond this are no angle or time of an eclipse; refusing
// them keeps the conversion to whole units of the last field within 64 bits.
constexpr double kMaxFormattedValue = 1e9;

// Throws std::domain_error for a value that is not a number or is absurdly
// large, rather than print a made-up one.
void CheckFormattable(double value) {
  if (!(std::fabs(value) <= kMaxFormattedValue)) {
    char text[80];
    std::snprintf(text, sizeof text, "cannot print %g as degrees or hours", value);
    throw std::domain_error(text);
  }
}

const LastField& LastFieldFor(int p) {
  if (p < 0 || p > 4) throw std::out_of_range("digit selector outside 0 .. 4");
  return kLastFields[p];
}

// Right-aligned fixed-point text. std::to_chars ignores the C locale, which a
// Qt program sets from the environment (a German locale would print ",").
std::string Fixed(double value, int width, int decimals) {
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void ZeroFillFrom(std::string& text, std::size_t first) {
  for (std::size_t i = first; i < text.size(); ++i) {
    if (text[i] == ' ') text[i] = '0';
  }
}

}  // namespace

std::string FormatSexagesimal(double value, int p) {
  const LastField& field = LastFieldFor(p);
  CheckFormattable(value);
  const char sign = value < 0.0 ? '-' : ' ';
  const auto total = static_cast<std::int64_t>(std::fabs(value) * 3600.0 * field.scale + 0.5);
  const std::int64_t perMinute = 60 * field.scale;
  const std::int64_t fraction = total % perMinute;
  const double seconds = static_cast<double>(fraction) / static_cast<double>(field.scale);
  const std::int64_t minutesInAll = (total - fraction) / perMinute;
  const std::int64_t mm = minutesInAll % 60;
  const std::int64_t dd = (minutesInAll - mm) / 60;

  std::string text = "    ";
  text += sign;
  if (dd < 10) text += '0';
  text += std::to_string(dd);
  text += ':';
  text.erase(0, text.size() - 5);  // sign and degrees right-aligned in 5 characters
  char minutes[8];
  std::snprintf(minutes, sizeof minutes, "%2d:", static_cast<int>(mm));
  text += minutes;
  text += Fixed(seconds, field.width, field.decimals);
  ZeroFillFrom(text, 2);
  return text;
}

std::string FormatDegreesMinutes(double value, int p) {
  const LastField& field = LastFieldFor(p);
  CheckFormattable(value);
  std::string text = value >= 0.0 ? "  " : " -";
  const double v = std::fabs(value) + 5.787037037037037e-06 / static_cast<double>(field.scale);
  const double ddd = std::trunc(v);
  text += Fixed(ddd, 3, 0);
  text += ':';
  text += Fixed((v - ddd) * 60.0, field.width, field.decimals);
  ZeroFillFrom(text, 3);
  return text;
}

std::string HexDigits(std::uint32_t value, int bytes) {
  if (bytes != 1 && bytes != 2 && bytes != 4) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string all(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) all[i] = kDigits[value & 0xF];
  return all.substr(8 - 2 * bytes);
}

std::string FixedText(double value, int decimals) {
  return Fixed(value, 0, decimals);
}

std::string FixedAngleText(double degrees, int decimals) {
  if (!std::isfinite(degrees)) return Fixed(degrees, 0, decimals);
  double reduced = std::fmod(degrees, 360.0);
  if (reduced < 0.0) reduced += 360.0;
  // A value just below 360 (or just below 0 before the shift) rounds up to
  // 360; the sum also turns -0 into 0, which would print as "-0.0".
  std::string text = Fixed(reduced + 0.0, 0, decimals);
  if (text.rfind("360", 0) == 0) text = Fixed(0.0, 0, decimals);
  return text;
}

std::string FixedField(double value, int width, int decimals) {
  return Fixed(value, width, decimals);
}

}  // namespace darvelle
