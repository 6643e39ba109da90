#pragma once
// The pictures darvelle-cli compute can write besides the text files: the
// full-size map drawing (--map) and the legend picture (--legend), with the
// view chosen by --psi, --phi, --chi, --size, --stereographic, --colored and
// --pen-width.

#include <filesystem>
#include <vector>

#include "cli/compute_command.h"
#include "render/projection.h"

namespace darvelle::cli {

// The options above as compute outputs (the view options write nothing
// themselves; --map and --legend read them).
std::vector<ComputeOutput> MapOutputs();

// Checks the view options and the picture file names before anything is
// computed; UsageError for a value out of range or a file name that is
// neither .bmp nor .png.
void CheckMapOptions(const ComputeOptions& options);

// The view the options ask for (defaults: the window's reset view).
ViewParameters MapViewFor(const ComputeOptions& options);

}  // namespace darvelle::cli
