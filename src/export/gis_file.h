#pragma once
// Where the GIS files meet the disk: one writer for both formats.

#include <QByteArray>

#include <filesystem>

namespace darvelle {

class DeferredSync;

// Writes `bytes` to `file` through an AtomicFile (io/atomic_file.h), durable
// at once unless `deferred` makes it durable later with a batch's other
// files; throws FileError naming the file and the cause. A file name without
// a folder goes into the current folder.
void WriteGisFile(const std::filesystem::path& file, const QByteArray& bytes,
                  DeferredSync* deferred = nullptr);

}  // namespace darvelle
