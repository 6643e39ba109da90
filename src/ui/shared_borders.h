#pragma once
// The national borders for the window's map, read on first use by a session
// job (a few tens of milliseconds, never on the window's thread) and kept
// for every drawing after it.

#include <QMutex>
#include <filesystem>
#include <memory>
#include <optional>

#include "render/map_layers.h"

namespace darvelle::ui {

class SharedBorders {
 public:
  explicit SharedBorders(std::optional<std::filesystem::path> dataFolder)
      : dataFolder_(std::move(dataFolder)) {}

  // The borders; null when the file cannot be read (the map is drawn
  // without them, and the next drawing does not try again). Any thread.
  std::shared_ptr<const BorderLayer> Get();

 private:
  QMutex mutex_;
  std::optional<std::filesystem::path> dataFolder_;
  std::shared_ptr<const BorderLayer> borders_;
  bool tried_ = false;
};

}  // namespace darvelle::ui
