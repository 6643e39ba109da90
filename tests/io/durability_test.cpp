// When the bytes and the names reach the disk. The system calls that flush
// (fsync, syncfs) and the rename are watched from inside this test program:
// its own definitions stand in front of the C library's, note each call while
// a SyncLog is alive, and pass it on to the kernel, or fail it on request.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "../support/file_faults.h"
#include "../support/run_process.h"
#include "io/atomic_file.h"
#include "io/deferred_sync.h"

namespace {

namespace fs = std::filesystem;

struct Recorder {
  std::mutex mutex;
  bool active = false;
  std::vector<std::string> calls;
  int folderFsyncError = 0;  // errno for fsync of a folder, 0 to pass it on
  int syncfsError = 0;       // errno for syncfs, 0 to pass it on
};

Recorder& TheRecorder() {
  static Recorder recorder;
  return recorder;
}

bool IsFolder(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

void Note(const std::string& call) {
  Recorder& r = TheRecorder();
  std::lock_guard lock(r.mutex);
  if (r.active) r.calls.push_back(call);
}

// Forced error for the call, or 0.
int ForcedError(int Recorder::*field) {
  Recorder& r = TheRecorder();
  std::lock_guard lock(r.mutex);
  return r.active ? r.*field : 0;
}

}  // namespace

extern "C" int fsync(int fd) {
  const bool folder = IsFolder(fd);
  Note(folder ? "fsync folder" : "fsync file");
  if (const int error = folder ? ForcedError(&Recorder::folderFsyncError) : 0) {
    errno = error;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int syncfs(int fd) noexcept {
  Note("syncfs");
  if (const int error = ForcedError(&Recorder::syncfsError)) {
    errno = error;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_syncfs, fd));
}

extern "C" int renameat(int oldFolder, const char* oldName, int newFolder,
                        const char* newName) noexcept {
  Note("rename");
  return static_cast<int>(::syscall(SYS_renameat, oldFolder, oldName, newFolder, newName));
}

namespace darvelle {
namespace {

using testing::NamesIn;
using testing::ReadWholeFile;

// Notes the watched calls while alive.
class SyncLog {
 public:
  SyncLog() { Set(true); }
  ~SyncLog() {
    Set(false);
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().folderFsyncError = 0;
    TheRecorder().syncfsError = 0;
  }
  SyncLog(const SyncLog&) = delete;
  SyncLog& operator=(const SyncLog&) = delete;
  std::vector<std::string> Calls() {
    std::lock_guard lock(TheRecorder().mutex);
    return TheRecorder().calls;
  }
  void Clear() {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().calls.clear();
  }
  void FailFolderFsync(int error) {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().folderFsyncError = error;
  }
  void FailSyncfs(int error) {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().syncfsError = error;
  }

 private:
  static void Set(bool active) {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().active = active;
    TheRecorder().calls.clear();
  }
};

class DurabilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("darvelle-durability-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

using Calls = std::vector<std::string>;

TEST_F(DurabilityTest, ASingleSaveFlushesTheContentsThenRenamesThenFlushesTheFolder) {
  SyncLog log;
  WriteFileAtomically(dir_ / "out.txt", "contents");
  // Without the folder's flush a power cut could lose the new name.
  EXPECT_EQ(log.Calls(), (Calls{"fsync file", "rename", "fsync folder"}));
  EXPECT_EQ(ReadWholeFile(dir_ / "out.txt"), "contents");
}

TEST_F(DurabilityTest, ABatchFlushesOnceBeforeItReplacesAnyFileAndOnceAfter) {
  WriteFileAtomically(dir_ / "a.txt", "earlier");
  SyncLog log;
  DeferredSync sync(dir_);
  for (const fs::path& file : {dir_ / "a.txt", dir_ / "b.txt", dir_ / "sub" / "c.txt"}) {
    WriteFileAtomically(file, file.filename().string(), &sync);
  }
  // Until the contents are on the disk, the earlier file keeps its name: a
  // power cut now must not leave an empty file where a whole one was.
  EXPECT_EQ(log.Calls(), Calls{});
  EXPECT_EQ(ReadWholeFile(dir_ / "a.txt"), "earlier");
  sync.Flush();
  // One file system: one flush for the contents, the renames, one for the names.
  EXPECT_EQ(log.Calls(), (Calls{"syncfs", "rename", "rename", "rename", "syncfs"}));
  EXPECT_EQ(ReadWholeFile(dir_ / "a.txt"), "a.txt");
  EXPECT_EQ(ReadWholeFile(dir_ / "sub" / "c.txt"), "c.txt");
}

TEST_F(DurabilityTest, ABatchReplacesInGroupsSoThatFewFilesStayOpen) {
  SyncLog log;
  DeferredSync sync(dir_, 2);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteFileAtomically(dir_ / name, name, &sync);
  // The second file filled the group: both were flushed, then renamed.
  EXPECT_EQ(log.Calls(), (Calls{"syncfs", "rename", "rename"}));
  EXPECT_FALSE(fs::exists(dir_ / "c.txt"));
  sync.Flush();
  EXPECT_EQ(ReadWholeFile(dir_ / "c.txt"), "c.txt");
}

TEST_F(DurabilityTest, AFailedFlushIsAnErrorNamingTheFolderAndTheCause) {
  const struct {
    const char* what;
    int folderFsyncError;
    int syncfsError;
    bool deferred;
    std::string expected;  // empty: no error
  } cases[] = {
      {"folder flush fails", EIO, 0, false,
       "Cannot write \"" + (dir_ / "out.txt").string() + "\" to the disk: Input/output error"},
      {"folder cannot be flushed here", EINVAL, 0, false, ""},
      {"batch flush fails", 0, EIO, true,
       "Cannot write the files in \"" + dir_.string() + "\" to the disk: Input/output error"},
      {"batch flush, disk full", 0, ENOSPC, true,
       "Cannot write the files in \"" + dir_.string() + "\" to the disk: No space left on device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileAtomically(dir_ / "out.txt", "earlier");
    SyncLog log;
    log.FailFolderFsync(c.folderFsyncError);
    log.FailSyncfs(c.syncfsError);
    std::string message;
    try {
      DeferredSync sync(dir_);
      WriteFileAtomically(dir_ / "out.txt", c.what, c.deferred ? &sync : nullptr);
      sync.Flush();
    } catch (const FileError& e) {
      message = e.what();
    }
    EXPECT_EQ(message, c.expected);
    // A single save had renamed before the folder's flush failed; a batch
    // whose contents never reached the disk replaced nothing. Either way no
    // temporary is left.
    EXPECT_EQ(ReadWholeFile(dir_ / "out.txt"), c.deferred ? std::string("earlier") : c.what);
    EXPECT_EQ(NamesIn(dir_), (std::vector<std::string>{"out.txt", "sub"}));
  }
}

TEST_F(DurabilityTest, AFolderThatCannotBeOpenedIsRefusedBeforeAnythingIsWritten) {
  try {
    DeferredSync sync(dir_ / "missing");
    FAIL() << "a missing folder was accepted";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open the output folder \"" +
                                         (dir_ / "missing").string() +
                                         "\": No such file or directory");
  }
}

}  // namespace
}  // namespace darvelle
