#pragma once
// Durability paid once for a run that writes many files.
//
// A single save (the window's files, compute, the settings, a sheet, a PDF)
// makes its file durable before it says it is done: AtomicFile flushes the
// contents, renames, and flushes the folder. A batch writes a thousand small
// files, and a flush each makes it several times slower than the computing.
// With a DeferredSync every file is still replaced atomically (a reader sees
// the old file or the whole new one; a failed write leaves the old one), but
// the flush waits for Flush, which the batch calls once at its end, before it
// reports success. A power cut before Flush can lose files written since the
// start of the run, which then has not reported success.

#include <sys/types.h>

#include <filesystem>
#include <mutex>
#include <vector>

namespace darvelle {

class DeferredSync {
 public:
  // Opens `folder`, where the files will go, so that a write-back error on its
  // file system from now on is reported by Flush. Throws FileError naming the
  // folder and the cause.
  explicit DeferredSync(const std::filesystem::path& folder);
  ~DeferredSync();
  DeferredSync(const DeferredSync&) = delete;
  DeferredSync& operator=(const DeferredSync&) = delete;

  // AtomicFile::Commit renamed a file into `folder`, open as `folderFd`.
  // Remembers the folder's file system when it is a new one. Thread-safe.
  void Committed(int folderFd, const std::filesystem::path& folder);

  // Makes every file committed so far durable: one syncfs(2) per file system
  // they lie on. Throws FileError naming the folder and the cause, after
  // trying every file system. Thread-safe; may be called more than once.
  void Flush();

 private:
  struct FileSystem {
    dev_t device;
    int fd;  // a folder on it, open since before its first file was written
    std::filesystem::path folder;
  };

  std::mutex mutex_;
  std::vector<FileSystem> fileSystems_;
};

}  // namespace darvelle
