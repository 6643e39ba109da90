#include "cli/progress_bar.h"

#include <cstdio>
#include <string>

namespace darvelle::cli {

void DrawProgressBar(int done, int total) {
  constexpr int kWidth = 40;
  const int filled = total > 0 ? static_cast<int>(static_cast<long long>(done) * kWidth / total) : kWidth;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), '.');
  std::fprintf(stderr, "\r[%s] %d/%d", bar.c_str(), done, total);
  std::fflush(stderr);
}

}  // namespace darvelle::cli
