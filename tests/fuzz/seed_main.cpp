// The entry point of a fuzz target in the ordinary build: every file of the
// seed folders named on the command line goes once through the target's
// LLVMFuzzerTestOneInput. A target that no longer compiles then breaks the
// ordinary build, not only the clang fuzzing stage, and the seeds run as
// regression tests (a finding aborts, which fails the test).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SeedFiles(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg = argv[i];
    if (!fs::is_directory(arg)) {
      files.push_back(arg);
      continue;
    }
    for (const auto& entry : fs::directory_iterator(arg)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  // A fixed order, so that a failure names the same seed on every machine.
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> files = SeedFiles(argc, argv);
  // No seed would make a test that checks nothing.
  if (files.empty()) {
    std::fprintf(stderr, "no seed files given\n");
    return 1;
  }
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (!in.eof() && in.fail()) {
      std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
      return 1;
    }
    std::printf("%s\n", file.c_str());
    std::fflush(stdout);  // the last seed named is the one that crashed
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu seeds passed\n", files.size());
  return 0;
}
