#include "postscript/pdf_export.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "catalogue/data_files.h"
#include "darvelle/version.h"
#include "io/atomic_file.h"

extern char** environ;

namespace darvelle {
namespace {

// A PDF of the sheet holds at least its page tree and fonts; a file below
// this size is a stub whatever its header says.
constexpr std::uintmax_t kMinimumPdfBytes = 1024;
// "%%EOF" ends a PDF, followed at most by a line end; a little slack allows
// for writers that pad the last line.
constexpr std::size_t kTrailerSearchBytes = 64;
// Ghostscript's messages are kept up to this size for the error text; the
// rest is read and dropped so that it never blocks on a full pipe.
constexpr std::size_t kMaxKeptOutput = 16 * 1024;
constexpr std::size_t kMaxCauseLength = 200;

struct ConverterRun {
  int status = -1;      // waitpid status; -1 when it could not be waited for
  std::string output;   // stdout and stderr together, cut at kMaxKeptOutput
};

std::string Quoted(const std::filesystem::path& file) { return "\"" + file.string() + "\""; }

// Runs gs with stdin from /dev/null and stdout and stderr into one pipe,
// which is read to its end (when gs and anything it started have closed it).
ConverterRun RunConverter(std::vector<std::string> args, const std::filesystem::path& pdf) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    throw FileError("Cannot write " + Quoted(pdf) + ": cannot run Ghostscript: " +
                    std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    throw FileError("Cannot write " + Quoted(pdf) + ": cannot run " + args[0] + ": " +
                    std::strerror(spawned));
  }
  ConverterRun run;
  char chunk[4096];
  // Ends when the pipe's last writer closes it, which a finished gs does.
  for (;;) {
    const ssize_t n = ::read(pipeFds[0], chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const std::size_t room = kMaxKeptOutput - std::min(kMaxKeptOutput, run.output.size());
    run.output.append(chunk, std::min(room, static_cast<std::size_t>(n)));
  }
  ::close(pipeFds[0]);
  while (::waitpid(pid, &run.status, 0) < 0) {
    if (errno != EINTR) {
      run.status = -1;
      break;
    }
  }
  return run;
}

// The first line of Ghostscript's output that reports an error, printable
// characters only, the temporary's name replaced by the user's file; empty
// when there is none.
std::string FirstErrorLine(const std::string& output, const std::string& temporary,
                           const std::string& pdf) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    for (auto at = line.find(temporary); !temporary.empty() && at != std::string::npos;
         at = line.find(temporary, at + pdf.size())) {
      line.replace(at, temporary.size(), pdf);
    }
    std::string lower = line;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (lower.find("error") == std::string::npos) continue;
    std::string clean;
    for (unsigned char ch : line) {
      if (clean.size() >= kMaxCauseLength) break;
      clean += std::isprint(ch) != 0 ? static_cast<char>(ch) : '?';
    }
    const auto first = clean.find_first_not_of(' ');
    return first == std::string::npos ? clean : clean.substr(first);
  }
  return {};
}

// Why the converter's run failed, or empty when it ended well.
std::string RunProblem(const ConverterRun& run, const AtomicFile& out) {
  if (run.status == -1 || !WIFEXITED(run.status)) {
    return WIFSIGNALED(run.status)
               ? "Ghostscript was ended by signal " + std::to_string(WTERMSIG(run.status))
               : std::string("Ghostscript did not finish");
  }
  const std::string error =
      FirstErrorLine(run.output, out.TemporaryPath().filename().string(), out.Target().filename().string());
  if (WEXITSTATUS(run.status) != 0) {
    return "Ghostscript ended with status " + std::to_string(WEXITSTATUS(run.status)) +
           (error.empty() ? "" : " (" + error + ")");
  }
  if (!error.empty()) return "Ghostscript reported an error: " + error;
  return {};
}

// Paths are handed to Ghostscript absolute, so that a name beginning with
// '-' is not taken for an option nor one beginning with '|' for a pipe.
std::string AbsoluteText(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  return (ec ? file : absolute).string();
}

// The output file's name with '%' doubled, which gs would read as the start
// of a page number.
std::string OutputFileText(const std::filesystem::path& file) {
  std::string escaped;
  for (char ch : AbsoluteText(file)) {
    escaped += ch;
    if (ch == '%') escaped += '%';
  }
  return escaped;
}

}  // namespace

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

std::optional<std::string> IncompletePdfProblem(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return "Ghostscript left no readable file";
  const auto size = static_cast<std::uintmax_t>(in.tellg());
  if (size < kMinimumPdfBytes) {
    return "Ghostscript left only " + std::to_string(size) + " bytes, not a whole PDF";
  }
  std::string head(5, '\0');
  in.seekg(0);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  if (!in || head != "%PDF-") return std::string("Ghostscript's file does not begin as a PDF");
  std::string tail(kTrailerSearchBytes, '\0');
  in.seekg(-static_cast<std::streamoff>(tail.size()), std::ios::end);
  in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  const auto end = tail.find_last_not_of("\r\n \t");
  if (!in || end == std::string::npos || end < 4 || tail.compare(end - 4, 5, "%%EOF") != 0) {
    return std::string("Ghostscript's file is cut off (no %%EOF at its end)");
  }
  return std::nullopt;
}

std::string DocumentInfoMark(const PdfDocumentInfo& info) {
  if (info.title.empty()) return {};
  // A PostScript string: its delimiters and backslash escaped, and only
  // printable ASCII kept, which PDF reads the same in any encoding.
  std::string title;
  for (const char ch : info.title) {
    if (ch == '(' || ch == ')' || ch == '\\') title += '\\';
    title += (ch >= ' ' && ch <= '~') ? ch : '?';
  }
  return "[ /Title (" + title + ") /Creator (" + kProgramName + " " + kProgramVersion +
         ") /DOCINFO pdfmark";
}

void ConvertSheetToPdf(const std::filesystem::path& sheet, const std::filesystem::path& pdf,
                       const std::optional<std::string>& searchPath, const PdfDocumentInfo& info) {
  const char* processPath = std::getenv("PATH");
  const std::string path = searchPath ? *searchPath : (processPath ? processPath : "");
  const auto gs = FindProgramOnPath("gs", path);
  if (!gs) {
    throw FileError("Cannot write " + Quoted(pdf) +
                    ": Ghostscript (gs) was not found on PATH; install Ghostscript to convert "
                    "the PostScript sheet " + Quoted(sheet) + " to PDF");
  }
  AtomicFile out(pdf);
  std::vector<std::string> arguments = {gs->string(), "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                        "-sDEVICE=pdfwrite",
                                        "-sOutputFile=" + OutputFileText(out.TemporaryPath()),
                                        "-f", AbsoluteText(sheet)};
  // After the sheet, whose header comments set the title first.
  if (const std::string mark = DocumentInfoMark(info); !mark.empty()) {
    arguments.insert(arguments.end(), {"-c", mark});
  }
  const ConverterRun run = RunConverter(arguments, pdf);
  std::string problem = RunProblem(run, out);
  if (problem.empty()) problem = IncompletePdfProblem(out.TemporaryPath()).value_or("");
  if (!problem.empty()) throw FileError("Cannot write " + Quoted(pdf) + ": " + problem);
  out.Commit();
}

}  // namespace darvelle
