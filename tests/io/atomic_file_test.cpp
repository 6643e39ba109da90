#include "io/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../support/file_faults.h"
#include "../support/run_process.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;
using testing::NamesIn;
using testing::ReadWholeFile;

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("darvelle-atomic-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(AtomicFileTest, WritesExactlyTheBytesAndNothingElse) {
  const std::string contents[] = {"", std::string("a\0b\r\n", 5), std::string(3'000'000, 'x')};
  for (const std::string& bytes : contents) {
    WriteFileAtomically(dir_ / "out.txt", bytes);
    EXPECT_EQ(ReadWholeFile(dir_ / "out.txt"), bytes) << bytes.size();
    EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"out.txt"});
  }
}

// One policy for every file the program writes: a link of the user's own is
// written through and kept, anything else that is not a plain file is
// refused, and a link is never replaced (think of "--geojson /dev/stdout"
// run as root, which replaced the system's link).
TEST_F(AtomicFileTest, LinksAreWrittenThroughWhenTheUsersOwnAndNeverReplaced) {
  std::ofstream(dir_ / "victim") << "precious";
  fs::create_directory(dir_ / "folder");
  const struct {
    const char* name;
    fs::path pointsTo;
    bool othersLink;  // owned by another user (needs root to make)
    std::string refusal;  // empty: written through
  } cases[] = {
      {"own.txt", dir_ / "victim", false, ""},
      {"relative.txt", "victim", false, ""},
      {"others.txt", dir_ / "victim", true, "symbolic link of another user's"},
      {"dangling.txt", dir_ / "nowhere", false, "a symbolic link to a missing file"},
      {"folder.txt", dir_ / "folder", false, "it is a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path link = dir_ / c.name;
    fs::create_symlink(c.pointsTo, link);
    if (c.othersLink) {
      if (::geteuid() != 0) continue;
      ASSERT_EQ(::lchown(link.c_str(), 4242, 4242), 0);
    }
    std::string message;
    try {
      WriteFileAtomically(link, c.name);
    } catch (const FileError& e) {
      message = e.what();
    }
    EXPECT_TRUE(fs::is_symlink(link));
    if (c.refusal.empty()) {
      EXPECT_EQ(message, "");
      EXPECT_EQ(ReadWholeFile(dir_ / "victim"), c.name);
    } else {
      EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
      EXPECT_NE(message.find(link.string()), std::string::npos) << message;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
}

// A device, a pipe or a link to one is a stream: written directly, whole,
// and never replaced by a file.
TEST_F(AtomicFileTest, DevicesAndPipesAreWrittenAsStreams) {
  fs::create_symlink("/dev/null", dir_ / "null-link");
  for (const fs::path& device : {fs::path("/dev/null"), dir_ / "null-link"}) {
    WriteFileAtomically(device, "discarded");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "null-link"));
  const fs::path pipe = dir_ / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string bytes(200'000, 'p');  // more than a pipe holds at once
  std::string received;
  std::thread reader([&] { received = ReadWholeFile(pipe); });
  WriteFileAtomically(pipe, bytes);
  reader.join();
  EXPECT_EQ(received, bytes);
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(NamesIn(dir_), (std::vector<std::string>{"null-link", "pipe"}));
}

TEST_F(AtomicFileTest, TheTemporaryIsNewAndItsNameUnpredictable) {
  AtomicFile first(dir_ / "out.txt");
  AtomicFile second(dir_ / "out.txt");
  EXPECT_NE(first.TemporaryPath(), second.TemporaryPath());
  for (const AtomicFile* file : {&first, &second}) {
    EXPECT_EQ(file->TemporaryPath().parent_path(), dir_);
    EXPECT_TRUE(IsAtomicTemporaryName(file->TemporaryPath().filename().string()));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file->TemporaryPath())));
    EXPECT_EQ(fs::file_size(file->TemporaryPath()), 0u);
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
}

TEST_F(AtomicFileTest, AWriterDroppedBeforeCommitLeavesTheOldFile) {
  std::ofstream(dir_ / "out.txt") << "old";
  {
    AtomicFile file(dir_ / "out.txt");
    file.Write("half of the new");
  }
  EXPECT_EQ(ReadWholeFile(dir_ / "out.txt"), "old");
  EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"out.txt"});
}

