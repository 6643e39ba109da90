// darvelle-cli batch [--first N] [--last M] [--resolution R] [--jobs J]
//   [--data DIR] [--out DIR] [--geojson] [--kml]

#include "cli/batch_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>
#include <sys/resource.h>
#include <unistd.h>

#include "catalogue/data_files.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/compute_command.h"
#include "cli/gis_outputs.h"
#include "cli/progress_bar.h"
#include "cli/selection_options.h"
#include "geometry/eclipse_computation.h"
#include "export/geojson_export.h"
#include "export/kml_export.h"
#include "export/gis_file.h"
#include "io/deferred_sync.h"
#include "io/folder_lock.h"
#include "io/file_error.h"
#include "io/output_file_names.h"
#include "reports/result_check.h"

namespace darvelle::cli {
namespace {

struct Failure {
  int index;
  std::string reason;
};

// Shared by the workers: the next index to take, the count done, the failures.
class BatchProgress {
 public:
  BatchProgress(int first, int last) : next_(first), last_(last) {}

  // The next index to compute, or 0 when the range is exhausted.
  int Take() {
    const int index = next_.fetch_add(1);
    return index <= last_ ? index : 0;
  }
  void Done() {
    {
      std::lock_guard lock(mutex_);
      done_.fetch_add(1);
    }
    finished_.notify_all();
  }
  int DoneCount() const { return done_.load(); }
  // Waits until `total` eclipses are done or `interval` has passed, so that
  // the summary follows the last eclipse at once rather than a poll later.
  void WaitUntilDone(int total, std::chrono::milliseconds interval) {
    std::unique_lock lock(mutex_);
    finished_.wait_for(lock, interval, [&] { return done_.load() >= total; });
  }
  void Fail(int index, std::string reason) {
    std::lock_guard lock(mutex_);
    failures_.push_back({index, std::move(reason)});
  }
  std::vector<Failure> Failures() {
    std::lock_guard lock(mutex_);
    std::sort(failures_.begin(), failures_.end(),
              [](const Failure& a, const Failure& b) { return a.index < b.index; });
    return failures_;
  }

 private:
  std::atomic<int> next_;
  const int last_;
  std::atomic<int> done_{0};
  std::mutex mutex_;
  std::condition_variable finished_;
  std::vector<Failure> failures_;
};

// What each eclipse's folder receives besides the text files.
struct BatchFiles {
  bool geoJson = false;
  bool kml = false;
};

// Both files from one reading of the computation, made durable with the
// batch's other files.
void WriteGisFiles(const EclipseResult& computation, const ComputeOptions& options,
                   BatchFiles files) {
  const GisSource source = GisSourceFrom(computation);
  if (files.geoJson) {
    WriteGisFile(options.outFolder / kBatchGeoJsonFileName, GeoJsonForEclipse(source, options.language),
                 options.deferredSync);
  }
  if (files.kml) {
    WriteGisFile(options.outFolder / kBatchKmlFileName, KmlForEclipse(source, options.language),
                 options.deferredSync);
  }
}

// The files of each eclipse stay open until the next flush replaces their
// earlier versions; a worker holds one eclipse's set besides. The soft limit
// of open files (often 1,024) is raised to what the system allows.
void RaiseOpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    (void)::setrlimit(RLIMIT_NOFILE, &limit);
  }
}

// One worker: its own work areas, reused from eclipse to eclipse. Its files
// are made durable by `deferred` once the batch is done.
void Work(const Catalogue& catalogue, int resolution, const std::optional<std::filesystem::path>& out,
          DeferredSync* deferred, BatchFiles files, std::optional<double> deltaT,
          BatchProgress& progress) {
  EclipseScratch scratch;
  for (int index = progress.Take(); index != 0; index = progress.Take()) {
    try {
      std::optional<EclipseResult> computed;
      if (out) {
        ComputeOptions options;
        options.index = index;
        options.resolution = resolution;
        options.outFolder = *out / std::to_string(index);
        options.deferredSync = deferred;
        options.drawnCurves = files.geoJson || files.kml;
        options.deltaT = deltaT;
        computed = RunComputation(catalogue, options, scratch);
        if (files.geoJson || files.kml) WriteGisFiles(*computed, options, files);
      } else {
        PreparedEclipse prepared = PrepareEclipse(catalogue, index, TimeScale::kUniversal, resolution);
        if (deltaT) SetUserDeltaT(prepared, *deltaT);
        prepared.drawnCurves = false;
        computed = ComputeEclipse(prepared, scratch);
      }
      const EclipseResult& computation = *computed;
      if (auto problem = FindNonFiniteResult(computation)) progress.Fail(index, *problem);
    } catch (const std::exception& e) {
      progress.Fail(index, e.what());
    }
    progress.Done();
  }
}

// Progress for a log or a pipe, where a redrawn bar would be noise: one plain
// line, at most every few seconds.
void PrintProgressLine(int done, int total, double seconds) {
  std::fprintf(stderr, "batch: %d/%d eclipses done (%d%%), %.0f s\n", done, total,
               total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 100,
               seconds);
  std::fflush(stderr);
}

constexpr std::chrono::milliseconds kBarInterval{200};
constexpr std::chrono::seconds kLineInterval{5};

