// The separate settings file that remembers the window's own choices (the
// last folder, the observer's place, the window's geometry) beside the
// program's own settings file, which it leaves alone.

#include <QSettings>
#include <QSignalSpy>
#include <sys/stat.h>

#include <fstream>
#include <optional>
#include <vector>

#include "ui/observer_model.h"
#include "ui/window_settings.h"
#include "window_fixture.h"
#include "window_test_list.h"

namespace window_test {

using darvelle::ui::WindowSettings;

class WindowSettingsTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  void windowSettingsRoundTripBesideTheSpecifiedFile() {
    fs::create_directories(SettingsFolder());
    WriteSettings(SettingsFolder(), [](Settings&) {});
    const auto before = fs::last_write_time(SettingsFile());
    {
      WindowSettings settings(SettingsFolder());
      QCOMPARE(settings.LastFolder(), QString());
      QVERIFY(!settings.Place().has_value());
      QVERIFY(settings.WindowGeometry().isEmpty());
      settings.SetLastFolder(QStringLiteral("/some/where é"));
      settings.SetPlace({QStringLiteral("Dallas"), 32.78, -96.80, 139, QStringLiteral("America/Chicago"), {},
                         QStringLiteral("4684888")});
      settings.SetWindowGeometry(QByteArray("\x01\x02\x00\xff", 4));
      settings.SetValue(QStringLiteral("other/choice"), 7);
    }
    // A second object on the same folder, as the next run, reads it all back.
    const WindowSettings next(SettingsFolder());
    QCOMPARE(next.FilePath(), SettingsFolder() / "DarvelleWindow.ini");
    QVERIFY(fs::exists(next.FilePath()));
    QCOMPARE(next.LastFolder(), QStringLiteral("/some/where é"));
    const auto place = next.Place();
    QVERIFY(place.has_value());
    QCOMPARE(*place, (darvelle::ui::ObserverPlace{QStringLiteral("Dallas"), 32.78, -96.80, 139,
                                                   QStringLiteral("America/Chicago"), {}, QStringLiteral("4684888")}));
    QCOMPARE(next.WindowGeometry(), QByteArray("\x01\x02\x00\xff", 4));
    QCOMPARE(next.Value(QStringLiteral("other/choice")).toInt(), 7);
    // The specified file is neither grown nor rewritten.
    QCOMPARE(fs::file_size(SettingsFile()), std::uintmax_t{2108});
    QCOMPARE(fs::last_write_time(SettingsFile()), before);
  }

  void windowSettingsRejectAPlaceOffTheEarth_data() {
    QTest::addColumn<QString>("latitude");
    QTest::addColumn<QString>("longitude");
    QTest::newRow("latitude 91") << "91" << "10";
    QTest::newRow("longitude -180.5") << "10" << "-180.5";
    QTest::newRow("not a number") << "north" << "10";
    QTest::newRow("nan") << "nan" << "10";
    QTest::newRow("height 1e12") << "10" << "10";
  }

  void windowSettingsRejectAPlaceOffTheEarth() {
    QFETCH(QString, latitude);
    QFETCH(QString, longitude);
    fs::create_directories(SettingsFolder());
    WindowSettings settings(SettingsFolder());
    settings.SetPlace({QStringLiteral("Dallas"), 32.78, -96.80, 0, {}, {}, {}});
    {
      QSettings raw(QString::fromStdString(settings.FilePath().string()), QSettings::IniFormat);
      raw.setValue(QStringLiteral("place/latitudeDeg"), latitude);
      raw.setValue(QStringLiteral("place/longitudeDeg"), longitude);
      if (QString(QTest::currentDataTag()).startsWith(QStringLiteral("height"))) {
        raw.setValue(QStringLiteral("place/heightM"), 1e12);
      }
    }
    QVERIFY(!settings.Place().has_value());
    settings.ForgetPlace();
    QVERIFY(!settings.Place().has_value());
  }

