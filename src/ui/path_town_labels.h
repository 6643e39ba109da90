#pragma once
// The map's town labels with durations ("Dallas 3 min 52 s"): the towns that
// see the central phase of the eclipse drawn, most populous first. The list
// is made once per eclipse (FindTownsOnPath over the whole town list, a few
// tenths of a second) and kept for the drawings of the same eclipse that
// follow (a turn, a zoom, a new pen width). The session's jobs call it on
// their worker, never the window's thread.

#include <QMutex>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geometry/eclipse_computation.h"
#include "places/place_index.h"
#include "render/map_layers.h"
#include "catalogue/language.h"

namespace darvelle::ui {

class PathTownLabels {
 public:
  using Labels = std::vector<TownLabelCandidate>;

  // The labels for `eclipse` with the town names of `language` (0 German,
  // 1 English, 2 French); any thread. Throws what reading the town list throws.
  std::shared_ptr<const Labels> For(const PreparedEclipse& eclipse, Language language);

  // Every town's name in `language`, the towns inside the path of
  // `eclipse` first, then the rest, most populous first; made once per
  // eclipse like the labels with durations. Any thread.
  std::shared_ptr<const Labels> Names(const EclipseResult& eclipse, Language language);

 private:
  struct Key {
    int index = 0;
    double deltaT = 0;
    std::optional<Language> language;
    bool operator==(const Key&) const = default;
  };

  // The town list in `language` (loaded at the first call for it); under mutex_.
  const places::PlaceIndex& TownsIn(Language language);

  QMutex mutex_;
  std::shared_ptr<const places::PlaceIndex> towns_;
  std::string townsLanguage_;
  Key key_;
  std::shared_ptr<const Labels> labels_;
  Key namesKey_;
  std::shared_ptr<const Labels> names_;
};

// `names` with the user's place in front of every town; the same town
// further down (the place's own name, or its name before the first comma,
// at the place's point) is left out so that it is not named twice.
// `names` itself when there is no place to name.
std::shared_ptr<const PathTownLabels::Labels> WithChosenFirst(
    std::shared_ptr<const PathTownLabels::Labels> names, const std::optional<TownLabelCandidate>& chosen);

}  // namespace darvelle::ui
