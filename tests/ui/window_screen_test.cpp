// The real window on the shipped data as users of a desktop program expect
// it: shortcuts, tooltips in the window's language, entries not taken as
// typed marked red and explained, quick pictures while dragging, halos on the
// screen only. With DARVELLE_UI_SCREENSHOTS set to a folder (under xvfb) it
// also saves pictures of the screen.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QStatusBar>
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
#include "window_fixture.h"

namespace window_test {

namespace {

// As a user types: the old text selected and replaced key by key.
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

bool IsMarkedRed(QLineEdit* edit) {
  // The middle of the edit's background, off its text.
  const QImage picture = edit->grab().toImage();
  const QColor c = picture.pixelColor(picture.width() - 4, picture.height() / 2);
  return c.red() > 200 && c.green() < 215 && c.blue() < 215 && c.red() - c.green() > 30;
}

}  // namespace

class WindowScreenTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpShippedCase(); }

  void init() { StartShippedOnADesktop(); }

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
    Trigger("English1");  // the English pages' titles are checked below
    Activate();
    QTest::keyClick(window_.get(), Qt::Key_F1);
    auto* browser = window_->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser != nullptr);
    QVERIFY(browser->window()->isVisible());
    // Named after the page shown: the contents, then a topic.
    QCOMPARE(browser->window()->windowTitle(), browser->documentTitle());
    QCOMPARE(browser->window()->windowTitle(), QStringLiteral("Darvelle help - Contents"));
    browser->setSource(QUrl(QStringLiteral("statusbar.html")));
    QCOMPARE(browser->window()->windowTitle(), QStringLiteral("The status bar - Darvelle help"));
    Activate();
    QSignalSpy closed(window_.get(), &DarvelleWindow::closed);
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

  // Qt's own buttons and menus (the file dialog's, the message boxes') speak
  // the window's language, from Qt's catalogues that the setup installs.
  void qtsOwnTextsFollowTheLanguage() {
    const char* cancel[] = {"Abbrechen", "Cancel", "Annuler"};
    for (const darvelle::Language language : {darvelle::kGerman, darvelle::kFrench, darvelle::kEnglish}) {
      Trigger(kLanguageItems[darvelle::LanguageIndex(language)]);
      QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(cancel[darvelle::LanguageIndex(language)]));
    }
  }

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
      QCOMPARE(w->toolTip(), darvelle::ui::TooltipOf(w->objectName(), darvelle::kFrench));
    }
    for (const darvelle::Language language : {darvelle::kGerman, darvelle::kEnglish, darvelle::kFrench}) {
      Trigger(kLanguageItems[darvelle::LanguageIndex(language)]);
      for (const auto& row : darvelle::ui::ControlTooltips()) {
        auto* control = window_->findChild<QWidget*>(QString::fromLatin1(row.objectName));
        QVERIFY2(control != nullptr, row.objectName);
        QCOMPARE(control->toolTip(), QString::fromUtf8(row.text[darvelle::LanguageIndex(language)]));
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
    const QString ownTip = darvelle::ui::TooltipOf(edit, darvelle::kEnglish);
    QCOMPARE(e->toolTip(), ownTip);
    QVERIFY(!IsMarkedRed(e));
    const int index = window_->SelectedIndex();

    // Marked as it is typed, with what is accepted in its tooltip.
    TypeInto(e, typed);
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

  // The window's own values are never marked, even where the entry would not
  // take them as typed: the catalogue's first and last eclipses belong to
  // Saros series beyond -61 .. 282.
  void valuesTheWindowShowsAreNotMarked() {
    auto* saros = Find<QLineEdit>("Saros_Edit");
    for (const char* year : {"7000", "-4999"}) {
      Type("Edit_Jahr", QString::fromLatin1(year));
      const int shown = saros->text().toInt();
      QVERIFY2(shown < -61 || shown > 282, qPrintable(saros->text()));
      QVERIFY2(!IsMarkedRed(saros), year);
      QCOMPARE(saros->toolTip(), darvelle::ui::TooltipOf(QStringLiteral("Saros_Edit"), window_->UiLanguage()));
      // The same number typed is marked: Enter would take 282 or -61 instead.
      TypeInto(saros, saros->text());
      QVERIFY2(IsMarkedRed(saros), year);
    }
  }

  void markedEntryExplainsItselfInTheWindowsLanguage() {
    auto* year = Find<QLineEdit>("Edit_Jahr");
    const QString notAccepted[] = {QStringLiteral("nicht angenommen"), QStringLiteral("not accepted"),
                                   QStringLiteral("n'est pas accepté")};
    for (const darvelle::Language language : {darvelle::kFrench, darvelle::kGerman, darvelle::kEnglish}) {
      // The change of language writes the year shown back, which clears the mark.
      Trigger(kLanguageItems[darvelle::LanguageIndex(language)]);
      QCOMPARE(year->toolTip(), darvelle::ui::TooltipOf(QStringLiteral("Edit_Jahr"), language));
      TypeInto(year, QStringLiteral("2024-04-08"));
      QVERIFY2(year->toolTip().contains(notAccepted[darvelle::LanguageIndex(language)]), qPrintable(year->toolTip()));
    }
  }

  // ------------------------------------------------------------ drag

  void dragShowsQuickPicturesThenTheFullDrawing() {
    auto* globe = Globe();
    auto* panel = Find<darvelle::ui::MapPanel>("Panel2");
    const auto before = window_->Session().Current();
    const darvelle::ViewParameters stateBefore = window_->Session().State().view;
    const QImage shownBefore = panel->Image();
    const double cx = Drawn().CentreX(), cy = Drawn().CentreY();
    const QPointF from = globe->widgetPointAt({cx, cy}), to = globe->widgetPointAt({cx + 150, cy - 83});
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
    QSignalSpy finished(window_.get(), &DarvelleWindow::saveFinished);
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
