#include "io/atomic_file.h"

#include "io/deferred_sync.h"
#include "io/file_set.h"
#include "io/output_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

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

// Links are followed this far, as the kernel does.
constexpr int kMaxLinksFollowed = 40;

[[noreturn]] void Refuse(const std::filesystem::path& target, const std::string& why) {
  throw FileError("Cannot write " + Quoted(target) + ": " + why);
}

// The regular file a chain of links ends in. Only links of this user's are
// followed: a link someone else planted (think of a shared folder and a
// program run as root) must not steer the write anywhere.
std::filesystem::path FollowOwnLinks(const std::filesystem::path& target) {
  std::filesystem::path current = target;
  for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    if (info.st_uid != ::geteuid()) {
      Refuse(target, "it is a symbolic link of another user's (" + current.string() +
                         "), which is not followed");
    }
    std::error_code ec;
    const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
    if (ec) Refuse(target, ec.message());
    current = next.is_absolute() ? next
                                 : (current.has_parent_path() ? current.parent_path() : ".") / next;
  }
  Refuse(target, "too many levels of symbolic links");
}

struct Destination {
  std::filesystem::path path;
  bool stream = false;
};

// Where the bytes for `target` go, or why they may not go there.
Destination DestinationOf(const std::filesystem::path& target) {
  if (target == "-") return {target, true};
  struct stat named {};
  if (::lstat(target.c_str(), &named) != 0) return {target, false};  // missing: created
  if (S_ISREG(named.st_mode)) return {target, false};
  struct stat resolved {};
  if (::stat(target.c_str(), &resolved) != 0) {
    if (S_ISLNK(named.st_mode)) Refuse(target, "it is a symbolic link to a missing file");
    Refuse(target, std::strerror(errno));
  }
  if (S_ISCHR(resolved.st_mode) || S_ISFIFO(resolved.st_mode) || S_ISSOCK(resolved.st_mode)) {
    return {target, true};
  }
  if (S_ISDIR(resolved.st_mode)) Refuse(target, "it is a folder");
  if (!S_ISREG(resolved.st_mode)) Refuse(target, "it is not a regular file");
  return {FollowOwnLinks(target), false};
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : ".";
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target, DeferredSync* deferred)
    : target_(std::move(target)), deferred_(deferred) {
  if (target_.filename().empty()) Refuse(target_, "no file name");
  const Destination destination = DestinationOf(target_);
  destination_ = destination.path;
  stream_ = destination.stream;
  // A stream's contents wait in the temporary folder: the folder of a device
  // or a pipe is no place for files.
  folder_ = stream_ ? std::filesystem::path(TempFolderFor(std::getenv("TMPDIR")))
                    : FolderOf(destination_);
  folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) {
    const int error = errno;
    throw FileError("Cannot create " + Quoted(target_) + ": " + std::strerror(error));
  }
  std::string name;
  for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
    name = TemporaryNameFor(destination_);
    fd_ = ::openat(folderFd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   stream_ ? 0600 : 0666);
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

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      destination_(std::move(other.destination_)),
      folder_(std::move(other.folder_)),
      temporary_(std::exchange(other.temporary_, {})),
      deferred_(other.deferred_),
      stream_(other.stream_),
      folderFd_(std::exchange(other.folderFd_, -1)),
      fd_(std::exchange(other.fd_, -1)) {}

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

namespace {

// Writes all of `bytes` to `fd`; 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
  // Each pass writes at least one byte or fails, so the loop ends; the
  // interruptions are capped separately.
  int interrupted = 0;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR && ++interrupted < kMaxInterruptedWrites) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace

void AtomicFile::Write(std::string_view bytes) {
  if (fd_ < 0) throw FileError("Cannot write " + Quoted(target_) + ": the file was closed");
  if (const int error = WriteAll(fd_, bytes)) Fail("Cannot write", error);
}

void AtomicFile::FlushContents() {
  if (fd_ < 0) throw FileError("Cannot write " + Quoted(target_) + ": the file was closed");
  if (!stream_ && ::fsync(fd_) != 0) Fail("Cannot write", errno);
}

void AtomicFile::CopyToStream() {
  const int out = target_ == "-" ? ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)
                                 : ::open(destination_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (out < 0) Fail("Cannot write", errno);
  std::array<char, 1 << 16> buffer{};
  int error = 0;
  for (off_t offset = 0; error == 0;) {
    const ssize_t n = ::pread(fd_, buffer.data(), buffer.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    error = WriteAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    offset += n;
  }
  ::close(out);
  if (error != 0) Fail("Cannot write", error);
  Discard();
}

void AtomicFile::Replace() {
  if (fd_ < 0) throw FileError("Cannot write " + Quoted(target_) + ": the file was closed");
  if (stream_) {
    CopyToStream();
    return;
  }
  // Renamed while still open and locked, so that no cleaner takes the
  // temporary for an abandoned one in between.
  if (::renameat(folderFd_, temporary_.filename().c_str(), folderFd_,
                 destination_.filename().c_str()) != 0) {
    Fail("Cannot write", errno);
  }
  temporary_.clear();
}

bool AtomicFile::FlushFolder() noexcept {
  // EINVAL: a file system that cannot flush a folder (some network and
  // user-space ones); the rename is then as durable as it can be made.
  return stream_ || folderFd_ < 0 || ::fsync(folderFd_) == 0 || errno == EINVAL;
}

void AtomicFile::Commit() {
  if (deferred_ != nullptr && !stream_) {
    FileSet set(deferred_);
    set.Add(std::move(*this));
    set.Commit();
    return;
  }
  FlushContents();
  Replace();
  if (!FlushFolder()) {
    const int error = errno;
    Discard();
    throw FileError("Cannot write " + Quoted(target_) + " to the disk: " + std::strerror(error));
  }
  // Written and renamed (and flushed); closing cannot lose them.
  Discard();
}

void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         DeferredSync* deferred) {
  AtomicFile out(file, deferred);
  out.Write(bytes);
  out.Commit();
}

std::string WriteRefusal(const std::filesystem::path& target) {
  try {
    (void)DestinationOf(target);
    return {};
  } catch (const FileError& e) {
    return e.what();
  }
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
