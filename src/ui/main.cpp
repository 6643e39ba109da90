// darvelle: the window program. Maps of solar eclipses from the catalogue of
// Besselian elements; the data files are looked for in the working folder,
// the installed data folder and the source tree's data folder.

#include <QApplication>
#include <QLocale>
#include <clocale>
#include <cstdlib>

#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Darvelle"));
  QApplication::setDesktopFileName(QStringLiteral("darvelle"));
  // QApplication takes the user's locale for the C library; every number the
  // program writes or reads uses "." whatever that locale says.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  // The program ends when its window has finished closing, which may be a
  // moment after the window has left the screen (a worker finishing its files).
  QApplication::setQuitOnLastWindowClosed(false);

  darvelle::ui::MainWindow window(
      darvelle::ui::StartupOptions::FromEnvironment(QApplication::applicationFilePath()));
  QObject::connect(&window, &darvelle::ui::MainWindow::closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!window.FormCreate()) return EXIT_FAILURE;
  window.show();
  return QApplication::exec();
}
