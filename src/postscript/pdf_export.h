#pragma once
// The map sheet as PDF, converted by Ghostscript (gs -sDEVICE=pdfwrite),
// which is looked up on PATH. The program itself writes only PostScript.

#include <filesystem>
#include <optional>
#include <string>

namespace darvelle {

// The first executable named `program` in the folders of `searchPath` (a
// PATH-style list); nullopt when there is none.
std::optional<std::filesystem::path> FindProgramOnPath(const std::string& program,
                                                       const std::string& searchPath);

// Converts the PostScript file `sheet` into `pdf`, through a temporary file
// beside it that is renamed when Ghostscript succeeds. `searchPath` is the
// PATH to look for gs in (the process's PATH when unset). Throws FileError
// when Ghostscript is not found (the message says so and names the sheet,
// which stays as it is) or fails (its exit status; no PDF is left).
void ConvertSheetToPdf(const std::filesystem::path& sheet, const std::filesystem::path& pdf,
                       const std::optional<std::string>& searchPath = std::nullopt);

}  // namespace darvelle
