// What making files durable costs: twenty report-sized files (the files of one
// computation) written through AtomicFile, each flushed with its folder as a
// single save does, against the same files left to one DeferredSync::Flush at
// the end, as the batch does.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "io/atomic_file.h"
#include "io/deferred_sync.h"

namespace {

using namespace darvelle;

constexpr int kFilesPerComputation = 20;
constexpr std::size_t kFileBytes = 12'000;  // a curve file of a few hundred points

std::filesystem::path BenchFolder() {
  const auto folder = std::filesystem::current_path() /
                      ("darvelle-bench-atomic-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

// Argument: 0 each file durable on its own, 1 one flush for all twenty.
void BM_WriteComputationSizedFiles(benchmark::State& state) {
  const bool deferred = state.range(0) != 0;
  const auto folder = BenchFolder();
  const std::string bytes(kFileBytes, 'x');
  for (auto _ : state) {
    if (deferred) {
      DeferredSync sync(folder);
      for (int i = 0; i < kFilesPerComputation; ++i) {
        WriteFileAtomically(folder / ("file" + std::to_string(i)), bytes, &sync);
      }
      sync.Flush();
    } else {
      for (int i = 0; i < kFilesPerComputation; ++i) {
        WriteFileAtomically(folder / ("file" + std::to_string(i)), bytes);
      }
    }
  }
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_WriteComputationSizedFiles)->ArgName("deferred")->Arg(0)->Arg(1)->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
