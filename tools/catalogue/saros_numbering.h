#pragma once
// Saros series numbers as published canons give them: the eclipse of
// 2024 April 8 (lunation 300) is in series 139; eclipses 223 lunations apart
// share a series, and one inex (358 lunations) later the number is one higher.

#include <map>
#include <string>
#include <vector>

namespace darvelle::catalogue_gen {

inline constexpr int kSarosLunations = 223;
inline constexpr int kInexLunations = 358;
inline constexpr int kAnchorLunation = 300;
inline constexpr int kAnchorSaros = 139;
// A series may miss a few members near its ends, where the shadow barely
// grazes the Earth (one early series misses seven); a run of this many
// misses ends it.
inline constexpr int kSeriesGapLimit = 12;

struct SarosLabel {
  int number = 0;
  int member = 0;  // 1-based, in order of lunation
  int count = 0;   // members over the series' whole life
};

// The number every eclipse of lunation k must have modulo 223, in 0 .. 222.
int SarosResidue(int lunation);

// The Saros number of lunation k that lies nearest `expected` (the residue
// alone fixes it only up to multiples of 223).
int SarosNumberNear(int lunation, double expected);

// Where the series numbers of lunation k are centred: series in progress at
// any one time span well under 223 numbers around this value, so together
// with the residue it names the series without walking the links.
double ExpectedSarosNumber(int lunation);

// Labels every eclipse (sorted, distinct lunation numbers) by walking the
// saros and inex links from the anchor, then numbers the members of each
// series in lunation order. Eclipses that no chain of links joins to the
// anchor start a walk of their own from the number ExpectedSarosNumber
// suggests; their lunations go to `unlinked` when given. Throws
// std::runtime_error when the anchor is not an eclipse or two walks disagree.
std::map<int, SarosLabel> NumberSarosSeries(const std::vector<int>& eclipseLunations,
                                            std::vector<int>* unlinked = nullptr);

}  // namespace darvelle::catalogue_gen
