#include "io/output_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "io/atomic_file.h"
#include "io/folder_lock.h"
#include "io/output_file_names.h"
#include "io/temporary_names.h"

namespace darvelle {
namespace {

std::string Quoted(const std::filesystem::path& folder) { return "\"" + folder.string() + "\""; }

std::string Refusal(const std::filesystem::path& folder, const std::string& why) {
  return "The output folder " + Quoted(folder) + " is not used: " + why +
         ". Remove it, or set TMPDIR to a folder of your own.";
}

// A folder with more entries than this is read only this far; the cleaning is
// a courtesy, and stopping early leaves files, it never removes a wrong one.
constexpr int kMaxEntriesScanned = 1'000'000;

// Removes `name` from the folder when it is an abandoned temporary of ours.
bool RemoveIfStale(int folderFd, const char* name, std::chrono::seconds minimumAge) {
  const int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  bool removed = false;
  struct stat opened {};
  // A second name (a hard link) means someone made it on purpose: not ours.
  if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1 &&
      opened.st_uid == ::geteuid() &&
      std::time(nullptr) - opened.st_mtime >= minimumAge.count() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    // The name must still be the file that was checked and locked.
    struct stat named {};
    if (::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
      removed = ::unlinkat(folderFd, name, 0) == 0;
    }
  }
  ::close(fd);
  return removed;
}

}  // namespace

std::string FolderFromEnvironment(const char* value, bool absoluteOnly) {
  if (value == nullptr) return {};
  const std::string_view text(value);
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  std::string folder(text.substr(first, last - first + 1));
  if (absoluteOnly && folder.front() != '/') return {};
  return folder;
}

std::string TempFolderFor(const char* tmpdir) {
  std::string folder = FolderFromEnvironment(tmpdir, false);
  if (folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::filesystem::path PrivateOutputFolderFor(const char* xdgRuntimeDir, const char* tmpdir,
                                             uid_t uid) {
  const std::string runtime = FolderFromEnvironment(xdgRuntimeDir, true);
  if (!runtime.empty()) return std::filesystem::path(runtime) / "darvelle";
  return std::filesystem::path(TempFolderFor(tmpdir) + "darvelle-" + std::to_string(uid));
}

std::string PrivateFolderProblem(const std::filesystem::path& folder, uid_t owner) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return Refusal(folder, std::strerror(errno));
  if (S_ISLNK(info.st_mode)) return Refusal(folder, "it is a symbolic link");
  if (!S_ISDIR(info.st_mode)) return Refusal(folder, "it is not a folder");
  if (info.st_uid != owner) {
    return Refusal(folder, "it belongs to user " + std::to_string(info.st_uid) + ", not to user " +
                               std::to_string(owner));
  }
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return Refusal(folder, "other users may write into it");
  }
  return {};
}

OutputFolder PreparePrivateFolder(const std::filesystem::path& folder, uid_t owner) {
  OutputFolder result{folder, {}};
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    result.problem = "Cannot create the output folder " + Quoted(folder) + ": " +
                     std::strerror(errno);
    return result;
  }
  result.problem = PrivateFolderProblem(folder, owner);
  if (result.Usable()) RemoveStaleTemporaries(folder);
  return result;
}

OutputFolder PrivateOutputFolder() {
  const uid_t user = ::geteuid();
  return PreparePrivateFolder(
      PrivateOutputFolderFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"), user), user);
}

// Windows of one user beyond this many share nothing but a message.
constexpr int kMaxPrivateFolders = 9;

ClaimedOutputFolder ClaimPrivateOutputFolderAt(const std::filesystem::path& first, uid_t owner) {
  ClaimedOutputFolder claimed;
  for (int n = 1; n <= kMaxPrivateFolders; ++n) {
    const std::filesystem::path folder =
        n == 1 ? first : std::filesystem::path(first.string() + "-" + std::to_string(n));
    claimed.folder = PreparePrivateFolder(folder, owner);
    if (!claimed.folder.Usable()) return claimed;
    if (auto lock = FolderLock::TryTake(folder)) {
      claimed.lock = std::make_shared<FolderLock>(std::move(*lock));
      return claimed;
    }
  }
  claimed.folder.problem = "The output folders " + Quoted(first) + " to \"-" +
                           std::to_string(kMaxPrivateFolders) +
                           "\" are all in use by other windows of Darvelle. Close one of them.";
  return claimed;
}

ClaimedOutputFolder ClaimPrivateOutputFolder() {
  const uid_t user = ::geteuid();
  return ClaimPrivateOutputFolderAt(
      PrivateOutputFolderFor(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"), user), user);
}

namespace {

// Removes the stale temporaries of `folder` whose names `ours` accepts.
template <typename Ours>
int RemoveStaleTemporariesWhere(const std::filesystem::path& folder, std::chrono::seconds minimumAge,
                                Ours ours) {
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return 0;
  DIR* listing = ::fdopendir(folderFd);
  if (listing == nullptr) {
    ::close(folderFd);
    return 0;
  }
  int removed = 0;
  int scanned = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (++scanned > kMaxEntriesScanned) break;
    if (!ours(entry->d_name)) continue;
    if (RemoveIfStale(::dirfd(listing), entry->d_name, minimumAge)) ++removed;
  }
  ::closedir(listing);  // closes folderFd too
  return removed;
}

}  // namespace

int RemoveStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds minimumAge) {
  return RemoveStaleTemporariesWhere(folder, minimumAge, [](std::string_view name) {
    return IsTemporaryOf(name, kOutputFileNames, true);
  });
}

int RemoveOwnStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds minimumAge) {
  return RemoveStaleTemporariesWhere(folder, minimumAge, IsAtomicTemporaryName);
}

int RemoveStaleTemporariesOf(const std::filesystem::path& file, std::chrono::seconds minimumAge) {
  return RemoveOwnStaleTemporaries(file.has_parent_path() ? file.parent_path() : ".", minimumAge);
}

}  // namespace darvelle
