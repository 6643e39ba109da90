#pragma once
// Where the program works on this computer (the output folder itself is
// io/output_folder.h): the folder of the settings file, the computer's name, and
// the output files each computation leaves behind.

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

// The host name, at most 256 characters; empty when the system does not say.
std::string ComputerName();

// The files one computation writes into the temporary folder, in the order in
// which they are deleted before the next one and at exit.
inline constexpr std::array<std::string_view, 20> kOutputFileNames = {
    "SunEclipse4_DE.TXT", "SunEclipse4_EN.TXT", "Testfile.001", "Testfile.002",
    "Testfile.003",       "Testfile.004",       "Testfile.005", "Testfile.006",
    "MaxHoriN.TXT",       "MaxHoriS.TXT",       "NorthPen.txt", "NorthUmb.txt",
    "CLinData.txt",       "SouthUmb.txt",       "SouthPen.txt", "UmbraCrc.txt",
    "PenumCrc.txt",       "Eckpunkt.txt",       "MaxSunrise.txt", "MaxSunset.txt"};

inline constexpr std::string_view kBitmapFileName = "Darvelle.bmp";

// Deletes the twenty output files from `folder`; files that are missing or
// cannot be removed are passed over. The bitmap and the PostScript sheet
// ("Darvelle.ps", postscript/map_sheet.h) are not among them.
void DeleteOutputFiles(const std::filesystem::path& folder);

}  // namespace darvelle
