#pragma once
// ISO 8601 text for instants and dates, through the program's calendar
// (Julian before 1582 October 15). Years before 1 are astronomical years with
// a minus sign ("-0584"), years after 9999 carry a plus sign.

#include <string>

namespace darvelle {

// "YYYY" with the sign rules above.
std::string IsoYear(int year);

// "YYYY-MM-DD".
std::string IsoDate(int year, int month, int day);

// "YYYY-MM-DDThh:mm:ss.s" of a Julian Day, rounded to 0.1 s; a time that
// rounds to 24:00:00.0 becomes 00:00:00.0 of the next day. No zone suffix.
std::string IsoDateTime(double julianDay);

// "YYYY-MM-DDThh:mm:ss.sssZ" of a Julian Day of UT, rounded to the
// millisecond, carried into the next day as above.
std::string IsoInstantUt(double julianDay);

}  // namespace darvelle
