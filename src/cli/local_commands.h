#pragma once
// darvelle-cli local, visible and places: what one place sees of one eclipse,
// every eclipse a place sees, and the place search.

#include <string>
#include <vector>

namespace darvelle::cli {

int RunLocal(const std::vector<std::string>& args);
int RunVisible(const std::vector<std::string>& args);
int RunPlaces(const std::vector<std::string>& args);

}  // namespace darvelle::cli
