#pragma once
// The GeoNames city list held in memory, for searching as the user types
// and for the city nearest to a point. The library's own query
// (SearchPlaces) scans its files and every translation on each call, which
// takes a good part of a second; the index is read once (under 0.1 s, on a
// worker) and answers a query in a millisecond or two.
//
// Read-only once loaded: any number of threads may search one index.

#include <optional>
#include <string>
#include <vector>

#include "places/place_names.h"
#include "places/places.h"

namespace darvelle::places {

class PlaceIndex {
 public:
  // Every city of the list, names in the process' message language (as
  // SearchPlaces gives them). Throws std::runtime_error when the list is empty.
  static PlaceIndex Load();
  // The same with the names in a language of the list's own catalogue
  // ("de", "en", "fr"; see PlaceNames), whatever the process' locale. A
  // city is also found by its name as the list has it ("Munich" for
  // München). Throws std::runtime_error naming the file when the
  // language's catalogue cannot be read.
  static PlaceIndex Load(const std::string& languageCode);

  std::size_t Size() const { return places_.size(); }
  // Every city, most populous first.
  const std::vector<Place>& Places() const { return places_; }

  // Cities whose "name, admin area, country" has, for every word of the
  // query, a word beginning with it (case and accents ignored: "sao paulo"
  // finds "São Paulo", "paris tex" finds Paris, Texas), most populous first,
  // at most `limit`. An empty query gives none.
  std::vector<Place> Search(const std::string& query, std::size_t limit) const;

  // The city nearest to a point (degrees, east positive) within
  // `maxDistanceKm` along a sphere of 6,371 km, or none when no city lies
  // that close.
  std::optional<Place> Nearest(double latitudeDeg, double longitudeDeg,
                               double maxDistanceKm) const;

  // The city of a GeoNames id (Place::GeonameId), or none.
  std::optional<Place> ById(const std::string& geonameId) const;

 private:
  static PlaceIndex Build(const PlaceNames* names);

  std::vector<Place> places_;                  // most populous first
  std::vector<std::vector<std::string>> words_;  // folded words of each place's label
};

// "Dallas, Texas, United States": name, admin area (when there is one) and
// the country's name.
std::string LongLabel(const Place& place);

}  // namespace darvelle::places
