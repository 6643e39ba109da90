#include "ui/path_town_labels.h"

#include "places/towns_on_path.h"

namespace darvelle::ui {

std::shared_ptr<const PathTownLabels::Labels> PathTownLabels::For(const PreparedEclipse& eclipse,
                                                                  int language) {
  QMutexLocker lock(&mutex_);
  const Key key{eclipse.selectedIndex, eclipse.deltaT, language};
  if (labels_ && key == key_) return labels_;
  static constexpr const char* kCodes[] = {"de", "en", "fr"};
  const std::string code = kCodes[language >= 0 && language <= 2 ? language : 1];
  if (!towns_ || townsLanguage_ != code) {
    towns_ = std::make_shared<const places::PlaceIndex>(places::PlaceIndex::Load(code));
    townsLanguage_ = code;
  }
  places::TownsFilter central;
  central.CentralOnly = true;
  // Two threads: the job's own and one more of a machine the window shares.
  const auto found = places::FindTownsOnPath(eclipse.elements, eclipse.deltaT, towns_->Places(), central, 2);
  auto labels = std::make_shared<Labels>();
  for (const places::TownDurationLabel& town : places::TownDurationLabels(found, towns_->Places())) {
    labels->push_back({QString::fromStdString(town.text), town.LongitudeDeg, town.LatitudeDeg});
  }
  key_ = key;
  labels_ = std::move(labels);
  return labels_;
}

}  // namespace darvelle::ui
