#include "io/deferred_sync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "io/file_error.h"

namespace darvelle {
namespace {

std::string Quoted(const std::filesystem::path& folder) { return "\"" + folder.string() + "\""; }

// The file system of an open folder; -1 when the system does not say.
dev_t DeviceOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? info.st_dev : static_cast<dev_t>(-1);
}

}  // namespace

DeferredSync::DeferredSync(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    throw FileError("Cannot open the output folder " + Quoted(folder) + ": " +
                    std::strerror(errno));
  }
  fileSystems_.push_back({DeviceOf(fd), fd, folder});
}

DeferredSync::~DeferredSync() {
  for (const FileSystem& fs : fileSystems_) ::close(fs.fd);
}

void DeferredSync::Committed(int folderFd, const std::filesystem::path& folder) {
  const dev_t device = DeviceOf(folderFd);
  std::lock_guard lock(mutex_);
  for (const FileSystem& fs : fileSystems_) {
    if (fs.device == device) return;
  }
  // A duplicate shares the writer's open folder, which was opened before the
  // file was written: no write-back error of that file can slip past Flush.
  const int fd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    throw FileError("Cannot keep the folder " + Quoted(folder) + " open: " + std::strerror(errno));
  }
  fileSystems_.push_back({device, fd, folder});
}

void DeferredSync::Flush() {
  std::lock_guard lock(mutex_);
  std::string failures;
  for (const FileSystem& fs : fileSystems_) {
    if (::syncfs(fs.fd) == 0) continue;
    if (!failures.empty()) failures += "; ";
    failures += "Cannot write the files in " + Quoted(fs.folder) + " to the disk: " +
                std::strerror(errno);
  }
  if (!failures.empty()) throw FileError(failures);
}

}  // namespace darvelle
