#include "saros_numbering.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <stdexcept>
#include <unordered_map>

namespace darvelle::catalogue_gen {

int SarosResidue(int lunation) {
  // k = 300 + 223*a + 358*b is in series 139 + b. Modulo 223, 358 is inverted
  // by 38 (358*38 = 61*223 + 1), so b = 38*(k - 300) and the number is
  // 139 + 38*(k - 300) = 112 + 38*k (mod 223).
  const long long r = (112LL + 38LL * lunation) % kSarosLunations;
  return static_cast<int>(r < 0 ? r + kSarosLunations : r);
}

int SarosNumberNear(int lunation, double expected) {
  const int residue = SarosResidue(lunation);
  const double steps = std::round((expected - residue) / kSarosLunations);
  return residue + static_cast<int>(steps) * kSarosLunations;
}

namespace {
// Fitted to the numbers the walk gives over -6600 .. 8600 (the full run
// checks every eclipse against it).
// Over that span every number lies within 31 of this line, so the residue's
// alternatives (223 apart) are never in doubt.
constexpr double kExpectedSarosAtAnchor = 141.7;
constexpr double kExpectedSarosPerLunation = 0.00263;
}  // namespace

double ExpectedSarosNumber(int lunation) {
  return kExpectedSarosAtAnchor + kExpectedSarosPerLunation * (lunation - kAnchorLunation);
}

std::map<int, SarosLabel> NumberSarosSeries(const std::vector<int>& eclipseLunations,
                                            std::vector<int>* unlinked) {
  std::unordered_map<int, int> number;
  number.reserve(eclipseLunations.size() * 2);
  for (int k : eclipseLunations) number.emplace(k, 0);
  if (!number.contains(kAnchorLunation)) {
    throw std::runtime_error("lunation 300 (2024 April 8) is not among the eclipses");
  }
  std::unordered_map<int, bool> labelled;
  struct Link {
    int lunations, numberStep;
  };
  constexpr Link kLinks[] = {{kSarosLunations, 0}, {-kSarosLunations, 0},
                             {kInexLunations, 1}, {-kInexLunations, -1}};
  const auto walkFrom = [&](int start, int startNumber) {
    std::deque<int> queue{start};
    number[start] = startNumber;
    labelled[start] = true;
    // Every eclipse enters the queue once, when first labelled, so the walk
    // ends after as many rounds as there are eclipses.
    while (!queue.empty()) {
      const int k = queue.front();
      queue.pop_front();
      for (const Link& link : kLinks) {
        const int next = k + link.lunations;
        auto it = number.find(next);
        if (it == number.end()) continue;
        const int n = number[k] + link.numberStep;
        if (labelled[next]) {
          if (it->second != n) {
            throw std::runtime_error("Saros walk disagrees at lunation " + std::to_string(next) +
                                     ": " + std::to_string(it->second) + " and " +
                                     std::to_string(n));
          }
          continue;
        }
        it->second = n;
        labelled[next] = true;
        queue.push_back(next);
      }
    }
  };
  walkFrom(kAnchorLunation, kAnchorSaros);
  // Eclipses that no chain of links joins to the anchor (short series near
  // the ends of the span, lone grazes) take the number their residue gives
  // nearest the expected value, and pass it on to whatever they are linked to.
  for (int k : eclipseLunations) {
    if (!labelled[k]) {
      walkFrom(k, SarosNumberNear(k, ExpectedSarosNumber(k)));
      if (unlinked) unlinked->push_back(k);
    }
  }
  std::map<int, std::vector<int>> series;
  for (int k : eclipseLunations) {
    series[number[k]].push_back(k);
  }
  std::map<int, SarosLabel> labels;
  for (auto& [n, members] : series) {
    std::sort(members.begin(), members.end());
    for (std::size_t i = 0; i < members.size(); ++i) {
      labels[members[i]] = {n, static_cast<int>(i) + 1, static_cast<int>(members.size())};
    }
  }
  return labels;
}

}  // namespace darvelle::catalogue_gen
