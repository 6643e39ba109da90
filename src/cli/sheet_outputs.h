#pragma once
// The map sheet from darvelle-cli compute: --sheet FILE.ps writes the
// PostScript sheet of the map as --map draws it (same view options), and
// --pdf FILE.pdf converts that sheet with Ghostscript.

#include <vector>

#include "cli/compute_command.h"

namespace darvelle::cli {

std::vector<ComputeOutput> SheetOutputs();

// Before anything is computed: --pdf needs Ghostscript on PATH; throws
// std::runtime_error saying so when it is missing.
void CheckSheetOptions(const ComputeOptions& options);

}  // namespace darvelle::cli
