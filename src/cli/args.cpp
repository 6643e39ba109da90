#include "cli/args.h"

#include <charconv>
#include <cmath>
#include <iostream>

#include "astro/calendar.h"
#include "io/file_error.h"

namespace darvelle::cli {
namespace {

// The text after an optional '+': std::from_chars takes a '-' but no '+'.
// Nothing for a second sign ("+-5") or for nothing after the '+'.
std::optional<std::string_view> WithoutPlus(std::string_view text) {
  if (text.empty() || text.front() != '+') return text;
  text.remove_prefix(1);
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  return text;
}

template <typename Number>
std::optional<Number> WholeText(std::string_view text) {
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Exactly two decimal digits, as month and day are written.
std::optional<int> TwoDigits(std::string_view text) {
  if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
    return std::nullopt;
  }
  return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

std::optional<long long> WholeNumberOf(std::string_view text) {
  const auto digits = WithoutPlus(text);
  if (!digits) return std::nullopt;
  return WholeText<long long>(*digits);
}

std::optional<double> RealNumberOf(std::string_view text) {
  const auto digits = WithoutPlus(text);
  if (!digits) return std::nullopt;
  double value = 0.0;
  const char* const last = digits->data() + digits->size();
  const auto [end, ec] = std::from_chars(digits->data(), last, value);
  if (ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

namespace {

std::set<std::string> NamesOf(const std::vector<OptionHelp>& options, bool valued) {
  std::set<std::string> names;
  for (const OptionHelp& option : options) {
    if (option.value.empty() != valued) names.insert(option.name);
  }
  return names;
}

}  // namespace

Args::Args(const std::vector<std::string>& args, const std::vector<OptionHelp>& options)
    : Args(args, NamesOf(options, true), NamesOf(options, false)) {}

Args::Args(const std::vector<std::string>& args, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "'");
    std::string name = arg.substr(2);
    std::optional<std::string> inlineValue;
    if (auto eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    if (valued.count(name)) {
      if (inlineValue) {
        values_[name] = *inlineValue;
      } else if (i + 1 < args.size()) {
        values_[name] = args[++i];
      } else {
        throw UsageError("option '--" + name + "' needs a value");
      }
    } else if (flags.count(name) && !inlineValue) {
      flags_.insert(name);
    } else {
      throw UsageError("unknown option '" + arg + "'");
    }
  }
}

bool Args::Has(const std::string& name) const {
  return flags_.count(name) > 0 || values_.count(name) > 0;
}

std::optional<std::string> Args::Value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<long long> Args::Integer(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  const auto value = WholeNumberOf(*text);
  if (!value) {
    throw UsageError("option '--" + name + "' needs a whole number, not '" + *text + "'");
  }
  return value;
}

std::optional<double> Args::Real(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  const auto value = RealNumberOf(*text);
  if (!value) throw UsageError("option '--" + name + "' needs a number, not '" + *text + "'");
  return value;
}

namespace {

// YYYY-MM-DD as Date reads it. The year may carry a sign of its own, so the
// separators are found from the end: "-0584-05-28" is year -584.
std::optional<CalendarDate> DateOf(std::string_view all) {
  if (all.size() >= 7 && all[all.size() - 3] == '-' && all[all.size() - 6] == '-') {
    const auto sign = WithoutPlus(all.substr(0, all.size() - 6));
    const auto year = sign ? WholeText<int>(*sign) : std::nullopt;
    const auto month = TwoDigits(all.substr(all.size() - 5, 2));
    const auto day = TwoDigits(all.substr(all.size() - 2));
    if (year && month && day) return CalendarDate{*year, *month, *day};
  }
  return std::nullopt;
}

// hh:mm, hh:mm:ss or hh:mm:ss.fff (any number of decimals) as seconds of
// the day; nothing for another form or a value out of range (no leap second).
std::optional<double> TimeOfDayOf(std::string_view text) {
  if (text.size() < 5 || text[2] != ':') return std::nullopt;
  const auto hours = TwoDigits(text.substr(0, 2));
  const auto minutes = TwoDigits(text.substr(3, 2));
  if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
  double seconds = 0.0;
  if (text.size() > 5) {
    if (text[5] != ':') return std::nullopt;
    const std::string_view rest = text.substr(6);
    const auto whole = TwoDigits(rest.substr(0, 2));
    if (!whole || *whole > 59) return std::nullopt;
    seconds = *whole;
    if (rest.size() > 2) {
      if (rest[2] != '.' || rest.size() == 3) return std::nullopt;
      double scale = 0.1;
      for (const char c : rest.substr(3)) {
        if (c < '0' || c > '9') return std::nullopt;
        seconds += (c - '0') * scale;
        scale *= 0.1;
      }
    }
  }
  return *hours * 3600.0 + *minutes * 60.0 + seconds;
}

}  // namespace

std::optional<double> Args::InstantUt(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  std::string_view all = *text;
  if (!all.empty() && (all.back() == 'Z' || all.back() == 'z')) all.remove_suffix(1);
  const auto t = all.find_first_of("Tt");
  std::optional<CalendarDate> date;
  std::optional<double> seconds;
  if (t != std::string_view::npos) {
    date = DateOf(all.substr(0, t));
    seconds = TimeOfDayOf(all.substr(t + 1));
  }
  if (!date || !seconds) {
    throw UsageError("option '--" + name +
                     "' needs an instant of UT as YYYY-MM-DDThh:mm[:ss[.fff]][Z], not '" +
                     *text + "'");
  }
  if (!IsCalendarDate(date->year, date->month, date->day)) {
    throw UsageError("option '--" + name + "': " + *text +
                     " is no day of the calendar (Julian until 1582-10-04, Gregorian from "
                     "1582-10-15)");
  }
  return CalendarToJulianDay(date->year, date->month, date->day, 0.0, 0.0, *seconds);
}

std::optional<CalendarDate> Args::Date(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  const std::optional<CalendarDate> date = DateOf(*text);
  if (!date) {
    throw UsageError("option '--" + name +
                     "' needs a date YYYY-MM-DD (a minus sign before years before 1), not '" +
                     *text + "'");
  }
  if (!IsCalendarDate(date->year, date->month, date->day)) {
    throw UsageError("option '--" + name + "': " + *text +
                     " is no day of the calendar (Julian until 1582-10-04, Gregorian from "
                     "1582-10-15)");
  }
  return date;
}

void PrintError(std::string_view command, std::string_view message) {
  std::string line = "darvelle-cli";
  if (!command.empty()) line.append(" ").append(command);
  line.append(": ").append(message);
  std::cerr << EscapeControlBytes(line) << "\n";
}

}  // namespace darvelle::cli
