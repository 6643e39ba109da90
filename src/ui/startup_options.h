#pragma once
// Where one run of the window works: its data, output and settings folders.
// The program fills them from the environment; tests point them at folders
// of their own.

#include <QString>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "ui/data_loads.h"

namespace darvelle {
class FolderLock;
}  // namespace darvelle
namespace darvelle::ui {

struct StartupOptions {
  std::optional<std::filesystem::path> dataFolder;  // only this folder, when set
  std::filesystem::path tempFolder;                 // output files
  // Why tempFolder must not be used (it failed the private-folder check);
  // empty when it may. With a problem the maps are drawn but no file is written.
  std::string tempFolderProblem;
  // The folder the files are written into: none when it was refused.
  std::optional<std::filesystem::path> OutputFolder() const {
    if (!tempFolderProblem.empty()) return std::nullopt;
    return tempFolder;
  }
  // Held for the window's life: no other window writes into tempFolder.
  std::shared_ptr<FolderLock> tempFolderLock;
  std::filesystem::path settingsFolder;             // "Darvelle.ini"
  bool keepFilesAtExit = false;  // --keep-files or DARVELLE_KEEP_FILES=1
  QString executable;         // for the file type in the About panel
  // How the coastline file is read (on a pool thread); tests wrap it.
  CoastlineReader readCoastlines = LoadCoastlines;

  static StartupOptions FromEnvironment(const QString& executable);
};

// The eclipse catalogue from the data folders of `options`. Throws what the
// user is told when it cannot be read: the cause, the places searched, and
// that without it the program ends.
Catalogue LoadCatalogueFor(const StartupOptions& options);

}  // namespace darvelle::ui
