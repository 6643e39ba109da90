#include "places/place_index.h"
#include "places/geonames_place.h"

#include <geonames.h>

#include <QString>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace darvelle::places {
namespace {

// Words of a text, case-folded and without accents, for prefix matching.
std::vector<std::string> FoldedWords(const std::string& text) {
  const QString decomposed = QString::fromStdString(text).normalized(QString::NormalizationForm_KD);
  std::vector<std::string> words;
  QString word;
  auto flush = [&] {
    if (!word.isEmpty()) words.push_back(word.toCaseFolded().toStdString());
    word.clear();
  };
  for (const QChar c : decomposed) {
    if (c.isMark()) continue;
    if (c.isLetterOrNumber()) {
      word += c;
    } else {
      flush();
    }
  }
  flush();
  return words;
}

bool StartsWith(const std::string& word, const std::string& prefix) {
  return word.size() >= prefix.size() && word.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string LongLabel(const Place& place) {
  std::string label = place.Name;
  if (!place.AdminArea.empty()) label += ", " + place.AdminArea;
  const std::string& country = place.Country.empty() ? place.CountryCode : place.Country;
  if (!country.empty()) label += ", " + country;
  return label;
}

PlaceIndex PlaceIndex::Load() { return Build(nullptr); }

PlaceIndex PlaceIndex::Load(const std::string& languageCode) {
  const PlaceNames names = PlaceNames::ForLanguage(languageCode);
  return Build(&names);
}

PlaceIndex PlaceIndex::Build(const PlaceNames* names) {
  struct Entry {
    Place place;
    std::string listName;
  };
  std::vector<Entry> entries;
  const gint count = geonames_get_n_cities();
  entries.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (gint i = 0; i < count; ++i) {
    GeonamesCity* city = geonames_get_city(i);
    if (!city) continue;
    entries.push_back({PlaceFromCity(city, names), ListNameOf(city)});
    geonames_city_free(city);
  }
  if (entries.empty()) throw std::runtime_error("the GeoNames city list is empty or missing");
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.place.Population > b.place.Population; });
  PlaceIndex index;
  index.places_.reserve(entries.size());
  index.words_.reserve(entries.size());
  for (Entry& e : entries) {
    std::vector<std::string> words = FoldedWords(LongLabel(e.place));
    // The list's own name too, after the label's words, when translated.
    if (e.listName != e.place.Name) {
      for (std::string& w : FoldedWords(e.listName)) words.push_back(std::move(w));
    }
    index.words_.push_back(std::move(words));
    index.places_.push_back(std::move(e.place));
  }
  return index;
}

std::optional<Place> PlaceIndex::ById(const std::string& geonameId) const {
  if (geonameId.empty()) return std::nullopt;
  const auto found = std::find_if(places_.begin(), places_.end(),
                                  [&](const Place& p) { return p.GeonameId == geonameId; });
  if (found == places_.end()) return std::nullopt;
  return *found;
}

std::vector<Place> PlaceIndex::Search(const std::string& query, std::size_t limit) const {
  std::vector<Place> found;
  const std::vector<std::string> wanted = FoldedWords(query);
  if (wanted.empty()) return found;
  for (std::size_t i = 0; i < places_.size() && found.size() < limit; ++i) {
    const auto& words = words_[i];
    // The first query word must begin the name; the others may be anywhere
    // ("dallas tex", "paris france").
    if (words.empty() || !StartsWith(words.front(), wanted.front())) {
      // A name of several words may be typed from any of its words ("york" for New York).
      const bool inName = std::any_of(words.begin(), words.end(),
                                      [&](const std::string& w) { return StartsWith(w, wanted.front()); });
      if (!inName) continue;
    }
    const bool all = std::all_of(wanted.begin() + 1, wanted.end(), [&](const std::string& q) {
      return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return StartsWith(w, q); });
    });
    if (all) found.push_back(places_[i]);
  }
  return found;
}

std::optional<Place> PlaceIndex::Nearest(double latitudeDeg, double longitudeDeg,
                                         double maxDistanceKm) const {
  constexpr double kRadiansPerDegree = 3.141592653589793 / 180.0;
  constexpr double kEarthRadiusKm = 6371.0;
  const double lat = latitudeDeg * kRadiansPerDegree;
  const double lon = longitudeDeg * kRadiansPerDegree;
  const double cosLat = std::cos(lat);
  // The haversine of the central angle grows with the distance, so the
  // nearest city has the smallest; no arcsine is needed to compare.
  const double halfAngle = std::min(maxDistanceKm / kEarthRadiusKm, 3.141592653589793) / 2.0;
  double best = std::sin(halfAngle) * std::sin(halfAngle);
  const Place* nearest = nullptr;
  for (const Place& p : places_) {
    const double cityLat = p.LatitudeDeg * kRadiansPerDegree;
    const double sinLat = std::sin((cityLat - lat) / 2.0);
    const double sinLon = std::sin((p.LongitudeDeg * kRadiansPerDegree - lon) / 2.0);
    const double h = sinLat * sinLat + cosLat * std::cos(cityLat) * sinLon * sinLon;
    if (h <= best) {
      best = h;
      nearest = &p;
    }
  }
  if (nearest == nullptr) return std::nullopt;
  return *nearest;
}

}  // namespace darvelle::places
