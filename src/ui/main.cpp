// darvelle: the window program. Maps of solar eclipses from the catalogue of
// Besselian elements; the data files are looked for in the working folder,
// the installed data folder and the source tree's data folder.

#include <QApplication>
#include <cstdlib>

#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  darvelle::ui::ConfigureApplication();

  darvelle::ui::MainWindow window(
      darvelle::ui::StartupOptions::FromEnvironment(QApplication::applicationFilePath()));
  QObject::connect(&window, &darvelle::ui::MainWindow::closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!window.FormCreate()) return EXIT_FAILURE;
  window.show();
  return QApplication::exec();
}
