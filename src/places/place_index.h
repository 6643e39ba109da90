#pragma once
// The town list held in memory, for searching as the user types and for the
// town nearest to a point: the GeoNames towns of at least about 1,000
// inhabitants from the towns file (towns_file.h), or, when that file is
// missing, the 24,000 cities of Debian's libgeonames, with a note saying so.
// The library's own query (SearchPlaces) scans its files and every
// translation on each call, a good part of a second; the index is read once
// (on a worker) and answers a query in a millisecond or two.
//
// Read-only once loaded: any number of threads may search one index.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "places/place_names.h"
#include "places/places.h"

namespace darvelle::places {

class PlaceIndex {
 public:
  // Every town of the towns file found among the data folders (only in
  // `dataFolder` when given), names translated into a language of
  // libgeonames' catalogue ("de", "en", "fr"; see PlaceNames) where it has
  // them, whatever the process' locale. Without the file, libgeonames'
  // cities, and Note() says why. Throws std::runtime_error when neither can
  // be read or the language's catalogue cannot be.
  static PlaceIndex Load(const std::string& languageCode = "en",
                         const std::optional<std::filesystem::path>& dataFolder = std::nullopt);
  // The towns of one towns file. Throws std::runtime_error naming the file.
  static PlaceIndex LoadTowns(const std::filesystem::path& file, const std::string& languageCode);
  // libgeonames' cities alone, named as Load names them.
  static PlaceIndex LoadLibraryCities(const std::string& languageCode);
  // The same named in the process' message language, as the library's own
  // getters name them (found by the list's own names too).
  static PlaceIndex LoadLibraryCitiesInProcessLanguage();

  // Empty when the full town list was read; else what was read instead and why.
  const std::string& Note() const { return note_; }

  std::size_t Size() const { return places_.size(); }
  // Every city, most populous first.
  const std::vector<Place>& Places() const { return places_; }

  // Towns for a query "name[, region or country ...]", at most `limit`. A
  // town is found when the first word of the name begins a word of any of
  // its names (its own, the list's alternate names in Latin letters, the
  // translation shown) and every other word begins a word of its names, its
  // region or its country (case and accents ignored: "sao paulo" finds São
  // Paulo, "paris tex" Paris, Texas); the words after a comma must each
  // begin a word of its region, its country (shown or English), its
  // country code or its region's lettered code ("TX"). Order: a name equal
  // to the query's name first (a name followed by its region's words next,
  // then a name that begins with the query),
  // then how well the words after the comma fit (whole words over
  // beginnings), then population weighted by the number of the town's names
  // (how widely it is known). Every label LongLabel or Label prints finds
  // its town. An empty query gives none.
  std::vector<Place> Search(const std::string& query, std::size_t limit) const;

  // The city nearest to a point (degrees, east positive) within
  // `maxDistanceKm` along a sphere of 6,371 km, or none when no city lies
  // that close.
  std::optional<Place> Nearest(double latitudeDeg, double longitudeDeg,
                               double maxDistanceKm) const;

  // The city of a GeoNames id (Place::GeonameId), or none.
  std::optional<Place> ById(const std::string& geonameId) const;

 private:
  struct Key {
    std::uint32_t word = 0;  // offset in pool_
    std::uint32_t town = 0;
  };
  struct Hit;
  static PlaceIndex FromLibrary(const PlaceNames* names);
  // Translates the names shown and adds each town's region words, after
  // places_ (names as the list has them, in English), the folded names and
  // the keys are set.
  void Finish(const PlaceNames* names, const std::vector<std::string>& adminCodes);
  std::uint32_t AddText(const std::string& text);
  std::string_view At(std::uint32_t offset) const { return pool_.c_str() + offset; }
  std::optional<Hit> Judge(std::uint32_t town, const std::vector<std::string>& nameWords,
                           const std::string& joinedName,
                           const std::vector<std::string>& qualifier) const;

  std::vector<Place> places_;  // most populous first
  std::string pool_;           // NUL-terminated folded texts
  std::vector<std::uint32_t> folded_;       // each town's folded names, its own first
  std::vector<std::uint32_t> firstFolded_;  // town i's names: folded_[first[i] .. first[i+1])
  std::vector<Key> keys_;                   // every word of every name, sorted by word
  std::vector<Key> shownKeys_;              // the same for translations not among the names
  std::vector<std::uint32_t> region_;       // town -> regions_
  std::vector<std::vector<std::string>> regions_;  // folded words of admin area, country, code
  std::string note_;
};

// "Dallas, Texas, United States": name, admin area (when there is one) and
// the country's name.
std::string LongLabel(const Place& place);

}  // namespace darvelle::places
