#pragma once
// Reading the plain-text data files (coastlines, borders): blank-separated
// items on a line, decimal numbers whatever the locale, and an item quoted
// short enough for an error message.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace darvelle {

// Space, tab, carriage return, vertical tab, form feed.
bool IsBlank(char c);

// The next blank-separated item of `line` from `pos` on (empty at the end of
// the line); `pos` moves past it.
std::string_view NextItem(std::string_view line, std::size_t& pos);

// A finite decimal number filling the whole item (an optional sign, digits
// with an optional point, an optional exponent); the point is the decimal
// separator whatever the locale.
std::optional<double> ParseNumber(std::string_view item);

// The item in quotes, cut after 40 characters so that a message stays one
// readable line.
std::string Shown(std::string_view item);

}  // namespace darvelle
