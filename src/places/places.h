#pragma once
// Place search in the GeoNames city list that Debian's libgeonames carries
// (about 24,000 cities with their population, country, admin area and IANA
// time zone). Names come in the language of the process' message locale
// (LANGUAGE / LC_MESSAGES), which UsePlaceLanguage sets.
//
// The eclipse geometry does not depend on this module: it turns a name into
// coordinates and a time zone, nothing more.

#include <string>
#include <vector>

namespace darvelle::places {

struct Place {
  std::string Name;         // UTF-8, localized where the list has a translation
  std::string AdminArea;    // state, province, region
  std::string Country;
  std::string CountryCode;  // ISO 3166 alpha-2
  std::string TimeZone;     // IANA name, e.g. "America/Chicago"; may be empty
  double LatitudeDeg = 0.0;
  double LongitudeDeg = 0.0;  // east positive
  unsigned Population = 0;
  std::string GeonameId;    // the list's id of the city, the same in every language
  // "Name, Admin, CC" (the admin area left out when empty).
  std::string Label() const;
};

// Matches for a query, most populous first. At most `limit` places; an empty
// query gives none. Throws std::runtime_error when the library reports one.
std::vector<Place> SearchPlaces(const std::string& query, std::size_t limit = 50);

// Sets the language of place names for this process ("de", "en", "fr"):
// the message locale, which the city list's translations follow. Call once
// before the first search, from the program's start (it sets environment
// variables).
void UsePlaceLanguage(const std::string& languageCode);

}  // namespace darvelle::places
