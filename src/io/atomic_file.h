#pragma once
// Every file the program writes goes through AtomicFile: a temporary file is
// made beside the final name, filled, flushed to the disk and renamed onto the
// final name, and the folder is flushed so that the new name survives a power
// cut too. Readers see the old file or the complete new one, never a part;
// a failure leaves the old file as it was and no temporary behind. Files that
// belong together are replaced together by a FileSet (file_set.h); a run that
// writes many files leaves the flushing to a DeferredSync (deferred_sync.h).
//
// The temporary is created exclusively under an unpredictable name
// (".NAME.darvelle-XXXXXXXXXXXX", O_CREAT | O_EXCL | O_NOFOLLOW), so nothing
// another user planted in a shared folder is ever opened or followed. New
// files get the mode 0666 less the umask. While the writer lives it holds an
// exclusive flock(2) on its temporary, which tells RemoveStaleTemporaries
// (output_folder.h) that the temporary is in use.
//
// What the final name may be:
//  - missing or a regular file: replaced as above;
//  - "-", a character device, a pipe or a socket (or a link to one): a
//    stream, written directly once the whole contents are ready (the
//    temporary then lives in the temporary folder);
//  - a symbolic link to a regular file: written through, the link kept and
//    the file it names replaced, provided every link on the way belongs to
//    this user; anyone else's link is refused and never followed, and no
//    link is ever replaced;
//  - a folder, a block device, a dangling link: refused with a message.

#include <filesystem>
#include <string>
#include <string_view>

#include "io/file_error.h"

namespace darvelle {

class DeferredSync;

class AtomicFile {
 public:
  // Creates the temporary. Throws FileError naming `target` and the cause (a
  // missing folder, no permission, a target refused as above). Without
  // `deferred`, Commit makes the file durable before it returns; with it,
  // Commit hands the file to `deferred`, which replaces the target later.
  explicit AtomicFile(std::filesystem::path target, DeferredSync* deferred = nullptr);
  // Without Commit, the temporary is removed and the target left as it was.
  ~AtomicFile();
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes to the temporary. Throws FileError naming the target and
  // the cause ("No space left on device", "File too large"); the temporary is
  // gone afterwards and further calls throw.
  void Write(std::string_view bytes);

  // Flushes the contents to the disk, renames the temporary onto the target
  // and flushes the folder (with a DeferredSync: stages the file there).
  // Throws FileError naming the target and the cause; when the contents could
  // not be flushed or the rename failed, the old target stays and the
  // temporary is gone; when only the folder could not be flushed, the new
  // file is in place but may not survive a power cut, and the error says so.
  void Commit();

  // Drops the temporary without touching the target. Idempotent.
  void Discard() noexcept;

  // The steps of Commit, for a FileSet that flushes every file before it
  // replaces any: the contents to the disk, then the rename (for a stream,
  // the copy into it). Each throws FileError as Commit does.
  void FlushContents();
  void Replace();
  // Flushes the folder the file was renamed into; false when that failed.
  bool FlushFolder() noexcept;

  const std::filesystem::path& Target() const { return target_; }
  // Where the contents go until Commit, for a helper program that writes the
  // file itself (the PDF converter). Its errors must still name Target().
  const std::filesystem::path& TemporaryPath() const { return temporary_; }
  // The folder holding the temporary, open until the file is replaced.
  int FolderFd() const { return folderFd_; }
  const std::filesystem::path& Folder() const { return folder_; }
  bool IsStream() const { return stream_; }

 private:
  [[noreturn]] void Fail(const std::string& what, int error);
  void CopyToStream();

  std::filesystem::path target_;       // as the caller named it, for messages
  std::filesystem::path destination_;  // the file replaced, or the stream written
  std::filesystem::path folder_;
  std::filesystem::path temporary_;
  DeferredSync* deferred_ = nullptr;
  bool stream_ = false;
  // The folder stays open from the temporary's creation to the rename, so
  // both happen in the same folder even if its path is changed meanwhile.
  int folderFd_ = -1;
  int fd_ = -1;
};

// The whole of `bytes` as `file`, through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         DeferredSync* deferred = nullptr);

// Why a write to `target` would be refused under the rules above (a folder,
// a dangling link, anyone else's link, ...); empty when it would not. For a
// writer of another library (Qt's settings) that must follow the same rules.
std::string WriteRefusal(const std::filesystem::path& target);

// Whether a file name is one AtomicFile gives its temporaries.
bool IsAtomicTemporaryName(std::string_view fileName);

}  // namespace darvelle
