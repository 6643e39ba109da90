// The real window on the shipped data, driven through the globe and the
// panels around it: drag, wheel and double-click on the map, the cursor's
// place in the status bar, the legend dock and the list of a year's eclipses.
// With DARVELLE_UI_SCREENSHOTS set to a folder it also saves pictures of them.

#include <QDockWidget>
#include <QWheelEvent>

#include <cmath>

#include "ui/control_factory.h"
#include "ui/legend_panel.h"
#include "ui/year_eclipse_list.h"
#include "window_fixture.h"

namespace window_test {

using darvelle::GlobeProjection;

namespace {

constexpr double kRadiansPerDegree = 3.141592653589793 / 180.0;
// The window keeps the angles to a tenth of a degree, as its edits show them.
constexpr double kAngleRounding = 0.1;

}  // namespace

class WindowGlobeTest : public WindowFixture {
  Q_OBJECT

 private:
  // Waits for the request a gesture makes once the mouse stops, and its map.
  void SettleAfterGesture(const GlobeProjection& before) {
    QTRY_VERIFY_WITH_TIMEOUT(window_->IsBusy() || Drawn().TotalPsi() != before.TotalPsi() ||
                                 Drawn().RK() != before.RK(),
                             10000);
    Settle();
  }
  // Positions as on the files' canvas round (800, 533), moved to the
  // centre of the canvas the window draws on.
  QPointF At(double imageX, double imageY) const {
    return Globe()->widgetPointAt({imageX - darvelle::kGlobeCentreX + Drawn().CentreX(),
                                   imageY - darvelle::kGlobeCentreY + Drawn().CentreY()});
  }
  // The place shown at a widget point of the globe in the drawing shown.
  darvelle::GeoPosition PlaceAt(QPointF widgetPoint) const {
    const auto place = darvelle::UnprojectPixel(Drawn(), Globe()->imagePositionAt(widgetPoint));
    if (!place) qFatal("no place under the point");
    return *place;
  }
  static bool Near(const darvelle::GeoPosition& a, const darvelle::GeoPosition& b, double degrees) {
    return std::abs(a.latitude - b.latitude) < degrees &&
           std::abs(darvelle::WrappedDegrees(a.longitude - b.longitude)) < degrees;
  }

 private slots:
  void initTestCase() { SetUpShippedCase(); }

  void init() {
    SetUp();
    StartShipped(QSize(1400, 900));
    Type("Edit_Jahr", QStringLiteral("2024"));
  }

  void cleanup() { TearDown(); }

  void dragTurnsTheGlobeUnderTheCursor() {
    const GlobeProjection before = Drawn();
    const QPointF from = At(800, 533), to = At(1000, 450);
    const darvelle::GeoPosition grabbed = PlaceAt(from);
    SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 8; ++i) {
      SendMouse(QEvent::MouseMove, from + (to - from) * (i / 8.0), Qt::NoButton, Qt::LeftButton);
    }
    SendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    SettleAfterGesture(before);
    QVERIFY2(Near(PlaceAt(to), grabbed, 2 * kAngleRounding),
             qPrintable(QStringLiteral("%1 %2 / %3 %4")
                            .arg(PlaceAt(to).latitude).arg(PlaceAt(to).longitude)
                            .arg(grabbed.latitude).arg(grabbed.longitude)));
    // The edits show the angles the map was drawn with.
    const auto& view = window_->Session().State().view;
    QVERIFY(view.Psi != 0.0 || view.Phi != 0.0);
    QCOMPARE(Find<QLineEdit>("Edit_Psi")->text(), darvelle::ui::OneDecimal(view.Psi));
    QCOMPARE(Find<QLineEdit>("Edit_Phi")->text(), darvelle::ui::OneDecimal(view.Phi));
    QCOMPARE(Find<QLineEdit>("Edit_Chi")->text(), QStringLiteral("0.0"));
  }

  void wheelZoomsAboutTheCursor() {
    const GlobeProjection before = Drawn();
    const QPointF at = At(900, 450);
    const darvelle::GeoPosition held = PlaceAt(at);
    QWheelEvent wheel(at, Globe()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Globe(), &wheel);
    SettleAfterGesture(before);
    QCOMPARE(Find<QLineEdit>("Edit_RK")->text(), QStringLiteral("600"));
    QCOMPARE(Drawn().RK(), 600);
    QVERIFY(Near(PlaceAt(at), held, 2 * kAngleRounding));
  }

  void doubleClickCentresThePoint() {
    const GlobeProjection before = Drawn();
    const QPointF at = At(1000, 400);
    const darvelle::GeoPosition place = PlaceAt(at);
    SendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SettleAfterGesture(before);
    const darvelle::GeoPosition centre{Drawn().TotalPhi() / kRadiansPerDegree,
                                       Drawn().TotalPsi() / kRadiansPerDegree};
    QVERIFY(Near(centre, place, kAngleRounding));
  }

