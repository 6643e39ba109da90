#pragma once
// The bar the long commands (batch, animate) redraw on standard error.

namespace darvelle::cli {

// "[####....] done/total" over the line before, 40 characters wide.
void DrawProgressBar(int done, int total);

}  // namespace darvelle::cli
