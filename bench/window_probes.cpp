#include "window_probes.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include "catalogue/selection.h"
#include "ui/darvelle_window.h"
#include "ui/time_slider.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

constexpr int kFinestResolution = 32;
// The ticks run this long with nothing to do first, for a baseline of what
// the machine's load alone costs, and this long after the result, so that
// the painting of the map is measured too.
constexpr int kIdleMs = 1000;
constexpr int kAfterResultMs = 300;
// The resizes, as a user drags a window's corner on a 1920 x 1080 screen:
// the map panel (beside the column and the docks) from about 900 to 1250
// pixels wide, each size given time to be painted before the next.
constexpr QSize kResizeSizes[] = {{1900, 1040}, {1600, 950}, {1850, 1020}, {1550, 900},
                                  {1900, 1050}, {1700, 980}, {1880, 1030}, {1800, 1000}};
constexpr int kResizeEveryMs = 150;
constexpr int kAfterResizesMs = 1000;

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

void MeasureRecomputation(DarvelleWindow& window, int year, const std::shared_ptr<TickGaps>& gaps) {
  QObject::connect(&window, &DarvelleWindow::becameIdle, &window, [gaps, &window] {
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

// The wall time and the window thread's CPU time of one step of the
// window's work, longest and mean over its runs. The wall time includes
// any wait for other threads the window's thread makes (Qt's smooth
// scaling hands slices of a picture to its global pool and waits for them).
struct StepCosts {
  qint64 longestWallNs = 0;
  qint64 cpuOfLongestNs = 0;
  qint64 totalWallNs = 0;
  int count = 0;

  template <class Step>
  void Run(Step step) {
    QElapsedTimer wall;
    const qint64 cpuBefore = ThreadCpuNs();
    wall.start();
    step();
    const qint64 took = wall.nsecsElapsed();
    if (took > longestWallNs) {
      longestWallNs = took;
      cpuOfLongestNs = ThreadCpuNs() - cpuBefore;
    }
    totalWallNs += took;
    ++count;
  }
  void Print(const char* step) const {
    std::printf("%s: longest %.1f ms (the window's thread worked %.1f ms of it), mean %.1f ms over %d\n", step,
                static_cast<double>(longestWallNs) / 1e6, static_cast<double>(cpuOfLongestNs) / 1e6,
                static_cast<double>(totalWallNs) / 1e6 / std::max(count, 1), count);
  }
};

// Each resize as the window handles it at once: the resize events (the
// layout, and whatever the window does for the new size), then a repaint of
// the whole window, which a resize needs in any case.
struct ResizeCosts {
  StepCosts resizing;
  StepCosts repainting;

  void Resize(DarvelleWindow& window, QSize size) {
    resizing.Run([&] { window.resize(size); });
    repainting.Run([&] { window.repaint(); });
  }
  void Print() const {
    resizing.Print("resize events");
    repainting.Print("repaint after the resize");
  }
};

// Resizes the window through `kResizeSizes`, one size every
// kResizeEveryMs, then waits kAfterResizesMs for the map to settle at the
// last size; the ticks run all the while.
void MeasureResizes(DarvelleWindow& window, const std::shared_ptr<TickGaps>& gaps) {
  window.showNormal();
  auto costs = std::make_shared<ResizeCosts>();
  gaps->Restart();
  int step = 0;
  for (const QSize size : kResizeSizes) {
    QTimer::singleShot(step++ * kResizeEveryMs, &window, [&window, size, costs] { costs->Resize(window, size); });
  }
  QTimer::singleShot(step * kResizeEveryMs + kAfterResizesMs, &window, [gaps, costs, &window] {
    gaps->timer.stop();
    gaps->Print("window resized 8 times and the map settled");
    costs->Print();
    const MapPanel* panel = window.findChild<MapPanel*>(QStringLiteral("Panel2"));
    std::printf("map panel %dx%d, picture shown %dx%d, fitted to the panel: %s\n", panel->width(),
                panel->height(), panel->Shown().width(), panel->Shown().height(),
                panel->Shown().size() == MapPanel::FittedSize(panel->Image().size(), panel->size(),
                                                              panel->devicePixelRatioF())
                    ? "yes"
                    : "no");
    std::fflush(stdout);
    window.close();
  });
}

// Opens the time slider and plays it for kPlayMs at 10 minutes a second,
// counting the pictures the map panel shows on the way.
constexpr int kPlayMs = 5000;
void MeasurePlaying(DarvelleWindow& window, const std::shared_ptr<TickGaps>& gaps) {
  auto* open = window.findChild<QAction*>(QStringLiteral("TimeSlider1"));
  auto* slider = window.findChild<TimeSlider*>(QStringLiteral("TimeSlider"));
  auto* speeds = window.findChild<QComboBox*>(QStringLiteral("TimeSpeed"));
  const MapPanel* panel = window.findChild<MapPanel*>(QStringLiteral("Panel2"));
  if (!open || !slider || !speeds || !panel) {
    std::printf("the time slider is missing\n");
    window.close();
    return;
  }
  if (!open->isChecked()) open->trigger();
  speeds->setCurrentIndex(speeds->findText(QStringLiteral("10 min/s")) >= 0
                              ? speeds->findText(QStringLiteral("10 min/s"))
                              : speeds->count() - 2);
  auto pictures = std::make_shared<int>(0);
  auto lastKey = std::make_shared<qint64>(panel->Shown().cacheKey());
  QObject::connect(&gaps->timer, &QTimer::timeout, &window, [panel, pictures, lastKey] {
    if (panel->Shown().cacheKey() != *lastKey) {
      *lastKey = panel->Shown().cacheKey();
      ++*pictures;
    }
  });
  gaps->Restart();
  slider->setPlaying(true);
  QTimer::singleShot(kPlayMs, &window, [gaps, pictures, slider, &window] {
    slider->setPlaying(false);
    gaps->timer.stop();
    gaps->Print("time slider playing at 10 min/s");
    std::printf("pictures shown while playing: %d (%.1f a second)\n", *pictures, *pictures * 1000.0 / kPlayMs);
    std::fflush(stdout);
    window.close();
  });
}

// Starts the ticks once the first map is on the screen, prints the idle
// baseline after kIdleMs, then runs `measure`.
void AfterFirstMap(DarvelleWindow& window, std::function<void(DarvelleWindow&, const std::shared_ptr<TickGaps>&)> measure) {
  QObject::connect(&window, &DarvelleWindow::firstMapPainted, &window, [&window, measure] {
    QTimer::singleShot(0, &window, [&window, measure] {
      auto gaps = std::make_shared<TickGaps>();
      QObject::connect(&gaps->timer, &QTimer::timeout, &window, [gaps] { gaps->Tick(); });
      gaps->timer.setTimerType(Qt::PreciseTimer);
      gaps->Restart();
      gaps->timer.start(1);
      QTimer::singleShot(kIdleMs, &window, [gaps, &window, measure] {
        gaps->Print("idle window (baseline)");
        measure(window, gaps);
      });
    });
  }, Qt::SingleShotConnection);
}

}  // namespace

void StartResponseProbe(DarvelleWindow& window, int year) {
  AfterFirstMap(window, [year](DarvelleWindow& w, const std::shared_ptr<TickGaps>& gaps) {
    MeasureRecomputation(w, year, gaps);
  });
}

void StartResizeProbe(DarvelleWindow& window) { AfterFirstMap(window, MeasureResizes); }

void StartPlayProbe(DarvelleWindow& window) { AfterFirstMap(window, MeasurePlaying); }

}  // namespace darvelle::ui
