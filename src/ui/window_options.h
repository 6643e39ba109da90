#pragma once
// The window program's own command-line options, once: what it accepts, its
// --help and its manual page, darvelle(1).

#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

namespace darvelle::ui {

std::vector<OptionHelp> WindowOptions();

// What the options ask of one run.
struct WindowCommandLine {
  std::optional<std::filesystem::path> dataFolder;  // --data DIR
  bool keepFilesAtExit = false;  // --keep-files, or DARVELLE_KEEP_FILES=1
  bool exitAfterFirstMap = false;
  std::string error;             // a usage error; empty when the line is good
};

// Reads the arguments left once QApplication has taken Qt's own (the first
// is the program); `keepFilesVariable` is $DARVELLE_KEEP_FILES.
WindowCommandLine ReadWindowCommandLine(const QStringList& arguments, const char* keepFilesVariable);

// What --help prints; darvelle(1), as --man prints it.
std::string WindowHelp();
std::string WindowManPage();

}  // namespace darvelle::ui
