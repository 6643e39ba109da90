#pragma once
// Faults a test plants around a file write: a file size limit that makes a
// write fail half-way, a umask, a folder listing to see what was left, and a
// modification time set into the past.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace darvelle::testing {

// While alive, files of this process cannot grow beyond `bytes`: a write
// past the limit fails with EFBIG ("File too large") instead of raising
// SIGXFSZ, as on a disk that fills up half-way through a file.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(saved_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t saved_;
};

// The names in `folder`, sorted.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Sets the modification time of `file` (not following a link) `seconds` ago.
inline void AgeFile(const std::filesystem::path& file, long seconds) {
  const timespec then{std::time(nullptr) - seconds, 0};
  const timespec times[2] = {then, then};
  ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

inline mode_t PermissionsOf(const std::filesystem::path& file) {
  struct stat info {};
  ::lstat(file.c_str(), &info);
  return info.st_mode & 07777;
}

}  // namespace darvelle::testing
