// The place search with any bytes as the query (what a user types after
// `places` or --place, or into the window's search field). The first byte
// picks the search: 0 mod 8 the library's (SearchPlaces, which the
// command-line tool asks; it takes a good part of a second, so it gets the
// smaller share), else the index the window searches as the user types.
// Either gives places or a std::runtime_error: never more than asked for,
// the library's most populous first, each on the globe and with a name.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "places/place_index.h"
#include "places/places.h"

using darvelle::places::Place;
using darvelle::places::PlaceIndex;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const bool language = (darvelle::places::UsePlaceLanguage("en"), true);
  static const PlaceIndex index = PlaceIndex::Load("en");
  (void)language;
  const std::string query(reinterpret_cast<const char*>(data) + 1, size - 1);
  constexpr std::size_t kLimit = 20;
  try {
    const std::vector<Place> found = data[0] % 8 == 0
                                         ? darvelle::places::SearchPlaces(query, kLimit)
                                         : index.Search(query, kLimit);
    if (found.size() > kLimit) std::abort();
    for (std::size_t i = 0; i < found.size(); ++i) {
      const Place& p = found[i];
      if (data[0] % 8 == 0 && i > 0 && p.Population > found[i - 1].Population) std::abort();
      if (!(std::fabs(p.LatitudeDeg) <= 90.0) || !(std::fabs(p.LongitudeDeg) <= 180.0)) {
        std::abort();
      }
      if (p.Name.empty() || p.Label().rfind(p.Name, 0) != 0) std::abort();
    }
  } catch (const std::runtime_error&) {
  }
  return 0;
}
