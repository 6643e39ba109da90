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

// What is wrong with the file Ghostscript left, or nullopt when it looks like
// a whole PDF: the "%PDF-" header, the "%%EOF" trailer at its end, and more
// than a few bytes in between. Ghostscript on a full disk prints an error
// but may still exit with status 0, leaving such a cut-off file.
std::optional<std::string> IncompletePdfProblem(const std::filesystem::path& file);

// What a PDF viewer shows of the document. The sheet's own header names an
// old library routine as its title; a title given here replaces it in the
// PDF (the PostScript stays as it is), with this program as the creator.
struct PdfDocumentInfo {
  std::string title;  // none: the sheet's own
};

// Converts the PostScript file `sheet` into `pdf` through an AtomicFile
// (io/atomic_file.h): Ghostscript writes the temporary, which replaces `pdf`
// only when Ghostscript ended with status 0, printed no error and left a
// whole PDF. `searchPath` is the PATH to look for gs in (the process's PATH
// when unset). Throws FileError naming `pdf` and the cause (Ghostscript's
// status or its first error line, or what is missing from its file); the
// earlier `pdf` then stays as it was. When gs is not found the message says
// so and names the sheet, which stays as it is.
void ConvertSheetToPdf(const std::filesystem::path& sheet, const std::filesystem::path& pdf,
                       const std::optional<std::string>& searchPath = std::nullopt,
                       const PdfDocumentInfo& info = {});

// The pdfmark that sets `info` in Ghostscript's PDF, run after the sheet;
// empty when there is nothing to set.
std::string DocumentInfoMark(const PdfDocumentInfo& info);

}  // namespace darvelle
