#pragma once
// The one conversion of a libgeonames city into our Place, shared by the
// library search and the in-memory index. Internal to darvelle_places.

#include <geonames.h>

#include "places/place_names.h"
#include "places/places.h"

namespace darvelle::places {

// Copies the city's fields; the caller still owns and frees `city`. Names
// in the process' message language, as the library gives them, or with
// `names` in that table's language.
Place PlaceFromCity(GeonamesCity* city, const PlaceNames* names = nullptr);

// The city's name as the list has it, before any translation ("Munich").
std::string ListNameOf(GeonamesCity* city);
// The city's GeoNames admin1 code ("TX"), empty when the layout is unknown.
std::string AdminCodeOf(GeonamesCity* city);

}  // namespace darvelle::places
