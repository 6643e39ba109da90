#include "ui/startup_options.h"

#include <stdexcept>

#include "catalogue/data_files.h"
#include "catalogue/platform_folders.h"
#include "io/folder_lock.h"
#include "io/output_folder.h"

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

Catalogue LoadCatalogueFor(const StartupOptions& options) {
  try {
    return LoadCatalogue(FindDataFile(kCatalogueFileName, options.dataFolder));
  } catch (const std::exception& e) {
    std::string text = e.what();
    if (text.find("Places searched") == std::string::npos) {
      text += "\nPlaces searched:";
      for (const auto& folder : DataSearchFolders(options.dataFolder)) text += "\n  " + folder.string();
    }
    throw std::runtime_error(text + "\n\nWithout the eclipse catalogue there is nothing to show; the program ends.");
  }
}

}  // namespace darvelle::ui
