#include "places/places.h"
#include "places/geonames_place.h"

#include <geonames.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace darvelle::places {

namespace {

std::string TextOrEmpty(const char* text) { return text ? text : ""; }

// The list's own fields of a city, in the order the library stores them:
// id, name, admin code, admin name, country code, country, zone, ...
enum CityField { kIdField, kNameField, kAdminCodeField, kAdminField, kCountryCodeField, kCountryField };

std::string FieldOf(GeonamesCity* city, CityField field) {
  const gchar* text = nullptr;
  g_variant_get_child(city, field, "&s", &text);
  return TextOrEmpty(text);
}

// The names as the library translates them (id, "CC.admin", "CC"), looked
// up in `names` instead of the process' message catalogue.
void NameFromTable(GeonamesCity* city, const PlaceNames& names, Place& p) {
  const std::string code = FieldOf(city, kCountryCodeField);
  p.Name = names.Translate(p.GeonameId, FieldOf(city, kNameField));
  p.AdminArea = names.Translate(code + "." + FieldOf(city, kAdminCodeField), FieldOf(city, kAdminField));
  p.Country = names.Translate(code, FieldOf(city, kCountryField));
}

// Another layout (a later library) is read through the getters alone.
bool HasKnownLayout(GeonamesCity* city) {
  return g_variant_is_of_type(city, G_VARIANT_TYPE("(sssssssudd)"));
}

}  // namespace

Place PlaceFromCity(GeonamesCity* city, const PlaceNames* names) {
  Place p;
  const bool known = HasKnownLayout(city);
  if (known) p.GeonameId = FieldOf(city, kIdField);
  if (known && names != nullptr) {
    NameFromTable(city, *names, p);
  } else {
    p.Name = TextOrEmpty(geonames_city_get_name(city));
    p.AdminArea = TextOrEmpty(geonames_city_get_state(city));
    p.Country = TextOrEmpty(geonames_city_get_country(city));
  }
  p.CountryCode = TextOrEmpty(geonames_city_get_country_code(city));
  p.TimeZone = TextOrEmpty(geonames_city_get_timezone(city));
  p.LatitudeDeg = geonames_city_get_latitude(city);
  p.LongitudeDeg = geonames_city_get_longitude(city);
  p.Population = geonames_city_get_population(city);
  return p;
}

std::string ListNameOf(GeonamesCity* city) {
  return HasKnownLayout(city) ? FieldOf(city, kNameField) : TextOrEmpty(geonames_city_get_name(city));
}

std::string AdminCodeOf(GeonamesCity* city) {
  return HasKnownLayout(city) ? FieldOf(city, kAdminCodeField) : std::string();
}

std::string Place::Label() const {
  std::string label = Name;
  if (!AdminArea.empty()) label += ", " + AdminArea;
  if (!CountryCode.empty()) label += ", " + CountryCode;
  return label;
}

std::vector<Place> SearchPlaces(const std::string& query, std::size_t limit) {
  std::vector<Place> found;
  if (query.empty()) return found;
  guint count = 0;
  GError* error = nullptr;
  gint* indices = geonames_query_cities_sync(query.c_str(), GEONAMES_QUERY_DEFAULT, &count,
                                             nullptr, &error);
  if (error) {
    const std::string message = error->message ? error->message : "unknown error";
    g_error_free(error);
    g_free(indices);
    throw std::runtime_error("place search for '" + query + "' failed: " + message);
  }
  const std::unique_ptr<gint, decltype(&g_free)> owned(indices, g_free);
  for (guint i = 0; i < count && indices; ++i) {
    GeonamesCity* city = geonames_get_city(indices[i]);
    if (!city) continue;
    found.push_back(PlaceFromCity(city));
    geonames_city_free(city);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Place& a, const Place& b) { return a.Population > b.Population; });
  if (found.size() > limit) found.resize(limit);
  return found;
}

void UsePlaceLanguage(const std::string& languageCode) {
  setenv("LANGUAGE", languageCode.c_str(), 1);
  // gettext ignores LANGUAGE under the "C" locale; C.UTF-8 is always there
  // and keeps numbers and everything else as they are (only messages change).
  const char* messages = std::setlocale(LC_MESSAGES, "");
  if (!messages || std::string(messages) == "C" || std::string(messages) == "POSIX") {
    std::setlocale(LC_MESSAGES, "C.UTF-8");
  }
  std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace darvelle::places
