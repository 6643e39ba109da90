// darvelle: the window program. Maps of solar eclipses from the catalogue of
// Besselian elements; the data files are looked for as DataSearchFolders
// (src/catalogue/data_files.h) says.

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "darvelle/version.h"
#include "render/vector_state.h"
#include "ui/application.h"
#include "ui/darvelle_window.h"
#include "ui/window_options.h"

namespace {

// --help, --version and --man answer before Qt looks for a display.
bool AnswerWithoutWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::cout << darvelle::ui::WindowHelp();
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "darvelle (" << darvelle::kProductName << ") " << darvelle::kProgramVersion << "\n";
      return true;
    }
    // For the build, which installs the page; not in --help.
    if (std::strcmp(argv[i], "--man") == 0) {
      std::cout << darvelle::ui::WindowManPage();
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerWithoutWindow(argc, argv)) return EXIT_SUCCESS;
  QApplication app(argc, argv);
  // Before the map's worker threads start: they inherit the state.
  darvelle::ClearUpperVectorState();
  darvelle::ui::ConfigureApplication();
  const darvelle::ui::WindowCommandLine line =
      darvelle::ui::ReadWindowCommandLine(QApplication::arguments(), std::getenv("DARVELLE_KEEP_FILES"));
  if (!line.error.empty()) {
    std::cerr << "darvelle: " << line.error << "\nTry 'darvelle --help'.\n";
    return 2;
  }

  darvelle::ui::StartupOptions options =
      darvelle::ui::StartupOptions::FromEnvironment(QApplication::applicationFilePath());
  options.dataFolder = line.dataFolder;
  options.keepFilesAtExit = line.keepFilesAtExit;
  const std::unique_ptr<darvelle::ui::DarvelleWindow> window =
      darvelle::ui::MakeMainWindow(std::move(options));
  QObject::connect(window.get(), &darvelle::ui::DarvelleWindow::closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  if (line.exitAfterFirstMap) {
    QObject::connect(window.get(), &darvelle::ui::DarvelleWindow::firstMapPainted, window.get(),
                     &darvelle::ui::DarvelleWindow::close, Qt::QueuedConnection);
  }
  if (!window->FormCreate()) return EXIT_FAILURE;
  window->show();
  return QApplication::exec();
}
