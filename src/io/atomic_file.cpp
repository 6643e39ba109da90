#include "io/atomic_file.h"

#include "io/deferred_sync.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <random>

namespace darvelle {
namespace {

constexpr std::string_view kTemporaryMarker = ".darvelle-";
constexpr std::size_t kRandomLength = 12;
constexpr std::string_view kNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A file name may hold 255 bytes; the target's own name is cut so that the
// dot, the marker and the random part still fit.
constexpr std::size_t kMaxEmbeddedNameLength = 200;
// 62^12 names: a clash with an existing file is next to impossible unless the
// name was planted, which does not repeat across fresh random names. Giving
// up after this many clashes turns a flooded folder into an error, not a hang.
constexpr int kMaxCreateAttempts = 64;
// A write interrupted by a signal before it wrote anything is tried again; a
// stream of signals that never lets one through is reported after this many.
constexpr int kMaxInterruptedWrites = 1000;

std::string RandomPart() {
  std::array<unsigned char, kRandomLength> bytes{};
  // getrandom never returns short for requests of up to 256 bytes once the
  // pool is ready; when it is not, the library's generator stands in.
  if (::getrandom(bytes.data(), bytes.size(), GRND_NONBLOCK) !=
      static_cast<ssize_t>(bytes.size())) {
    std::random_device device;
    for (auto& b : bytes) b = static_cast<unsigned char>(device());
  }
  std::string text;
  for (unsigned char b : bytes) text += kNameAlphabet[b % kNameAlphabet.size()];
  return text;
}

// ".NAME.darvelle-RANDOM" for the target's NAME.
std::string TemporaryNameFor(const std::filesystem::path& target) {
  std::string name = target.filename().string();
  if (name.size() > kMaxEmbeddedNameLength) name.resize(kMaxEmbeddedNameLength);
  return "." + name + std::string(kTemporaryMarker) + RandomPart();
}

std::string Quoted(const std::filesystem::path& file) { return "\"" + file.string() + "\""; }

// A device, a pipe or a folder at the final name is not something a program's
// output may replace (think of "--map /dev/null" run as root).
void CheckReplaceable(const std::filesystem::path& target) {
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0) return;  // missing: created; other errors: at create
  if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return;
  throw FileError("Cannot write " + Quoted(target) + ": " +
                  (S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file"));
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target, DeferredSync* deferred)
    : target_(std::move(target)), deferred_(deferred) {
  if (target_.filename().empty()) {
    throw FileError("Cannot write " + Quoted(target_) + ": no file name");
  }
  CheckReplaceable(target_);
  folder_ = target_.has_parent_path() ? target_.parent_path() : ".";
  folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) {
    const int error = errno;
    throw FileError("Cannot create " + Quoted(target_) + ": " + std::strerror(error));
  }
  std::string name;
  for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
    name = TemporaryNameFor(target_);
    fd_ = ::openat(folderFd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    ::close(folderFd_);
    folderFd_ = -1;
    throw FileError("Cannot create " + Quoted(target_) + ": " + std::strerror(error));
  }
  temporary_ = folder_ / name;
  // Held until the temporary is renamed or removed; see RemoveStaleTemporaries.
  // A file system without locks still gets the file, only not the marker.
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() noexcept {
  if (!temporary_.empty()) ::unlinkat(folderFd_, temporary_.filename().c_str(), 0);
  temporary_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (folderFd_ >= 0) ::close(folderFd_);
  folderFd_ = -1;
}

void AtomicFile::Fail(const std::string& what, int error) {
  Discard();
  throw FileError(what + " " + Quoted(target_) + ": " + std::strerror(error));
}

void AtomicFile::Write(std::string_view bytes) {
  if (fd_ < 0) throw FileError("Cannot write " + Quoted(target_) + ": the file was closed");
  // Each pass writes at least one byte or fails, so the loop ends; the
  // interruptions are capped separately.
  int interrupted = 0;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR && ++interrupted < kMaxInterruptedWrites) continue;
    if (n < 0) Fail("Cannot write", errno);
    if (n == 0) Fail("Cannot write", EIO);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void AtomicFile::Commit() {
  if (fd_ < 0) throw FileError("Cannot write " + Quoted(target_) + ": the file was closed");
  if (deferred_ == nullptr && ::fsync(fd_) != 0) Fail("Cannot write", errno);
  // Renamed while still open and locked, so that no cleaner takes the
  // temporary for an abandoned one in between.
  if (::renameat(folderFd_, temporary_.filename().c_str(), folderFd_,
                 target_.filename().c_str()) != 0) {
    Fail("Cannot write", errno);
  }
  temporary_.clear();
  if (deferred_ != nullptr) {
    try {
      deferred_->Committed(folderFd_, folder_);
    } catch (...) {
      Discard();
      throw;
    }
  } else if (::fsync(folderFd_) != 0 && errno != EINVAL) {
    // EINVAL: a file system that cannot flush a folder (some network and
    // user-space ones); the rename is then as durable as it can be made.
    const int error = errno;
    Discard();
    throw FileError("Cannot write " + Quoted(target_) + " to the disk: " + std::strerror(error));
  }
  // Written and renamed (and flushed, unless deferred); closing cannot lose them.
  Discard();
}

void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         DeferredSync* deferred) {
  AtomicFile out(file, deferred);
  out.Write(bytes);
  out.Commit();
}

bool IsAtomicTemporaryName(std::string_view name) {
  if (name.size() < 1 + 1 + kTemporaryMarker.size() + kRandomLength || name.front() != '.') {
    return false;
  }
  const std::string_view random = name.substr(name.size() - kRandomLength);
  const std::string_view marker =
      name.substr(name.size() - kRandomLength - kTemporaryMarker.size(), kTemporaryMarker.size());
  return marker == kTemporaryMarker &&
         random.find_first_not_of(kNameAlphabet) == std::string_view::npos;
}

}  // namespace darvelle
