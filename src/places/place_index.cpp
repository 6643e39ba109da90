#include "places/place_index.h"
#include "places/geonames_place.h"
#include "places/towns_file.h"

#include <geonames.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <unordered_map>
#include <stdexcept>

#include "catalogue/data_files.h"

namespace darvelle::places {

struct PlaceIndex::Hit {
  int tier = 0;     // 3 the name itself, 2 the name and its region's words, 1 a name begun, 0 a word begun
  int fit = 0;      // how well the words after the comma fit the region
  double weight = 0.0;  // population times the number of the town's names
  std::uint32_t town = 0;
};

namespace {

bool StartsWith(std::string_view word, std::string_view prefix) {
  return word.size() >= prefix.size() && word.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string_view> WordsOf(std::string_view folded) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (start <= folded.size()) {
    const std::size_t end = std::min(folded.find(' ', start), folded.size());
    if (end > start) words.push_back(folded.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// On the pool's NUL-terminated texts without measuring them first: a search
// looks at hundreds of thousands of names for a query of one letter.
bool TextEquals(const char* text, std::string_view q) {
  return std::strncmp(text, q.data(), q.size()) == 0 && text[q.size()] == '\0';
}
bool TextBegins(const char* text, std::string_view q) { return std::strncmp(text, q.data(), q.size()) == 0; }

// Whether a word of a folded name (words between single spaces) begins with q.
bool AnyWordBegins(const char* text, std::string_view q) {
  for (const char* word = text;;) {
    if (TextBegins(word, q)) return true;
    word = std::strchr(word, ' ');
    if (word == nullptr) return false;
    ++word;
  }
}

// 2 when a word equals `q`, 1 when one begins with it, else 0.
int BestFit(const std::vector<std::string>& words, std::string_view q) {
  int best = 0;
  for (const std::string& w : words) {
    if (w == q) return 2;
    if (StartsWith(w, q)) best = 1;
  }
  return best;
}

std::string Joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) {
    if (i > from) text += ' ';
    text += words[i];
  }
  return text;
}

}  // namespace

std::string LongLabel(const Place& place) {
  std::string label = place.Name;
  if (!place.AdminArea.empty()) label += ", " + place.AdminArea;
  const std::string& country = place.Country.empty() ? place.CountryCode : place.Country;
  if (!country.empty()) label += ", " + country;
  return label;
}

PlaceIndex PlaceIndex::Load(const std::string& languageCode,
                            const std::optional<std::filesystem::path>& dataFolder) {
  std::string why;
  try {
    return LoadTowns(FindDataFile(kTownsFileName, dataFolder), languageCode);
  } catch (const std::exception& e) {
    why = e.what();
  }
  PlaceIndex index = LoadLibraryCities(languageCode);
  index.note_ = why + "\nOnly the " + std::to_string(index.Size()) +
                " larger cities of libgeonames can be searched; bash tools/setup.sh build makes "
                "the town list.";
  return index;
}

std::uint32_t PlaceIndex::AddText(const std::string& text) {
  const auto offset = static_cast<std::uint32_t>(pool_.size());
  pool_ += text;
  pool_ += '\0';
  return offset;
}

PlaceIndex PlaceIndex::LoadTowns(const std::filesystem::path& file, const std::string& languageCode) {
  TownsFile towns = ReadTownsFile(file);
  if (towns.towns.empty()) throw std::runtime_error("The town list \"" + file.string() + "\" is empty");
  PlaceIndex index;
  index.pool_ = std::move(towns.pool);
  index.folded_ = std::move(towns.folded);
  index.keys_.reserve(towns.keys.size());
  for (const auto& k : towns.keys) index.keys_.push_back({k.word, k.town});
  std::vector<std::string> adminCodes;
  index.places_.reserve(towns.towns.size());
  index.firstFolded_.reserve(towns.towns.size() + 1);
  for (auto& t : towns.towns) {
    if (t.foldedCount == 0) throw std::runtime_error("The town list \"" + file.string() + "\" has a town without a name");
    index.firstFolded_.push_back(t.firstFolded);
    index.places_.push_back(std::move(t.place));
    adminCodes.push_back(std::move(t.adminCode));
  }
  index.firstFolded_.push_back(static_cast<std::uint32_t>(index.folded_.size()));
  // The search's binary search needs the words in order.
  for (std::size_t i = 1; i < index.keys_.size(); ++i) {
    if (std::strcmp(index.pool_.c_str() + index.keys_[i - 1].word, index.pool_.c_str() + index.keys_[i].word) > 0) {
      throw std::runtime_error("The town list \"" + file.string() + "\" is damaged: search words out of order");
    }
  }
  // The file keeps each town's names in one run, in town order.
  for (std::size_t i = 0; i + 1 < index.firstFolded_.size(); ++i) {
    if (index.firstFolded_[i] >= index.firstFolded_[i + 1]) {
      throw std::runtime_error("The town list \"" + file.string() + "\" is damaged: names out of order");
    }
  }
  const PlaceNames names = PlaceNames::ForLanguage(languageCode);
  index.Finish(&names, adminCodes);
  return index;
}

PlaceIndex PlaceIndex::LoadLibraryCitiesInProcessLanguage() { return FromLibrary(nullptr); }

PlaceIndex PlaceIndex::LoadLibraryCities(const std::string& languageCode) {
  const PlaceNames names = PlaceNames::ForLanguage(languageCode);
  return FromLibrary(&names);
}

PlaceIndex PlaceIndex::FromLibrary(const PlaceNames* names) {
  struct Entry {
    Place place;
    std::string adminCode;
    std::string listName;
  };
  const PlaceNames none;
  std::vector<Entry> entries;
  const gint count = geonames_get_n_cities();
  entries.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (gint i = 0; i < count; ++i) {
    GeonamesCity* city = geonames_get_city(i);
    if (!city) continue;
    // The list's own names, translated in Finish; without a table, the library's.
    entries.push_back({PlaceFromCity(city, names ? &none : nullptr), AdminCodeOf(city), ListNameOf(city)});
    geonames_city_free(city);
  }
  if (entries.empty()) throw std::runtime_error("the GeoNames city list is empty or missing");
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.place.Population > b.place.Population; });
  PlaceIndex index;
  std::vector<std::string> adminCodes;
  std::vector<std::pair<std::string, std::uint32_t>> keys;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    index.firstFolded_.push_back(static_cast<std::uint32_t>(index.folded_.size()));
    const std::string name = FoldedName(entries[i].place.Name);
    const std::string listName = FoldedName(entries[i].listName);
    for (const std::string* n : {&name, &listName}) {
      if (n->empty() || (n == &listName && listName == name)) continue;
      index.folded_.push_back(index.AddText(*n));
      for (std::string_view w : WordsOf(*n)) keys.emplace_back(std::string(w), static_cast<std::uint32_t>(i));
    }
    index.places_.push_back(std::move(entries[i].place));
    adminCodes.push_back(std::move(entries[i].adminCode));
  }
  index.firstFolded_.push_back(static_cast<std::uint32_t>(index.folded_.size()));
  std::sort(keys.begin(), keys.end());
  for (const auto& [word, town] : keys) index.keys_.push_back({index.AddText(word), town});
  index.Finish(names, adminCodes);
  return index;
}

