// darvelle-cli compute (--index N | --year Y) [--tt] [--resolution R]
//   [--language de|en|fr] [--data DIR] --out DIR

#include "cli/compute_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <iostream>
#include <set>
#include <system_error>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "cli/args.h"
#include "cli/common_options.h"
#include "cli/gis_outputs.h"
#include "cli/map_outputs.h"
#include "cli/selection_options.h"
#include "cli/sheet_outputs.h"
#include "io/folder_lock.h"
#include "io/output_folder.h"
#include "reports/computation_files.h"
#include "reports/report_files.h"

namespace darvelle::cli {
namespace {

// Whether `file` names this process's standard output ("-", /dev/stdout, or
// the file or pipe it is redirected to).
bool IsStandardOutput(const std::string& file) {
  if (file == "-") return true;
  struct stat named {};
  struct stat out {};
  return ::stat(file.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
         named.st_dev == out.st_dev && named.st_ino == out.st_ino;
}

Language ParseLanguage(const std::string& text) {
  if (text == "de") return kGerman;
  if (text == "en") return kEnglish;
  if (text == "fr") return kFrench;
  throw UsageError("--language must be de, en or fr, not '" + text + "'");
}

}  // namespace

std::vector<ComputeOutput> ComputeOutputs() {
  // Further outputs (map, legend, sheet) are listed here.
  std::vector<ComputeOutput> outputs = MapOutputs();
  for (const ComputeOutput& output : SheetOutputs()) outputs.push_back(output);
  for (const ComputeOutput& output : GisOutputs()) outputs.push_back(output);
  return outputs;
}

int ResolutionFor(const Args& args) {
  const long long resolution = args.Integer("resolution").value_or(1);
  if (resolution < 1 || resolution > 32 || !IsValidResolution(static_cast<int>(resolution))) {
    throw UsageError("--resolution must be 1, 2, 4, 8, 16 or 32");
  }
  return static_cast<int>(resolution);
}

namespace {

void CreateOutputFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    throw FileError("Cannot create the output folder \"" + folder.string() +
                    "\": " + (ec ? ec.message() : "not a folder"));
  }
}

}  // namespace

namespace {

template <typename Records>
EclipseResult RunComputationOn(const Records& catalogue, const ComputeOptions& options,
                               EclipseScratch& scratch) {
  PreparedEclipse prepared = PrepareEclipse(MakeCurrentEclipse(catalogue, options.index),
                                            options.timeScale, options.resolution);
  prepared.selectedIndex = options.index;
  prepared.drawnCurves = options.drawnCurves;
  if (options.deltaT) SetUserDeltaT(prepared, *options.deltaT);
  EclipseResult result = ComputeEclipse(prepared, scratch);
  if (options.outFolder.empty()) return result;  // only the outputs were asked for
  CreateOutputFolder(options.outFolder);
  RemoveOwnStaleTemporaries(options.outFolder);
  // Replaces the earlier set only once the new one is whole.
  WriteComputationFiles(result, options.outFolder, options.deferredSync, options.summaryFile);
  return result;
}

}  // namespace

EclipseResult RunComputation(const Catalogue& catalogue, const ComputeOptions& options,
                             EclipseScratch& scratch) {
  return RunComputationOn(catalogue, options, scratch);
}

EclipseResult RunComputation(const CatalogueFile& catalogue, const ComputeOptions& options,
                             EclipseScratch& scratch) {
  return RunComputationOn(catalogue, options, scratch);
}

namespace {

std::vector<OptionHelp> ComputeOptionsHelp() {
  std::vector<OptionHelp> options = Joined({
      EclipseChoice(),
      {{"tt", "", "compute in TT (Terrestrial Time) instead of UT"}, DeltaTOptionHelp(),
       {"resolution", "1|2|4|8|16|32", "step of the curves, 1 the finest (default 1)"}, LanguageOptionHelp(),
       DataOptionHelp(),
       {"out", "DIR",
        "the folder of the report and curve files and summary.json; without it only the outputs below are "
        "written, and one of them is required"}},
  });
  for (const ComputeOutput& output : ComputeOutputs()) {
    options.push_back({output.option, output.value ? output.value : "", output.help});
  }
  return options;
}

}  // namespace

