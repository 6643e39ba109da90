#pragma once
// darvelle-cli batch: a range of the catalogue computed on every core.

#include <string>
#include <vector>

namespace darvelle::cli {

int RunBatch(const std::vector<std::string>& args);

}  // namespace darvelle::cli
