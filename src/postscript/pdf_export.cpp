#include "postscript/pdf_export.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <system_error>
#include <vector>

#include "catalogue/data_files.h"

extern char** environ;

namespace darvelle {

std::optional<std::filesystem::path> FindProgramOnPath(const std::string& program,
                                                       const std::string& searchPath) {
  std::stringstream folders(searchPath);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    const std::filesystem::path candidate = std::filesystem::path(folder) / program;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

void ConvertSheetToPdf(const std::filesystem::path& sheet, const std::filesystem::path& pdf,
                       const std::optional<std::string>& searchPath) {
  const char* processPath = std::getenv("PATH");
  const std::string path = searchPath ? *searchPath : (processPath ? processPath : "");
  const auto gs = FindProgramOnPath("gs", path);
  if (!gs) {
    throw FileError("Cannot write \"" + pdf.string() +
                    "\": Ghostscript (gs) was not found on PATH; install Ghostscript to convert "
                    "the PostScript sheet \"" + sheet.string() + "\" to PDF");
  }

  const std::filesystem::path temporary = pdf.string() + ".part";
  std::vector<std::string> args = {gs->string(),
                                   "-q",
                                   "-dSAFER",
                                   "-dBATCH",
                                   "-dNOPAUSE",
                                   "-sDEVICE=pdfwrite",
                                   "-sOutputFile=" + temporary.string(),
                                   sheet.string()};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, gs->c_str(), nullptr, nullptr, argv.data(), environ);
  if (spawned != 0) {
    throw FileError("Cannot write \"" + pdf.string() + "\": cannot run " + gs->string() + ": " +
                    std::strerror(spawned));
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      status = -1;
      break;
    }
  }
  std::error_code ec;
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::filesystem::remove(temporary, ec);
    const std::string cause =
        status != -1 && WIFEXITED(status)
            ? "Ghostscript ended with status " + std::to_string(WEXITSTATUS(status))
            : std::string("Ghostscript did not finish");
    throw FileError("Cannot write \"" + pdf.string() + "\" from \"" + sheet.string() +
                    "\": " + cause);
  }
  std::filesystem::rename(temporary, pdf, ec);
  if (ec) {
    const std::string cause = ec.message();
    std::filesystem::remove(temporary, ec);
    throw FileError("Cannot write \"" + pdf.string() + "\": " + cause);
  }
}

}  // namespace darvelle
