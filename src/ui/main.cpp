// darvelle: the window program. Maps of solar eclipses from the catalogue of
// Besselian elements; the data files are looked for in the working folder,
// the installed data folder and the source tree's data folder.

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "ui/main_window.h"
#include "ui/response_probe.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
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

  // DARVELLE_STARTUP_PROBE=1: print the time from start to the first map on
  // the screen and leave (how the start-up time is measured).
  if (const char* probe = std::getenv("DARVELLE_STARTUP_PROBE"); probe != nullptr && *probe == '1') {
    QObject::connect(&window, &darvelle::ui::MainWindow::firstMapPainted, &app, [&] {
      std::printf("first map painted after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
      std::fflush(stdout);
      QTimer::singleShot(0, &window, [&] { window.close(); });
    });
  }
  // DARVELLE_RESPONSE_PROBE=1: after the first map, recompute 2024 April 8
  // at resolution 32 and print the longest gap between two ticks of a timer
  // on the window's thread meanwhile; then leave.
  if (const char* probe = std::getenv("DARVELLE_RESPONSE_PROBE"); probe != nullptr && *probe == '1') {
    darvelle::ui::StartResponseProbe(window, 2024);
  }
  // DARVELLE_RESIZE_PROBE=1: after the first map, resize the window eight
  // times and print the same figures for the resizing; then leave.
  if (const char* probe = std::getenv("DARVELLE_RESIZE_PROBE"); probe != nullptr && *probe == '1') {
    darvelle::ui::StartResizeProbe(window);
  }
  window.show();
  return QApplication::exec();
}
