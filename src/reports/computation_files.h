#pragma once
// The report and curve files of one computation, written from its finished
// result (never between the computation's stages): the window's and the
// command-line tool's output folder and the File menu's copies all go
// through these writers, so every folder holds the same bytes. Every file
// goes through io/atomic_file.h; a file that cannot be written throws
// FileError naming it and the cause.

#include <filesystem>
#include <string>

#include "geometry/eclipse_computation.h"

namespace darvelle {

class DeferredSync;

// The two reports, "Eckpunkt.txt" and the file of every curve that was built,
// into `folder`, which must exist, as one set (io/file_set.h): all are
// written and flushed before any earlier file is replaced. Then the files of
// the program's output names that this eclipse has none of (left there by
// another eclipse) are removed, so the folder holds one eclipse's set; any
// other file in the folder is left alone. On a failure the folder keeps the
// earlier set as it was. Each file is durable when this returns, unless
// `deferred` (io/deferred_sync.h) is given: then the set waits there and
// replaces the earlier files after the next flush of a batch.
// With `summary`, the set also holds kSummaryFileName (SummaryJson); without
// it, a summary left in the folder by another eclipse is removed with the
// other left-overs.
void WriteComputationFiles(const EclipseResult& c, const std::filesystem::path& folder,
                           DeferredSync* deferred = nullptr, bool summary = false);

// The eclipse's headline numbers (headline_numbers.h) as one JSON object:
// the catalogue index, the date, DeltaT in force, greatest eclipse (UT with
// the model's DeltaT), greatest_duration {lat, lon, ut, duration_s,
// width_km, sun_alt} (null for a non-central eclipse), and width_km,
// magnitude and gamma at greatest eclipse.
std::string SummaryJson(const EclipseResult& c);

}  // namespace darvelle
