#pragma once
// The error that carries a file name and a cause up to where a person reads it.

#include <stdexcept>
#include <string>
#include <string_view>

namespace darvelle {

// `text` with every control byte but the line end (0x00 .. 0x1F and 0x7F),
// every C1 control (U+0080 .. U+009F) and every byte that is not part of
// well-formed UTF-8 written as \xHH, so that bytes of a damaged or hostile
// file or command line cannot drive the terminal that shows a message
// quoting them. Other UTF-8 text stays as it is.
std::string EscapeControlBytes(std::string_view text);

// A file could not be found, read or written; what() names the file and the
// cause, its control bytes escaped (the message may quote the file's content).
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& message)
      : std::runtime_error(EscapeControlBytes(message)) {}
};

}  // namespace darvelle
