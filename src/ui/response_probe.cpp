#include "ui/response_probe.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "catalogue/selection.h"
#include "ui/main_window.h"

namespace darvelle::ui {
namespace {

constexpr int kFinestResolution = 32;
// The ticks run this long with nothing to do first, for a baseline of what
// the machine's load alone costs, and this long after the result, so that
// the painting of the map is measured too.
constexpr int kIdleMs = 1000;
constexpr int kAfterResultMs = 300;

// The gaps between the ticks of a timer that asks to run every millisecond.
struct TickGaps {
  QTimer timer;
  QElapsedTimer clock;
  qint64 lastTick = 0;
  qint64 longest = 0;
  qint64 longestEndedAt = 0;
  long ticks = 0;

  void Restart() {
    clock.start();
    lastTick = longest = longestEndedAt = 0;
    ticks = 0;
  }
  void Tick() {
    const qint64 now = clock.nsecsElapsed();
    if (now - lastTick > longest) {
      longest = now - lastTick;
      longestEndedAt = now;
    }
    lastTick = now;
    ++ticks;
  }
  void Print(const char* phase) const {
    std::printf("%s: %lld ms, %ld timer ticks, longest gap %.1f ms (ending %.0f ms in)\n", phase,
                static_cast<long long>(clock.elapsed()), ticks, static_cast<double>(longest) / 1e6,
                static_cast<double>(longestEndedAt) / 1e6);
    std::fflush(stdout);
  }
};

void MeasureRecomputation(MainWindow& window, int year, const std::shared_ptr<TickGaps>& gaps) {
  QObject::connect(&window, &MainWindow::becameIdle, &window, [gaps, &window] {
    std::printf("result shown after %lld ms\n", static_cast<long long>(gaps->clock.elapsed()));
    QTimer::singleShot(kAfterResultMs, &window, [gaps, &window] {
      gaps->timer.stop();
      gaps->Print("resolution 32 recomputation and painting");
      window.close();
    });
  }, Qt::SingleShotConnection);
  SessionState next = window.Session().State();
  next.index = FindFirstOfYear(window.GetCatalogue(), year);
  next.view.Resolution = kFinestResolution;
  gaps->Restart();
  window.Session().Recompute(next, window.MapArea());
}

void Measure(MainWindow& window, int year) {
  auto gaps = std::make_shared<TickGaps>();
  QObject::connect(&gaps->timer, &QTimer::timeout, &window, [gaps] { gaps->Tick(); });
  gaps->timer.setTimerType(Qt::PreciseTimer);
  gaps->Restart();
  gaps->timer.start(1);
  QTimer::singleShot(kIdleMs, &window, [gaps, &window, year] {
    gaps->Print("idle window (baseline)");
    MeasureRecomputation(window, year, gaps);
  });
}

}  // namespace

void StartResponseProbe(MainWindow& window, int year) {
  QObject::connect(&window, &MainWindow::firstMapPainted, &window,
                   [&window, year] { QTimer::singleShot(0, &window, [&window, year] { Measure(window, year); }); },
                   Qt::SingleShotConnection);
}

}  // namespace darvelle::ui
