// The eclipse in time in the real window on the shipped catalogue: the time
// slider spans the eclipse shown and steps a minute a key, the map shows the
// shadow of its instant only while it is open, and the film export writes
// its frames or, cancelled, none.

#include <QDockWidget>
#include <QDir>
#include <QSlider>

#include <cmath>

#include "astro/calendar.h"
#include "export/film.h"
#include "export/gis_texts.h"
#include "geometry/shadow_at_instant.h"
#include "render/map.h"
#include "render/map_layers.h"
#include "ui/animation_export.h"
#include "ui/legend_panel.h"
#include "ui/time_slider.h"
#include "window_fixture.h"

namespace window_test {

using darvelle::ui::TimeSlider;

class WindowTimeTest : public WindowFixture {
  Q_OBJECT

 private:
  TimeSlider* Slider() const { return Find<TimeSlider>("TimeSlider"); }
  darvelle::ui::MapPanel* MapShown() const { return Find<darvelle::ui::MapPanel>("Panel2"); }
  bool InEclipse(double t) const {
    const auto& c = *window_->Session().Current()->computation;
    return darvelle::ComputeShadowAt(c.elements, c.deltaT, t).InEclipse;
  }

 private slots:
  void initTestCase() { SetUpShippedCase(); }

  void init() {
    SetUp();
    StartShipped(QSize(1400, 900));
    Type("Edit_Jahr", QStringLiteral("2024"));
    QVERIFY(Find<QLabel>("Label_DatumZeit")->text().startsWith(QStringLiteral("2024-04-08")));
  }

  void cleanup() { TearDown(); }

