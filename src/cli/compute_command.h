#pragma once
// darvelle-cli compute: one eclipse computed exactly as the window computes
// it, its files written into a folder.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/command_line_help.h"

#include "geometry/eclipse_computation.h"
#include "catalogue/language.h"

namespace darvelle {
class DeferredSync;
}

namespace darvelle::cli {

// What the command line asked for.
struct ComputeOptions {
  int index = 0;                  // catalogue index, 1-based
  TimeScale timeScale = TimeScale::kUniversal;      // TT with --tt
  int resolution = 1;
  Language language = kEnglish;
  std::filesystem::path outFolder;
  std::optional<std::filesystem::path> dataFolder;  // --data, if given
  // Every output option given, by name without "--" ("" for a flag), so an
  // output can read the options that shape it (the map reads the view's).
  std::map<std::string, std::string> outputValues;
  // The batch's: the report and curve files are made durable once at its end.
  DeferredSync* deferredSync = nullptr;
  // The curves as drawn and exported (PreparedEclipse::drawnCurves).
  bool drawnCurves = true;
  // summary.json beside the report files; the batch's folders go without.
  bool summaryFile = false;
  // --delta-t: the user's DeltaT in place of the model's (UT only).
  std::optional<double> deltaT;
};

// An output beyond the text files, switched on by its own option (the map,
// the legend picture, the PostScript sheet, ...). `write` runs after the
// computation with the option's value (empty for a flag).
struct ComputeOutput {
  const char* option;       // without "--"
  const char* value;        // its name in the help (FILE, DEG); nullptr for a flag
  const char* help;         // one line for --help
  void (*write)(const EclipseResult& computation, const ComputeOptions& options,
                const std::string& value);
  bool writesFile = false;  // the value names a file to write
};

// The outputs compute offers besides the text files, in the order they run.
std::vector<ComputeOutput> ComputeOutputs();

// Computes eclipse options.index and writes its report and curve files into
// options.outFolder (created if missing, and cleared of temporaries that
// killed writers left there).
EclipseResult RunComputation(const Catalogue& catalogue, const ComputeOptions& options,
                             EclipseScratch& scratch);
EclipseResult RunComputation(const CatalogueFile& catalogue, const ComputeOptions& options,
                             EclipseScratch& scratch);

class Args;
// The --resolution option (default 1); UsageError unless 1, 2, 4, 8, 16 or 32.
int ResolutionFor(const Args& args);

// compute's options and --help.
CommandHelp ComputeHelp();
int RunCompute(const std::vector<std::string>& args);

}  // namespace darvelle::cli
