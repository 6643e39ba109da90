#pragma once
// A small GNU-style option reader for darvelle-cli: "--name value",
// "--name=value" and bare flags. Unknown options and missing values are usage
// errors (exit status 2).

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How every number the tool reads is written: one optional '+' or '-', then
// the digits (a real number may have a fraction and an exponent); no blank
// anywhere, since a stray blank usually means a value was split or joined by
// mistake. Nothing when the text is not such a number or does not fit.
std::optional<long long> WholeNumberOf(std::string_view text);
// The same for real numbers; infinities and NaN are no number here.
std::optional<double> RealNumberOf(std::string_view text);

// A day of the program's calendar: astronomical years (0 is 1 BC), Julian
// until 1582 October 4, Gregorian from October 15.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

class Args {
 public:
  // Parses args against the options a command accepts: valued options take a
  // value, flags take none. Throws UsageError on anything else.
  Args(const std::vector<std::string>& args, const std::set<std::string>& valued,
       const std::set<std::string>& flags);
  // The same against a command's table: options with a value name take a value.
  Args(const std::vector<std::string>& args, const std::vector<OptionHelp>& options);

  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
  // The option's value as a whole number; UsageError when it is not one.
  std::optional<long long> Integer(const std::string& name) const;
  // The option's value as a real number; UsageError when it is not one.
  std::optional<double> Real(const std::string& name) const;
  // The option's value as YYYY-MM-DD (the year signed like a number, month
  // and day two digits); UsageError when it is not written so or names no
  // day of the calendar.
  std::optional<CalendarDate> Date(const std::string& name) const;
  // The option's value as an instant of UT, YYYY-MM-DDThh:mm[:ss[.fff]] with
  // an optional Z (the date as Date reads it), as a Julian Day; UsageError
  // when it is not written so or names no day of the calendar.
  std::optional<double> InstantUt(const std::string& name) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
};

// Prints "darvelle-cli[ COMMAND]: MESSAGE" on stderr with the message's
// control bytes escaped: messages quote what the user typed or what a file
// held, and such bytes could drive the terminal.
void PrintError(std::string_view command, std::string_view message);

}  // namespace darvelle::cli
