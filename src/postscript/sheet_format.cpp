#include "postscript/sheet_format.h"

#include <array>
#include <charconv>
#include <cmath>

#include "astro/calendar.h"
#include "astro/format.h"
#include "astro/numeric.h"

namespace darvelle {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Tenths of a second per day.
constexpr double kTenthsPerDay = 864000.0;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

void ReplaceFirst(std::string& text, char from, std::string_view to) {
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, 1, to);
}

std::string TwoDigits(int n) {
  std::string text = std::to_string(n);
  if (n >= 0 && n < 10) text.insert(0, 1, '0');
  return text;
}

}  // namespace

std::string SheetDateText(double julianDay) {
  const CalendarInstant date = JulianDayToCalendar(julianDay);
  return std::to_string(date.year) + "-" + TwoDigits(date.month) + "-" + TwoDigits(date.day);
}

std::string SheetTimeOfDayText(double julianDay, int decimals) {
  return FormatSexagesimal(PositiveMod(24.0 * julianDay + 12.0, 24.0), decimals);
}

double RoundToTenthSecond(double julianDay) {
  return std::round(julianDay * kTenthsPerDay) / kTenthsPerDay;
}

std::string_view OrdinalSuffix(int n) {
  // n % 100 first: std::abs of the smallest int has no value.
  const int lastTwo = std::abs(n % 100);
  if (lastTwo == 11 || lastTwo == 12 || lastTwo == 13) return "th";
  switch (std::abs(n % 10)) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

std::string HoursColumnText(double hours) {
  std::string text = Trimmed(FormatSexagesimal(hours, 2));
  std::string out;
  for (const char ch : text) {
    if (ch == ':') {
      out += "  ";
    } else {
      out += ch;
    }
  }
  return out;
}

std::string DegreesColumnText(double degrees) {
  std::string text = Trimmed(FormatSexagesimal(degrees, 1));
  ReplaceFirst(text, ':', "\u00B0 ");
  ReplaceFirst(text, ':', "' ");
  text += '"';
  return text;
}

std::string CoefficientText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, 8);
  std::string text(buffer, result.ptr);
  for (char& ch : text) {
    if (ch == 'e') ch = 'E';
  }
  return text;
}

std::string_view EnglishMonthName(int month) {
  if (month < 1 || month > 12) return {};
  return kMonthNames[month - 1];
}

DateLine BuildDateLine(const SheetDate& first, const SheetDate& last, const SheetDate& greatest,
                       TimeScale timeScale) {
  const std::string year1 = std::to_string(first.year);
  const std::string month1(EnglishMonthName(first.month));
  const std::string dateFirst = year1 + " " + month1 + " " + std::to_string(first.day);

  DateLine line;
  auto markBold = [&line](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < line.mask.size(); ++i) line.mask[i] = '1';
  };

  if (first.year != last.year || first.month != last.month || first.day != last.day) {
    std::string second;
    if (first.year != last.year) {
      second = std::to_string(last.year) + " " + std::string(EnglishMonthName(last.month)) + " " +
               std::to_string(last.day);
    } else if (first.month != last.month) {
      second = std::string(EnglishMonthName(last.month)) + " " + std::to_string(last.day);
    } else {
      second = std::to_string(last.day);
    }
    line.text = dateFirst + " / " + second;
    line.mask.assign(line.text.size(), '0');
    const std::size_t slash = dateFirst.size() + 1;
    const auto before = [&] { markBold(0, slash); };
    const auto after = [&] { markBold(slash + 1, line.text.size()); };

    if (first.year != last.year) {
      if (greatest.year == first.year) before(); else after();
    } else if (first.month != last.month) {
      markBold(0, year1.size() + 1);
      if (greatest.month == first.month) before(); else after();
    } else if (greatest.day == first.day) {
      before();
    } else {
      after();
      markBold(0, year1.size() + 1 + month1.size() + 1);
    }
  } else {
    line.text = dateFirst;
    line.mask.assign(line.text.size(), '1');
  }
  line.text += timeScale == TimeScale::kUniversal ? "   " : " TT";
  line.mask += "111";
  return line;
}

std::string FromWindows1252(std::string_view bytes) {
  // Code points of 0x80 .. 0x9F; the unassigned ones become '?'.
  static constexpr char16_t kHigh[32] = {
      0x20AC, u'?', 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, u'?', 0x017D, u'?', u'?', 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, u'?', 0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size() + 8);
  for (const char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    char32_t cp = byte;
    if (byte >= 0x80 && byte < 0xA0) cp = kHigh[byte - 0x80];
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace darvelle
