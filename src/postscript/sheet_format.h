#pragma once
// Texts of the map sheet: dates, times of day, angles and coefficients as the
// sheet prints them. Pure functions; "." is always the decimal point.

#include <string>
#include <string_view>

#include "astro/instant.h"

namespace darvelle {

// "2024-04-08" for the calendar date of a Julian Day; the year unpadded
// (it may be negative), month and day with two digits.
std::string SheetDateText(double julianDay);

// Time of day of a Julian Day, PositiveMod(24 J + 12, 24) hours, as
// FormatSexagesimal with that many decimals (leading blanks kept).
std::string SheetTimeOfDayText(double julianDay, int decimals);

// The Julian Day rounded to the nearest tenth of a second, so that an event
// 0.04 s before midnight is dated on the next day.
double RoundToTenthSecond(double julianDay);

// "st", "nd", "rd" or "th" after a member number (11, 12, 13 take "th").
std::string_view OrdinalSuffix(int n);

// Right ascension or its rate (hours): sexagesimal with two decimals, trimmed,
// every ":" replaced by two blanks ("18  18  29.52").
std::string HoursColumnText(double hours);

// Declination, its rate, parallax or semidiameter (degrees): sexagesimal with
// one decimal, trimmed, as -07° 35' 19.4" (UTF-8 degree sign).
std::string DegreesColumnText(double degrees);

// Polynomial coefficient as 2.46305312E+00 (nine significant digits).
std::string CoefficientText(double value);

// English month name, 1 .. 12 ("" outside).
std::string_view EnglishMonthName(int month);

// The date line of page 1: the text and, per character, '1' for bold and '0'
// for regular. The instants are calendar dates (year, month, day) of the
// first contact, the last contact and greatest eclipse.
struct SheetDate {
  int year = 0, month = 0, day = 0;
};
struct DateLine {
  std::string text;
  std::string mask;
};
DateLine BuildDateLine(const SheetDate& first, const SheetDate& last, const SheetDate& greatest,
                       TimeScale timeScale);

// Windows-1252 bytes (as the event texts hold them) to UTF-8.
std::string FromWindows1252(std::string_view bytes);

}  // namespace darvelle
