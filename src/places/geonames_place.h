#pragma once
// The one conversion of a libgeonames city into our Place, shared by the
// library search and the in-memory index. Internal to darvelle_places.

#include <geonames.h>

#include "places/places.h"

namespace darvelle::places {

// Copies the city's fields; the caller still owns and frees `city`.
Place PlaceFromCity(GeonamesCity* city);

}  // namespace darvelle::places
