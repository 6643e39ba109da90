#include "ui/session_settings.h"

#include <algorithm>
#include <cmath>

#include "catalogue/eclipse_texts.h"
#include "ui/control_factory.h"
#include "ui/languages.h"

namespace darvelle::ui {
namespace {

namespace fs = std::filesystem;

const QString kWithDefaults = QStringLiteral("The program starts with its default settings.");

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

SessionSettings::SessionSettings(const fs::path& folder, const std::string& version)
    : path_(folder / kSettingsFileName), settings_(NewSettings(version)) {}

SessionSettings::Restored SessionSettings::Restore(int catalogueCount) {
  Restored restored;
  restored.state.index = ClampEclipseIndex(kStartEclipseIndex, catalogueCount);
  restored.state.language = kGerman;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path_, ec))) {
    try {
      WriteSettingsFile(path_, settings_);
    } catch (const std::exception& e) {
      // The close saves only into an existing file.
      restored.problem = FromStd(e.what());
    }
    return restored;
  }
  SettingsRead read;
  try {
    read = ReadSettingsFileChecked(path_);
  } catch (const std::exception& e) {
    restored.warnings << FromStd(e.what()) + QStringLiteral("\n\n") + kWithDefaults;
    return restored;
  }
  if (!read.damage.empty()) {
    // Rewritten whole at the close, from this run's choices.
    restored.warnings << FromStd(read.damage) + QStringLiteral(".\n\n") + kWithDefaults;
    return restored;
  }
  if (!read.outOfRange.empty()) {
    restored.warnings << QStringLiteral("The settings file \"%1\" holds values the program cannot use (%2); "
                                        "their defaults are used instead.")
                             .arg(FromStd(path_.string()), FromStd(read.outOfRange));
  }
  settings_ = read.settings;
  restored.state = StateFromSettings(settings_, catalogueCount);
  return restored;
}

QString SessionSettings::Save(const SessionState& state, const ViewParameters& typedAngles,
                              int drawnGlobeSize) const {
  std::error_code ec;
  if (!fs::exists(path_, ec)) return {};
  Settings s = settings_;
  s.Language = static_cast<std::uint8_t>(StoredNumber(state.language));
  s.EclipseIndex = state.index;
  s.UseUT = state.timeScale == TimeScale::kUniversal ? 1 : 0;
  s.Psi = typedAngles.Psi;
  s.Phi = typedAngles.Phi;
  s.Chi = typedAngles.Chi;
  s.GlobeSize = drawnGlobeSize;
  s.Orthographic = state.view.Stereographic ? 0 : 1;
  s.Resolution = 1;
  s.PenWidth = state.view.PenWidth;
  try {
    WriteSettingsFile(path_, s);
  } catch (const std::exception& e) {
    return FromStd(e.what());
  }
  return {};
}

}  // namespace darvelle::ui
