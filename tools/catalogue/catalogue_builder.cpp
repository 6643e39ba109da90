#include "catalogue_builder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "astro/calendar.h"
#include "catalogue/data_files.h"
#include "io/atomic_file.h"
#include "saros_numbering.h"

namespace darvelle::catalogue_gen {
namespace {

constexpr double kMeanLunationDays = 29.530588861;
constexpr double kLunationZeroJd = 2451550.09766;
// Longest Saros series known have about 87 members; a chain longer than this
// means the eclipse test is broken, and ends the run rather than walking on.
constexpr int kMaxSeriesMembers = 120;

double YearStartJd(int year) { return CalendarToJulianDay(year, 1, 1, 0.0, 0.0, 0.0); }

// Catalogue lunations of the span, fitted ones, and the worst residuals.
void CollectSpan(const std::vector<LunationResult>& results, const BuildOptions& options,
                 BuildResult& out, std::vector<const LunationResult*>& eclipses) {
  const double jdFrom = YearStartJd(options.fromYear);
  const double jdTo = YearStartJd(options.toYear + 1);
  for (const LunationResult& r : results) {
    if (r.greatestJulianDay < jdFrom || r.greatestJulianDay >= jdTo) continue;
    if (!r.fitted) continue;
    out.fitted.push_back(r);
    if (!r.eclipse) continue;
    eclipses.push_back(&r);
    if (r.residualXY > out.worstResidualXY) {
      out.worstResidualXY = r.residualXY;
      out.worstResidualXYLunation = r.lunation;
    }
    if (r.residualOther > out.worstResidualOther) {
      out.worstResidualOther = r.residualOther;
      out.worstResidualOtherLunation = r.lunation;
    }
  }
}

// Saros labels by walking every eclipse of the series span.
std::map<int, SarosLabel> LabelsByLinks(const std::vector<LunationResult>& all,
                                        std::vector<int>& unlinked) {
  std::vector<int> eclipses;
  for (const LunationResult& r : all) {
    if (r.eclipse) eclipses.push_back(r.lunation);
  }
  std::map<int, SarosLabel> labels = NumberSarosSeries(eclipses, &unlinked);
  // The shorter spans rely on two facts checked here on the whole span:
  // members of a series follow each other every 223 lunations with gaps
  // shorter than kSeriesGapLimit, and every number is the one its residue
  // gives nearest the expected value.
  std::map<int, std::vector<int>> series;
  for (const auto& [k, label] : labels) {
    series[label.number].push_back(k);
    if (SarosNumberNear(k, ExpectedSarosNumber(k)) != label.number) {
      throw std::runtime_error("Saros number " + std::to_string(label.number) + " of lunation " +
                               std::to_string(k) + " is not the one nearest the expected " +
                               std::to_string(ExpectedSarosNumber(k)));
    }
  }
  for (const auto& [n, members] : series) {
    for (std::size_t i = 1; i < members.size(); ++i) {
      if (members[i] - members[i - 1] >= kSeriesGapLimit * kSarosLunations) {
        throw std::runtime_error("Saros series " + std::to_string(n) +
                                 " has a long gap after lunation " +
                                 std::to_string(members[i - 1]));
      }
    }
  }
  return labels;
}

// Saros labels of the given eclipses by following each one's chain of
// lunations 223 apart on both sides until kSeriesGapLimit of them in a row are
// no eclipses.
std::map<int, SarosLabel> LabelsByChains(const std::vector<int>& spanEclipses,
                                         std::map<int, bool>& isEclipse, const BuildOptions& options) {
  struct Side {
    int direction;
    int members = 0;  // eclipses found on this side
    int misses = 0;   // lunations without eclipse since the last one found
    bool done() const { return misses >= kSeriesGapLimit; }
  };
  struct Chain {
    int lunation;
    Side sides[2] = {{-1}, {+1}};
  };
  std::vector<Chain> chains;
  for (int k : spanEclipses) chains.push_back({k});
  for (int step = 1;; ++step) {
    if (step > kMaxSeriesMembers + kSeriesGapLimit) {
      throw std::runtime_error("a Saros chain runs past " + std::to_string(kMaxSeriesMembers) +
                               " members");
    }
    std::set<int> needed;
    for (const Chain& c : chains) {
      for (const Side& side : c.sides) {
        const int k = c.lunation + side.direction * step * kSarosLunations;
        if (!side.done() && !isEclipse.contains(k)) needed.insert(k);
      }
    }
    if (!needed.empty()) {
      const std::vector<int> todo(needed.begin(), needed.end());
      for (const LunationResult& r : ExamineLunations(todo, options.threads, options.ephemerisFolder)) {
        isEclipse[r.lunation] = r.eclipse;
      }
    }
    bool open = false;
    for (Chain& c : chains) {
      for (Side& side : c.sides) {
        if (side.done()) continue;
        if (isEclipse.at(c.lunation + side.direction * step * kSarosLunations)) {
          ++side.members;
          side.misses = 0;
        } else {
          ++side.misses;
        }
        open = open || !side.done();
      }
    }
    if (!open) break;
  }
  std::map<int, SarosLabel> labels;
  for (const Chain& c : chains) {
    const int before = c.sides[0].members;
    const int after = c.sides[1].members;
    labels[c.lunation] = {SarosNumberNear(c.lunation, ExpectedSarosNumber(c.lunation)), before + 1,
                          before + after + 1};
  }
  return labels;
}

}  // namespace

int FirstLunationOfYear(int year) {
  // The true New Moon lies within a day of the mean one: two lunations of
  // margin cover it.
  return static_cast<int>(std::floor((YearStartJd(year) - kLunationZeroJd) / kMeanLunationDays)) - 2;
}

int LastLunationOfYear(int year) {
  return static_cast<int>(std::ceil((YearStartJd(year + 1) - kLunationZeroJd) / kMeanLunationDays)) + 2;
}

std::vector<LunationResult> ExamineLunations(const std::vector<int>& lunations, int threads,
                                             const std::string& ephemerisFolder) {
  std::vector<LunationResult> results(lunations.size());
  constexpr std::size_t kChunk = 64;
  std::atomic<std::size_t> next{0};
  std::mutex errorMutex;
  std::exception_ptr error;
  std::size_t errorChunk = lunations.size();
  const auto work = [&]() {
    try {
      const SwissEphemeris ephemeris(ephemerisFolder);
      for (;;) {
        const std::size_t begin = next.fetch_add(kChunk);
        if (begin >= lunations.size()) return;
        const std::size_t end = std::min(lunations.size(), begin + kChunk);
        for (std::size_t i = begin; i < end; ++i) {
          try {
            results[i] = ExamineLunation(lunations[i], ephemeris);
          } catch (...) {
            // Keep the error of the earliest lunation, whatever the timing.
            std::lock_guard lock(errorMutex);
            if (i < errorChunk) {
              errorChunk = i;
              error = std::current_exception();
            }
            return;
          }
        }
      }
    } catch (...) {
      std::lock_guard lock(errorMutex);
      if (!error) error = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  const int n = std::max(1, threads);
  for (int i = 1; i < n; ++i) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  if (error) std::rethrow_exception(error);
  return results;
}

BuildResult BuildCatalogue(const BuildOptions& options) {
  if (options.fromYear > options.toYear) {
    throw std::invalid_argument("the first year " + std::to_string(options.fromYear) +
                                " is after the last year " + std::to_string(options.toYear));
  }
  BuildResult out;
  out.seriesByLinks = options.fromYear <= -4999 && options.toYear >= 7000;
  const int firstYear = out.seriesByLinks ? std::min(options.seriesFromYear, options.fromYear)
                                          : options.fromYear;
  const int lastYear = out.seriesByLinks ? std::max(options.seriesToYear, options.toYear)
                                         : options.toYear;
  std::vector<int> lunations;
  for (int k = FirstLunationOfYear(firstYear); k <= LastLunationOfYear(lastYear); ++k) {
    lunations.push_back(k);
  }
  const std::vector<LunationResult> all =
      ExamineLunations(lunations, options.threads, options.ephemerisFolder);
  out.lunationsExamined = static_cast<int>(all.size());

  std::vector<const LunationResult*> eclipses;
  CollectSpan(all, options, out, eclipses);

  std::map<int, SarosLabel> labels;
  if (out.seriesByLinks) {
    labels = LabelsByLinks(all, out.unlinkedEclipses);
  } else {
    std::map<int, bool> isEclipse;
    for (const LunationResult& r : all) isEclipse[r.lunation] = r.eclipse;
    std::vector<int> span;
    for (const LunationResult* r : eclipses) span.push_back(r->lunation);
    labels = LabelsByChains(span, isEclipse, options);
  }
  for (const LunationResult* r : eclipses) {
    EclipseRecord record = r->record;
    const SarosLabel& label = labels.at(r->lunation);
    record.SarosNumber = label.number;
    record.SarosMember = label.member;
    record.SarosMemberCount = label.count;
    out.records.push_back(record);
  }
  // Lunations are in time order, and so are their greatest eclipses.
  return out;
}

void WriteCatalogue(const std::vector<EclipseRecord>& records, const std::filesystem::path& file) {
  WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(records.data()),
                                             records.size() * sizeof(EclipseRecord)));
}

}  // namespace darvelle::catalogue_gen
