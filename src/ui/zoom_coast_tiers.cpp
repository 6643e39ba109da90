#include "ui/zoom_coast_tiers.h"

#include <QtConcurrent/QtConcurrentRun>

#include <exception>

#include "catalogue/data_files.h"

namespace darvelle::ui {

std::shared_ptr<const ZoomCoastLayer> ZoomCoastTiers::For(int rk) {
  const std::vector<char> tiers = CoastTiersToTry(rk);
  QMutexLocker lock(&mutex_);
  if (!tiers.empty() && !tried_[tiers.front()]) {
    tried_[tiers.front()] = true;
    const char tier = tiers.front();
    loads_.push_back(QtConcurrent::run(pool_, [this, tier] { Load(tier); }));
  }
  for (const char tier : tiers) {
    if (auto found = ready_.find(tier); found != ready_.end()) return found->second;
  }
  return nullptr;
}

void ZoomCoastTiers::Load(char tier) {
  std::shared_ptr<const ZoomCoastLayer> layer;
  try {
    layer = std::make_shared<const ZoomCoastLayer>(
        LoadCoastTier(FindDataFile(CoastTierFileName(tier), dataFolder_)));
  } catch (const std::exception&) {
    // Not installed (the finer tiers are made at set-up) or unreadable: the
    // view keeps what it has.
    return;
  }
  {
    QMutexLocker lock(&mutex_);
    ready_[tier] = std::move(layer);
  }
  if (loaded_) loaded_();
}

void ZoomCoastTiers::WaitForLoads() {
  std::vector<QFuture<void>> loads;
  {
    QMutexLocker lock(&mutex_);
    loads = loads_;
  }
  for (QFuture<void>& load : loads) load.waitForFinished();
}

}  // namespace darvelle::ui