  // A pipe under the file's name kept the window from ever appearing, and a
  // huge file cost seconds at every call: neither is opened, the file is left
  // as it is, and the reason is there to be said.
  void windowSettingsLeaveWhatIsNoSettingsFileAlone() {
    fs::create_directories(SettingsFolder());
    const fs::path file = SettingsFolder() / "DarvelleWindow.ini";
    QCOMPARE(::mkfifo(file.c_str(), 0600), 0);
    {
      WindowSettings settings(SettingsFolder());
      QVERIFY(settings.Problem().contains(QStringLiteral("not a regular file")));
      QVERIFY(!settings.Place().has_value());
      QVERIFY(!settings.SetLastFolder(QStringLiteral("/x")));
      QVERIFY(fs::is_fifo(file));
    }
    fs::remove(file);
    std::ofstream(file) << std::string(2 << 20, '#');
    WindowSettings huge(SettingsFolder());
    QVERIFY(huge.Problem().contains(QStringLiteral("bytes")));
    QVERIFY(!huge.SetLastFolder(QStringLiteral("/x")));
    QCOMPARE(fs::file_size(file), std::uintmax_t{2 << 20});
  }

  void windowSettingsCutAHugePlaceName() {
    fs::create_directories(SettingsFolder());
    WindowSettings settings(SettingsFolder());
    QVERIFY(settings.SetPlace({QString(1'000'000, QLatin1Char('a')), 10, 10, 0, {}, {}, {}}));
    QCOMPARE(WindowSettings(SettingsFolder()).Place()->name.size(), darvelle::ui::kMaxPlaceNameLength);
  }

  // The observer's model without a window: a choice is remembered whole for
  // the next run, and a change of name alone does not count as a move.
  void observerModelRemembersThePlaceForTheNextRun() {
    fs::create_directories(SettingsFolder());
    darvelle::ui::ObserverPlace dallas;
    dallas.name = QStringLiteral("Dallas, Texas, United States");
    dallas.latitudeDeg = 32.78;
    dallas.longitudeDeg = -96.8;
    dallas.heightM = 139;
    dallas.timeZone = QStringLiteral("America/Chicago");
    dallas.cityId = QStringLiteral("4684888");
    std::vector<bool> moves;
    {
      darvelle::ui::ObserverModel model(SettingsFolder());
      connect(&model, &darvelle::ui::ObserverModel::placeChosen, this,
              [&](const darvelle::ui::ObserverPlace&, bool moved) { moves.push_back(moved); });
      model.choose(dallas);
      darvelle::ui::ObserverPlace renamed = dallas;
      renamed.name = QStringLiteral("Dallas, Texas, Vereinigte Staaten");
      model.choose(renamed);
      model.choose(dallas);
    }
    QCOMPARE(moves, (std::vector<bool>{true, false, false}));
    darvelle::ui::ObserverModel next(SettingsFolder());
    std::optional<darvelle::ui::ObserverPlace> restored;
    connect(&next, &darvelle::ui::ObserverModel::placeRestored, this,
            [&](const darvelle::ui::ObserverPlace& place) { restored = place; });
    next.restore();
    QVERIFY(restored.has_value());
    QVERIFY(*restored == dallas);
    QVERIFY(next.place() == restored);
  }

  // Places chosen can be taken back one by one, latest first, and what is
  // taken back is what the next run finds; a new name for the same point
  // (a clicked point once its town is known) is no step of its own.
  void observerModelTakesChoicesBack() {
    fs::create_directories(SettingsFolder());
    const auto at = [](double lat, double lon, const char* id = "") {
      darvelle::ui::ObserverPlace p;
      p.latitudeDeg = lat;
      p.longitudeDeg = lon;
      p.cityId = QString::fromLatin1(id);
      return p;
    };
    darvelle::ui::ObserverModel model(SettingsFolder());
    QSignalSpy available(&model, &darvelle::ui::ObserverModel::previousAvailable);
    model.choosePrevious();  // nothing to take back
    QVERIFY(!model.place().has_value());
    model.choose(at(32.78, -96.8, "4684888"));
    model.choose(at(43.26, -2.93));
    model.choose(at(43.26, -2.93, "3128026"));
    model.choose(at(-33.87, 151.21));
    QCOMPARE(available.count(), 1);
    model.choosePrevious();
    QVERIFY(*model.place() == at(43.26, -2.93, "3128026"));
    model.choosePrevious();
    QVERIFY(*model.place() == at(32.78, -96.8, "4684888"));
    QVERIFY(!model.hasPrevious());
    QCOMPARE(available.count(), 2);
    QCOMPARE(available.last().at(0).toBool(), false);
    QCOMPARE(WindowSettings(SettingsFolder()).Place()->latitudeDeg, 32.78);
  }
};

std::unique_ptr<QObject> MakeWindowSettingsTest() { return std::make_unique<WindowSettingsTest>(); }

}  // namespace window_test

#include "window_settings_test.moc"
