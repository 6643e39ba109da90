#pragma once
// darvelle-cli animate: the eclipse as a film, one picture of the globe per
// instant from the first contact to the last, optionally joined into a video
// by ffmpeg.

#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::cli {

// animate's options and --help.
CommandHelp AnimateHelp();
int RunAnimate(const std::vector<std::string>& args);

}  // namespace darvelle::cli
