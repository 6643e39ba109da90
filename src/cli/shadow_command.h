#pragma once
// darvelle-cli shadow: where the Moon's shadow lies on the Earth at one
// instant of one eclipse.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

// shadow's options and --help.
CommandHelp ShadowHelp();
int RunShadow(const std::vector<std::string>& args);

}  // namespace darvelle::cli
