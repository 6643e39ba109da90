#pragma once
// Help > About: the program's icon and name over its version information,
// a panel raised over the map and hidden with OK.

#include <QFrame>

#include "ui/version_info.h"

class QTableWidget;

namespace darvelle::ui {

class AboutPanel : public QFrame {
  Q_OBJECT

 public:
  explicit AboutPanel(QWidget* parent);

  // Fills the grid from what the executable says of itself.
  void ShowVersion(const TFileVersionInfo& info);
  void Open();

 private:
  QTableWidget* grid_ = nullptr;  // StringGrid_VersionsInfo
};

}  // namespace darvelle::ui
