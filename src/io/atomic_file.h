#pragma once
// Every file the program writes goes through AtomicFile: a temporary file is
// made beside the final name, filled, flushed to the disk and renamed onto the
// final name, and the folder is flushed so that the new name survives a power
// cut too. Readers see the old file or the complete new one, never a part;
// a failure leaves the old file as it was and no temporary behind. A run that
// writes many files may leave the flushing to a DeferredSync (deferred_sync.h)
// that does it once for all of them.
//
// The temporary is created exclusively under an unpredictable name
// (".NAME.darvelle-XXXXXXXXXXXX", O_CREAT | O_EXCL | O_NOFOLLOW), so nothing
// another user planted in a shared folder is ever opened or followed. The
// final name is replaced by rename(2) without being resolved: when it is a
// symbolic link, the link is replaced and its target left alone. New files get
// the mode 0666 less the umask. While the writer lives it holds an exclusive
// flock(2) on its temporary, which tells RemoveStaleTemporaries (output_folder.h)
// that the temporary is in use.

#include <filesystem>
#include <string>
#include <string_view>

#include "io/file_error.h"

namespace darvelle {

class DeferredSync;

class AtomicFile {
 public:
  // Creates the temporary in the target's folder. Throws FileError naming
  // `target` and the cause (a missing folder, no permission, a target that
  // exists and is neither a regular file nor a symbolic link). Without
  // `deferred`, Commit makes the file durable before it returns; with it,
  // Commit renames only and `deferred` makes the file durable later.
  explicit AtomicFile(std::filesystem::path target, DeferredSync* deferred = nullptr);
  // Without Commit, the temporary is removed and the target left as it was.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes to the temporary. Throws FileError naming the target and
  // the cause ("No space left on device", "File too large"); the temporary is
  // gone afterwards and further calls throw.
  void Write(std::string_view bytes);

  // Flushes the contents to the disk, renames the temporary onto the target
  // and flushes the folder (with a DeferredSync: renames only). Throws
  // FileError naming the target and the cause; when the contents could not be
  // flushed or the rename failed, the old target stays and the temporary is
  // gone; when only the folder could not be flushed, the new file is in place
  // but may not survive a power cut, and the error says so.
  void Commit();

  // Drops the temporary without touching the target. Idempotent.
  void Discard() noexcept;

  const std::filesystem::path& Target() const { return target_; }
  // Where the contents go until Commit, for a helper program that writes the
  // file itself (the PDF converter). Its errors must still name Target().
  const std::filesystem::path& TemporaryPath() const { return temporary_; }

 private:
  [[noreturn]] void Fail(const std::string& what, int error);

  std::filesystem::path target_;
  std::filesystem::path folder_;
  std::filesystem::path temporary_;
  DeferredSync* deferred_ = nullptr;
  // The folder stays open from the temporary's creation to the rename, so
  // both happen in the same folder even if its path is changed meanwhile.
  int folderFd_ = -1;
  int fd_ = -1;
};

// The whole of `bytes` as `file`, through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         DeferredSync* deferred = nullptr);

// Whether a file name is one AtomicFile gives its temporaries.
bool IsAtomicTemporaryName(std::string_view fileName);

}  // namespace darvelle
