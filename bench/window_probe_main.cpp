// window_probes startup|response|resize: the window program as it starts,
// with one measurement of its responsiveness, printed to stdout, after which
// it leaves.
//   startup   the time from main() to the first map on the screen
//   response  the longest gap between two ticks of a timer on the window's
//             thread while 2024 April 8 is recomputed at resolution 32
//   resize    the same figures while the window is resized eight times
//   play      the same figures while the time slider plays the eclipse

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/application.h"
#include "ui/darvelle_window.h"
#include "window_probes.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  const std::string probe = argc > 1 ? argv[1] : "";
  if (probe != "startup" && probe != "response" && probe != "resize" && probe != "play") {
    std::fprintf(stderr, "usage: window_probes startup|response|resize|play\n");
    return 2;
  }
  QApplication app(argc, argv);
  darvelle::ui::ConfigureApplication();

  const std::unique_ptr<darvelle::ui::DarvelleWindow> window =
      darvelle::ui::MakeMainWindow(darvelle::ui::StartupOptions::FromEnvironment(QApplication::applicationFilePath()));
  QObject::connect(window.get(), &darvelle::ui::DarvelleWindow::closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  if (!window->FormCreate()) return EXIT_FAILURE;
  if (probe == "startup") {
    QObject::connect(window.get(), &darvelle::ui::DarvelleWindow::firstMapPainted, &app, [&] {
      std::printf("first map painted after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
      std::fflush(stdout);
      QTimer::singleShot(0, window.get(), [&] { window->close(); });
    });
  } else if (probe == "response") {
    darvelle::ui::StartResponseProbe(*window, 2024);
  } else if (probe == "resize") {
    darvelle::ui::StartResizeProbe(*window);
  } else {
    darvelle::ui::StartPlayProbe(*window);
  }
  window->show();
  return QApplication::exec();
}
