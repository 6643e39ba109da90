#pragma once
// Where the program works on this computer (the output folder itself is
// io/output_folder.h, the names of the files in it io/output_file_names.h):
// the folder of the settings file and the computer's name.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/output_folder.h"

namespace darvelle {

// The settings folder with a trailing '/': the XDG configuration folder
// (`xdgConfigHome` when it is an absolute path, else `home` + "/.config"),
// trimmed of surrounding blanks, + "Darvelle/". Not created here.
std::string SettingsFolderFor(const char* xdgConfigHome, const char* home);
std::string SettingsFolder();

// Creates `folder` with every missing parent. Returns false when it does not
// exist afterwards (start-up goes on; only the settings are lost).
bool CreateFolder(const std::filesystem::path& folder);

}  // namespace darvelle
