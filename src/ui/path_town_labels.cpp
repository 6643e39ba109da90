#include "ui/path_town_labels.h"

#include <cmath>

#include "export/path_band.h"
#include "places/towns_on_path.h"

namespace darvelle::ui {

const places::PlaceIndex& PathTownLabels::TownsIn(Language language) {
  static constexpr const char* kCodes[] = {"de", "en", "fr"};
  const std::string code = kCodes[LanguageIndex(language)];
  if (!towns_ || townsLanguage_ != code) {
    towns_ = std::make_shared<const places::PlaceIndex>(places::PlaceIndex::Load(code));
    townsLanguage_ = code;
  }
  return *towns_;
}

std::shared_ptr<const PathTownLabels::Labels> PathTownLabels::For(const PreparedEclipse& eclipse,
                                                                  Language language) {
  QMutexLocker lock(&mutex_);
  const Key key{eclipse.selectedIndex, eclipse.deltaT, language};
  if (labels_ && key == key_) return labels_;
  const places::PlaceIndex& towns = TownsIn(language);
  places::TownsFilter central;
  central.CentralOnly = true;
  // Two threads: the job's own and one more of a machine the window shares.
  const auto found = places::FindTownsOnPath(eclipse.elements, eclipse.deltaT, towns.Places(), central, 2);
  auto labels = std::make_shared<Labels>();
  for (const places::TownDurationLabel& town : places::TownDurationLabels(found, towns.Places())) {
    labels->push_back({QString::fromStdString(town.text), town.LongitudeDeg, town.LatitudeDeg});
  }
  key_ = key;
  labels_ = std::move(labels);
  return labels_;
}

std::shared_ptr<const PathTownLabels::Labels> PathTownLabels::Names(const EclipseResult& eclipse,
                                                                    Language language) {
  QMutexLocker lock(&mutex_);
  const Key key{eclipse.selectedIndex, eclipse.deltaT, language};
  if (names_ && key == namesKey_) return names_;
  const places::PlaceIndex& towns = TownsIn(language);
  // The index keeps its towns most populous first.
  Labels byPopulation;
  byPopulation.reserve(towns.Size());
  for (const places::Place& town : towns.Places()) {
    byPopulation.push_back({QString::fromStdString(town.Name), town.LongitudeDeg, town.LatitudeDeg});
  }
  namesKey_ = key;
  names_ = std::make_shared<const Labels>(
      RankTownLabels(byPopulation, std::nullopt, PathRingsOf(PathBandAreas(eclipse, true))));
  return names_;
}

namespace {

// A place found by the search is named "Town, Region, Country" after the
// town the list names "Town"; a point restored from the settings file may
// have lost the last digits of its coordinates.
bool SameTown(const TownLabelCandidate& town, const TownLabelCandidate& place) {
  constexpr double kSamePointDeg = 1e-5;
  if (std::abs(town.latitudeDeg - place.latitudeDeg) > kSamePointDeg ||
      std::abs(town.longitudeDeg - place.longitudeDeg) > kSamePointDeg) {
    return false;
  }
  return place.name == town.name ||
         (place.name.startsWith(town.name) && place.name.mid(town.name.size()).startsWith(QStringLiteral(", ")));
}

}  // namespace

std::shared_ptr<const PathTownLabels::Labels> WithChosenFirst(
    std::shared_ptr<const PathTownLabels::Labels> names, const std::optional<TownLabelCandidate>& chosen) {
  if (!chosen || chosen->name.isEmpty() || names == nullptr) return names;
  auto labels = std::make_shared<PathTownLabels::Labels>();
  labels->reserve(names->size() + 1);
  labels->push_back(*chosen);
  for (const TownLabelCandidate& town : *names) {
    if (!SameTown(town, *chosen)) labels->push_back(town);
  }
  return labels;
}

}  // namespace darvelle::ui
