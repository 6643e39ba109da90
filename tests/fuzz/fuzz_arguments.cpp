// The command-line option reader: the input is split at NUL bytes into
// arguments and read against the compute command's options; it yields values
// or a UsageError, never anything else.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "cli/args.h"
#include "fuzz_file.h"

using darvelle::cli::Args;
using darvelle::cli::UsageError;

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> args = darvelle::fuzz::ArgumentsOf(data, size);
  const std::set<std::string> valued = {"index", "year", "resolution", "language", "data",
                                        "out",   "psi",  "phi",        "chi",      "size"};
  const std::set<std::string> flags = {"tt", "colored", "stereographic"};
  try {
    const Args parsed(args, valued, flags);
    for (const std::string& name : valued) {
      try {
        if (parsed.Integer(name) && !parsed.Value(name)) std::abort();
      } catch (const UsageError&) {
      }
      try {
        if (parsed.Real(name) && !parsed.Value(name)) std::abort();
      } catch (const UsageError&) {
      }
    }
    for (const std::string& name : flags) (void)parsed.Has(name);
  } catch (const UsageError&) {
  }
  return 0;
}
