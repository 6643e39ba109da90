#include "io/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "io/file_error.h"

namespace darvelle {
namespace {

// How often a waiting writer looks again: short against a computation's
// time, long enough not to spin.
constexpr std::chrono::milliseconds kRetryInterval{50};

std::string Quoted(const std::filesystem::path& folder) { return "\"" + folder.string() + "\""; }

int OpenFolder(const std::filesystem::path& folder) {
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Whether the lock was taken; false with errno EWOULDBLOCK when it is held.
bool TryLock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

FolderLock FolderLock::Take(const std::filesystem::path& folder,
                            std::chrono::milliseconds patience) {
  const int fd = OpenFolder(folder);
  if (fd < 0) {
    throw FileError("Cannot open the output folder " + Quoted(folder) + ": " +
                    std::strerror(errno));
  }
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!TryLock(fd)) {
    const int error = errno;
    // A file system without locks: nothing to coordinate with.
    if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL) break;
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      throw FileError("Cannot write into the output folder " + Quoted(folder) + ": " +
                      (error == EWOULDBLOCK
                           ? std::string("another Darvelle is still writing there; try again "
                                         "when it has finished, or choose another folder")
                           : std::string(std::strerror(error))));
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
  return FolderLock(fd);
}

std::optional<FolderLock> FolderLock::TryTake(const std::filesystem::path& folder) {
  const int fd = OpenFolder(folder);
  if (fd < 0) return std::nullopt;
  if (!TryLock(fd) && errno == EWOULDBLOCK) {
    ::close(fd);
    return std::nullopt;
  }
  return FolderLock(fd);  // taken, or a file system without locks
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace darvelle
