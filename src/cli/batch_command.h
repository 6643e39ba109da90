#pragma once
// darvelle-cli batch: a range of the catalogue computed on every core.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

// batch's options and --help.
CommandHelp BatchHelp();
int RunBatch(const std::vector<std::string>& args);

}  // namespace darvelle::cli
