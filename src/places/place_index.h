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

#include "places/places.h"

namespace darvelle::places {

class PlaceIndex {
 public:
  // Every city of the list, names in the process' message language (as
  // SearchPlaces gives them). Throws std::runtime_error when the list is empty.
  static PlaceIndex Load();

  std::size_t Size() const { return places_.size(); }

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

 private:
  std::vector<Place> places_;                  // most populous first
  std::vector<std::vector<std::string>> words_;  // folded words of each place's label
};

// "Dallas, Texas, United States": name, admin area (when there is one) and
// the country's name.
std::string LongLabel(const Place& place);

}  // namespace darvelle::places
