#pragma once
// The catalogue run: every lunation of a span examined on worker threads,
// the eclipses numbered in their Saros series, the records in chronological
// order. Deterministic: the result does not depend on the number of threads.

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/eclipse_record.h"
#include "eclipse_finder.h"

namespace darvelle::catalogue_gen {

struct BuildOptions {
  int fromYear = -4999;  // first calendar year of the catalogue
  int toYear = 7000;     // last calendar year (inclusive)
  // Span over which whole Saros series are followed (years).
  int seriesFromYear = -6600;
  int seriesToYear = 8600;
  int threads = 2;
  std::string ephemerisFolder;
};

struct BuildResult {
  std::vector<EclipseRecord> records;
  // Every fitted lunation of the catalogue span (eclipses and near misses).
  std::vector<LunationResult> fitted;
  bool seriesByLinks = false;  // numbered by walking the whole span's links
  // Eclipses of the series span that no chain of links joins to 2024 April 8.
  std::vector<int> unlinkedEclipses;
  int lunationsExamined = 0;
  double worstResidualXY = 0.0;
  int worstResidualXYLunation = 0;
  double worstResidualOther = 0.0;
  int worstResidualOtherLunation = 0;
};

// Lunations (Meeus numbers) whose New Moon may fall in the given years.
int FirstLunationOfYear(int year);
int LastLunationOfYear(int year);

// Examines the lunations on `threads` threads; results in the order given.
std::vector<LunationResult> ExamineLunations(const std::vector<int>& lunations, int threads,
                                             const std::string& ephemerisFolder);

// The whole run. A span covering the whole catalogue (-4999 .. 7000) numbers
// the series by walking the saros and inex links over the series span; a
// shorter span follows each of its eclipses' series along the saros chain and
// takes the number from its residue (the whole run checks that both agree).
BuildResult BuildCatalogue(const BuildOptions& options);

// Writes the records through an AtomicFile (io/atomic_file.h); throws
// FileError naming the file and the cause on failure.
void WriteCatalogue(const std::vector<EclipseRecord>& records, const std::filesystem::path& file);

}  // namespace darvelle::catalogue_gen
