#pragma once
// Where the program's own output files go when the user names no folder, and
// the care that folder needs.
//
// A shared temporary folder such as /tmp lets any other user plant a file or
// a symbolic link under a name the program is known to write. So the output
// files live in a folder of the user's own: $XDG_RUNTIME_DIR/darvelle, else
// $TMPDIR/darvelle-UID, else /tmp/darvelle-UID. It is created with mode 0700
// and used only when it is a real folder (not a link) owned by the user that
// no one else may write into; otherwise it is refused with a message saying why.
// A folder the user names (darvelle-cli --out) is used as given.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>

namespace darvelle {

class FolderLock;

// A folder named by an environment variable's `value` (null when unset),
// trimmed of blanks; empty when unset or blank, and, with `absoluteOnly`, when
// relative (the XDG rules say such a value is invalid and must be ignored).
std::string FolderFromEnvironment(const char* value, bool absoluteOnly);

// The user's temporary folder with a trailing '/': `tmpdir` (the value of
// TMPDIR) trimmed of blanks when it is not empty, else "/tmp/".
std::string TempFolderFor(const char* tmpdir);

// The private output folder for these environment values (each may be null):
// $XDG_RUNTIME_DIR/darvelle when XDG_RUNTIME_DIR is an absolute path, else
// TempFolderFor(tmpdir) + "darvelle-" + uid.
std::filesystem::path PrivateOutputFolderFor(const char* xdgRuntimeDir, const char* tmpdir,
                                             uid_t uid);

// The outcome of preparing an output folder: the folder, and what is wrong
// with it when it must not be used.
struct OutputFolder {
  std::filesystem::path path;
  std::string problem;  // empty when the folder may be used
  bool Usable() const { return problem.empty(); }
};

// Why `folder` is not a safe private folder of user `owner`: it is missing,
// a symbolic link, not a folder, owned by someone else, or writable by group
// or others. Empty when it is safe.
std::string PrivateFolderProblem(const std::filesystem::path& folder, uid_t owner);

// Creates `folder` with mode 0700 when it is missing (its parent must exist),
// then checks it with PrivateFolderProblem for the user `owner`. A folder
// that passes is cleared of stale temporaries (RemoveStaleTemporaries).
OutputFolder PreparePrivateFolder(const std::filesystem::path& folder, uid_t owner);

// PreparePrivateFolder of PrivateOutputFolderFor this process's environment
// and effective user.
OutputFolder PrivateOutputFolder();

// A private output folder of this process's own for as long as `lock` lives:
// PrivateOutputFolder when no other window holds it, else the first free of
// the same name with "-2" .. "-9" appended, so that two windows of one user
// never write into one folder. A folder refused for its owner or mode is
// reported as PrivateOutputFolder reports it; when all are taken the last
// one's problem says so.
struct ClaimedOutputFolder {
  OutputFolder folder;
  std::shared_ptr<FolderLock> lock;  // null when the folder is not usable
};
ClaimedOutputFolder ClaimPrivateOutputFolder();
ClaimedOutputFolder ClaimPrivateOutputFolderAt(const std::filesystem::path& first, uid_t owner);

// How long a temporary must have been left untouched before it may be taken
// for abandoned: longer than any gap between two writes of a live writer, and
// long enough that another instance of the program still writing it (an older
// one holds no lock on its temporaries) has long finished.
inline constexpr std::chrono::seconds kStaleTemporaryAge{5 * 60};

// Removes from the program's private output folder the temporaries a killed
// writer left (the patterns of io/temporary_names.h: any of this version's
// AtomicFile, and those of earlier versions for the names of
// io/output_file_names.h): regular files with one name, not links, owned by
// this user, not modified for `minimumAge`, and not locked by a live writer.
// Anyone else's file is never touched. Returns how many were removed; a
// folder that cannot be read removes none.
int RemoveStaleTemporaries(const std::filesystem::path& folder,
                           std::chrono::seconds minimumAge = kStaleTemporaryAge);

// The same for a folder the user named (darvelle-cli --out DIR), with only
// this version's temporaries, whose names carry the program's marker and a
// random part: the earlier versions' patterns ("FILE.tmp1", "FILE.part",
// "FILE.backup") are also what a user's own files may be called.
int RemoveOwnStaleTemporaries(const std::filesystem::path& folder,
                              std::chrono::seconds minimumAge = kStaleTemporaryAge);

// RemoveOwnStaleTemporaries of the folder of a file the user named
// (darvelle-cli --pdf FILE).
int RemoveStaleTemporariesOf(const std::filesystem::path& file,
                             std::chrono::seconds minimumAge = kStaleTemporaryAge);

}  // namespace darvelle
