#pragma once
// Runs a command line through the shell for tests of whole programs, and
// captures its standard output, standard error and exit status.

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace darvelle::testing {

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// commandLine is passed to /bin/sh; stderr goes to a temporary file.
inline ProcessResult RunProcess(const std::string& commandLine) {
  const auto errFile = std::filesystem::temp_directory_path() /
                       ("darvelle-test-stderr-" + std::to_string(::getpid()));
  ProcessResult result;
  FILE* pipe = ::popen((commandLine + " 2>" + errFile.string()).c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadWholeFile(errFile);
  std::filesystem::remove(errFile);
  return result;
}

}  // namespace darvelle::testing
