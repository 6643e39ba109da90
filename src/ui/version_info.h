#pragma once
// What the About panel shows of the program: the identity strings defined
// once in the build, and the file type the system reports for the executable.

#include <QString>
#include <array>

namespace darvelle::ui {

struct TFileVersionInfo {
  QString FileType;
  QString CompanyName;
  QString FileDescription;
  QString FileVersion;
  QString InternalName;
  QString LegalCopyRight;
  QString LegalTradeMarks;
  QString OriginalFileName;
  QString ProductName;
  QString ProductVersion;
  QString Comments;  // read, not shown
  QString SpecialBuild;
  QString PrivateBuild;
  QString FileFunction;
  bool DebugBuild = false;
  bool PreRelease = false;
  bool Patched = false;
  bool PrivateBuildFlag = false;
  bool InfoInferred = false;
  bool SpecialBuildFlag = false;
};

// FileType is what the system's MIME database says of `executable` (empty
// when the file cannot be read); the other fields describe this build.
TFileVersionInfo ReadVersionInfo(const QString& executable);

inline constexpr int kVersionGridRows = 17;

// The 17 rows of the About grid: the label (padded with blanks to 16
// characters) and the value, flags as "Yes" or "No".
std::array<std::array<QString, 2>, kVersionGridRows> VersionGridRows(const TFileVersionInfo& info);

}  // namespace darvelle::ui
