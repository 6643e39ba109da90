#include "io/file_set.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "io/deferred_sync.h"

namespace darvelle {

void FileSet::Write(const std::filesystem::path& file, std::string_view bytes) {
  AtomicFile out(file);
  out.Write(bytes);
  Add(std::move(out));
}

void FileSet::Add(AtomicFile file) { files_.push_back(std::move(file)); }

void FileSet::ThenRun(std::function<void()> step) { steps_.push_back(std::move(step)); }

std::vector<const AtomicFile*> FileSet::Files() const {
  std::vector<const AtomicFile*> files;
  for (const AtomicFile& file : files_) files.push_back(&file);
  return files;
}

void FileSet::Replace() {
  for (AtomicFile& file : files_) file.Replace();
  for (const auto& step : steps_) step();
  files_.clear();
  steps_.clear();
}

void FileSet::Commit() {
  if (deferred_ != nullptr) {
    DeferredSync* deferred = std::exchange(deferred_, nullptr);
    deferred->Stage(std::move(*this));
    return;
  }
  // Every file whole on the disk before the first earlier one is replaced.
  for (AtomicFile& file : files_) file.FlushContents();
  for (AtomicFile& file : files_) file.Replace();
  std::vector<std::filesystem::path> flushed;
  for (AtomicFile& file : files_) {
    if (std::find(flushed.begin(), flushed.end(), file.Folder()) != flushed.end()) continue;
    flushed.push_back(file.Folder());
    if (!file.FlushFolder()) {
      const int error = errno;
      const std::string target = file.Target().string();
      files_.clear();
      throw FileError("Cannot write \"" + target + "\" to the disk: " + std::strerror(error));
    }
  }
  files_.clear();  // closes them; the temporaries are already renamed
  for (const auto& step : steps_) step();
  steps_.clear();
}

}  // namespace darvelle
