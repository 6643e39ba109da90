#pragma once
// Durability paid once for a run that writes many files.
//
// A single save (the window's files, compute, the settings, a sheet, a PDF)
// makes its files durable before it says it is done: their contents are
// flushed, then they are renamed over the earlier files, then the folder is
// flushed. A batch writes thousands of small files, and a flush each makes it
// several times slower than the computing. With a DeferredSync the files of
// each set (file_set.h) wait as complete temporaries; every so many files one
// flush of the file system makes all their contents durable, and only then
// are they renamed over the earlier files. Flush, which the batch calls at
// its end before it reports success, does the same for the rest and flushes
// the new names. So a power cut at any moment leaves each name with its
// earlier file or the whole new one, never an empty one.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "io/file_set.h"

namespace darvelle {

class DeferredSync {
 public:
  // Opens `folder`, where the files will go, so that a write-back error on its
  // file system from now on is reported by Flush. Throws FileError naming the
  // folder and the cause. At most `maxWaitingFiles` files wait for a flush
  // (each holds an open file).
  explicit DeferredSync(const std::filesystem::path& folder, std::size_t maxWaitingFiles = 256);
  ~DeferredSync();
  DeferredSync(const DeferredSync&) = delete;
  DeferredSync& operator=(const DeferredSync&) = delete;

  // Takes a set whose files are written; replaces their earlier files after
  // the next flush of their contents, which happens here when enough files
  // wait. Throws FileError naming the files and the cause when that flush or
  // a rename failed; the waiting sets are then dropped, their earlier files
  // kept, and Flush fails too. Thread-safe.
  void Stage(FileSet set);

  // Makes every staged file durable under its name: one syncfs(2) per file
  // system before the renames and one after. Throws FileError naming the
  // folder and the cause, after trying every file system, or when an earlier
  // Stage failed. Thread-safe; may be called more than once.
  void Flush();

 private:
  struct FileSystem {
    dev_t device;
    int fd;  // a folder on it, open since before its first file was written
    std::filesystem::path folder;
  };

  void RememberFileSystem(int folderFd, const std::filesystem::path& folder);
  std::string SyncFileSystems();
  void ReplaceWaiting();

  std::mutex mutex_;
  std::vector<FileSystem> fileSystems_;
  std::vector<FileSet> waiting_;
  std::size_t waitingFiles_ = 0;
  std::size_t maxWaitingFiles_;
  std::string failure_;
};

}  // namespace darvelle
