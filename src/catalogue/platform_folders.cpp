#include "catalogue/platform_folders.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace darvelle {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder(const char* home) {
  if (home != nullptr && *home != '\0') return home;
  // HOME can be missing under service managers; the password database still knows.
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/tmp";
}

}  // namespace

std::string SettingsFolderFor(const char* xdgConfigHome, const char* home) {
  std::string config = FolderFromEnvironment(xdgConfigHome, true);
  if (config.empty()) config = FolderFromEnvironment(HomeFolder(home).c_str(), false) + "/.config";
  return WithSlash(config) + "Darvelle/";
}

std::string SettingsFolder() {
  return SettingsFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

bool CreateFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

}  // namespace darvelle