CommandHelp ComputeHelp() {
  return {"compute", "",
    "Computes one eclipse as the window does (UT with the DeltaT model, or with --delta-t "
    "SECONDS; TT with --tt) and, with --out DIR, writes its reports and curve files into DIR, with "
    "summary.json beside them: greatest eclipse, the point of greatest duration, the path's "
    "width, magnitude and gamma. The options after --out add the map, the legend, the "
    "PostScript sheet, the PDF and the GIS files.",
    ComputeOptionsHelp()};
}

int RunCompute(const std::vector<std::string>& rawArgs) {
  const Args args(rawArgs, ComputeHelp().options);
  const auto outputs = ComputeOutputs();
  if (!args.Has("date")) CheckSelectionOptions(args);
  ComputeOptions options;
  options.timeScale = args.Has("tt") ? TimeScale::kTerrestrial : TimeScale::kUniversal;
  options.deltaT = DeltaTOption(args);
  if (options.deltaT && args.Has("tt")) throw UsageError("--delta-t goes with UT, not --tt");
  options.summaryFile = true;
  options.resolution = ResolutionFor(args);
  options.language = ParseLanguage(args.Value("language").value_or("en"));
  const auto out = args.Value("out");
  if (out && out->empty()) throw UsageError("--out needs a folder");
  if (out) options.outFolder = *out;
  options.dataFolder = DataFolder(args);
  for (const ComputeOutput& output : outputs) {
    if (args.Has(output.option)) {
      options.outputValues[output.option] = args.Value(output.option).value_or("");
    }
  }
  const bool writesOutput = std::any_of(outputs.begin(), outputs.end(), [&](const ComputeOutput& output) {
    return output.writesFile && args.Has(output.option);
  });
  if (!out && !writesOutput) throw UsageError("--out DIR or a file to write (--map, --sheet, ...) is required");
  CheckMapOptions(options);
  CheckSheetOptions(options);

  // One eclipse is computed: its record is read alone, not the whole file.
  const CatalogueFile catalogue = OpenCatalogueFor(args);
  options.index = SelectedEclipseFor(args, catalogue);
  EclipseScratch scratch;
  // Held until every file of this run is written: a second run into the
  // same folder waits, rather than leave it mixing two eclipses.
  std::optional<FolderLock> lock;
  if (out) {
    CreateOutputFolder(options.outFolder);
    lock.emplace(FolderLock::Take(options.outFolder));
  }
  const EclipseResult computation = RunComputation(catalogue, options, scratch);
  for (const ComputeOutput& output : outputs) {
    if (!args.Has(output.option)) continue;
    const std::string value = args.Value(output.option).value_or("");
    if (output.writesFile) RemoveStaleTemporariesOf(value);
    output.write(computation, options, value);
  }

  // An output written to standard output must not be followed by the summary.
  const bool outputOnStdout = std::any_of(outputs.begin(), outputs.end(), [&](const ComputeOutput& output) {
    return output.writesFile && args.Has(output.option) &&
           IsStandardOutput(args.Value(output.option).value_or(""));
  });
  std::ostream& summary = outputOnStdout ? std::cerr : std::cout;
  const BesselianElements& e = computation.elements;
  summary << "Eclipse#" << options.index << "  " << EstimateText(computation) << "  "
            << Latin1ToUtf8(EclipseTypeName(e.kind, options.language)) << "\n";
  const CurveSet& curves = computation.curves;
  summary << "nNPen " << curves.northPenumbra.Count() << "  nNUmb " << curves.northUmbra.Count()
            << "  nClin " << curves.centralLine.Count() << "  nSUmb " << curves.southUmbra.Count()
            << "  nSPen " << curves.southPenumbra.Count() << "\n";
  if (out) summary << "Files in " << options.outFolder.string() << "\n";
  return kExitOk;
}

}  // namespace darvelle::cli
