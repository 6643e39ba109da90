#pragma once
// One writer per output folder. Two runs writing one folder at once would
// leave it mixing two eclipses' files, each run believing it succeeded. A
// writer holds an exclusive flock(2) on the folder itself for as long as it
// writes there; the kernel drops it when the process ends, however it ends,
// so a killed writer never leaves a stale lock behind.

#include <chrono>
#include <filesystem>
#include <optional>

namespace darvelle {

class FolderLock {
 public:
  // Locks `folder`, waiting up to `patience` while another writer holds it.
  // Throws FileError naming the folder: it cannot be opened, or another
  // program kept it for longer than `patience`.
  static FolderLock Take(const std::filesystem::path& folder,
                         std::chrono::milliseconds patience = std::chrono::seconds(60));
  // Locks `folder` when no one else holds it; nothing when someone does or
  // the folder cannot be opened.
  static std::optional<FolderLock> TryTake(const std::filesystem::path& folder);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

 private:
  explicit FolderLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace darvelle
