#pragma once
// Choosing the selected eclipse: by year, by steps through the catalogue and
// along a Saros series, and by Saros number. Pure functions of the catalogue
// and the current index (1 .. Count()); "nothing happens" is returned as the
// unchanged index or as std::nullopt where the caller must tell the user.

#include <optional>
#include <vector>

#include "catalogue/catalogue.h"

namespace darvelle {

inline constexpr int kFirstCatalogueYear = -4999;
inline constexpr int kLastCatalogueYear = 7000;
inline constexpr int kFirstSelectableSaros = -61;
inline constexpr int kLastSelectableSaros = 282;
inline constexpr int kDefaultSarosEntry = 139;

int ClampYear(long long year);
int ClampSaros(long long saros);

// Index of the first record whose Year >= year (year clamped first); the last
// record when no record is that late.
int FindFirstOfYear(const Catalogue& catalogue, long long year);
int FindFirstOfYear(const CatalogueFile& catalogue, long long year);

// Indices of every record of `year` (not clamped), in catalogue order; empty
// when the catalogue has none that year.
std::vector<int> EclipsesOfYear(const Catalogue& catalogue, long long year);

// Steps of +1, -1, +10, -10 records: the new index, or the same index when the
// step would leave the catalogue (+10 never reaches the last record: it acts
// only up to Count() - 11, as the step buttons always have).
int StepCatalogue(const Catalogue& catalogue, int index, int step);

// Steps of +-1 or +-3 members along the Saros series of record `index`. The
// +-3 step moves only if all three searches find a member and neither of the
// first two ended on the catalogue's end record. Returns the new index or the
// same index.
int StepSaros(const Catalogue& catalogue, int index, int members);

// First record of Saros series `saros` (clamped), or nullopt when none carries it.
std::optional<int> FindFirstOfSaros(const Catalogue& catalogue, long long saros);

}  // namespace darvelle
