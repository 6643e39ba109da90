// The real window on the shipped data as users of a desktop program expect
// it: shortcuts, tooltips in the window's language, entries not taken as
// typed marked red and explained, the window's place and docks remembered, a
// control column that scrolls on a small screen, the globe at the screen's
// pixel density, halos on the screen only, the cursor's place readable in a
// narrow window. Run once at the screen's pixel ratio and once at twice it.
// With DARVELLE_UI_SCREENSHOTS set to a folder (under xvfb) it also saves
// pictures of the screen.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QDockWidget>
#include <QScreen>
#include <QScrollArea>
#include <QHeaderView>
#include <QMenuBar>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolTip>

#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "render/map.h"
#include "render/texture_file.h"
#include "ui/control_factory.h"
#include "ui/entry_check.h"
#include "ui/local_panel.h"
#include "ui/save_actions.h"
#include "ui/tooltips.h"
#include "ui/window_settings.h"
#include "ui/year_eclipse_list.h"
#include "window_fixture.h"

namespace window_test {

namespace {

bool IsMarkedRed(QLineEdit* edit) {
  // The middle of the edit's background, off its text.
  const QImage picture = edit->grab().toImage();
  const QColor c = picture.pixelColor(picture.width() - 4, picture.height() / 2);
  return c.red() > 200 && c.green() < 215 && c.blue() < 215 && c.red() - c.green() > 30;
}

// The least size a layout may give a widget: its own minimum where it has
// one (the step buttons' fixed width), else its minimum size hint.
QSize LeastSize(const QWidget* w) {
  const QSize hint = w->minimumSizeHint();
  QSize least(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
              w->minimumHeight() > 0 ? w->minimumHeight() : hint.height());
  return least.boundedTo(w->maximumSize());
}

}  // namespace

class WindowScreenTest : public WindowFixture {
  Q_OBJECT

 private:
  void Activate() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  void ResizeTo(int width, int height) {
    window_->showNormal();
    window_->resize(width, height);
    QTRY_COMPARE_WITH_TIMEOUT(window_->size(), QSize(width, height), 5000);
    QApplication::processEvents();
    Settle();
    QApplication::processEvents();
  }
  void SaveScreen(const QString& name) {
    const QByteArray out = qgetenv("DARVELLE_UI_SCREENSHOTS");
    if (out.isEmpty()) return;
    QApplication::processEvents();
    // The whole screen under xvfb, so that tooltips are in the picture.
    QScreen* screen = window_->screen();
    QPixmap picture = screen->grabWindow(0, window_->frameGeometry().x(), window_->frameGeometry().y(),
                                         window_->frameGeometry().width() + 320,
                                         window_->frameGeometry().height() + 60);
    if (picture.isNull()) picture = window_->grab();
    QVERIFY(picture.save(QString::fromLocal8Bit(out) + QLatin1Char('/') + name));
  }
  // The controls of the left column a user reads or works.
  QList<QWidget*> ColumnControls() const {
    QList<QWidget*> controls;
    for (QWidget* w : Find<QWidget>("Panel0")->findChildren<QWidget*>()) {
      if (!w->isVisibleTo(window_.get()) || w->objectName().isEmpty()) continue;
      if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
          qobject_cast<darvelle::ui::YearEclipseList*>(w) || qobject_cast<darvelle::ui::ShapeBar*>(w)) {
        controls << w;
      }
    }
    return controls;
  }

 private slots:
  void initTestCase() { SetUpShippedCase(); }

  void init() {
    SetUp();
    StartShipped();
    window_->showNormal();
    window_->resize(1400, 900);
    Settle();
  }

  void cleanup() { TearDown(); }

  // ------------------------------------------------------------ shortcuts

