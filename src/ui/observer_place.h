#pragma once
// The observer as the window holds, shows and remembers it: the one place
// type of the window. The gazetteer's search results (places::Place) become
// one when chosen; the geometry takes its Observer.

#include <QString>

#include "geometry/local_circumstances.h"

namespace darvelle::ui {

struct ObserverPlace {
  QString name;             // "Dallas, Texas, United States"; empty for a point clicked on the globe
  double latitudeDeg = 0;   // geodetic, north positive
  double longitudeDeg = 0;  // east positive
  double heightM = 0;       // above the ellipsoid
  QString timeZone;         // IANA name; empty: local mean time
  // For a point clicked on the globe: the city nearest to it whose zone it
  // takes ("Dallas, Texas, United States of America"); empty otherwise.
  QString nearby;
  // The GeoNames id of the city of `name`, or of `nearby` for a point: the
  // city's name in another language. Empty for a point far from any city.
  QString cityId;

  bool operator==(const ObserverPlace&) const = default;
};

inline Observer ObserverOf(const ObserverPlace& place) {
  return {place.latitudeDeg, place.longitudeDeg, place.heightM};
}

}  // namespace darvelle::ui