void PlaceIndex::Finish(const PlaceNames* names, const std::vector<std::string>& adminCodes) {
  // Towns of one region share its translated names and words: a few thousand
  // regions for 135,000 towns, so each is translated and folded once.
  struct Region {
    std::string admin, country;
  };
  std::unordered_map<std::string, std::uint32_t> regionOf;
  std::vector<Region> shownRegions;
  std::vector<std::pair<std::string, std::uint32_t>> shown;
  std::vector<std::uint32_t> folded, first;
  folded.reserve(folded_.size());
  first.reserve(firstFolded_.size());
  region_.resize(places_.size());
  for (std::size_t i = 0; i < places_.size(); ++i) {
    Place& p = places_[i];
    const std::string key = p.CountryCode + "\n" + adminCodes[i] + "\n" + p.AdminArea + "\n" + p.Country;
    auto found = regionOf.find(key);
    if (found == regionOf.end()) {
      Region r{p.AdminArea, p.Country};
      if (names != nullptr) {
        r.admin = std::string(names->Translate(p.CountryCode + "." + adminCodes[i], p.AdminArea));
        r.country = std::string(names->Translate(p.CountryCode, p.Country));
      }
      // US states and Canadian provinces are written by their codes ("Paris, TX").
      const bool lettered = std::any_of(adminCodes[i].begin(), adminCodes[i].end(),
                                        [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
      const std::string adminCode = lettered ? adminCodes[i] : std::string();
      std::vector<std::string> words;
      for (const std::string* text : std::initializer_list<const std::string*>{
               &p.AdminArea, &r.admin, &p.Country, &r.country, &p.CountryCode, &adminCode}) {
        for (std::string& w : FoldedWords(*text)) {
          if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(std::move(w));
        }
      }
      found = regionOf.emplace(key, static_cast<std::uint32_t>(regions_.size())).first;
      regions_.push_back(std::move(words));
      shownRegions.push_back(std::move(r));
    }
    region_[i] = found->second;
    p.AdminArea = shownRegions[found->second].admin;
    p.Country = shownRegions[found->second].country;

    first.push_back(static_cast<std::uint32_t>(folded.size()));
    folded.insert(folded.end(), folded_.begin() + firstFolded_[i], folded_.begin() + firstFolded_[i + 1]);
    if (names == nullptr) continue;
    const std::string_view name = names->Translate(p.GeonameId, p.Name);
    if (name == p.Name) continue;
    p.Name = std::string(name);
    // The translation shown must find its town too.
    const std::string shownName = FoldedName(p.Name);
    const bool known = std::any_of(folded_.begin() + firstFolded_[i], folded_.begin() + firstFolded_[i + 1],
                                   [&](std::uint32_t f) { return At(f) == shownName; });
    if (!known && !shownName.empty()) {
      folded.push_back(AddText(shownName));
      for (std::string_view w : WordsOf(shownName)) shown.emplace_back(std::string(w), static_cast<std::uint32_t>(i));
    }
  }
  first.push_back(static_cast<std::uint32_t>(folded.size()));
  folded_ = std::move(folded);
  firstFolded_ = std::move(first);
  std::sort(shown.begin(), shown.end());
  for (const auto& [word, town] : shown) shownKeys_.push_back({AddText(word), town});
}

std::optional<Place> PlaceIndex::ById(const std::string& geonameId) const {
  if (geonameId.empty()) return std::nullopt;
  const auto found = std::find_if(places_.begin(), places_.end(),
                                  [&](const Place& p) { return p.GeonameId == geonameId; });
  if (found == places_.end()) return std::nullopt;
  return *found;
}

std::optional<PlaceIndex::Hit> PlaceIndex::Judge(std::uint32_t town,
                                                  const std::vector<std::string>& nameWords,
                                                  const std::string& joinedName,
                                                  const std::vector<std::string>& qualifier) const {
  const std::vector<std::string>& region = regions_[region_[town]];
  Hit hit;
  hit.town = town;
  for (const std::string& q : qualifier) {
    const int fit = BestFit(region, q);
    if (fit == 0) return std::nullopt;
    hit.fit += fit;
  }
  hit.tier = -1;
  const auto begin = folded_.begin() + firstFolded_[town];
  const auto end = folded_.begin() + firstFolded_[town + 1];
  for (auto f = begin; f != end && hit.tier < 3; ++f) {
    const char* text = pool_.c_str() + *f;
    if (TextEquals(text, joinedName)) {
      hit.tier = 3;
      break;
    }
    if (nameWords.size() == 1) {
      if (hit.tier < 1 && TextBegins(text, joinedName)) hit.tier = 1;
      continue;
    }
    const std::string_view name(text);
    if (hit.tier < 2 && StartsWith(joinedName, name) && joinedName[name.size()] == ' ') {
      // "paris tex", "valencia spain": the name, then words of its region.
      const std::size_t used = WordsOf(name).size();
      bool rest = true;
      for (std::size_t k = used; k < nameWords.size() && rest; ++k) rest = BestFit(region, nameWords[k]) > 0;
      if (rest) hit.tier = 2;
    } else if (hit.tier < 1 && StartsWith(name, joinedName)) {
      hit.tier = 1;
    }
  }
  // Of two namesakes of about the same size the one that many languages
  // name is the one meant (Cádiz in Spain, not in the Philippines).
  hit.weight = static_cast<double>(places_[town].Population) * static_cast<double>(end - begin);
  if (hit.tier >= 0) return hit;
  // Every word begins a word of a name or of the region ("york" in New York,
  // "san jose costa").
  for (const std::string& q : nameWords) {
    bool found = BestFit(region, q) > 0;
    for (auto f = begin; f != end && !found; ++f) found = AnyWordBegins(pool_.c_str() + *f, q);
    if (!found) return std::nullopt;
  }
  hit.tier = 0;
  return hit;
}

std::vector<Place> PlaceIndex::Search(const std::string& query, std::size_t limit) const {
  std::vector<Place> found;
  const std::size_t comma = query.find(',');
  const std::vector<std::string> nameWords = FoldedWords(query.substr(0, comma));
  const std::vector<std::string> qualifier =
      comma == std::string::npos ? std::vector<std::string>{} : FoldedWords(query.substr(comma + 1));
  if (nameWords.empty() || limit == 0) return found;
  const std::string joinedName = Joined(nameWords, 0, nameWords.size());
  const std::string& first = nameWords.front();

  std::vector<Hit> hits;
  std::vector<bool> seen(places_.size(), false);
  for (const std::vector<Key>* keys : {&keys_, &shownKeys_}) {
    auto lo = std::lower_bound(keys->begin(), keys->end(), first, [&](const Key& k, const std::string& q) {
      return std::strcmp(pool_.c_str() + k.word, q.c_str()) < 0;
    });
    for (auto k = lo; k != keys->end() && TextBegins(pool_.c_str() + k->word, first); ++k) {
      if (seen[k->town]) continue;
      seen[k->town] = true;
      if (auto hit = Judge(k->town, nameWords, joinedName, qualifier)) hits.push_back(*hit);
    }
  }
  auto better = [](const Hit& a, const Hit& b) {
    if (a.tier != b.tier) return a.tier > b.tier;
    if (a.fit != b.fit) return a.fit > b.fit;
    if (a.weight != b.weight) return a.weight > b.weight;
    return a.town < b.town;
  };
  const std::size_t n = std::min(limit, hits.size());
  std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(n), hits.end(), better);
  found.reserve(n);
  for (std::size_t i = 0; i < n; ++i) found.push_back(places_[hits[i].town]);
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
  // No town farther in latitude alone than the distance allowed can be nearer:
  // most of 135,000 towns are passed over without a sine.
  const double band = 2.0 * halfAngle / kRadiansPerDegree;
  const Place* nearest = nullptr;
  for (const Place& p : places_) {
    if (std::abs(p.LatitudeDeg - latitudeDeg) > band) continue;
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
