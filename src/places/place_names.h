#pragma once
// The city list's names in one language, read from the list's own gettext
// catalogue (<locale dir>/<language>/LC_MESSAGES/geonames.mo) instead of
// through the process' message locale. The library looks a city's name up
// by its GeoNames id, its admin area by "CC.admin-code" and its country by
// "CC", and keeps the list's own text where the catalogue has none; the
// index does the same with this table. Reading the catalogue ourselves lets
// the window change the language of place names while it runs, without
// touching the environment every thread reads.
//
// Read-only once built: any number of threads may look names up.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace darvelle::places {

class PlaceNames {
 public:
  // No translations: every name stays as the list has it.
  PlaceNames() = default;

  // The catalogue of a language ("de", "en", "fr") in the folder the
  // library's translations are installed in. A language without a catalogue
  // gives the list's own names. Throws std::runtime_error naming the file
  // and the fault when the catalogue exists but cannot be read.
  static PlaceNames ForLanguage(const std::string& languageCode);

  // A gettext catalogue file (GNU .mo, either byte order). Throws
  // std::runtime_error naming the file and the field at fault.
  static PlaceNames Read(const std::filesystem::path& file);

  // The translation of a key, or `fallback` where there is none.
  std::string_view Translate(const std::string& key, std::string_view fallback) const;

  std::size_t Size() const { return translations_.size(); }

 private:
  std::unordered_map<std::string, std::string> translations_;
};

// Where the translations of a gettext domain are installed: the library's
// binding when it has one, else /usr/share/locale.
std::filesystem::path LocaleFolder();

}  // namespace darvelle::places
