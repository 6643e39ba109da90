#pragma once
// Files that replace their earlier versions together: the report and curve
// files of one eclipse, a batch's GIS files. Each file is written to a
// temporary beside its name (AtomicFile); only when every one is complete are
// their contents flushed to the disk, and only then are they renamed over the
// earlier files, so that a failure at any point before leaves the earlier set
// as it was, and a power cut never leaves an empty file where a whole one was.

#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "io/atomic_file.h"

namespace darvelle {

class DeferredSync;

class FileSet {
 public:
  // With `deferred`, Commit hands the set to it (deferred_sync.h), which
  // flushes many sets at once before it replaces their earlier files.
  explicit FileSet(DeferredSync* deferred = nullptr) : deferred_(deferred) {}
  FileSet(FileSet&&) noexcept = default;
  FileSet& operator=(FileSet&&) noexcept = default;

  // The whole of `bytes` as `file`, into a temporary until Commit. Throws
  // FileError as AtomicFile does; the set's other files stay temporaries.
  void Write(const std::filesystem::path& file, std::string_view bytes);
  // A file its caller has written.
  void Add(AtomicFile file);
  // A step that runs once every file of the set has replaced its earlier
  // version (the removal of an earlier set's extra files).
  void ThenRun(std::function<void()> step);

  // Flushes every file's contents, renames each onto its name, flushes the
  // folders, then runs the steps (with a DeferredSync: stages the set there).
  // Throws FileError naming the file and the cause; when a contents flush
  // failed, no earlier file was replaced.
  void Commit();

  // The halves of Commit, for a DeferredSync that flushes all the staged
  // sets' contents at once: renames and the steps, without any flush.
  void Replace();
  // The open folders of the files, for the DeferredSync to know which file
  // systems to flush.
  std::vector<const AtomicFile*> Files() const;
  bool Empty() const { return files_.empty(); }
  std::size_t Size() const { return files_.size(); }

 private:
  DeferredSync* deferred_ = nullptr;
  std::vector<AtomicFile> files_;
  std::vector<std::function<void()>> steps_;
};

}  // namespace darvelle
