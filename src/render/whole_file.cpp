#include "render/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "catalogue/data_files.h"

namespace darvelle {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes,
                          const std::string& what) {
  const auto fail = [&](const std::string& cause) {
    throw FileError("Cannot read " + what + " \"" + file.string() + "\": " + cause);
  };
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) fail(std::strerror(errno));
  // A folder opens like a file on Linux but has no usable size.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) fail("not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec) fail(ec.message());
  if (size > maxBytes) {
    fail("its size is " + std::to_string(size) + " bytes, more than the " +
         std::to_string(maxBytes) + " such a file can have");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), in.get());
  if (read != bytes.size()) fail(std::ferror(in.get()) ? std::strerror(errno) : "the file ended early");
  return bytes;
}

}  // namespace darvelle
