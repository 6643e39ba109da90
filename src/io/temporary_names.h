#pragma once
// The names the program's writers, this version's and earlier ones', give
// the temporaries they make beside a file: what a writer killed half-way may
// have left, and nothing else.

#include <span>
#include <string_view>

namespace darvelle {

// Whether `name` is a temporary of a file named one of `fileNames`, or of any
// file when it has the pattern of this version's AtomicFile:
//   ".FILE.darvelle-" + 12 letters or digits   AtomicFile (io/atomic_file.h), any FILE
//   ".FILE.part-" + digits                      the report and curve files before it
//   "FILE.tmp" + digits                         the settings, the command line's pictures
//                                               and the PDF's sheet ("PDF.ps") before it
//   "FILE.part"                                 the PDF converter before it
//   "FILE." + 6 letters or digits               the exit bitmap and the sheet before it,
//                                               only when `withSixCharacterSuffix`: a
//                                               name of the user's such as "map.ps.backup"
//                                               has that shape too.
bool IsTemporaryOf(std::string_view name, std::span<const std::string_view> fileNames,
                   bool withSixCharacterSuffix);

}  // namespace darvelle
