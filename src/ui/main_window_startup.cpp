// Start-up: folders, version information, the data files, the settings of
// the last run, and the first request to the session.

#include <QCheckBox>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "catalogue/data_files.h"
#include "catalogue/platform_folders.h"
#include "postscript/map_sheet.h"
#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/window_settings.h"
#include "ui/time_controls.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

const QString kWithoutTexture = QStringLiteral("\n\nThe globe is drawn without the Earth texture.");

}  // namespace

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
  versionInfo_ = ReadVersionInfo(options_.executable);
  settings_ = NewSettings(versionInfo_.FileVersion.toStdString());
  settingsPath_ = options_.settingsFolder / kSettingsFileName;
  FillVersionGrid();
  // The coastlines are read on a pool thread while the window is built and
  // shown; the first map waits for them on its own worker.
  StartCoastlineLoad();
  StartTextureLoad();
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
  WatchTextureAfterFirstMap();
  return true;
}

void MainWindow::FillVersionGrid() {
  const auto rows = VersionGridRows(versionInfo_);
  for (int r = 0; r < kVersionGridRows; ++r) {
    for (int c = 0; c < 2; ++c) {
      auto* cell = new QTableWidgetItem(rows[r][c]);
      cell->setToolTip(rows[r][c]);  // long values do not fit a 195-pixel column
      StringGrid_VersionsInfo->setItem(r, c, cell);
    }
  }
  captionPrefix_ = QStringLiteral("Darvelle v.") + rows[3][1];
}

void MainWindow::StartTextureLoad() {
  // The texture is decoded on a worker: it is the longest step of the
  // start-up, and the first map does not need it ("Colored Earth" starts
  // unticked). A drawing that wants it waits for it on its own worker.
  statusBar_->ShowMessage(QStringLiteral("Loading image. Please wait..."));
  try {
    const std::filesystem::path file = FindDataFile(kTextureFileName, options_.dataFolder);
    // The decoding starts with the first result, before the window takes
    // input again: on a machine of two cores it would otherwise take one
    // from the first map's computation, which it is not needed for.
    connect(
        session_.get(), &EclipseSession::resultReady, this,
        [this, file] {
          texture_ = LoadTextureInBackground(&workers_, file);
          session_->SetTexture(texture_);
        },
        Qt::SingleShotConnection);
    textureFound_ = true;
  } catch (const std::exception& e) {
    ReportMissingTexture(FromStd(e.what()));
  }
  statusBar_->ShowMessage(QStringLiteral("Image loaded."));
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

void MainWindow::StartCoastlineLoad() {
  coastlines_ = LoadCoastlinesInBackground(&workers_, options_.dataFolder, options_.readCoastlines);
  session_->SetCoastlines(coastlines_);
  connect(&coastlineWatcher_, &QFutureWatcherBase::finished, this, &MainWindow::ReportCoastlineOutcome);
  coastlineWatcher_.setFuture(coastlines_);
}

// Panel 1 counts the points once they are read; a file that could not be
// read is told without keeping the map away (it is drawn without them).
void MainWindow::ReportCoastlineOutcome() {
  const std::shared_ptr<const LoadedCoastlines> loaded = coastlineWatcher_.result();
  statusBar_->ShowCoastlinePoints(loaded->layer.Count());
  if (!loaded->failure.empty()) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                FromStd(loaded->failure) + QStringLiteral("\n\nThe globe is drawn without coastlines."));
  }
}

namespace {

// The choices a settings file holds, as the window takes them: a language
// byte the program never writes (a damaged file) reads as English, values
// out of range are brought into it.
SessionState StateFromSettings(const Settings& settings, int catalogueCount) {
  SessionState state;
  state.language = KnownLanguage(settings.Language);
  state.index = ClampEclipseIndex(settings.EclipseIndex, catalogueCount);
  state.timeScale = settings.UseUT != 0 ? TimeScale::kUniversal : TimeScale::kTerrestrial;
  auto angle = [](double value) { return AsShownWithOneDecimal(std::isfinite(value) ? value : 0.0); };
  state.view.Psi = angle(settings.Psi);
  state.view.Phi = angle(settings.Phi);
  state.view.Chi = angle(settings.Chi);
  state.view.RK = std::clamp<int>(settings.GlobeSize, kMinGlobeSize, kMaxGlobeSize);
  state.view.Stereographic = settings.Orthographic != 1;
  state.view.Resolution = IsValidResolution(settings.Resolution) ? settings.Resolution : 1;
  state.view.PenWidth = ClampPenWidth(settings.PenWidth);
  return state;
}

}  // namespace

// The state the last run left in the settings file, or that of a first
// start (which also writes the new file): German, the start eclipse, UT.
SessionState MainWindow::RestoreSettings() {
  SessionState first;
  first.index = ClampEclipseIndex(kStartEclipseIndex, catalogue_.Count());
  first.language = kGerman;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(settingsPath_, ec))) {
    try {
      WriteSettingsFile(settingsPath_, settings_);
    } catch (const std::exception& e) {
      // The close saves only into an existing file: without this file no
      // choice of this run can be remembered, which the user must know.
      ReportSettingsProblem(FromStd(e.what()));
    }
    return first;
  }
  SettingsRead read;
  try {
    read = ReadSettingsFileChecked(settingsPath_);
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                FromStd(e.what()) + QStringLiteral("\n\nThe program starts with its default settings."));
    return first;
  }
  if (!read.damage.empty()) {
    // Rewritten whole at the close, from this run's choices.
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                FromStd(read.damage) + QStringLiteral(".\n\nThe program starts with its default settings."));
    return first;
  }
  if (!read.outOfRange.empty()) {
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"),
                QStringLiteral("The settings file \"%1\" holds values the program cannot use (%2); "
                               "their defaults are used instead.")
                    .arg(FromStd(settingsPath_.string()), FromStd(read.outOfRange)));
  }
  settings_ = read.settings;
  return StateFromSettings(settings_, catalogue_.Count());
}

void MainWindow::WatchTextureAfterFirstMap() {
  // The texture's fate is told once the first map is on the screen, so that
  // a message about it never keeps the map away.
  if (!textureFound_) return;
  connect(&textureWatcher_, &QFutureWatcherBase::finished, this, &MainWindow::ReportTextureOutcome);
  connect(
      Panel2, &MapPanel::firstMapPainted, this, [this] { textureWatcher_.setFuture(texture_); },
      Qt::QueuedConnection);
}

void MainWindow::ReportTextureOutcome() {
  const std::shared_ptr<const LoadedTexture> loaded = textureWatcher_.result();
  if (!loaded->failure.empty()) {
    ReportMissingTexture(FromStd(loaded->failure) + kWithoutTexture);
  } else if (!loaded->load.decoded) {
    ReportMissingTexture(FromStd(loaded->load.message));
  } else if (loaded->load.warning) {
    // A damaged file still gives a picture, partly grey: the coloured Earth
    // stays on offer, but the user must know why part of it is missing.
    ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(loaded->load.message));
  }
}

void MainWindow::ReportMissingTexture(const QString& text) {
  QString message = text;
  if (!message.contains(QStringLiteral("without"))) message += kWithoutTexture;
  CheckBox_Farbe->setChecked(false);
  CheckBox_Farbe->setEnabled(false);
  ShowMessage(QMessageBox::Warning, QStringLiteral("Darvelle"), message);
}

}  // namespace darvelle::ui
