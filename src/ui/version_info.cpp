#include "ui/version_info.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include "darvelle/version.h"

namespace darvelle::ui {
namespace {

QString YesNo(bool flag) { return flag ? QStringLiteral("Yes") : QStringLiteral("No"); }

}  // namespace

TFileVersionInfo ReadVersionInfo(const QString& executable) {
  TFileVersionInfo info;
  const QFileInfo file(executable);
  if (file.exists()) info.FileType = QMimeDatabase().mimeTypeForFile(file).comment();
  info.CompanyName = QString::fromUtf8(kCompanyName);
  info.FileDescription = QString::fromUtf8(kFileDescription);
  info.FileVersion = QString::fromUtf8(kProgramVersion);
  info.InternalName = QStringLiteral("darvelle");
  info.LegalCopyRight = QString::fromUtf8(kLegalCopyright);
  info.OriginalFileName = QStringLiteral("darvelle");
  info.ProductName = QString::fromUtf8(kProductName);
  info.ProductVersion = QString::fromUtf8(kProgramVersion);
  info.FileFunction = QStringLiteral("Application");
#ifndef NDEBUG
  info.DebugBuild = true;
#endif
  return info;
}

std::array<std::array<QString, 2>, kVersionGridRows> VersionGridRows(const TFileVersionInfo& info) {
  return {{
      {QStringLiteral("FileType        "), info.FileType},
      {QStringLiteral("CompanyName     "), info.CompanyName},
      {QStringLiteral("FileDescription "), info.FileDescription},
      {QStringLiteral("FileVersion     "), info.FileVersion},
      {QStringLiteral("InternalName    "), info.InternalName},
      {QStringLiteral("LegalCopyRight  "), info.LegalCopyRight},
      {QStringLiteral("LegalTradeMarks "), info.LegalTradeMarks},
      {QStringLiteral("OriginalFileName"), info.OriginalFileName},
      {QStringLiteral("ProductName     "), info.ProductName},
      {QStringLiteral("ProductVersion  "), info.ProductVersion},
      {QStringLiteral("SpecialBuildStr "), info.SpecialBuild},
      {QStringLiteral("PrivateBuildStr "), info.PrivateBuild},
      {QStringLiteral("FileFunction    "), info.FileFunction},
      {QStringLiteral("DebugBuild      "), YesNo(info.DebugBuild)},
      {QStringLiteral("PreRelease      "), YesNo(info.PreRelease)},
      {QStringLiteral("PrivateBuild    "), YesNo(info.PrivateBuildFlag)},
      {QStringLiteral("SpecialBuild    "), YesNo(info.SpecialBuildFlag)},
  }};
}

}  // namespace darvelle::ui
