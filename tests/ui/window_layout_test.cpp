// The real window on the shipped data at any size: a control column that
// scrolls on a small screen, docks that move under the globe where they
// would squeeze it and stay where the user puts them, the globe at the screen's pixel
// density, the status bar's panels cut off rather than squeezed in a narrow
// window, the window's place and docks remembered. Run once at the screen's pixel ratio and once at
// twice it. With DARVELLE_UI_SCREENSHOTS set to a folder (under xvfb) it also
// saves pictures of the screen.

#include <QDockWidget>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>

#include "ui/dock_arranger.h"
#include "ui/local_panel.h"
#include "ui/window_settings.h"
#include "ui/year_eclipse_list.h"
#include "window_fixture.h"

namespace window_test {

namespace {

// The least size a layout may give a widget: its own minimum where it has
// one (the step buttons' fixed width), else its minimum size hint.
QSize LeastSize(const QWidget* w) {
  const QSize hint = w->minimumSizeHint();
  QSize least(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
              w->minimumHeight() > 0 ? w->minimumHeight() : hint.height());
  return least.boundedTo(w->maximumSize());
}

// The part of `w` that its parents up to `top` leave in view, in `top`'s
// coordinates.
QRect ShownIn(const QWidget* w, const QWidget* top) {
  QRect shown(w->mapTo(top, QPoint(0, 0)), w->size());
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    shown &= QRect(p->mapTo(top, QPoint(0, 0)), p->size());
    if (p == top) break;
  }
  return shown;
}

}  // namespace

class WindowLayoutTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpShippedCase(); }

  void init() { StartShippedOnADesktop(); }

  void cleanup() { TearDown(); }

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
    // Each edit shows its widest text whole: the catalogue's first year and
    // Saros series, an angle's and a size's longest values.
    const std::pair<const char*, QString> widest[] = {
        {"Edit_Jahr", QStringLiteral("-4999")}, {"Saros_Edit", QStringLiteral("-108")},
        {"Edit_Psi", QStringLiteral("-180.0")}, {"Edit_Phi", QStringLiteral("-180.0")},
        {"Edit_Chi", QStringLiteral("-180.0")}, {"Edit_RK", QStringLiteral("9999")}};
    for (const auto& [name, text] : widest) {
      auto* edit = Find<QLineEdit>(name);
      const QString before = edit->text();
      edit->setText(text);
      edit->end(false);
      // The cursor after the text (the line unscrolled) is inside the frame.
      const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().right();
      QVERIFY2(end < edit->width() - 2, qPrintable(QStringLiteral("%1: the text ends at %2 of %3")
                                                    .arg(QLatin1String(name)).arg(end).arg(edit->width())));
      edit->setText(before);
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
  // local circumstances' table, go under it in tabs, closed, instead of
  // taking half of it; opened, they share the height and cover nothing.
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
    // The window's parts side by side, none over another, all inside the
    // window (a tab behind another is moved out of sight: not shown).
    const auto partsApart = [&] {
      QList<QWidget*> parts = {column, map, static_cast<QWidget*>(window_->statusBar()), window_->menuBar()};
      for (QDockWidget* dock : window_->findChildren<QDockWidget*>()) {
        if (dock->isVisible() && !dock->isFloating() && !dock->visibleRegion().isEmpty()) parts << dock;
      }
      for (int i = 0; i < parts.size(); ++i) {
        const QRect a(parts[i]->mapTo(window_.get(), QPoint(0, 0)), parts[i]->size());
        if (!window_->rect().contains(a)) return parts[i]->objectName() + QStringLiteral(" leaves the window");
        for (int j = i + 1; j < parts.size(); ++j) {
          const QRect b(parts[j]->mapTo(window_.get(), QPoint(0, 0)), parts[j]->size());
          if (a.intersects(b)) return parts[i]->objectName() + QStringLiteral(" overlaps ") + parts[j]->objectName();
        }
      }
      return QString();
    };
    QCOMPARE(partsApart(), QString());

    for (const QSize small : {QSize(800, 600), QSize(1024, 700)}) {
      ResizeTo(small.width(), small.height());
      QTRY_VERIFY_WITH_TIMEOUT(!placeDock->isVisible(), 5000);
      QVERIFY(!legendDock->isVisible() && !placeDock->isFloating() && !legendDock->isFloating());
      QCOMPARE(partsApart(), QString());
      // At least 55 % of the window is the globe's (the column takes 260 of 800 pixels).
      QVERIFY2(mapShare() >= 0.55, qPrintable(QString::number(mapShare())));
      // Opened from the Options menu, the place dock takes a share of the
      // height under the globe; the window keeps its size.
      const QSize mapSize = map->size();
      placeDock->toggleViewAction()->trigger();
      QTRY_VERIFY(placeDock->isVisible());
      Settle();
      QCOMPARE(window_->size(), small);
      QVERIFY(!placeDock->isFloating());
      QCOMPARE(window_->dockWidgetArea(placeDock), Qt::BottomDockWidgetArea);
      QCOMPARE(partsApart(), QString());
      QCOMPARE(map->width(), mapSize.width());
      QVERIFY2(map->height() >= mapSize.height() * 0.55, qPrintable(QString::number(map->height())));
      auto* table = Find<QTableWidget>("LocalContacts");
      QVERIFY(table->isVisible());
      QVERIFY(table->horizontalHeader()->length() <= table->viewport()->width());
      // The legend opens as a tab beside it, not as a second strip.
      legendDock->toggleViewAction()->trigger();
      QTRY_VERIFY(legendDock->isVisible());
      Settle();
      QVERIFY(window_->tabifiedDockWidgets(placeDock).contains(legendDock));
      QCOMPARE(partsApart(), QString());
      QVERIFY2(map->height() >= mapSize.height() * 0.55, qPrintable(QString::number(map->height())));
      SaveScreen(QStringLiteral("window_%1x%2_docks_open.png").arg(small.width()).arg(small.height()));
      legendDock->toggleViewAction()->trigger();
      placeDock->toggleViewAction()->trigger();
      QApplication::processEvents();
    }

    // Wide again: the docks are back beside the globe as they were.
    ResizeTo(1400, 900);
    QTRY_VERIFY_WITH_TIMEOUT(window_->dockWidgetArea(placeDock) == Qt::RightDockWidgetArea &&
                                 placeDock->isVisible(), 5000);
    QCOMPARE(window_->dockWidgetArea(legendDock), Qt::RightDockWidgetArea);
    QCOMPARE(partsApart(), QString());
    QVERIFY2(map->width() >= darvelle::ui::DockArranger::kLeastMapWidth, qPrintable(QString::number(map->width())));

    // Closed while small, the next window at a desktop's size has its docks beside the globe.
    ResizeTo(800, 600);
    QTRY_VERIFY_WITH_TIMEOUT(!placeDock->isVisible(), 5000);
    placeDock->toggleViewAction()->trigger();
    QTRY_COMPARE(window_->dockWidgetArea(placeDock), Qt::BottomDockWidgetArea);
    window_->close();
    QTRY_VERIFY(!window_->isVisible());
    window_.reset();
    StartShipped(QSize(1400, 900));
    QApplication::processEvents();
    QTRY_COMPARE_WITH_TIMEOUT(window_->dockWidgetArea(Find<QDockWidget>("LocalCircumstancesDock")),
                              Qt::RightDockWidgetArea, 5000);
    QCOMPARE(window_->dockWidgetArea(Find<QDockWidget>("LegendDock")), Qt::RightDockWidgetArea);
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
    // The drawing is the panel itself in device pixels: nothing scaled, no margin.
    QCOMPARE(panel->Image().size(), (QSizeF(panel->size()) * ratio).toSize());
    SaveScreen(QStringLiteral("window_pixel_ratio_%1.png").arg(ratio));

    // The globe size is the radius in logical pixels on the screen: the
    // plain globe's disc (grey, its outline one pixel out) measured across
    // and down the middle of the picture shown, at either pixel ratio.
    if (Find<QCheckBox>("CheckBox_Farbe")->isChecked()) {
      Find<QCheckBox>("CheckBox_Farbe")->click();  // white ice would hide the rim
      Settle();
    }
    Type("Edit_RK", QStringLiteral("230"));
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBusy() && !panel->ShowsStandIn(), kSettleLimitMs);
    const QImage picture = panel->Shown().convertToFormat(QImage::Format_RGB32);
    const auto extent = [&picture](bool across) {
      const int length = across ? picture.width() : picture.height();
      int first = -1, last = -1;
      for (int i = 0; i < length; ++i) {
        const QRgb p = across ? picture.pixel(i, picture.height() / 2) : picture.pixel(picture.width() / 2, i);
        if (p == qRgb(255, 255, 255)) continue;
        if (first < 0) first = i;
        last = i;
      }
      return last - first + 1;
    };
    for (const bool across : {true, false}) {
      const double radius = extent(across) / 2.0 / ratio;
      // The outline lies one pixel outside the disc.
      QVERIFY2(std::abs(radius - 230) <= 2.0, qPrintable(QString::number(radius)));
    }
  }

  // The seventeen panels keep their widths and their order at any window
  // width: those past the bar's room are cut off at its right, never pushed
  // over each other or over the cursor's place, which stays whole.
  void statusBarPanelsAndCursorPlaceKeepApart() {
    auto* bar = window_->statusBar();
    auto* cursorPlace = Find<QLabel>("CursorPlace");
    for (const QSize size : {QSize(1900, 900), QSize(1000, 700), QSize(800, 600)}) {
      const QString at = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
      ResizeTo(size.width(), size.height());
      // The globe's centre is the middle of the picture.
      SendMouse(QEvent::MouseMove, Globe()->mapRect().center(), Qt::NoButton, Qt::NoButton);
      const QRect place = ShownIn(cursorPlace, bar);
      QVERIFY2(cursorPlace->isVisible() && !cursorPlace->text().isEmpty(), qPrintable(at));
      QVERIFY2(place.size() == cursorPlace->size(), qPrintable(at));
      QVERIFY(place.width() >= cursorPlace->fontMetrics().horizontalAdvance(cursorPlace->text()));
      int right = 0;
      int shown = 0;
      for (int i = 0; i < darvelle::ui::kStatusPanelCount; ++i) {
        auto* panel = Find<QLabel>(QStringLiteral("StatusPanel%1").arg(i).toLatin1().constData());
        const QString which = at + QStringLiteral(" panel %1").arg(i);
        const QRect where(panel->mapTo(bar, QPoint(0, 0)), panel->size());
        QCOMPARE(where.width(), panel->maximumWidth());
        QVERIFY2(where.left() >= right, qPrintable(which));
        right = where.right() + 1;
        const QRect seen = ShownIn(panel, bar);
        if (seen.isEmpty()) continue;
        ++shown;
        QVERIFY2(!seen.intersects(place), qPrintable(which));
      }
      // The eclipse's number, the first panel, is always whole.
      auto* first = Find<QLabel>("StatusPanel0");
      QCOMPARE(ShownIn(first, bar).size(), first->size());
      if (size.width() >= 1900) QCOMPARE(shown, darvelle::ui::kStatusPanelCount);
    }
    SaveScreen(QStringLiteral("window_800x600_status_bar.png"));
  }

  // ------------------------------------------------------------ remembered

  void geometryAndDocksAreRemembered() {
    // Wide enough for the docks beside the globe.
    ResizeTo(1300, 800);
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
    QTRY_COMPARE_WITH_TIMEOUT(window_->size(), QSize(1300, 800), 5000);
    QCOMPARE(window_->dockWidgetArea(Find<QDockWidget>("LegendDock")), Qt::LeftDockWidgetArea);
  }

  // A dock the user moves in a narrow window stays where it was put, the
  // other keeps its tab under the globe; wide again, the user's dock stays
  // where it was put, the other goes back, and the next run remembers that.
  void aDockDockedInANarrowWindowStaysThere() {
    auto* legendDock = Find<QDockWidget>("LegendDock");
    auto* placeDock = Find<QDockWidget>("LocalCircumstancesDock");
    ResizeTo(1000, 700);
    QTRY_VERIFY_WITH_TIMEOUT(!legendDock->isVisible(), 5000);
    // As a drag of the opened legend onto the window's left edge does.
    legendDock->toggleViewAction()->trigger();
    window_->addDockWidget(Qt::LeftDockWidgetArea, legendDock);
    QApplication::processEvents();
    QVERIFY(legendDock->isVisible() && !legendDock->isFloating());
    QVERIFY(!placeDock->isVisible());
    SaveScreen(QStringLiteral("window_1000x700_docked_by_user.png"));
    // Narrower, and wide again.
    ResizeTo(900, 650);
    QCOMPARE(window_->dockWidgetArea(legendDock), Qt::LeftDockWidgetArea);
    ResizeTo(1400, 900);
    QTRY_COMPARE_WITH_TIMEOUT(window_->dockWidgetArea(placeDock), Qt::RightDockWidgetArea, 5000);
    QCOMPARE(window_->dockWidgetArea(legendDock), Qt::LeftDockWidgetArea);

    // Moved again in a narrow window and closed there.
    ResizeTo(1000, 700);
    QTRY_VERIFY_WITH_TIMEOUT(!placeDock->isVisible(), 5000);
    window_->addDockWidget(Qt::TopDockWidgetArea, legendDock);
    QApplication::processEvents();
    window_->close();
    QTRY_VERIFY(!window_->isVisible());
    window_.reset();
    StartShipped(QSize(1400, 900));
    QApplication::processEvents();
    auto* remembered = Find<QDockWidget>("LegendDock");
    QTRY_COMPARE_WITH_TIMEOUT(window_->dockWidgetArea(remembered), Qt::TopDockWidgetArea, 5000);
    QCOMPARE(window_->dockWidgetArea(Find<QDockWidget>("LocalCircumstancesDock")), Qt::RightDockWidgetArea);
  }
};

}  // namespace window_test

QTEST_MAIN(window_test::WindowLayoutTest)
#include "window_layout_test.moc"
