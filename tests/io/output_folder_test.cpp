#include "io/output_folder.h"
#include "io/file_error.h"
#include "io/folder_lock.h"

#include <gtest/gtest.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../support/file_faults.h"
#include "../support/run_process.h"
#include "io/atomic_file.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using testing::AgeFile;
using testing::NamesIn;

class OutputFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("darvelle-output-folder-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST(PrivateOutputFolderFor, RuntimeFolderFirstThenTheTemporaryFolderWithTheUser) {
  const struct {
    const char* runtime;
    const char* tmpdir;
    const char* expected;
  } cases[] = {
      {"/run/user/1000", nullptr, "/run/user/1000/darvelle"},
      {"/run/user/1000", "/var/tmp", "/run/user/1000/darvelle"},
      {nullptr, "/var/tmp", "/var/tmp/darvelle-1000"},
      {nullptr, " /scratch/ ", "/scratch/darvelle-1000"},
      {"", "", "/tmp/darvelle-1000"},
      {"run/user/1000", nullptr, "/tmp/darvelle-1000"},  // relative: not valid
      {nullptr, nullptr, "/tmp/darvelle-1000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PrivateOutputFolderFor(c.runtime, c.tmpdir, 1000), fs::path(c.expected))
        << (c.runtime ? c.runtime : "(unset)") << " " << (c.tmpdir ? c.tmpdir : "(unset)");
  }
}

TEST_F(OutputFolderTest, AMissingFolderIsMadePrivateWhateverTheUmask) {
  const testing::ScopedUmask mask(0);
  const OutputFolder folder = PreparePrivateFolder(dir_ / "darvelle-1000", ::geteuid());
  EXPECT_TRUE(folder.Usable()) << folder.problem;
  EXPECT_EQ(folder.path, dir_ / "darvelle-1000");
  EXPECT_TRUE(fs::is_directory(folder.path));
  EXPECT_EQ(testing::PermissionsOf(folder.path), 0700u);
  // Prepared again: the same folder, still usable.
  EXPECT_TRUE(PreparePrivateFolder(dir_ / "darvelle-1000", ::geteuid()).Usable());
}

TEST_F(OutputFolderTest, AnUnsafeFolderIsRefusedAndLeftAlone) {
  fs::create_directories(dir_ / "elsewhere");
  fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "link");
  std::ofstream(dir_ / "file") << "x";
  const struct {
    const char* name;
    mode_t mode;       // for the folders made here (0 for the others)
    uid_t ownerDelta;  // checked for geteuid() + ownerDelta
    const char* why;   // empty: accepted
  } cases[] = {
      {"link", 0, 0, "is a symbolic link"},
      {"file", 0, 0, "is not a folder"},
      {"open-to-all", 0777, 0, "other users may write into it"},
      {"open-to-group", 0770, 0, "other users may write into it"},
      {"someone-elses", 0700, 1, "belongs to user"},
      {"readable", 0755, 0, ""},
      {"private", 0700, 0, ""},
      {"missing-parent/darvelle", 0, 0, "Cannot create the output folder"},
  };
  for (const auto& c : cases) {
    const fs::path folder = dir_ / c.name;
    if (c.mode != 0) {
      fs::create_directory(folder);
      ::chmod(folder.c_str(), c.mode);
    }
    const OutputFolder result = PreparePrivateFolder(folder, ::geteuid() + c.ownerDelta);
    EXPECT_EQ(result.Usable(), *c.why == '\0') << c.name << ": " << result.problem;
    EXPECT_NE(result.problem.find(c.why), std::string::npos) << c.name << ": " << result.problem;
    if (!result.Usable()) {
      EXPECT_NE(result.problem.find("\"" + folder.string() + "\""), std::string::npos)
          << result.problem;
    }
  }
  // Nothing was made in the folder the link points at, nor its mode changed.
  EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere"));
  EXPECT_EQ(testing::PermissionsOf(dir_ / "open-to-all"), 0777u);
  EXPECT_FALSE(fs::exists(dir_ / "missing-parent"));
}

