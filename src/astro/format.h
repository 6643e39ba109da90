#pragma once
// Fixed-width text for times and angles, as every report, legend and sheet
// column prints them. Always "." as the decimal point, whatever the locale.

#include <cstdint>
#include <string>

namespace darvelle {

// Sign, degrees (or hours), minutes and seconds separated by colons; p (0 .. 4)
// decimals of the seconds. Example: FormatSexagesimal(5.0844, 0) == "  05:05:04".
// Hours are not reduced (23.999999 gives "  24:00:00"). p outside 0 .. 4 throws
// std::out_of_range; a value that is not a number or beyond +-1e9 throws
// std::domain_error (as FormatDegreesMinutes does).
std::string FormatSexagesimal(double value, int p);

// Sign, degrees and minutes with p decimals. Example:
// FormatDegreesMinutes(-5.25, 1) == " - 05:15.0".
std::string FormatDegreesMinutes(double value, int p);

// Last 2*bytes of the eight upper-case hex digits of value; empty unless bytes
// is 1, 2 or 4.
std::string HexDigits(std::uint32_t value, int bytes);

// Fixed-point text with the given decimals and "." as separator (no locale).
std::string FixedText(double value, int decimals);

// A direction in degrees (azimuth, position angle) as FixedText prints it,
// within [0, 360) as printed: reduced before rounding and wrapped after it,
// so 359.96 with one decimal reads "0.0", never "360.0". A value that is not
// a number prints as FixedText prints it.
std::string FixedAngleText(double degrees, int decimals);

// The same, right-aligned with blanks in `width` characters (0: no padding).
std::string FixedField(double value, int width, int decimals);

}  // namespace darvelle
