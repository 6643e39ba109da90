#include "ui/response_probe.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
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

// The CPU time the calling thread has used, in nanoseconds.
qint64 ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The gaps between the ticks of a timer that asks to run every millisecond,
// and how much of each the window's thread spent working: on a machine
// shared with other work a gap may be the thread waiting for a processor,
// which no change of the program removes.
struct TickGaps {
  QTimer timer;
  QElapsedTimer clock;
  qint64 lastTick = 0;
  qint64 lastCpu = 0;
  qint64 longest = 0;
  qint64 longestEndedAt = 0;
  qint64 cpuInLongest = 0;
  qint64 mostCpu = 0;  // the most CPU time between two ticks
  long ticks = 0;

  void Restart() {
    clock.start();
    lastTick = longest = longestEndedAt = cpuInLongest = mostCpu = 0;
    lastCpu = ThreadCpuNs();
    ticks = 0;
  }
  void Tick() {
    const qint64 now = clock.nsecsElapsed();
    const qint64 cpu = ThreadCpuNs();
    if (now - lastTick > longest) {
      longest = now - lastTick;
      longestEndedAt = now;
      cpuInLongest = cpu - lastCpu;
    }
    mostCpu = std::max(mostCpu, cpu - lastCpu);
    lastTick = now;
    lastCpu = cpu;
    ++ticks;
  }
  void Print(const char* phase) const {
    std::printf("%s: %lld ms, %ld timer ticks, longest gap %.1f ms (ending %.0f ms in; the window's "
                "thread worked %.1f ms of it), most work between two ticks %.1f ms\n",
                phase, static_cast<long long>(clock.elapsed()), ticks, static_cast<double>(longest) / 1e6,
                static_cast<double>(longestEndedAt) / 1e6, static_cast<double>(cpuInLongest) / 1e6,
                static_cast<double>(mostCpu) / 1e6);
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