  void sliderSpansTheContactsAndItsKeysStepAMinute() {
    QVERIFY(!Find<QDockWidget>("TimeSliderDock")->isVisible());
    Trigger("TimeSlider1");
    QVERIFY(Find<QDockWidget>("TimeSliderDock")->isVisible());
    const auto span = Slider()->span();
    QVERIFY(span.has_value());
    // The ends are where the penumbra first and last touches the Earth, as
    // the shadow at an instant finds it on its own: 20 s either side.
    constexpr double kSide = 20.0 / 3600.0;
    QVERIFY(!InEclipse(span->firstContact - kSide));
    QVERIFY(InEclipse(span->firstContact + kSide));
    QVERIFY(InEclipse(span->lastContact - kSide));
    QVERIFY(!InEclipse(span->lastContact + kSide));
    auto* bar = Find<QSlider>("TimeSliderBar");
    QCOMPARE(bar->maximum() - bar->minimum(),
             static_cast<int>(std::lround((span->lastContact - span->firstContact) * 3600.0)));

    Slider()->setFocus();
    struct Step {
      Qt::Key key;
      double minutes;  // the change of the instant
    };
    const Step steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Right, 1}, {Qt::Key_Left, -1}};
    for (const Step& step : steps) {
      const double before = Slider()->instant();
      QTest::keyClick(Slider(), step.key);
      QCOMPARE(std::lround((Slider()->instant() - before) * 3600.0), std::lround(step.minutes * 60));
    }
    // At an end a step goes no further.
    Slider()->setInstant(span->firstContact);
    QTest::keyClick(Slider(), Qt::Key_Left);
    QCOMPARE(Slider()->instant(), span->firstContact);
    QTest::keyClick(Slider(), Qt::Key_Space);
    QVERIFY(Slider()->playing());
    QTest::keyClick(Slider(), Qt::Key_Space);
    QVERIFY(!Slider()->playing());
  }

  void theShadowIsOnTheMapOnlyWhileTheSliderIsOpen() {
    const QImage closedImage = MapShown()->Image();
    const QImage closedShown = MapShown()->Shown();
    QVERIFY(!closedShown.isNull());
    // The session's own picture for the panel as it is now (the dock takes room from the map).
    auto plain = [this] { return window_->Session().Current()->fitted; };
    auto layered = [&] {
      return !window_->IsBusy() && MapShown()->Shown().size() == plain().size() &&
             MapShown()->Shown() != plain();
    };
    Trigger("TimeSlider1");
    QTRY_VERIFY_WITH_TIMEOUT(layered(), 10000);
    const QImage atGreatest = MapShown()->Shown();
    // Another instant, another shadow.
    Slider()->stepMinutes(30);
    QTRY_VERIFY_WITH_TIMEOUT(layered() && MapShown()->Shown() != atGreatest, 10000);
    Trigger("TimeSlider1");
    QVERIFY(!Find<QDockWidget>("TimeSliderDock")->isVisible());
    // Back at its size, the panel shows the session's picture again, byte for byte.
    QTRY_COMPARE_WITH_TIMEOUT(MapShown()->Shown(), closedShown, 10000);
    QCOMPARE(MapShown()->Image(), closedImage);
    // Nothing under way puts the shadow back.
    QTest::qWait(300);
    Settle();
    QCOMPARE(MapShown()->Shown(), closedShown);
  }

  void timedOutlinesAreDrawnAtWholeStepsAndRemembered() {
    auto axisPixel = [this](int hour, int minute) {
      const auto& c = *window_->Session().Current()->computation;
      const double t = darvelle::ShadowTimeOfUt(
          c.elements, c.modelDeltaT, darvelle::CalendarToJulianDay(2024, 4, 8, hour, minute, 0));
      const auto axis = *darvelle::ComputeShadowAt(c.elements, c.deltaT, t).Axis;
      const darvelle::ProjectedPoint p = Drawn().ProjectPoint(std::llround(axis.LongitudeDeg * 3600.0),
                                                              std::llround(axis.LatitudeDeg * 3600.0));
      return window_->Session().Current()->renderer->DrawingImage().pixel(
          static_cast<int>(std::lround(p.ScreenX)), static_cast<int>(std::lround(p.ScreenY)));
    };
    const QRgb plainAt1820 = axisPixel(18, 20);
    const QRgb plainAt1825 = axisPixel(18, 25);
    Trigger("UmbraOutlines10min");
    QCOMPARE(window_->Session().State().umbraOutlineMinutes, 10);
    // The shadow of 18:20 UT is filled on the map, the one of 18:25 is not.
    QVERIFY(axisPixel(18, 20) != plainAt1820);
    QCOMPARE(axisPixel(18, 25), plainAt1825);
    // Another eclipse keeps the choice; so does the next start.
    Type("Edit_Jahr", QStringLiteral("2026"));
    QCOMPARE(window_->Session().State().umbraOutlineMinutes, 10);
    window_.reset();
    StartShipped(QSize(1400, 900));
    QVERIFY(Find<QAction>("UmbraOutlines10min")->isChecked());
    QCOMPARE(window_->Session().State().umbraOutlineMinutes, 10);
    Trigger("UmbraOutlines0min");
    QCOMPARE(window_->Session().State().umbraOutlineMinutes, 0);
  }

  void bordersAndThePathBandAreDrawnAndRemembered() {
    auto drawing = [this] { return window_->Session().Current()->renderer->DrawingImage(); };
    auto pixelAt = [&](double latDeg, double lonDeg) {
      const darvelle::ProjectedPoint p =
          Drawn().ProjectPoint(std::llround(lonDeg * 3600.0), std::llround(latDeg * 3600.0));
      return drawing().pixel(static_cast<int>(std::lround(p.ScreenX)),
                             static_cast<int>(std::lround(p.ScreenY)));
    };
    auto borderPixelsOf = [](const QImage& picture) {
      const QImage image = picture.convertToFormat(QImage::Format_RGB32);
      int count = 0;
      for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
          count += (row[x] | 0xff000000u) == (darvelle::kBorderColor | 0xff000000u);
        }
      }
      return count;
    };
    auto borderPixels = [&] { return borderPixelsOf(drawing()); };
    QCOMPARE(borderPixels(), 0);
    const QRgb indianapolis = pixelAt(39.77, -86.16);  // in the path of totality
    const QRgb southPacific = pixelAt(-40.0, -100.0);   // far outside the partial zone
    Trigger("Borders1");
    QVERIFY(window_->Session().State().borders);
    QVERIFY(borderPixels() > 500);
    Trigger("PathBand1");
    QVERIFY(window_->Session().State().pathBand);
    QVERIFY(pixelAt(39.77, -86.16) != indianapolis);
    QCOMPARE(pixelAt(-40.0, -100.0), southPacific);
    // The legend names what is drawn as the GIS files name it, and its
    // swatch shows the band as the map does over the bare globe.
    QCOMPARE(indianapolis, qRgb(darvelle::kGlobeBackgroundGrey, darvelle::kGlobeBackgroundGrey,
                                darvelle::kGlobeBackgroundGrey));
    const auto* legend = Find<darvelle::ui::LegendPanel>("LegendPanel");
    const QString totality = QString::fromUtf8(darvelle::ZoneName(darvelle::ZoneKind::Totality, legend->language()));
    const darvelle::ui::LegendRow* bandRow = nullptr;
    bool bordersRow = false;
    for (int i = 0; i < legend->rowCount(); ++i) {
      if (legend->row(i).text == totality) bandRow = &legend->row(i);
      bordersRow |= legend->row(i).lineColor == darvelle::kBorderColor;
    }
    QVERIFY(bandRow != nullptr && bordersRow);
    const QImage swatch = darvelle::ui::LegendSwatch(*bandRow, 22);
    QCOMPARE(swatch.pixel(swatch.rect().center()), pixelAt(39.77, -86.16));
    // Both are there at the next start.
    window_.reset();
    StartShipped(QSize(1400, 900));
    QVERIFY(Find<QAction>("Borders1")->isChecked() && Find<QAction>("PathBand1")->isChecked());
    QVERIFY(window_->Session().State().borders && window_->Session().State().pathBand);
    QVERIFY(borderPixels() > 500);
    // The exit bitmap stays the plain map.
    Click("Button_Exit");
    const QImage bitmap(QString::fromStdString((TempFolder() / "Darvelle.bmp").string()));
    QCOMPARE(bitmap.size(), QSize(1600, 1266));
    QCOMPARE(borderPixelsOf(bitmap), 0);
  }

  void filmIsWrittenOrCancelledWithoutLeftovers() {
    const auto computation = window_->Session().Current()->computation;
    QThreadPool workers;
    darvelle::ui::AnimationExport film(&workers);
    QTemporaryDir out;
    struct Case {
      double stepSeconds;
      bool cancel;
    };
    for (const Case& c : {Case{1800, false}, Case{1, true}}) {
      darvelle::FilmOptions options;
      options.stepSeconds = c.stepSeconds;
      options.size = 120;
      options.folder = (out.path() + QStringLiteral("/frames-%1").arg(c.stepSeconds)).toStdString();
      QSignalSpy finished(&film, &darvelle::ui::AnimationExport::finished);
      QVERIFY(film.start(computation, options, {}, {}));
      if (c.cancel) {
        QTRY_VERIFY_WITH_TIMEOUT(film.done() > 0, 20000);
        film.cancel();
      }
      QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
      QCOMPARE(finished.at(0).at(0).toBool(), !c.cancel);
      QVERIFY(finished.at(0).at(1).toString().isEmpty());
      const QStringList left = QDir(QString::fromStdString(options.folder.string()))
                                   .entryList(QDir::Files | QDir::Hidden);
      if (c.cancel) {
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
      } else {
        // Every half hour from the first contact to the last.
        const auto& events = computation->circumstances.events;
        const double hours = *events.Time(darvelle::EventId::TP4) - *events.Time(darvelle::EventId::TP1);
        QCOMPARE(left.size(), static_cast<int>(std::floor(hours * 2)) + 1);
      }
    }
  }
};

}  // namespace window_test

QTEST_MAIN(window_test::WindowTimeTest)
#include "window_time_test.moc"
