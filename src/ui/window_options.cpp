#include "ui/window_options.h"

#include <cstring>

#include "darvelle/version.h"

namespace darvelle::ui {

std::vector<OptionHelp> WindowOptions() {
  return {
      {"data", "DIR", "read the data files from DIR only (see FILES in darvelle(1))"},
      {"keep-files", "",
       "leave the report and curve files in the output folder at exit, where they are otherwise "
       "removed; the same as DARVELLE_KEEP_FILES=1"},
      {"exit-after-first-map", "",
       "end with status 0 once the first map is on the screen: a check that the program and its "
       "data are installed whole"},
      {"version", "", "show the version and exit"},
      {"help", "", "show this help and exit"},
  };
}

WindowCommandLine ReadWindowCommandLine(const QStringList& arguments, const char* keepFilesVariable) {
  WindowCommandLine line;
  line.keepFilesAtExit = keepFilesVariable != nullptr && std::strcmp(keepFilesVariable, "1") == 0;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QStringLiteral("--data") && i + 1 < arguments.size()) {
      line.dataFolder = std::filesystem::path(arguments[++i].toStdString());
    } else if (argument.startsWith(QStringLiteral("--data="))) {
      line.dataFolder = std::filesystem::path(argument.mid(7).toStdString());
    } else if (argument == QStringLiteral("--keep-files")) {
      line.keepFilesAtExit = true;
    } else if (argument == QStringLiteral("--exit-after-first-map")) {
      line.exitAfterFirstMap = true;
    } else {
      line.error = argument == QStringLiteral("--data") ? "--data needs a folder"
                                                         : "unknown option '" + argument.toStdString() + "'";
      return line;
    }
  }
  if (line.dataFolder && line.dataFolder->empty()) line.error = "--data needs a folder";
  return line;
}

std::string WindowHelp() {
  const CommandHelp usage{"", "", "Draws maps of solar eclipses from -4999 to 7000 in a window.",
                          WindowOptions()};
  return UsageText("darvelle", usage) +
         "\nQt's own options (-platform, -style, ...) are taken as well.\n"
         "'man darvelle' has the whole manual.\n";
}

std::string WindowManPage() {
  ManPageText page;
  page.program = "darvelle";
  page.version = std::string(kProductName) + " " + kProgramVersion;
  page.oneLine = "draw maps of solar eclipses";
  page.synopsis = "[OPTIONS]";
  page.description =
      "darvelle holds a catalogue of Besselian elements for every solar eclipse from the year "
      "-4999 to 7000, lets you pick one by year, by stepping through the catalogue or along its "
      "Saros series, computes its geometry on the Earth (contacts, limits, central line, sunrise "
      "and sunset curves) and draws it on a globe you can turn and resize. It shows what a place "
      "sees, plays the shadow in time, and writes reports, curve files, pictures, a PostScript "
      "map sheet, PDF, GeoJSON and KML. It speaks German, English and French; Help > Help opens "
      "its help.\n\n"
      "The program also takes Qt's own options, such as -platform offscreen.\n\n"
      "darvelle-cli(1) does the same computations without a window.";
  page.options = WindowOptions();
  page.environment = DataFolderEnvironment();
  page.environment.insert(page.environment.end(), {
      {"DARVELLE_KEEP_FILES", "1 keeps the output files at exit, as --keep-files"},
      {"XDG_RUNTIME_DIR", "the output files go into $XDG_RUNTIME_DIR/darvelle, else "
                          "$TMPDIR/darvelle-UID, else /tmp/darvelle-UID"},
      {"XDG_CONFIG_HOME", "the settings are kept in $XDG_CONFIG_HOME/Darvelle (default ~/.config)"},
  });
  page.files = {
      DataFolderFile(),
      {"~/.config/Darvelle/Darvelle.ini", "the settings of the last run"},
  };
  page.exitStatus = "0 when the window was closed, 1 when the catalogue could not be read, 2 for bad usage.";
  page.seeAlso = "darvelle-cli(1)";
  return ManPage(page);
}

}  // namespace darvelle::ui
