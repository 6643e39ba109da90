// The files `darvelle-cli batch` writes for a few eclipses of different kinds
// stay byte for byte what they were when the manifests were made: a guard
// for work on the inside of the computation that must not change its output.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QByteArray>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "../support/run_process.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using darvelle::testing::ReadWholeFile;
using darvelle::testing::RunProcess;

const std::string kCli = DARVELLE_CLI_PATH;

// "./16600/Eckpunkt.txt" -> sha256 in hex, as `sha256sum` prints it.
using Manifest = std::map<std::string, std::string>;

Manifest ReadManifest(const fs::path& path) {
  Manifest manifest;
  std::ifstream in(path);
  std::string hash, name;
  while (in >> hash >> name) manifest[name] = hash;
  return manifest;
}

Manifest HashFolder(const fs::path& root) {
  Manifest manifest;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const QByteArray bytes = QByteArray::fromStdString(ReadWholeFile(entry.path()));
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    manifest["./" + entry.path().lexically_relative(root).generic_string()] = hash.toStdString();
  }
  return manifest;
}

struct BatchCase {
  int resolution;
  const char* manifest;
};

class BatchOutputs : public ::testing::TestWithParam<BatchCase> {
 protected:
  void SetUp() override {
    out_ = fs::temp_directory_path() /
           ("darvelle-batch-outputs-" + std::to_string(::getpid()) + "-" +
            std::to_string(GetParam().resolution));
    fs::remove_all(out_);
  }
  void TearDown() override { fs::remove_all(out_); }

  fs::path out_;
};

// Partial (gamma 1.13), hybrid, total near the axis, annular near the pole
// (gamma 0.92) and total near the edge (gamma 0.98), all in 1982 .. 1992.
constexpr int kRecords[] = {16600, 16609, 16618, 16684, 16710};

TEST_P(BatchOutputs, FilesMatchTheManifestByteForByte) {
  const BatchCase c = GetParam();
  for (const int index : kRecords) {
    const auto result = RunProcess(kCli + " batch --first " + std::to_string(index) + " --last " +
                                   std::to_string(index) + " --resolution " +
                                   std::to_string(c.resolution) + " --jobs 1 --data " +
                                   DARVELLE_TEST_DATA_DIR + " --out " + out_.string());
    ASSERT_EQ(result.exitStatus, 0) << index << "\n" << result.out << result.err;
  }
  const Manifest expected = ReadManifest(fs::path(DARVELLE_REFERENCE_DIR) / c.manifest);
  ASSERT_EQ(expected.size(), 55u) << "manifest " << c.manifest << " is incomplete";
  const Manifest actual = HashFolder(out_);
  for (const auto& [name, hash] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << name << " was not written";
    } else {
      EXPECT_EQ(found->second, hash) << name << " changed";
    }
  }
  for (const auto& [name, hash] : actual) {
    EXPECT_TRUE(expected.contains(name)) << name << " is new";
  }
}

INSTANTIATE_TEST_SUITE_P(Resolutions, BatchOutputs,
                         ::testing::Values(BatchCase{1, "batch_outputs_resolution1.sha256"},
                                           BatchCase{8, "batch_outputs_resolution8.sha256"}),
                         [](const auto& testInfo) {
                           return "Resolution" + std::to_string(testInfo.param.resolution);
                         });

}  // namespace
}  // namespace darvelle
