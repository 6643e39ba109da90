#include "io/deferred_sync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "io/file_error.h"

namespace darvelle {
namespace {

std::string Quoted(const std::filesystem::path& folder) { return "\"" + folder.string() + "\""; }

// The file system of an open folder; -1 when the system does not say.
dev_t DeviceOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? info.st_dev : static_cast<dev_t>(-1);
}

void Append(std::string& failures, const std::string& failure) {
  if (failure.empty()) return;
  if (!failures.empty()) failures += "; ";
  failures += failure;
}

}  // namespace

DeferredSync::DeferredSync(const std::filesystem::path& folder, std::size_t maxWaitingFiles)
    : maxWaitingFiles_(std::max<std::size_t>(1, maxWaitingFiles)) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    throw FileError("Cannot open the output folder " + Quoted(folder) + ": " +
                    std::strerror(errno));
  }
  fileSystems_.push_back({DeviceOf(fd), fd, folder});
}

DeferredSync::~DeferredSync() {
  waiting_.clear();  // drops the temporaries of sets never flushed
  for (const FileSystem& fs : fileSystems_) ::close(fs.fd);
}

void DeferredSync::RememberFileSystem(int folderFd, const std::filesystem::path& folder) {
  const dev_t device = DeviceOf(folderFd);
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

std::string DeferredSync::SyncFileSystems() {
  std::string failures;
  for (const FileSystem& fs : fileSystems_) {
    if (::syncfs(fs.fd) == 0) continue;
    Append(failures, "Cannot write the files in " + Quoted(fs.folder) + " to the disk: " +
                         std::strerror(errno));
  }
  return failures;
}

// With the mutex held: the waiting sets' contents to the disk, then their
// renames. A failed flush replaces nothing: the earlier files stay.
void DeferredSync::ReplaceWaiting() {
  std::vector<FileSet> sets = std::exchange(waiting_, {});
  waitingFiles_ = 0;
  if (sets.empty()) return;
  std::string failures = SyncFileSystems();
  if (failures.empty()) {
    for (FileSet& set : sets) {
      try {
        set.Replace();
      } catch (const std::exception& e) {
        Append(failures, e.what());
      }
    }
  }
  if (!failures.empty()) {
    Append(failure_, failures);
    throw FileError(failures);
  }
}

void DeferredSync::Stage(FileSet set) {
  std::lock_guard lock(mutex_);
  if (!failure_.empty()) throw FileError(failure_);
  for (const AtomicFile* file : set.Files()) RememberFileSystem(file->FolderFd(), file->Folder());
  waitingFiles_ += set.Size();
  waiting_.push_back(std::move(set));
  if (waitingFiles_ >= maxWaitingFiles_) ReplaceWaiting();
}

void DeferredSync::Flush() {
  std::lock_guard lock(mutex_);
  if (!failure_.empty()) throw FileError(failure_);
  ReplaceWaiting();
  // The renames themselves.
  const std::string failures = SyncFileSystems();
  if (!failures.empty()) throw FileError(failures);
}

}  // namespace darvelle
