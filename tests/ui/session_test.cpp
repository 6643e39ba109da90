// The window while its session works: disabled but answering, the newest request winning, a close during a recomputation, the shipped data and the screenshots.

#include <QPainter>

#include "window_fixture.h"

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
    QSignalSpy closed(window_.get(), &MainWindow::closed);
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

  // The panel shows its picture scaled to fit, as a painter scales it
  // straight onto the screen; a scaled copy made for another size (the panel
  // was resized while the worker drew) is not what it shows.
  void mapPanelShowsThePictureFitted_data() {
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QSize>("copyMadeFor");
    QTest::newRow("the copy made for this size") << QSize(1450, 930) << QSize(1450, 930);
    QTest::newRow("a copy made for a wider panel") << QSize(800, 500) << QSize(1600, 500);
    QTest::newRow("a copy made for a shorter panel") << QSize(300, 900) << QSize(300, 100);
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
    shown.SetImage(map, darvelle::ui::MapPanel::Fit(map, copyMadeFor));
    const QImage screen = shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(screen.copy(QRect(QPoint(0, 0), fitted)), direct);
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
    QSignalSpy closed(window_.get(), &MainWindow::closed);
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
