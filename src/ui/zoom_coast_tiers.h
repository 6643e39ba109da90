#pragma once
// The zoomed globe's shore and border tiers for the window: each read on a
// worker the first time a drawing wants it (the high-resolution file is
// about 17 MB), never on the window's thread and never by the drawing job
// itself; until it is there a drawing takes the finest tier already loaded,
// or the coastline points.

#include <QFuture>
#include <QMutex>
#include <QThreadPool>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "render/zoom_coastlines.h"

namespace darvelle::ui {

class ZoomCoastTiers {
 public:
  // `loaded` is called on the loading worker after a tier became ready.
  ZoomCoastTiers(std::optional<std::filesystem::path> dataFolder, QThreadPool* pool,
                 std::function<void()> loaded)
      : dataFolder_(std::move(dataFolder)), pool_(pool), loaded_(std::move(loaded)) {}
  // Waits for the loads under way: they call back into their owner.
  ~ZoomCoastTiers() { WaitForLoads(); }
  ZoomCoastTiers(const ZoomCoastTiers&) = delete;
  ZoomCoastTiers& operator=(const ZoomCoastTiers&) = delete;

  // What a globe of radius `rk` draws its shores with now: the wanted tier
  // when loaded, else the finest coarser one loaded; null for the points.
  // Starts loading the wanted tier when it was never tried. Any thread;
  // never waits for a file. A tier that cannot be read is not tried again.
  std::shared_ptr<const ZoomCoastLayer> For(int rk);

  void WaitForLoads();

 private:
  void Load(char tier);

  QMutex mutex_;
  std::optional<std::filesystem::path> dataFolder_;
  QThreadPool* pool_;
  std::function<void()> loaded_;
  std::map<char, std::shared_ptr<const ZoomCoastLayer>> ready_;
  std::map<char, bool> tried_;
  std::vector<QFuture<void>> loads_;
};

}  // namespace darvelle::ui
