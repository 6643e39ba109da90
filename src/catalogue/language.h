#pragma once
// The languages the program speaks. The numbers are those a settings file
// stores for them, so they must never change.

#include <cstddef>
#include <optional>


namespace darvelle {

enum class Language { kGerman = 0, kEnglish = 1, kFrench = 2 };
using enum Language;

inline constexpr std::size_t kLanguageCount = 3;

// The row of `language` in a table of texts ordered German, English, French.
constexpr std::size_t LanguageIndex(Language language) { return static_cast<std::size_t>(language); }

// The language a settings file stores as `number`; none for a number it
// cannot hold.
constexpr std::optional<Language> StoredLanguage(int number) {
  if (number < 0 || number >= static_cast<int>(kLanguageCount)) return std::nullopt;
  return static_cast<Language>(number);
}
// The number a settings file stores for `language`.
constexpr int StoredNumber(Language language) { return static_cast<int>(language); }

}  // namespace darvelle