  void cursorPlaceShowsInTheStatusBar() {
    auto* label = Find<QLabel>("CursorPlace");
    const QPointF centre = At(800, 533);
    SendMouse(QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton);
    const darvelle::GeoPosition place = PlaceAt(centre);
    QCOMPARE(label->text(),
             darvelle::ui::CursorCoordinateText(place.latitude, place.longitude, window_->UiLanguage()));
    SendMouse(QEvent::MouseMove, At(5, 5), Qt::NoButton, Qt::NoButton);
    QVERIFY(label->text().isEmpty());
  }

  void legendDockFollowsTheLanguage() {
    auto* dock = Find<QDockWidget>("LegendDock");
    QVERIFY(dock->isVisible());
    auto* legend = Find<darvelle::ui::LegendPanel>("LegendPanel");
    for (const darvelle::Language language : {darvelle::kGerman, darvelle::kEnglish, darvelle::kFrench}) {
      Trigger(kLanguageItems[darvelle::LanguageIndex(language)]);
      QCOMPARE(dock->windowTitle(), darvelle::ui::LegendPanel::Title(language));
      QCOMPARE(legend->row(0).text, darvelle::ui::LegendRows(1, language).front().text);
    }
  }

  void yearListChoosesAnEclipse() {
    auto* list = Find<darvelle::ui::YearEclipseList>("YearEclipseList");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("2024-04-08"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("2024-10-02"));
    QVERIFY(list->topLevelItem(0)->isSelected());  // the eclipse shown
    const int october = list->topLevelItem(1)->data(0, darvelle::ui::YearEclipseList::kIndexRole).toInt();
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QVERIFY(list->viewport()->rect().contains(second.center()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    Settle();
    QCOMPARE(window_->SelectedIndex(), october);
    QCOMPARE(Find<QLineEdit>("Edit_Jahr")->text(), QStringLiteral("2024"));
    QVERIFY(list->topLevelItem(1)->isSelected());
    QVERIFY(!list->topLevelItem(0)->isSelected());
  }

  // The list's date is the panel's, in the panel's time scale: for the
  // catalogue's first eclipse, with DeltaT near 1.5 days, UT and TT fall on
  // different days.
  void yearListDatesFollowTheTimeScale() {
    auto* list = Find<darvelle::ui::YearEclipseList>("YearEclipseList");
    auto* label = Find<QLabel>("Label_DatumZeit");
    Type("Edit_Jahr", QStringLiteral("-4999"));
    QCOMPARE(window_->SelectedIndex(), 1);
    QVERIFY(list->headerItem()->text(0).endsWith(QStringLiteral(" (UT)")));
    const QString universal = list->topLevelItem(0)->text(0);
    QVERIFY2(label->text().startsWith(universal + QStringLiteral("  ")), qPrintable(label->text()));
    Find<QCheckBox>("CheckBox_ET_UT")->click();
    Settle();
    QVERIFY(label->text().endsWith(QStringLiteral(" TT")));
    QVERIFY(list->headerItem()->text(0).endsWith(QStringLiteral(" (TT)")));
    const QString dynamical = list->topLevelItem(0)->text(0);
    QVERIFY2(label->text().startsWith(dynamical + QStringLiteral("  ")), qPrintable(label->text()));
    QVERIFY(dynamical != universal);
    QVERIFY(list->topLevelItem(0)->isSelected());
    // A year of three digits is written as the panel writes it.
    Type("Edit_Jahr", QStringLiteral("-584"));
    QVERIFY2(label->text().startsWith(list->topLevelItem(0)->text(0) + QStringLiteral("  ")),
             qPrintable(list->topLevelItem(0)->text(0) + QStringLiteral(" / ") + label->text()));
  }

  void screenshots() {
    const QByteArray out = qgetenv("DARVELLE_UI_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set DARVELLE_UI_SCREENSHOTS to a folder to take the pictures");
    const QString folder = QString::fromLocal8Bit(out);
    QApplication::processEvents();
    QVERIFY(window_->grab().save(folder + QStringLiteral("/globe_2024.png")));
    const GlobeProjection before = Drawn();
    SendMouse(QEvent::MouseButtonPress, At(800, 533), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, At(950, 450), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, At(1100, 400), Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, At(1100, 400), Qt::LeftButton, Qt::NoButton);
    SettleAfterGesture(before);
    SendMouse(QEvent::MouseMove, At(900, 500), Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
    QVERIFY(window_->grab().save(folder + QStringLiteral("/globe_dragged.png")));
    Trigger("English1");
    QApplication::processEvents();
    QVERIFY(window_->grab().save(folder + QStringLiteral("/globe_english.png")));
  }
};

}  // namespace window_test

QTEST_MAIN(window_test::WindowGlobeTest)
#include "window_globe_test.moc"
