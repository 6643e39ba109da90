#pragma once
// darvelle-cli shadow: where the Moon's shadow lies on the Earth at one
// instant of one eclipse.

#include <string>
#include <vector>

namespace darvelle::cli {

int RunShadow(const std::vector<std::string>& args);

}  // namespace darvelle::cli
