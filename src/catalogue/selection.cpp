#include "catalogue/selection.h"

#include <algorithm>

namespace darvelle {
namespace {

// One +1S or -1S search from `index`: the next record in that direction that
// belongs to `saros`, or nullopt. `direction` is +1 or -1.
std::optional<int> NextMember(const Catalogue& catalogue, int index, int saros, int direction) {
  for (int j = index + direction; j >= 1 && j <= catalogue.Count(); j += direction) {
    if (catalogue.CatalogueSaros(j) == saros) return j;
  }
  return std::nullopt;
}

}  // namespace

int ClampYear(long long year) {
  return static_cast<int>(std::clamp<long long>(year, kFirstCatalogueYear, kLastCatalogueYear));
}

int ClampSaros(long long saros) {
  return static_cast<int>(std::clamp<long long>(saros, kFirstSelectableSaros, kLastSelectableSaros));
}

namespace {

template <typename Records>
int FirstOfYear(const Records& catalogue, long long year) {
  const int wanted = ClampYear(year);
  for (int i = 1; i <= catalogue.Count(); ++i) {
    if (catalogue.CatalogueYear(i) >= wanted) return i;
  }
  return catalogue.Count();
}

}  // namespace

int FindFirstOfYear(const Catalogue& catalogue, long long year) {
  return FirstOfYear(catalogue, year);
}

int FindFirstOfYear(const CatalogueFile& catalogue, long long year) {
  return FirstOfYear(catalogue, year);
}

std::vector<int> EclipsesOfYear(const Catalogue& catalogue, long long year) {
  std::vector<int> indices;
  if (catalogue.Empty() || year != ClampYear(year)) return indices;
  // Records are in chronological order: the year's records follow its first.
  for (int i = FindFirstOfYear(catalogue, year);
       i <= catalogue.Count() && catalogue.CatalogueYear(i) == year; ++i) {
    indices.push_back(i);
  }
  return indices;
}

int StepCatalogue(const Catalogue& catalogue, int index, int step) {
  const int n = catalogue.Count();
  switch (step) {
    case 1: return index > n - 1 ? index : index + 1;
    case -1: return index < 2 ? index : index - 1;
    case 10: return index > n - 11 ? index : index + 10;
    case -10: return index < 11 ? index : index - 10;
    default: return index;
  }
}

int StepSaros(const Catalogue& catalogue, int index, int members) {
  const int direction = members > 0 ? 1 : -1;
  const int count = members > 0 ? members : -members;
  const int end = direction > 0 ? catalogue.Count() : 1;
  const int saros = catalogue.CatalogueSaros(index);
  int position = index;
  for (int found = 0; found < count; ++found) {
    // A search that starts on the end record finds nothing, so reaching the
    // end before the last search leaves the selection as it was.
    if (position == end) return index;
    auto next = NextMember(catalogue, position, saros, direction);
    if (!next) return index;
    position = *next;
  }
  return position;
}

std::optional<int> FindFirstOfSaros(const Catalogue& catalogue, long long saros) {
  const int wanted = ClampSaros(saros);
  for (int i = 1; i <= catalogue.Count(); ++i) {
    if (catalogue.CatalogueSaros(i) == wanted) return i;
  }
  return std::nullopt;
}

}  // namespace darvelle