  void pageKeysStepThroughTheCatalogue() {
    Activate();
    const int start = window_->SelectedIndex();
    QTest::keyClick(window_.get(), Qt::Key_PageDown);
    Settle();
    QCOMPARE(window_->SelectedIndex(), start + 1);
    QTest::keyClick(window_.get(), Qt::Key_PageUp);
    Settle();
    QTest::keyClick(window_.get(), Qt::Key_PageUp);
    Settle();
    QCOMPARE(window_->SelectedIndex(), start - 1);
  }

  void f1OpensTheHelpAndCtrlQQuits() {
    Activate();
    QTest::keyClick(window_.get(), Qt::Key_F1);
    auto* browser = window_->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser != nullptr);
    QVERIFY(browser->window()->isVisible());
    Activate();
    QSignalSpy closed(window_.get(), &MainWindow::closed);
    QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 60000);
    // As the Exit item: the legend bitmap is written.
    QVERIFY(fs::exists(TempFolder() / "Darvelle.bmp"));
  }

  void arrowsAndPlusTurnAndZoomTheFocusedGlobe() {
    Activate();
    auto* globe = Globe();
    globe->setFocus();
    QVERIFY(globe->hasFocus());
    QTest::keyClick(globe, Qt::Key_Right);
    Settle();
    QVERIFY(window_->Session().State().view.Psi > 0.0);
    QCOMPARE(Find<QLineEdit>("Edit_Psi")->text(), darvelle::ui::OneDecimal(window_->Session().State().view.Psi));
    QTest::keyClick(globe, Qt::Key_Up);
    Settle();
    QVERIFY(window_->Session().State().view.Phi > 0.0);
    QTest::keyClick(globe, Qt::Key_Plus);
    Settle();
    QCOMPARE(window_->Session().State().view.RK, 600);
    QTest::keyClick(globe, Qt::Key_Minus);
    Settle();
    QCOMPARE(Find<QLineEdit>("Edit_RK")->text(), QStringLiteral("500"));
  }

  // ------------------------------------------------------------ tooltips

  void tooltipsFollowTheLanguage() {
    // The list of eclipses visible from a place, opened in French: its
    // controls explain themselves in the window's language from the start.
    Trigger(kLanguageItems[2]);
    Find<darvelle::ui::LocalCircumstancesPanel>("LocalCircumstancesPanel")->choosePoint(40.4, -3.7);
    Trigger("VisibleFromHere1");
    auto* dialog = Find<QWidget>("VisibleEclipsesDialog");
    QVERIFY(dialog->isVisible());
    QList<QWidget*> dialogControls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
      // Not the parts of the list (its headers, its corner button).
      if (qobject_cast<QAbstractItemView*>(w->parentWidget()) || qobject_cast<QHeaderView*>(w)) continue;
      if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
          qobject_cast<QAbstractItemView*>(w)) {
        dialogControls << w;
      }
    }
    QCOMPARE(dialogControls.size(), 10);  // two years, the magnitude, four kinds, the list, two buttons
    for (QWidget* w : dialogControls) {
      QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
      QCOMPARE(w->toolTip(), darvelle::ui::TooltipOf(w->objectName(), 2));
    }
    for (int language : {0, 1, 2}) {
      Trigger(kLanguageItems[language]);
      for (const auto& row : darvelle::ui::ControlTooltips()) {
        auto* control = window_->findChild<QWidget*>(QString::fromLatin1(row.objectName));
        QVERIFY2(control != nullptr, row.objectName);
        QCOMPARE(control->toolTip(), QString::fromUtf8(row.text[language]));
      }
      // The hint the PostScript exit has always had stays its own.
      QCOMPARE(Find<QWidget>("Button_Exit_pdf")->toolTip(), darvelle::ui::ExitPdfHint(language));
    }
    // Every control of the column, the globe and the list explain themselves.
    QList<QWidget*> controls = ColumnControls();
    controls << Find<QWidget>("GlobeInput") << Find<QWidget>("YearEclipseList") << dialogControls;
    for (QWidget* w : controls) {
      if (qobject_cast<QLabel*>(w) || qobject_cast<darvelle::ui::ShapeBar*>(w)) continue;
      QVERIFY2(!w->toolTip().isEmpty(), qPrintable(w->objectName()));
    }
    // The three languages differ (no row left untranslated by copying).
    for (const auto& row : darvelle::ui::ControlTooltips()) {
      QVERIFY2(QString::fromUtf8(row.text[0]) != QString::fromUtf8(row.text[1]), row.objectName);
      QVERIFY2(QString::fromUtf8(row.text[2]) != QString::fromUtf8(row.text[1]), row.objectName);
    }
  }

  // ------------------------------------------------------------ entries

  void entriesNotTakenAreMarkedAndExplained_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("accepted");   // a word of what the explanation says is accepted
    QTest::addColumn<QString>("afterEnter");  // the text the window leaves
    QTest::newRow("a date in the year box") << "Edit_Jahr" << "2024-04-08" << "7000" << "2024-04-08";
    QTest::newRow("a year beyond the catalogue") << "Edit_Jahr" << "9999" << "7000" << "7000";
    QTest::newRow("a Saros number too high") << "Saros_Edit" << "500" << "282" << "282";
    QTest::newRow("letters for a Saros number") << "Saros_Edit" << "x1" << "282" << "139";
    QTest::newRow("letters for an angle") << "Edit_Phi" << "north" << "-12.5" << "0.0";
    QTest::newRow("a size too small") << "Edit_RK" << "50" << "9999" << "100";
    QTest::newRow("a size with a fraction") << "Edit_RK" << "500.5" << "9999" << "300";
  }

  void entriesNotTakenAreMarkedAndExplained() {
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, accepted);
    QFETCH(QString, afterEnter);
    Trigger("English1");
    auto* e = Find<QLineEdit>(edit.toLatin1().constData());
    const QString ownTip = darvelle::ui::TooltipOf(edit, 1);
    QCOMPARE(e->toolTip(), ownTip);
    QVERIFY(!IsMarkedRed(e));
    const int index = window_->SelectedIndex();

    // Marked as it is typed, with what is accepted in its tooltip.
    e->setText(typed);
    QVERIFY(IsMarkedRed(e));
    QVERIFY(e->toolTip().contains(typed));
    QVERIFY2(e->toolTip().contains(accepted), qPrintable(e->toolTip()));

    // Enter: the window does what it always has, and says so.
    QTest::keyPress(e, Qt::Key_Return);
    Settle();
    QTest::keyRelease(e, Qt::Key_Return);
    QCOMPARE(e->text(), afterEnter);
    auto* check = e->findChild<darvelle::ui::EntryCheck*>();
    QVERIFY(check != nullptr);
    QVERIFY(check->LastExplanation().contains(typed));
    if (afterEnter == typed) {
      // Kept as typed (the year): still marked, and the eclipse stays.
      QVERIFY(IsMarkedRed(e));
      QCOMPARE(window_->SelectedIndex(), index);
      QVERIFY(check->LastExplanation().contains(QStringLiteral("stays")));
      // The value shown written back clears the mark.
      Activate();
      QTest::keyClick(window_.get(), Qt::Key_PageDown);
      Settle();
      QVERIFY(e->text() != typed);
    } else {
      QVERIFY(check->LastExplanation().contains(afterEnter));
    }
    QVERIFY(!IsMarkedRed(e));
    QCOMPARE(e->toolTip(), ownTip);
  }

  void markedEntryExplainsItselfInTheWindowsLanguage() {
    auto* year = Find<QLineEdit>("Edit_Jahr");
    const QString notAccepted[] = {QStringLiteral("nicht angenommen"), QStringLiteral("not accepted"),
                                   QStringLiteral("n'est pas accepté")};
    for (int language : {2, 0, 1}) {
      // The change of language writes the year shown back, which clears the mark.
      Trigger(kLanguageItems[language]);
      QCOMPARE(year->toolTip(), darvelle::ui::TooltipOf(QStringLiteral("Edit_Jahr"), language));
      year->setText(QStringLiteral("2024-04-08"));
      QVERIFY2(year->toolTip().contains(notAccepted[language]), qPrintable(year->toolTip()));
    }
  }

  // ------------------------------------------------------------ any screen

  void columnScrollsAt800x600WithoutOverlaps() {
    ResizeTo(800, 600);
    auto* column = Find<QScrollArea>("ControlColumn");
    QVERIFY(column->verticalScrollBar()->isVisible());
    QVERIFY(column->verticalScrollBar()->maximum() > 0);
    auto* panel = Find<QWidget>("Panel0");
    QVERIFY(panel->height() >= panel->minimumSizeHint().height());
    const QList<QWidget*> controls = ColumnControls();
    QVERIFY(controls.size() > 30);
    for (QWidget* w : controls) {
      const QSize least = LeastSize(w);
      QVERIFY2(w->width() >= least.width() && w->height() >= least.height(),
               qPrintable(QStringLiteral("%1 %2x%3 < %4x%5").arg(w->objectName()).arg(w->width())
                              .arg(w->height()).arg(least.width()).arg(least.height())));
    }
    for (int i = 0; i < controls.size(); ++i) {
      for (int j = i + 1; j < controls.size(); ++j) {
        QWidget* a = controls[i];
        QWidget* b = controls[j];
        if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
        const QRect ra(a->mapTo(panel, QPoint(0, 0)), a->size());
        const QRect rb(b->mapTo(panel, QPoint(0, 0)), b->size());
        QVERIFY2(!ra.intersects(rb), qPrintable(a->objectName() + QStringLiteral(" overlaps ") + b->objectName()));
      }
    }
    // The last control can be scrolled to, and the map and the status bar keep apart.
    auto* exitSheet = Find<QWidget>("Button_Exit_pdf");
    column->ensureWidgetVisible(exitSheet);
    QVERIFY(column->viewport()->rect().contains(
        QRect(exitSheet->mapTo(column->viewport(), QPoint(0, 0)), exitSheet->size())));
    auto* map = Find<QWidget>("Panel2");
    QVERIFY(map->width() > 100 && map->height() > 100);
    const QRect mapInWindow(map->mapTo(window_.get(), QPoint(0, 0)), map->size());
    QVERIFY(!mapInWindow.intersects(window_->statusBar()->geometry()));
    SaveScreen(QStringLiteral("window_800x600.png"));
  }

  // The globe keeps most of a small window: the docks, as wide as the
  // local circumstances' table, float there instead of taking half of it.
  void globeKeepsMostOfASmallWindow() {
    auto* placeDock = Find<QDockWidget>("LocalCircumstancesDock");
    auto* legendDock = Find<QDockWidget>("LegendDock");
    auto* panel = Find<darvelle::ui::LocalCircumstancesPanel>("LocalCircumstancesPanel");
    Type("Edit_Jahr", QStringLiteral("2024"));  // April 8, seen from Dallas: the table's longest texts
    panel->choosePoint(32.78, -96.80);          // as a click on the globe at Dallas
    QTRY_VERIFY_WITH_TIMEOUT(panel->citiesReady(), 20000);
    QApplication::processEvents();
    QVERIFY(placeDock->isVisible() && !placeDock->isFloating());
    auto* map = Find<QWidget>("Panel2");
    auto* column = Find<QWidget>("ControlColumn");
    const auto mapShare = [&] {
      return double(map->width()) * map->height() / (double(window_->width()) * window_->height());
    };
    // The window's parts side by side, none over another.
    const auto partsApart = [&] {
      QList<QWidget*> parts = {column, map, static_cast<QWidget*>(window_->statusBar()), window_->menuBar()};
      for (QDockWidget* dock : {placeDock, legendDock}) {
        if (dock->isVisible() && !dock->isFloating()) parts << dock;
      }
      for (int i = 0; i < parts.size(); ++i) {
        for (int j = i + 1; j < parts.size(); ++j) {
          const QRect a(parts[i]->mapTo(window_.get(), QPoint(0, 0)), parts[i]->size());
          const QRect b(parts[j]->mapTo(window_.get(), QPoint(0, 0)), parts[j]->size());
          if (a.intersects(b)) return parts[i]->objectName() + QStringLiteral(" overlaps ") + parts[j]->objectName();
        }
      }
      return QString();
    };
    QCOMPARE(partsApart(), QString());

    for (const QSize small : {QSize(800, 600), QSize(1024, 700)}) {
      ResizeTo(small.width(), small.height());
      QTRY_VERIFY_WITH_TIMEOUT(placeDock->isFloating() && !placeDock->isVisible(), 5000);
      QVERIFY(legendDock->isFloating() && !legendDock->isVisible());
      QCOMPARE(partsApart(), QString());
      // At least 55 % of the window is the globe's (the column takes 260 of 800 pixels).
      QVERIFY2(mapShare() >= 0.55, qPrintable(QString::number(mapShare())));
      // Opened from the Options menu, the place dock floats over the globe,
      // which keeps its size.
      const QSize mapSize = map->size();
      placeDock->toggleViewAction()->trigger();
      QApplication::processEvents();
      QVERIFY(placeDock->isVisible() && placeDock->isFloating());
      QCOMPARE(map->size(), mapSize);
      auto* table = Find<QTableWidget>("LocalContacts");
      QVERIFY(table->isVisible());
      QVERIFY(table->horizontalHeader()->length() <= table->viewport()->width());
      if (small.width() == 800) SaveScreen(QStringLiteral("window_800x600_place_open.png"));
      placeDock->toggleViewAction()->trigger();
      QApplication::processEvents();
    }

    // Wide again: the docks are back beside the globe as they were.
    ResizeTo(1400, 900);
    QTRY_VERIFY_WITH_TIMEOUT(!placeDock->isFloating() && placeDock->isVisible(), 5000);
    QVERIFY(!legendDock->isFloating());
    QCOMPARE(partsApart(), QString());
    QVERIFY2(map->width() >= darvelle::ui::MainWindow::kLeastMapWidth, qPrintable(QString::number(map->width())));

    // Closed while small, the next window at a desktop's size has its docks beside the globe.
    ResizeTo(800, 600);
    QTRY_VERIFY_WITH_TIMEOUT(placeDock->isFloating(), 5000);
    window_->close();
    QTRY_VERIFY(!window_->isVisible());
    window_.reset();
    StartShipped(QSize(1400, 900));
    QApplication::processEvents();
    QTRY_VERIFY_WITH_TIMEOUT(!Find<QDockWidget>("LocalCircumstancesDock")->isFloating(), 5000);
    QVERIFY(!Find<QDockWidget>("LegendDock")->isFloating());
  }

  void globeIsShownAtTheScreensPixelDensity() {
    auto* panel = Find<darvelle::ui::MapPanel>("Panel2");
    QApplication::processEvents();
    const qreal ratio = panel->devicePixelRatioF();
    if (qgetenv("QT_SCALE_FACTOR") == "2") QCOMPARE(ratio, 2.0);
    const QImage& shown = panel->Shown();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.devicePixelRatio(), ratio);
    // The picture fills the panel's width or height in device pixels.
    const QSizeF logical = shown.deviceIndependentSize();
    QVERIFY(logical.width() <= panel->width() + 0.5 && logical.height() <= panel->height() + 0.5);
    QVERIFY(std::abs(shown.width() - panel->width() * ratio) <= 1.0 ||
            std::abs(shown.height() - panel->height() * ratio) <= 1.0);
    // At more than one device pixel per pixel the full drawing is its source.
    if (ratio > 1.0) QCOMPARE(panel->Image().width(), darvelle::kMapWidth);
    SaveScreen(QStringLiteral("window_pixel_ratio_%1.png").arg(ratio));
  }

  void cursorPlaceIsReadableInANarrowWindow() {
    auto* globe = Globe();
    auto* inBar = Find<QLabel>("CursorPlace");
    auto* onMap = Find<QLabel>("CursorPlaceOnMap");
    const QPointF centre = globe->widgetPointAt({darvelle::kGlobeCentreX, darvelle::kGlobeCentreY});
    auto moveTo = [&](QPointF at) { SendMouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); };
    ResizeTo(1900, 900);
    moveTo(centre);
    QVERIFY(!inBar->text().isEmpty());
    QVERIFY(!onMap->isVisible());
    // The bar's place is wholly inside the bar.
    QVERIFY(window_->statusBar()->rect().contains(inBar->geometry()));
    ResizeTo(1000, 700);
    moveTo(globe->widgetPointAt({darvelle::kGlobeCentreX, darvelle::kGlobeCentreY}));
    QVERIFY(onMap->isVisible());
    QCOMPARE(onMap->text(), inBar->text());
    QVERIFY(Find<QWidget>("Panel2")->rect().contains(onMap->geometry()));
    moveTo(QPointF(2, 2));  // off the globe
    QVERIFY(!onMap->isVisible());
  }

  // ------------------------------------------------------------ drag

  void dragShowsQuickPicturesThenTheFullDrawing() {
    auto* globe = Globe();
    auto* panel = Find<darvelle::ui::MapPanel>("Panel2");
    const auto before = window_->Session().Current();
    const darvelle::ViewParameters stateBefore = window_->Session().State().view;
    const QImage shownBefore = panel->Image();
    const QPointF from = globe->widgetPointAt({800, 533}), to = globe->widgetPointAt({950, 450});
    SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    QImage last = shownBefore;
    for (int i = 1; i <= 4; ++i) {
      SendMouse(QEvent::MouseMove, from + (to - from) * (i / 4.0), Qt::NoButton, Qt::LeftButton);
      // A new picture at every step, and no recomputation meanwhile.
      QVERIFY(!window_->IsBusy());
      QVERIFY(panel->Image() != last);
      QCOMPARE(panel->Image().devicePixelRatio(), panel->devicePixelRatioF());
      last = panel->Image();
    }
    QCOMPARE(window_->Session().Current(), before);
    QCOMPARE(window_->Session().State().view.Psi, stateBefore.Psi);
    SaveScreen(QStringLiteral("drag_preview.png"));
    SendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    Settle();
    // The full drawing of the new view replaces the quick picture.
    const auto after = window_->Session().Current();
    QVERIFY(after != before);
    QVERIFY(after->drawnView.Psi != stateBefore.Psi || after->drawnView.Phi != stateBefore.Phi);
    QCOMPARE(panel->Image(), after->ScreenImage());
  }

  // ------------------------------------------------------------ remembered

  void geometryAndDocksAreRemembered() {
    ResizeTo(1100, 760);
    auto* dock = Find<QDockWidget>("LegendDock");
    window_->addDockWidget(Qt::LeftDockWidgetArea, dock);
    QApplication::processEvents();
    window_->close();
    QTRY_VERIFY(!window_->isVisible());
    window_.reset();
    const fs::path folder = SettingsFolder();
    QVERIFY(fs::exists(folder / darvelle::ui::kWindowSettingsFileName));
    // The settings file keeps its own size.
    QCOMPARE(fs::file_size(folder / darvelle::kSettingsFileName), std::uintmax_t{2108});

    StartShipped();
    QTRY_COMPARE_WITH_TIMEOUT(window_->size(), QSize(1100, 760), 5000);
    QCOMPARE(window_->dockWidgetArea(Find<QDockWidget>("LegendDock")), Qt::LeftDockWidgetArea);
  }

  // ------------------------------------------------------------ halos

  void halosOnTheScreenOnlyNotInTheExitBitmap() {
    Type("Edit_Jahr", QStringLiteral("2024"));
    Find<QAbstractButton>("CheckBox_Farbe")->click();
    Settle();
    const auto shown = window_->Session().Current();
    QVERIFY(shown->drawnView.ColoredEarth);
    QVERIFY(shown->drawnView.CurveHalos);
    // The same map drawn apart, without halos.
    const fs::path data = ShippedData();
    darvelle::EarthTexture texture;
    QVERIFY(darvelle::LoadTexture(darvelle::FindDataFile(darvelle::kTextureFileName, data), texture).decoded);
    const auto points = darvelle::LoadCoastlines(darvelle::FindDataFile(darvelle::kCoastlineFileName, data));
    const darvelle::CoastlineLayer coastlines(points);
    darvelle::ViewParameters plainView = shown->drawnView;
    plainView.CurveHalos = false;
    darvelle::MapRenderer plain;
    plain.DrawMap(*shown->computation, plainView, texture, coastlines);
    QVERIFY(plain.DrawingImage() != shown->renderer->DrawingImage());  // the screen has halos

    SaveScreen(QStringLiteral("window_halos.png"));
    // A map saved from the File menu has none either.
    const fs::path saved = RunFolder() / "map.png";
    window_->SetFileAsker([&](QWidget*, const darvelle::ui::FileQuestion&) {
      return darvelle::ui::FileAnswer{QString::fromStdString(saved.string()), QString()};
    });
    QSignalSpy finished(window_.get(), &MainWindow::saveFinished);
    Find<QAction>("SaveMap1")->trigger();
    QVERIFY(finished.wait(kSettleLimitMs));
    QVERIFY(finished.front().at(1).toBool());
    QVERIFY(QImage(QString::fromStdString(saved.string())).convertToFormat(darvelle::kMapImageFormat) ==
            plain.DrawingImage());
    Find<QAbstractButton>("Button_Exit")->click();
    Settle();
    QTRY_VERIFY(!window_->isVisible());
    const QImage bitmap(QString::fromStdString((TempFolder() / "Darvelle.bmp").string()));
    QCOMPARE(bitmap.size(), QSize(darvelle::kMapWidth, darvelle::kMapHeight + darvelle::kLegendExtraHeight));
    const QImage map = bitmap.copy(0, darvelle::kLegendMapTop, darvelle::kMapWidth, darvelle::kMapHeight)
                           .convertToFormat(darvelle::kMapImageFormat);
    QVERIFY(map == plain.DrawingImage());
  }

  // ------------------------------------------------------------ pictures

  void screenshots() {
    if (qgetenv("DARVELLE_UI_SCREENSHOTS").isEmpty()) QSKIP("set DARVELLE_UI_SCREENSHOTS to a folder");
    Activate();
    Trigger("English1");
    auto* year = Find<QLineEdit>("Edit_Jahr");
    year->setFocus();
    year->setText(QStringLiteral("2024-04-08"));
    QTest::keyPress(year, Qt::Key_Return);
    Settle();
    QTest::keyRelease(year, Qt::Key_Return);
    QTest::qWait(300);
    SaveScreen(QStringLiteral("entry_invalid_year.png"));
    Trigger("Francais1");
    auto* reset = Find<QWidget>("Button_ResetView");
    QToolTip::showText(reset->mapToGlobal(QPoint(10, reset->height())), reset->toolTip(), reset);
    QTest::qWait(300);
    SaveScreen(QStringLiteral("tooltip_french.png"));
  }
};

}  // namespace window_test

QTEST_MAIN(window_test::WindowScreenTest)
#include "window_screen_test.moc"
