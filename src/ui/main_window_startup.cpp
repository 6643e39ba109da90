// Start-up: folders, version information, the data files, the settings of
// the last run, and the first request to the session.

#include <QCheckBox>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/platform_folders.h"
#include "postscript/map_sheet.h"
#include "ui/about_panel.h"
#include "ui/control_factory.h"
#include "ui/version_info.h"
#include "ui/earth_loads.h"
#include "ui/eclipse_controls.h"
#include "ui/languages.h"
#include "ui/globe_widget.h"
#include "ui/main_window.h"
#include "ui/session_settings.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
StartupOptions StartupOptions::FromEnvironment(const QString& executable) {
  StartupOptions options;
  const ClaimedOutputFolder output = ClaimPrivateOutputFolder();
  options.tempFolder = output.folder.path;
  options.tempFolderProblem = output.folder.problem;
  options.tempFolderLock = output.lock;
  options.settingsFolder = darvelle::SettingsFolder();
  options.executable = executable;
  return options;
}

bool MainWindow::FormCreate() {
  // Number texts use "." whatever the locale: every conversion goes through
  // FixedText and QString's C-locale conversions; main() fixes the C
  // library's LC_NUMERIC for the core.
  CreateFolder(options_.settingsFolder);
  const TFileVersionInfo version = ReadVersionInfo(options_.executable);
  sessionSettings_ = std::make_unique<SessionSettings>(options_.settingsFolder, version.FileVersion.toStdString());
  aboutPanel_->ShowVersion(version);
  captionPrefix_ = QStringLiteral("Darvelle v.") + VersionGridRows(version)[3][1];
  earthLoads_->Start();
  if (!LoadCatalogueOrExplain()) return false;

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->availableGeometry());
  }
  setWindowState(windowState() | Qt::WindowMaximized);
  RestoreWindowLayout();
  timeControls_->restore();
  statusBar_->ClearMessage();

  SessionState first = RestoreSettings();
  first.umbraOutlineMinutes = timeControls_->umbraOutlineMinutes();
  // The map's layers as the last run left them (the window's own file).
  const WindowSettings layers(options_.settingsFolder);
  first.deltaTBand = layers.Value(QString::fromLatin1(kDeltaTBandKey), false).toBool();
  first.townDurations = layers.Value(QString::fromLatin1(kTownDurationsKey), false).toBool();
  first.townNames = layers.Value(QString::fromLatin1(kTownNamesKey), false).toBool();
  first.borders = layers.Value(QString::fromLatin1(kBordersKey), false).toBool();
  first.pathBand = layers.Value(QString::fromLatin1(kPathBandKey), false).toBool();
  if (!options_.tempFolderProblem.empty()) ReportOutputFailure(options_.tempFolderProblem);
  ApplyLanguageCaptions(this, first.language);
  // One request for everything the settings chose; the map follows when the
  // worker is done, while the window is already on the screen.
  Request(first);
  // The texture's fate is told once the first map is on the screen.
  connect(Panel2, &MapPanel::firstMapPainted, earthLoads_.get(), &EarthLoads::WatchTexture, Qt::QueuedConnection);
  return true;
}

bool MainWindow::LoadCatalogueOrExplain() {
  try {
    catalogue_ = LoadCatalogue(FindDataFile(kCatalogueFileName, options_.dataFolder));
    return true;
  } catch (const std::exception& e) {
    QString text = FromStd(e.what());
    if (!text.contains(QStringLiteral("Places searched"))) {
      text += QStringLiteral("\nPlaces searched:");
      for (const auto& folder : DataSearchFolders(options_.dataFolder)) {
        text += QStringLiteral("\n  ") + FromStd(folder.string());
      }
    }
    ShowMessage(QMessageBox::Critical, QStringLiteral("Darvelle"),
                text + QStringLiteral("\n\nWithout the eclipse catalogue there is nothing to show; "
                                      "the program ends."));
    return false;
  }
}

// The state the last run left in the settings file, or that of a first start.
SessionState MainWindow::RestoreSettings() {
  SessionSettings::Restored restored = sessionSettings_->Restore(catalogue_.Count());
  // Without the file no choice of this run can be remembered, which the user must know.
  ReportSettingsProblem(restored.problem);
  for (const QString& warning : restored.warnings) ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), warning);
  return restored.state;
}

}  // namespace darvelle::ui
