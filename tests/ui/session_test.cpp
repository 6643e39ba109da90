// The window while its session works: disabled but answering, the newest request winning, a close during a recomputation, the shipped data and the screenshots.

#include <QPainter>
#include <thread>

#include "window_fixture.h"
#include "window_test_list.h"

namespace window_test {

class SessionTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  void windowDisabledWhileDrawing_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("a step, which recomputes") << "Button_plus_01_Ecl";
    QTest::newRow("the time scale, which only redraws") << "CheckBox_ET_UT";
  }

  void windowDisabledWhileDrawing() {
    QFETCH(QString, control);
    StartAt(100);
    // A timer on the window's thread fires while the worker computes.
    std::vector<bool> enabledInside;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] { enabledInside.push_back(window_->isEnabled()); });
    connect(&window_->Session(), &darvelle::ui::EclipseSession::busyChanged, &probe, [&probe](bool busy) {
      if (!busy) probe.stop();
    });
    probe.start(0);
    Find<QAbstractButton>(control.toLatin1().constData())->click();
    QVERIFY(window_->IsBusy());
    Settle();
    QVERIFY(!enabledInside.empty());
    QVERIFY(std::none_of(enabledInside.begin(), enabledInside.end(), [](bool e) { return e; }));
    QVERIFY(window_->isEnabled());
  }

  // Requests made while one runs: only the newest is computed after it, and
  // only its result is shown.
  void newestRequestWins() {
    StartDefault();
    auto& session = window_->Session();
    std::vector<int> shown;
    connect(&session, &darvelle::ui::EclipseSession::resultReady, this,
            [&shown](const std::shared_ptr<const darvelle::ui::SessionResult>& r) {
              shown.push_back(r->state.index);
            });
    for (int index : {100, 200, 300}) {
      darvelle::ui::SessionState next = session.State();
      next.index = index;
      session.Recompute(next, window_->MapArea());
    }
    QVERIFY(window_->IsBusy());
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#300"));  // the labels follow at once
    Settle();
    QCOMPARE(shown, std::vector<int>{300});
    QCOMPARE(window_->Computation().selectedIndex, 300);
  }

  // A close asked for while a worker computes is answered at once; the
  // settings and the removal of the output files follow when it is done.
  void closeDuringARecomputation() {
    StartAt(2000);
    QSignalSpy closed(window_.get(), &DarvelleWindow::closed);
    Find<QPushButton>("Button_plus_01_Ecl")->click();
    QVERIFY(window_->IsBusy());
    window_->close();
    QVERIFY(!window_->isVisible());
    QVERIFY(window_->IsBusy());
    QCOMPARE(closed.count(), 0);
    QVERIFY(closed.wait(kSettleLimitMs));
    QCOMPARE(darvelle::ReadSettingsFile(SettingsFile()).EclipseIndex, 2001);
    QVERIFY(fs::is_empty(TempFolder()));  // every output file removed, no temporary left
  }

  // The panel shows the copy scaled for its size pixel for pixel, as a
  // painter scales the picture straight onto the screen. A copy made for
  // another size (the panel was resized while the worker drew) is stretched
  // over the same rectangle until the copy for this size comes; the panel
  // never makes the smooth copy itself.
  void mapPanelShowsThePictureFitted_data() {
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QSize>("copyMadeFor");
    QTest::newRow("the copy made for this size") << QSize(1450, 930) << QSize(1450, 930);
    QTest::newRow("a copy made for a wider panel") << QSize(800, 500) << QSize(1600, 1000);
    QTest::newRow("a copy made for a shorter panel") << QSize(300, 900) << QSize(300, 100);
    QTest::newRow("no copy yet") << QSize(1000, 700) << QSize();
  }
  void mapPanelShowsThePictureFitted() {
    QFETCH(QSize, panel);
    QFETCH(QSize, copyMadeFor);
    QImage map(1440, 960, QImage::Format_RGB888);
    for (int y = 0; y < map.height(); ++y) {
      for (int x = 0; x < map.width(); ++x) map.setPixelColor(x, y, QColor((x * 7) % 256, (y * 5) % 256, (x ^ y) % 256));
    }
    const QSize fitted = map.size().scaled(panel, Qt::KeepAspectRatio);
    QImage direct(fitted, QImage::Format_RGB32);
    {
      QPainter painter(&direct);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(direct.rect(), map);
    }
    darvelle::ui::MapPanel shown;
    shown.resize(panel);
    const QImage copy = copyMadeFor.isValid() ? darvelle::ui::MapPanel::Fit(map, copyMadeFor) : QImage();
    shown.SetImage(map, copy);
    const bool forThisSize = copy.size() == fitted;
    QCOMPARE(shown.ShowsStandIn(), !forThisSize);
    QImage screen = shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (forThisSize) {
      QCOMPARE(screen.copy(QRect(QPoint(0, 0), fitted)), direct);
      return;
    }
    // The stand-in covers the fitted rectangle and nothing beyond it, and the
    // copy given is still the one kept: the paint scaled nothing smoothly.
    const QColor background = shown.palette().window().color();
    QVERIFY(screen.pixelColor(fitted.width() - 1, fitted.height() - 1) != background);
    if (fitted.width() < panel.width()) QCOMPARE(screen.pixelColor(fitted.width(), 0), background);
    if (fitted.height() < panel.height()) QCOMPARE(screen.pixelColor(0, fitted.height()), background);
    QCOMPARE(shown.Shown().cacheKey(), copy.cacheKey());
    // The copy for this size, once it comes, is shown pixel for pixel.
    shown.SetImage(map, darvelle::ui::MapPanel::Fit(map, panel));
    QVERIFY(!shown.ShowsStandIn());
    screen = shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(screen.copy(QRect(QPoint(0, 0), fitted)), direct);
  }

  // A resize of the window never scales the map on the window's thread: the
  // panel stretches the picture it has, a worker makes the display image and
  // the picture for the new size, and the panel shows them when they come,
  // the same pixels as the window has always shown for that size. Several
  // resizes before the worker is done end in the picture for the last size.
  void resizeFitsTheMapOnAWorker_data() {
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("wider") << QList<QSize>{{1700, 1000}};
    QTest::newRow("taller only") << QList<QSize>{{1400, 1050}};
    QTest::newRow("narrower") << QList<QSize>{{1100, 750}};
    QTest::newRow("three resizes at once") << QList<QSize>{{1800, 1000}, {1200, 800}, {1600, 950}};
  }
  void resizeFitsTheMapOnAWorker() {
    QFETCH(QList<QSize>, sizes);
    StartDefault();
    window_->showNormal();
    window_->resize(1400, 900);
    QTRY_VERIFY_WITH_TIMEOUT(window_->size() == QSize(1400, 900), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBusy(), kSettleLimitMs);
    auto* panel = Find<darvelle::ui::MapPanel>("Panel2");
    QVERIFY(!panel->ShowsStandIn());
    const std::shared_ptr<const darvelle::ui::SessionResult> before = window_->Session().Current();
    const qint64 displayBefore = before->renderer->DisplayImage().cacheKey();
    const qint64 shownBefore = panel->Shown().cacheKey();
    // Checked inside each resize, after the window has handled it and the
    // panel has painted, before any event could bring a worker's picture.
    int resizesSeen = 0;
    bool untouchedDuringResizes = true;
    const QMetaObject::Connection watch =
        connect(panel, &darvelle::ui::MapPanel::resized, this, [&](QSize) {
          ++resizesSeen;
          panel->repaint();
          untouchedDuringResizes = untouchedDuringResizes && window_->Session().Current() == before &&
                                   before->renderer->DisplayImage().cacheKey() == displayBefore &&
                                   panel->Shown().cacheKey() == shownBefore;
        });
    for (const QSize size : sizes) window_->resize(size);
    disconnect(watch);
    QCOMPARE(resizesSeen, sizes.size());
    QVERIFY(untouchedDuringResizes);
    Settle();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->ShowsStandIn(), kSettleLimitMs);
    const std::shared_ptr<const darvelle::ui::SessionResult> after = window_->Session().Current();
    QVERIFY(after != before);
    QCOMPARE(after->computation, before->computation);  // fitted again, not recomputed
    QVERIFY(after->fittedBy != std::thread::id());
    QVERIFY(after->fittedBy != std::this_thread::get_id());
    QCOMPARE(after->mapArea, panel->size());
    QCOMPARE(panel->Shown().cacheKey(), after->fitted.cacheKey());
    // Drawn again on the canvas of the new size: the same view, the same
    // picture the window's thread would get from drawing it there itself.
    const qreal ratio = panel->devicePixelRatioF();
    const darvelle::MapCanvas canvas = darvelle::ScreenCanvas(panel->width(), panel->height(), ratio);
    QCOMPARE(after->renderer->Canvas(), canvas);
    QCOMPARE(after->renderer->DrawingImage().size(), QSize(canvas.width, canvas.height));
    QCOMPARE(after->renderer->LastView()->RK(), canvas.PixelRadius(before->drawnView.RK));
    QCOMPARE(after->renderer->LastView()->TotalPsi(), before->renderer->LastView()->TotalPsi());
    QCOMPARE(panel->Shown(), darvelle::ui::MapPanel::Fit(after->ScreenImage(), panel->size(), ratio));
  }

  // A resize while the worker computes: the result comes fitted to the size
  // the panel has by then (or is fitted again on a worker), never scaled on
  // the window's thread.
  void resizeDuringARecomputation() {
    StartAt(100);
    window_->showNormal();
    auto* panel = Find<darvelle::ui::MapPanel>("Panel2");
    Find<QAbstractButton>("Button_plus_01_Ecl")->click();
    QVERIFY(window_->Session().IsBusy());
    const QSize before = panel->size();
    window_->resize(1700, 1000);
    QVERIFY(panel->size() != before);
    Settle();
    QTRY_VERIFY_WITH_TIMEOUT(!panel->ShowsStandIn(), kSettleLimitMs);
    const auto& shown = window_->Session().Current();
    QCOMPARE(shown->state.index, 101);
    QCOMPARE(shown->mapArea, panel->size());
    QVERIFY(shown->fittedBy != std::thread::id());
    QVERIFY(shown->fittedBy != std::this_thread::get_id());
    QCOMPARE(panel->Shown().cacheKey(), shown->fitted.cacheKey());
  }

  // The finest recomputation of 2024 April 8 runs on a worker: a timer on the
  // window's thread keeps firing through it, and a close asked for in the
  // middle of it is answered at once (the window leaves the screen while the
  // worker is still busy) and carried out when the worker is done.
  void windowAnswersDuringTheFinestRecomputation() {
    const fs::path data = ShippedData();
    for (auto name : {darvelle::kCatalogueFileName, darvelle::kTextureFileName, darvelle::kCoastlineFileName}) {
      if (!fs::exists(data / name)) QSKIP(qPrintable(QStringLiteral("%1 is not in data/ yet").arg(QString::fromLatin1(name.data()))));
    }
    QVERIFY(Start(Options(data)));
    Type("Edit_Jahr", QStringLiteral("2024"));
    QVERIFY(Find<QLabel>("Label_DatumZeit")->text().startsWith(QStringLiteral("2024-04-08")));
    int ticksWhileBusy = 0;
    bool hiddenWhileBusy = false;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
      if (!window_->IsBusy()) return;
      if (++ticksWhileBusy == 3) {
        window_->close();
        hiddenWhileBusy = !window_->isVisible() && window_->IsBusy();
      }
    });
    QSignalSpy closed(window_.get(), &DarvelleWindow::closed);
    ticker.start(1);
    Find<QAction>("Resol32")->trigger();
    QVERIFY(window_->IsBusy());
    QVERIFY(closed.wait(kSettleLimitMs));
    QVERIFY2(ticksWhileBusy >= 3, qPrintable(QString::number(ticksWhileBusy)));
    QVERIFY(hiddenWhileBusy);
    QCOMPARE(window_->Computation().resolution, 32);  // the worker finished its run
    QCOMPARE(darvelle::ReadSettingsFile(SettingsFile()).EclipseIndex, window_->SelectedIndex());
    QVERIFY(fs::is_empty(TempFolder()));
  }

  // The shipped data: the catalogue, the texture and the coastlines together.
  void shippedData() {
    const fs::path data = ShippedData();
    for (auto name : {darvelle::kCatalogueFileName, darvelle::kTextureFileName, darvelle::kCoastlineFileName}) {
      if (!fs::exists(data / name)) QSKIP(qPrintable(QStringLiteral("%1 is not in data/ yet").arg(QString::fromLatin1(name.data()))));
    }
    QVERIFY(Start(Options(data)));
    QCOMPARE(CriticalMessages(), 0);
    QVERIFY(messages_.empty());
    QCOMPARE(Panel(1), QStringLiteral("165648 recs"));
    Trigger("English1");
    Type("Edit_Jahr", QStringLiteral("2024"));
    const QString date = Find<QLabel>("Label_DatumZeit")->text();
    QVERIFY2(date.startsWith(QStringLiteral("2024-04-08  18:")), qPrintable(date));
    QCOMPARE(Find<QLabel>("Label_SoFiTyp")->text(), QStringLiteral("Total solar eclipse"));
    QVERIFY(!Panel(10).isEmpty());  // the central line exists
    // The texture arrives: the coloured globe differs from the plain one.
    const QImage plain = window_->DisplayImage().copy();
    Find<QCheckBox>("CheckBox_Farbe")->click();
    Settle();
    QVERIFY(Find<QCheckBox>("CheckBox_Farbe")->isChecked());
    QVERIFY(window_->DisplayImage() != plain);
    QVERIFY(messages_.empty());
  }

  // DARVELLE_UI_SCREENSHOTS=<folder>: pictures of the window in each language,
  // coloured and plain, orthographic and stereographic, for a person to look at.
  void screenshots() {
    const QByteArray out = qgetenv("DARVELLE_UI_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set DARVELLE_UI_SCREENSHOTS to a folder to take the pictures");
    QTemporaryDir withPictures;
    const fs::path data = withPictures.path().toStdString();
    fs::copy_file(DataFolder() / darvelle::kCatalogueFileName, data / darvelle::kCatalogueFileName);
    for (auto name : {darvelle::kTextureFileName, darvelle::kCoastlineFileName}) {
      const fs::path source = ShippedData() / name;
      if (fs::exists(source)) fs::create_symlink(source, data / name);
    }
    fs::create_directory_symlink(ShippedData() / "help", data / "help");
    WriteSettings(SettingsFolder(), [](Settings& s) { s.EclipseIndex = FirstOfYearStatic(1999); });
    QVERIFY(Start(Options(data)));
    window_->setWindowState(Qt::WindowNoState);
    window_->resize(1700, 1000);
    QApplication::processEvents();
    const char* names[] = {"de", "en", "fr"};
    for (int l = 0; l < 3; ++l) {
      Trigger(kLanguageItems[l]);
      for (bool colored : {false, true}) {
        if (Find<QCheckBox>("CheckBox_Farbe")->isChecked() != colored && Find<QCheckBox>("CheckBox_Farbe")->isEnabled()) {
          Find<QCheckBox>("CheckBox_Farbe")->click();
          Settle();
        }
        for (bool stereo : {false, true}) {
          Find<QRadioButton>(stereo ? "RadioButton_Stereo" : "RadioButton_Ortho")->click();
          Settle();
          QApplication::processEvents();
          const QString file = QStringLiteral("%1/window_%2_%3_%4.png")
                                   .arg(QString::fromLocal8Bit(out), QString::fromLatin1(names[l]),
                                        colored ? QStringLiteral("coloured") : QStringLiteral("plain"),
                                        stereo ? QStringLiteral("stereo") : QStringLiteral("ortho"));
          QVERIFY(window_->grab().save(file));
        }
      }
    }
    Trigger("About1");
    QApplication::processEvents();
    QVERIFY(window_->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/window_about.png")));
    Trigger("DVLHelp1");
    QApplication::processEvents();
    QVERIFY(Find<QWidget>("HelpWindow")->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/help.png")));
    Click("Button_Exit");
    fs::copy_file(TempFolder() / "Darvelle.bmp", fs::path(out.toStdString()) / "Darvelle.bmp",
                  fs::copy_options::overwrite_existing);
  }
};

std::unique_ptr<QObject> MakeSessionTest() { return std::make_unique<SessionTest>(); }

}  // namespace window_test

#include "session_test.moc"