// Shows progress until every eclipse is done: a redrawn bar on a terminal,
// otherwise a line every kLineInterval and one at the end.
void ShowProgress(BatchProgress& progress, int total,
                  std::chrono::steady_clock::time_point start) {
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  auto lastLine = start;
  while (progress.DoneCount() < total) {
    const auto now = std::chrono::steady_clock::now();
    if (terminal) {
      DrawProgressBar(progress.DoneCount(), total);
    } else if (now - lastLine >= kLineInterval) {
      PrintProgressLine(progress.DoneCount(), total,
                        std::chrono::duration<double>(now - start).count());
      lastLine = now;
    }
    progress.WaitUntilDone(total, kBarInterval);
  }
  if (terminal) {
    DrawProgressBar(total, total);
    std::fputc('\n', stderr);
  } else {
    PrintProgressLine(total, total,
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}

}  // namespace

CommandHelp BatchHelp() {
  return {"batch", "",
    "Computes the eclipses N .. M of the catalogue (default: all) on every core. With --out "
    "the files of eclipse i go into DIR/i/; --geojson and --kml add DIR/i/eclipse.geojson and "
    "DIR/i/eclipse.kml (English names). Ends with a summary; the exit status is 1 when any "
    "eclipse failed.",
    {{"first", "N", "the first eclipse (default 1)"},
     {"last", "M", "the last eclipse (default the catalogue's last)"},
     {"resolution", "1|2|4|8|16|32", "step of the curves, 1 the finest (default 1)"},
     {"jobs", "J", "at most J eclipses at once, 1 .. 256 (default one per core)"},
     DeltaTOptionHelp(), DataOptionHelp(), {"out", "DIR", "write each eclipse's files into DIR/i/"},
     {"geojson", "", "add DIR/i/eclipse.geojson (with --out)"},
     {"kml", "", "add DIR/i/eclipse.kml (with --out)"}}};
}

int RunBatch(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, BatchHelp().options);
  const BatchFiles files{args.Has("geojson"), args.Has("kml")};
  const std::optional<double> deltaT = DeltaTOption(args);
  const int resolution = ResolutionFor(args);
  const long long jobsWanted = args.Integer("jobs").value_or(0);
  if (jobsWanted < 0 || jobsWanted > 256) throw UsageError("--jobs must lie in 1 .. 256");
  const auto firstWanted = args.Integer("first");
  const auto lastWanted = args.Integer("last");
  std::optional<std::filesystem::path> out;
  if (auto dir = args.Value("out")) {
    if (dir->empty()) throw UsageError("--out needs a folder");
    out = std::filesystem::path(*dir);
  }
  if ((files.geoJson || files.kml) && !out) {
    throw UsageError("--geojson and --kml need --out DIR for the files");
  }

  const Catalogue catalogue = LoadCatalogueFor(args);
  const long long first = firstWanted.value_or(1);
  const long long last = lastWanted.value_or(catalogue.Count());
  if (first < 1 || last > catalogue.Count() || first > last) {
    throw UsageError("the range must satisfy 1 <= --first <= --last <= " +
                     std::to_string(catalogue.Count()));
  }
  // One flush of the disk for all files at the end: a flush per file would
  // make a batch several times slower than its computing.
  std::optional<DeferredSync> deferred;
  std::optional<FolderLock> lock;
  if (out) {
    std::error_code ec;
    std::filesystem::create_directories(*out, ec);
    if (ec) throw FileError("Cannot create the output folder \"" + out->string() + "\": " + ec.message());
    // One batch at a time in a folder: a second one waits for this one.
    lock.emplace(FolderLock::Take(*out));
    RaiseOpenFileLimit();
    deferred.emplace(*out);
  }

  const int total = static_cast<int>(last - first + 1);
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int jobs = std::min(total, jobsWanted > 0 ? static_cast<int>(jobsWanted) : cores);
  BatchProgress progress(static_cast<int>(first), static_cast<int>(last));
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int j = 0; j < jobs; ++j) {
    workers.emplace_back(Work, std::cref(catalogue), resolution, std::cref(out),
                         deferred ? &*deferred : nullptr, files, deltaT, std::ref(progress));
  }
  ShowProgress(progress, total, start);
  for (auto& worker : workers) worker.join();
  // Success is reported only for files that are on the disk.
  std::string syncFailure;
  if (deferred) {
    try {
      deferred->Flush();
    } catch (const FileError& e) {
      syncFailure = e.what();
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const std::vector<Failure> failures = progress.Failures();
  std::printf("Eclipses computed: %d (%lld .. %lld, resolution %d, %d threads)\n", total, first,
              last, resolution, jobs);
  std::printf("Failures: %zu\n", failures.size());
  for (const Failure& f : failures) {
    std::printf("  Eclipse#%d: %s\n", f.index, EscapeControlBytes(f.reason).c_str());
  }
  std::printf("Wall time: %.2f s\n", seconds);
  std::printf("Eclipses per second: %.1f\n", seconds > 0.0 ? total / seconds : 0.0);
  std::fflush(stdout);
  if (!syncFailure.empty()) PrintError("batch", syncFailure);
  return failures.empty() && syncFailure.empty() ? kExitOk : kExitFailure;
}

}  // namespace darvelle::cli
