#include "ui/shared_borders.h"

#include <exception>

#include "catalogue/data_files.h"
#include "render/border_file.h"

namespace darvelle::ui {

std::shared_ptr<const BorderLayer> SharedBorders::Get() {
  QMutexLocker lock(&mutex_);
  if (tried_) return borders_;
  tried_ = true;
  try {
    borders_ = std::make_shared<const BorderLayer>(
        LoadBorders(FindDataFile(kBorderFileName, dataFolder_)));
  } catch (const std::exception&) {
    borders_ = nullptr;
  }
  return borders_;
}

}  // namespace darvelle::ui
