// The towns-on-the-path dock on its own, offscreen, on the shipped catalogue
// and whatever town list the data folders hold: a scan off the window's
// thread, the rows longest totality first, a filter that widens the list, and
// the double-clicked row's town as the place (after the table was sorted).

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

#include "astro/delta_t.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "geometry/local_circumstances.h"
#include "ui/towns_panel.h"

class TownsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void listsTheTownsOfThePathAndChoosesOne();
};

void TownsPanelTest::listsTheTownsOfThePathAndChoosesOne() {
  using namespace darvelle;
  const auto path = std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);
  if (!std::filesystem::exists(path)) QSKIP("catalogue not in data/");
  const Catalogue catalogue = LoadCatalogue(path);
  int april8 = 0;
  for (int i = 1; i <= catalogue.Count() && april8 == 0; ++i) {
    const EclipseRecord& r = catalogue.Record(i);
    if (r.Year == 2024 && r.Month == 4 && r.Day == 8) april8 = i;
  }
  ui::ShownEclipse eclipse;
  eclipse.index = april8;
  eclipse.elements = CurrentElements(catalogue, april8);
  eclipse.deltaT = ComputeDeltaT(eclipse.elements.year, eclipse.elements.month);

  QThreadPool pool;
  ui::TownsPanel panel;
  panel.setWorkers(&pool);
  panel.resize(900, 600);
  panel.show();
  QVERIFY(QTest::qWaitForWindowExposed(&panel));
  QSignalSpy finished(&panel, &ui::TownsPanel::scanFinished);
  QSignalSpy chosen(&panel, &ui::TownsPanel::townChosen);
  panel.setEclipse(eclipse);
  QVERIFY(finished.wait(30000));
  const int central = panel.townsFound();
  QVERIFY(central > 20);  // Mexico, the United States, Canada: even the library's cities

  auto* table = panel.findChild<QTableWidget*>(QStringLiteral("TownsTable"));
  QVERIFY(table != nullptr);
  QCOMPARE(table->rowCount(), std::min(central, ui::TownsPanel::kMostRows));
  // Sorted by duration, longest first (column 4), then by name: the row keeps its town.
  QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), 4);
  table->sortByColumn(0, Qt::AscendingOrder);
  const int row = table->rowCount() / 2;
  const QString name = table->item(row, 0)->text();
  table->scrollToItem(table->item(row, 0));
  const QPoint at = table->visualItemRect(table->item(row, 0)).center();
  // A double-click as a mouse gives it: press and release, then the second press.
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
  QCOMPARE(chosen.count(), 1);
  const auto place = chosen.front().front().value<ui::ObserverPlace>();
  QVERIFY(place.name.startsWith(name + QStringLiteral(",")));
  QVERIFY(!place.timeZone.isEmpty());
  const LocalCircumstances local =
      ComputeLocalCircumstances(eclipse.elements, eclipse.deltaT, {place.latitudeDeg, place.longitudeDeg, 0.0});
  QCOMPARE(local.Kind, LocalKind::kTotal);

  // A deep partial eclipse is seen from many more towns.
  panel.findChild<QCheckBox*>(QStringLiteral("TownsCentralOnly"))->setChecked(false);
  panel.findChild<QDoubleSpinBox*>(QStringLiteral("TownsMinMagnitude"))->setValue(0.9);
  QVERIFY(finished.wait(30000));
  while (panel.scanning()) QVERIFY(finished.wait(30000));
  QVERIFY(panel.townsFound() > central);
}

QTEST_MAIN(TownsPanelTest)
#include "towns_panel_test.moc"
