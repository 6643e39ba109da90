#pragma once
// The words of the eclipse in time in the window's three languages: the
// docks, the film's menu item, dialog and progress, and the map's timed
// outlines.

#include "catalogue/language.h"

namespace darvelle::ui {

struct TimeCaptions {
  const char* sliderDock;
  const char* sunDock;
  const char* exportItem;
  // The film's dialog.
  const char* exportTitle;
  const char* step;
  const char* size;
  const char* colored;
  const char* choose;
  const char* framesFolderTitle;
  const char* framesInto;
  const char* alsoVideo;
  const char* videoFile;
  // Its progress.
  const char* writing;
  const char* cancel;
  const char* joining;
  // Option > the umbra every … minutes on the map.
  const char* outlinesMenu;
  const char* outlinesOff;
};

// In German, English or French.
const TimeCaptions& TimeCaptionsIn(Language language);

}  // namespace darvelle::ui
