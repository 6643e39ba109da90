#pragma once
// Whether a text written for people or programs holds a number that is not
// one: "nan", "inf" or "infinity" as a word of its own, in any case.

#include <cctype>
#include <string>

namespace darvelle::testing {

inline bool HasNonNumber(const std::string& text) {
  std::string word;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char ch = i < text.size() ? text[i] : ' ';
    if (std::isalpha(static_cast<unsigned char>(ch))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      continue;
    }
    if (word == "nan" || word == "inf" || word == "infinity") return true;
    word.clear();
  }
  return false;
}

}  // namespace darvelle::testing