TEST_F(OutputFolderTest, OnlyStaleTemporariesOfOurOwnAreRemoved) {
  const std::string ours = ".Darvelle.ps.darvelle-";
  std::ofstream(dir_ / (ours + "AAAAAAAAAAA1")) << "abandoned";
  std::ofstream(dir_ / (ours + "AAAAAAAAAAA2")) << "just written";
  std::ofstream(dir_ / "Darvelle.ps") << "the user's sheet";
  std::ofstream(dir_ / ".notes.txt.part-123") << "someone else's file";
  fs::create_directory(dir_ / (ours + "AAAAAAAAAAA3"));
  fs::create_symlink(dir_ / "Darvelle.ps", dir_ / (ours + "AAAAAAAAAAA4"));
  // A live writer's temporary, untouched for as long as the others.
  AtomicFile live(dir_ / "Darvelle.bmp");
  live.Write("in progress");
  for (const char* old : {"AAAAAAAAAAA1", "AAAAAAAAAAA3", "AAAAAAAAAAA4"}) {
    AgeFile(dir_ / (ours + old), 3600);
  }
  for (const char* other : {"Darvelle.ps", ".notes.txt.part-123"}) AgeFile(dir_ / other, 3600);
  AgeFile(live.TemporaryPath(), 3600);

  EXPECT_EQ(RemoveStaleTemporaries(dir_), 1);
  std::vector<std::string> kept = {ours + "AAAAAAAAAAA2", ours + "AAAAAAAAAAA3",
                                    ours + "AAAAAAAAAAA4", ".notes.txt.part-123",
                                    live.TemporaryPath().filename().string(), "Darvelle.ps"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(NamesIn(dir_), kept);
  live.Commit();
  EXPECT_EQ(testing::ReadWholeFile(dir_ / "Darvelle.bmp"), "in progress");
}

TEST_F(OutputFolderTest, TheTemporaryOfAKilledWriterIsRemovedWhenStale) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Killed in the middle of writing, as by kill -9 during a sheet.
    AtomicFile file(dir_ / "Darvelle.ps");
    file.Write(std::string(100'000, 'x'));
    (void)::write(ready[1], "k", 1);
    ::raise(SIGKILL);
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  const std::vector<std::string> left = NamesIn(dir_);
  ASSERT_EQ(left.size(), 1u);
  ASSERT_TRUE(IsAtomicTemporaryName(left[0])) << left[0];

  EXPECT_EQ(RemoveStaleTemporaries(dir_), 0);  // too fresh: it might still be written
  AgeFile(dir_ / left[0], 120);
  EXPECT_EQ(RemoveStaleTemporaries(dir_), 0);  // another instance may still be writing it
  AgeFile(dir_ / left[0], 600);
  EXPECT_EQ(RemoveStaleTemporaries(dir_), 1);
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(OutputFolderTest, PreparingTheFolderClearsItsStaleTemporaries) {
  const fs::path folder = dir_ / "darvelle-1000";
  ASSERT_TRUE(PreparePrivateFolder(folder, ::geteuid()).Usable());
  std::ofstream(folder / ".SunEclipse4_EN.TXT.darvelle-ZZZZZZZZZZZZ") << "left by a crash";
  AgeFile(folder / ".SunEclipse4_EN.TXT.darvelle-ZZZZZZZZZZZZ", 3600);
  ASSERT_TRUE(PreparePrivateFolder(folder, ::geteuid()).Usable());
  EXPECT_TRUE(fs::is_empty(folder));
}

// Each writer the program has shipped, and what its temporary looked like.
TEST_F(OutputFolderTest, StaleTemporariesOfEarlierVersionsAreRemovedTooButNothingLikeThem) {
  const struct {
    const char* name;
    long ageSeconds;
    bool removed;
  } cases[] = {
      {".SunEclipse4_EN.TXT.part-139872093546240", 600, true},  // reports: thread id
      {".Testfile.003.part-7", 600, true},
      {"Darvelle.ps.aB3xY9", 600, true},                        // sheet: mkstemp
      {"Darvelle.bmp.QwErTy", 600, true},                       // bitmap: QSaveFile
      {"Darvelle.ps.tmp4242", 600, true},                       // pictures, settings: pid
      {".eclipse.geojson.darvelle-Zz09Zz09Zz09", 600, true},    // this version's
      {".SunEclipse4_EN.TXT.part-1", 120, false},               // maybe still written
      {"Darvelle.ps.aB3xY", 600, false},                        // five characters
      {"Darvelle.ps.aB3xY9z", 600, false},                      // seven
      {"Darvelle.ps.tmp", 600, false},
      {"Darvelle.ps.tmp1x2y", 600, false},
      {".Darvelle.ps.part-", 600, false},
      {"notes.txt.aB3xY9", 600, false},                         // not a name of ours
      {".notes.txt.part-12", 600, false},
      {"notes.txt.part", 600, false},
      {"Darvelle.ps", 600, false},
      {"SunEclipse4_EN.TXT", 600, false},
  };
  for (const auto& c : cases) {
    std::ofstream(dir_ / c.name) << "left behind";
    AgeFile(dir_ / c.name, c.ageSeconds);
  }
  // Our pattern, but a link and a folder: not files of ours to remove.
  fs::create_symlink(dir_ / "Darvelle.ps", dir_ / "Darvelle.ps.LiNkEd");
  fs::create_directory(dir_ / "Darvelle.bmp.FoLdEr");
  AgeFile(dir_ / "Darvelle.ps.LiNkEd", 600);
  AgeFile(dir_ / "Darvelle.bmp.FoLdEr", 600);

  std::vector<std::string> kept = {"Darvelle.bmp.FoLdEr", "Darvelle.ps.LiNkEd"};
  int removed = 0;
  for (const auto& c : cases) c.removed ? ++removed : (kept.push_back(c.name), 0);
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(RemoveStaleTemporaries(dir_), removed);
  EXPECT_EQ(NamesIn(dir_), kept);
  EXPECT_EQ(testing::ReadWholeFile(dir_ / "Darvelle.ps"), "left behind");
}

TEST_F(OutputFolderTest, OneWriterAtATimePerFolderAndEachWindowItsOwnFolder) {
  const fs::path first = dir_ / "darvelle";
  ClaimedOutputFolder a = ClaimPrivateOutputFolderAt(first, ::geteuid());
  ASSERT_TRUE(a.lock);
  EXPECT_EQ(a.folder.path, first);
  EXPECT_FALSE(FolderLock::TryTake(first));
  try {
    FolderLock::Take(first, std::chrono::milliseconds(100));
    ADD_FAILURE() << "a second writer got the folder";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(first.string()), std::string::npos) << e.what();
  }
  // A second window gets a folder of its own, a third window another.
  const ClaimedOutputFolder b = ClaimPrivateOutputFolderAt(first, ::geteuid());
  const ClaimedOutputFolder c = ClaimPrivateOutputFolderAt(first, ::geteuid());
  EXPECT_EQ(b.folder.path, dir_ / "darvelle-2");
  EXPECT_EQ(c.folder.path, dir_ / "darvelle-3");
  // Gone with its holder, as when the process ends.
  a.lock.reset();
  EXPECT_TRUE(FolderLock::TryTake(first));
}

// In a folder the user names, a file of the user's may bear any of the
// earlier versions' patterns: only names with this program's marker and a
// random part go, and only with one name (a hard link was made on purpose).
TEST_F(OutputFolderTest, AFolderTheUserNamesLosesOnlyThisProgramsOwnTemporaries) {
  const struct {
    const char* name;
    bool removed;
  } cases[] = {
      {".x.pdf.darvelle-AbCdEf012345", true},
      {".other.png.darvelle-AbCdEf012345", true},
      {"CLinData.txt.backup", false},
      {"Darvelle.ps.backup", false},
      {"eclipse.geojson.backup", false},
      {"SunEclipse4_EN.TXT.before", false},
      {"NorthUmb.txt.tmp1", false},
      {"Testfile.001.part", false},
      {".Testfile.003.part-7", false},
      {"x.pdf.part", false},
      {"map.png.tmp1234", false},
      {"x.pdf", false},
  };
  for (const auto& c : cases) {
    std::ofstream(dir_ / c.name) << "left behind";
    AgeFile(dir_ / c.name, 3600);
  }
  fs::create_hard_link(dir_ / "x.pdf", dir_ / ".x.pdf.darvelle-HardLink0000");
  AgeFile(dir_ / ".x.pdf.darvelle-HardLink0000", 3600);
  std::vector<std::string> kept = {".x.pdf.darvelle-HardLink0000"};
  int removed = 0;
  for (const auto& c : cases) c.removed ? ++removed : (kept.push_back(c.name), 0);
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(RemoveOwnStaleTemporaries(dir_) + RemoveStaleTemporariesOf(dir_ / "x.pdf"), removed);
  EXPECT_EQ(NamesIn(dir_), kept);
}

}  // namespace
}  // namespace darvelle