TEST_F(AtomicFileTest, AWriteFailingHalfWayKeepsTheOldFileAndNamesTheCause) {
  std::ofstream(dir_ / "out.txt") << "old";
  std::string message;
  {
    const testing::FileSizeLimit limit(100'000);
    try {
      AtomicFile file(dir_ / "out.txt");
      file.Write(std::string(60'000, 'a'));
      file.Write(std::string(60'000, 'b'));  // crosses the limit
      file.Commit();
    } catch (const FileError& e) {
      message = e.what();
    }
  }
  EXPECT_EQ(message, "Cannot write \"" + (dir_ / "out.txt").string() + "\": File too large");
  EXPECT_EQ(ReadWholeFile(dir_ / "out.txt"), "old");
  EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"out.txt"});
}

TEST_F(AtomicFileTest, WhatCannotBeReplacedIsRefusedNamingTheFile) {
  fs::create_directories(dir_ / "folder" / "inside");
  const struct {
    fs::path target;
    std::string cause;
  } cases[] = {
      {dir_ / "folder", "it is a folder"},
      {dir_ / "missing" / "out.txt", "No such file or directory"},
      {dir_ / "folder" / "", "no file name"},
  };
  for (const auto& c : cases) {
    try {
      WriteFileAtomically(c.target, "x");
      ADD_FAILURE() << "wrote " << c.target;
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("\"" + c.target.string() + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.cause), std::string::npos) << message;
    }
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "folder" / "inside"));
  EXPECT_EQ(NamesIn(dir_), (std::vector<std::string>{"folder"}));
}

TEST_F(AtomicFileTest, NewFilesFollowTheUmask) {
  const struct {
    mode_t umask;
    mode_t mode;
  } cases[] = {{022, 0644}, {027, 0640}, {077, 0600}, {002, 0664}};
  for (const auto& c : cases) {
    const testing::ScopedUmask mask(c.umask);
    WriteFileAtomically(dir_ / "out.txt", "x");
    EXPECT_EQ(testing::PermissionsOf(dir_ / "out.txt"), c.mode) << std::oct << c.umask;
  }
}

TEST_F(AtomicFileTest, ConcurrentWritersOfOneNameEachLeaveAWholeFile) {
  constexpr int kWriters = 4;
  constexpr int kRounds = 40;
  std::set<std::string> written;
  for (int w = 0; w < kWriters; ++w) written.insert(std::string(50'000, static_cast<char>('a' + w)));
  std::vector<std::thread> threads;
  std::vector<int> failures(kWriters, 0);
  for (int w = 0; w < kWriters; ++w) {
    threads.emplace_back([&, w] {
      for (int round = 0; round < kRounds; ++round) {
        try {
          WriteFileAtomically(dir_ / "out.txt", std::string(50'000, static_cast<char>('a' + w)));
        } catch (const FileError&) {
          ++failures[static_cast<std::size_t>(w)];
        }
        EXPECT_TRUE(written.contains(ReadWholeFile(dir_ / "out.txt")));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(kWriters, 0));
  EXPECT_EQ(NamesIn(dir_), std::vector<std::string>{"out.txt"});
}

TEST(AtomicTemporaryName, OnlyOurOwnPatternMatches) {
  const struct {
    const char* name;
    bool ours;
  } cases[] = {
      {".Darvelle.ps.darvelle-AbCdEf012345", true},
      {".x.darvelle-000000000000", true},
      {"Darvelle.ps.darvelle-AbCdEf012345", false},  // no leading dot
      {".Darvelle.ps.darvelle-AbCdEf01234", false},  // one character short
      {".Darvelle.ps.darvelle-AbCdEf01234-", false},
      {".Darvelle.ps.part-AbCdEf012345", false},
      {".darvelle-AbCdEf012345", false},             // no name of a file
      {"Darvelle.ps", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAtomicTemporaryName(c.name), c.ours) << c.name;
}

}  // namespace
}  // namespace darvelle
