// darvelle-catalogue-gen: computes the catalogue of Besselian elements of the
// solar eclipses of a span of years from the JPL DE431 ephemeris (through the
// Swiss Ephemeris files) and writes it in the program's record layout.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "catalogue/data_files.h"
#include "catalogue_builder.h"
#include "swiss_ephemeris.h"

namespace {

using darvelle::EclipseRecord;
using namespace darvelle::catalogue_gen;

constexpr const char* kUsage =
    "usage: darvelle-catalogue-gen [options]\n"
    "  --from YEAR        first year of the catalogue (default -4999)\n"
    "  --to YEAR          last year of the catalogue (default 7000)\n"
    "  --output FILE      where to write the records (default "
    "BElm_Solar_-4999_to_+7000_20201116.bin)\n"
    "  --ephemeris DIR    folder of the Swiss Ephemeris files (default " DARVELLE_SWE_EPHE_DIR ")\n"
    "  --threads N        worker threads (default: the processor count)\n"
    "  --quiet            print no summary\n"
    "A span covering -4999 .. 7000 numbers the Saros series by walking all eclipses\n"
    "from -6600 to 8600; a shorter span follows each eclipse's own series.\n";

int ParseInt(std::string_view option, const char* text) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < -100000 || v > 100000) {
    throw std::invalid_argument(std::string(option) + " needs a whole number, not \"" + text + "\"");
  }
  return static_cast<int>(v);
}

const char* TypeName(int type) {
  static constexpr const char* kNames[] = {"?", "partial", "total", "annular", "hybrid",
                                           "non-central total", "non-central annular"};
  return kNames[(type >= 1 && type <= 6) ? type : 0];
}

std::string DateOf(const EclipseRecord& r) {
  char text[64];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02dh", r.Year, r.Month, r.Day, r.EpochHour);
  return text;
}

void PrintSummary(const BuildResult& result, double seconds, int threads) {
  const auto& records = result.records;
  std::printf("Swiss Ephemeris %s, %d threads, %.1f s\n", SwissEphemerisVersion().c_str(), threads,
              seconds);
  std::printf("lunations examined: %d, eclipses written: %zu\n", result.lunationsExamined,
              records.size());
  if (records.empty()) return;
  std::printf("first: %s, last: %s\n", DateOf(records.front()).c_str(),
              DateOf(records.back()).c_str());
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Year == 2021 && records[i].Month == 12 && records[i].Day == 4) {
      std::printf("2021 December 4 is record %zu\n", i + 1);
    }
  }
  std::map<int, int> byType;
  std::map<int, int> byMillennium;
  int minSaros = records.front().SarosNumber, maxSaros = minSaros;
  std::map<int, std::pair<int, int>> seen;  // number -> members in file, count
  for (const EclipseRecord& r : records) {
    ++byType[r.EclipseType];
    const int millennium = r.Year >= 1 ? (r.Year - 1) / 1000 : -((-r.Year) / 1000) - 1;
    ++byMillennium[millennium];
    minSaros = std::min(minSaros, r.SarosNumber);
    maxSaros = std::max(maxSaros, r.SarosNumber);
    auto& s = seen[r.SarosNumber];
    ++s.first;
    s.second = r.SarosMemberCount;
  }
  std::printf("by type:");
  for (const auto& [type, n] : byType) std::printf("  %s %d", TypeName(type), n);
  std::printf("\nby millennium:");
  for (const auto& [m, n] : byMillennium) std::printf("  %d..%d: %d", m * 1000 + 1, m * 1000 + 1000, n);
  // The program's Saros entry accepts -61 .. 282: list where whole series and
  // that range differ.
  std::string wholeOutside, partInside;
  int whole = 0;
  for (const auto& [n, s] : seen) {
    const bool inRange = n >= -61 && n <= 282;
    if (s.first == s.second) ++whole;
    if (s.first == s.second && !inRange) wholeOutside += " " + std::to_string(n);
    if (s.first != s.second && inRange) partInside += " " + std::to_string(n);
  }
  std::printf("\nSaros numbers %d .. %d, %s; %d series wholly inside; whole outside -61 .. 282:%s;"
              " cut inside -61 .. 282:%s\n",
              minSaros, maxSaros, result.seriesByLinks ? "walked over all links" : "chains", whole,
              wholeOutside.empty() ? " none" : wholeOutside.c_str(),
              partInside.empty() ? " none" : partInside.c_str());
  if (result.seriesByLinks) {
    std::printf("eclipses joined to 2024 April 8 by no chain of links (numbered by residue):");
    for (int k : result.unlinkedEclipses) std::printf(" %d", k);
    std::printf("%s\n", result.unlinkedEclipses.empty() ? " none" : "");
  }
  std::printf("worst fit residual of x, y: %.3g Earth radii (lunation %d)\n", result.worstResidualXY,
              result.worstResidualXYLunation);
  std::printf("worst fit residual of d, mu, l1, l2: %.3g (lunation %d)\n", result.worstResidualOther,
              result.worstResidualOtherLunation);
  std::vector<const LunationResult*> grazes;
  for (const LunationResult& r : result.fitted) grazes.push_back(&r);
  std::sort(grazes.begin(), grazes.end(), [](const LunationResult* a, const LunationResult* b) {
    return std::fabs(a->penumbraGap) < std::fabs(b->penumbraGap) ||
           (std::fabs(a->penumbraGap) == std::fabs(b->penumbraGap) && a->lunation < b->lunation);
  });
  std::printf("penumbral grazes nearest the threshold (gap m - r - l1, Earth radii):\n");
  for (std::size_t i = 0; i < std::min<std::size_t>(10, grazes.size()); ++i) {
    std::printf("  lunation %d  JD %.4f  gap %+.2e  %s\n", grazes[i]->lunation,
                grazes[i]->greatestJulianDay, grazes[i]->penumbraGap,
                grazes[i]->eclipse ? "eclipse" : "no eclipse");
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    BuildOptions options;
    options.ephemerisFolder = DARVELLE_SWE_EPHE_DIR;
    options.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::string output(darvelle::kCatalogueFileName);
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
      const std::string_view arg = argv[i];
      const auto value = [&]() -> const char* {
        if (i + 1 >= argc) throw std::invalid_argument(std::string(arg) + " needs a value");
        return argv[++i];
      };
      if (arg == "--from") options.fromYear = ParseInt(arg, value());
      else if (arg == "--to") options.toYear = ParseInt(arg, value());
      else if (arg == "--output") output = value();
      else if (arg == "--ephemeris") options.ephemerisFolder = value();
      else if (arg == "--threads") options.threads = std::clamp(ParseInt(arg, value()), 1, 64);
      else if (arg == "--quiet") quiet = true;
      else if (arg == "--help" || arg == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
      } else {
        throw std::invalid_argument("unknown option \"" + std::string(arg) + "\"");
      }
    }
    if (options.fromYear < -4999 || options.toYear > 7000) {
      throw std::invalid_argument("the catalogue spans -4999 .. 7000 at most");
    }
    const auto start = std::chrono::steady_clock::now();
    const BuildResult result = BuildCatalogue(options);
    WriteCatalogue(result.records, output);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!quiet) {
      std::printf("wrote %s\n", output.c_str());
      PrintSummary(result, seconds, options.threads);
    }
    return 0;
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "darvelle-catalogue-gen: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "darvelle-catalogue-gen: %s\n", e.what());
    return 1;
  }
}
