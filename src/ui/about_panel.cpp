#include "ui/about_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/control_factory.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

// The grid of version information: two columns of 195 pixels, 17 rows of 19.
QTableWidget* NewVersionGrid(QWidget* parent) {
  auto* grid = new QTableWidget(kVersionGridRows, 2, parent);
  grid->setObjectName(QStringLiteral("StringGrid_VersionsInfo"));
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
  grid->setColumnWidth(0, 195);
  grid->setColumnWidth(1, 195);
  grid->verticalHeader()->setDefaultSectionSize(19);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setFixedSize(2 * 195 + 4, kVersionGridRows * 19 + 4);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return grid;
}

}  // namespace

AboutPanel::AboutPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel_About"));
  setAutoFillBackground(true);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(QPixmap::fromImage(DarvelleIcon(64)));
  auto* title = new QLabel(QStringLiteral("Darvelle"), this);
  title->setObjectName(QStringLiteral("Label_Darvelle"));
  title->setFont(PixelFont(QStringLiteral("Arial"), 32, true));
  top->addWidget(image);
  top->addWidget(title, 1);
  layout->addLayout(top);

  grid_ = NewVersionGrid(this);
  layout->addWidget(grid_);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Button_About_OK"));
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
  adjustSize();
  move(270, 20);
  hide();
}

void AboutPanel::ShowVersion(const TFileVersionInfo& info) {
  const auto rows = VersionGridRows(info);
  for (int r = 0; r < kVersionGridRows; ++r) {
    for (int c = 0; c < 2; ++c) {
      auto* cell = new QTableWidgetItem(rows[r][c]);
      cell->setToolTip(rows[r][c]);  // long values do not fit a 195-pixel column
      grid_->setItem(r, c, cell);
    }
  }
}

void AboutPanel::Open() {
  show();
  raise();
}

}  // namespace darvelle::ui
