#pragma once
// The report and curve files of one computation, by stage: ComputeEclipse
// writes each group as soon as its stage is done (so a slow eclipse leaves
// the earlier files already in place), and WriteComputationFiles writes all
// of them again later, from the finished computation, into another folder.
// Both go through the same writers, so the two folders hold the same bytes.
// Every file goes through io/atomic_file.h; a file that cannot be written
// throws FileError naming it and the cause.

#include <filesystem>

#include "geometry/eclipse_computation.h"

namespace darvelle {

// The two reports and "Eckpunkt.txt" (after the general circumstances).
void WriteReportFiles(const EclipseComputation& c, const std::filesystem::path& folder);
// "Testfile.001" .. "Testfile.006", those that were built.
void WriteRiseSetFiles(const EclipseComputation& c, const std::filesystem::path& folder);
// The northern and southern umbral limits and the central line, those built.
void WriteUmbraFiles(const EclipseComputation& c, const std::filesystem::path& folder);
// The maximum-at-the-horizon and maximum-at-sunrise/sunset curves, those built.
void WriteHorizonFiles(const EclipseComputation& c, const std::filesystem::path& folder);
// The northern and southern penumbral limits (ephemeris longitudes), those built.
void WritePenumbraFiles(const EclipseComputation& c, const std::filesystem::path& folder);

// Every file above for a finished computation (ComputeEclipse done), into
// `folder`, which must exist. When all are written, the files of the
// program's output names that this eclipse has none of (left there by
// another eclipse) are removed, so the folder holds one eclipse's set; any
// other file in the folder is left alone. On a failure the files written so
// far stay, and the earlier ones of the names not yet reached.
void WriteComputationFiles(const EclipseComputation& c, const std::filesystem::path& folder);

}  // namespace darvelle
