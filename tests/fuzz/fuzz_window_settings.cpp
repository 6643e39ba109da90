// The window's own settings file, as a hand edit or a damaged disk may leave
// it: read once without hanging, a stored place either dropped or on the
// Earth with a name of bounded length, and a change saved or its failure said.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/window_settings.h"

namespace fs = std::filesystem;
using darvelle::ui::WindowSettings;

namespace {

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path made = fs::temp_directory_path() / ("darvelle-fuzz-window-" + std::to_string(::getpid()));
    fs::create_directories(made);
    return made;
  }();
  return folder;
}

}  // namespace

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream file(Folder() / darvelle::ui::kWindowSettingsFileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  WindowSettings settings(Folder());
  (void)settings.LastFolder();
  (void)settings.WindowGeometry();
  (void)settings.DockState();
  if (const auto place = settings.Place()) {
    if (!(std::abs(place->latitudeDeg) <= 90) || !(std::abs(place->longitudeDeg) <= 180) ||
        !(place->heightM >= -500 && place->heightM <= 10000) ||
        place->name.size() > darvelle::ui::kMaxPlaceNameLength) {
      std::abort();
    }
  }
  const bool saved = settings.SetValue(QStringLiteral("fuzz/choice"), 7);
  if (saved != settings.Problem().isEmpty()) std::abort();
  return 0;
}
