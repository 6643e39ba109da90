#include "ui/application.h"

#include <QApplication>
#include <QLocale>
#include <clocale>

namespace darvelle::ui {

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("Darvelle"));
  QApplication::setDesktopFileName(QStringLiteral("darvelle"));
  // QApplication takes the user's locale for the C library; every number the
  // program writes or reads uses "." whatever that locale says.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  // The program ends when its window has finished closing, which may be a
  // moment after the window has left the screen (a worker finishing its files).
  QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace darvelle::ui
