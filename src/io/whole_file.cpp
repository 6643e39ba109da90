#include "io/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/file_error.h"

namespace darvelle {

std::string ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxBytes,
                          const std::string& what) {
  const auto fail = [&](const std::string& cause) {
    throw FileError("Cannot read " + what + " \"" + file.string() + "\": " + cause);
  };
  // O_NONBLOCK: a pipe or a device under the file's name must be refused
  // below, not wait in open() for a writer that never comes.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) fail(std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) fail(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) fail("not a regular file");
  const auto size = static_cast<std::uintmax_t>(info.st_size);
  if (size > maxBytes) {
    fail("its size is " + std::to_string(size) + " bytes, more than the " +
         std::to_string(maxBytes) + " such a file can have");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(std::strerror(errno));
    if (n == 0) fail("the file ended early");
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

}  // namespace darvelle
