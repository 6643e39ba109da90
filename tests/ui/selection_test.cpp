// Choosing the eclipse: by year, catalogue and Saros steps, Saros number, and the time scale.

#include "window_fixture.h"
#include "window_test_list.h"

namespace window_test {

class SelectionTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // ------------------------------------------------------------ selection

  void yearSearch_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("index");
    QTest::newRow("2021") << "2021" << "2021" << FirstOfYear(2021);
    QTest::newRow("9999 is clamped to 7000") << "9999" << "7000" << FirstOfYear(7000);
    QTest::newRow("-6000 is clamped to -4999") << "-6000" << "-4999" << 1;
    QTest::newRow("abc changes nothing") << "abc" << "abc" << 2000;
  }

  void yearSearch() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, index);
    StartAt(2000);
    Trigger("Resol8");
    Type("Edit_Jahr", typed);
    QCOMPARE(window_->SelectedIndex(), index);
    QCOMPARE(Find<QLineEdit>("Edit_Jahr")->text(), shown);
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#%1").arg(index));
    QCOMPARE(window_->Resolution(), 8);  // the entries leave the resolution alone
  }

  void catalogueSteps_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("> at the last record") << kCount << "Button_plus_01_Ecl" << kCount;
    QTest::newRow("> before it") << kCount - 1 << "Button_plus_01_Ecl" << kCount;
    QTest::newRow("< at the first record") << 1 << "Button_minus_01_Ecl" << 1;
    QTest::newRow("< at 2") << 2 << "Button_minus_01_Ecl" << 1;
    QTest::newRow(">> at N-11") << kCount - 11 << "Button_plus_10_Ecl" << kCount - 1;
    QTest::newRow(">> at N-10") << kCount - 10 << "Button_plus_10_Ecl" << kCount - 10;
    QTest::newRow("<< at 11") << 11 << "Button_minus_10_Ecl" << 1;
    QTest::newRow("<< at 10") << 10 << "Button_minus_10_Ecl" << 10;
  }

  void catalogueSteps() {
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, expected);
    StartAt(start);
    Trigger("Resol16");
    Click(button.toLatin1().constData());
    QCOMPARE(window_->SelectedIndex(), expected);
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#%1").arg(expected));
    // A step that moves returns to resolution 1; one that cannot move changes nothing.
    const bool moved = expected != start;
    QCOMPARE(window_->Resolution(), moved ? 1 : 16);
    QCOMPARE(Find<QAction>("Resol1")->isChecked(), moved);
  }

  void sarosSteps_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("+1S") << kSeries100[0] << "Button_plus_1_saros" << kSeries100[1];
    QTest::newRow("-1S") << kSeries100[2] << "Button_minus_1_saros" << kSeries100[1];
    QTest::newRow("+1S at the last member") << kSeries100[5] << "Button_plus_1_saros" << kSeries100[5];
    QTest::newRow("+3S from the fourth-last reaches the last record") << kSeries150[0] << "Button_plus_3_saros" << kCount;
    QTest::newRow("+3S from the third-last") << kSeries150[1] << "Button_plus_3_saros" << kSeries150[1];
    QTest::newRow("+1S on the last record") << kCount << "Button_plus_1_saros" << kCount;
    QTest::newRow("-3S from the fourth member reaches record 1") << kSeries120[3] << "Button_minus_3_saros" << 1;
    QTest::newRow("-3S from the third member") << kSeries120[2] << "Button_minus_3_saros" << kSeries120[2];
    QTest::newRow("-1S on record 1") << 1 << "Button_minus_1_saros" << 1;
    QTest::newRow("+3S in the middle") << kSeries100[1] << "Button_plus_3_saros" << kSeries100[4];
  }

  void sarosSteps() {
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, expected);
    StartAt(start);
    Click(button.toLatin1().constData());
    QCOMPARE(window_->SelectedIndex(), expected);
  }

  void sarosCaption() {
    StartAt(kSeries100[2]);
    Trigger("English1");
    QCOMPARE(Find<QGroupBox>("GroupBox_Saros")->title(), QStringLiteral("Ecl. in Saros: 12. of 71"));
    QCOMPARE(Find<QLineEdit>("Saros_Edit")->text(), QStringLiteral("100"));
  }

  void sarosSearch_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("told");
    QTest::newRow("500 shows 282") << "500" << "282" << kOnlySaros282 << false;
    QTest::newRow("empty means 139") << "" << "139" << kFirstSaros139 << false;
    QTest::newRow("letters mean 139") << "x1" << "139" << kFirstSaros139 << false;
    QTest::newRow("-100 shows -61, carried by no record") << "-100" << "-61" << 3000 << true;
    QTest::newRow("250, carried by no record") << "250" << "250" << 3000 << true;
  }

  void sarosSearch() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, index);
    QFETCH(bool, told);
    StartAt(3000);
    Trigger("Resol4");
    Type("Saros_Edit", typed);
    QCOMPARE(window_->SelectedIndex(), index);
    QCOMPARE(Find<QLineEdit>("Saros_Edit")->text(), shown);
    QCOMPARE(window_->Resolution(), 4);
    const QString status = Find<QStatusBar>("StatusBar1")->currentMessage();
    QCOMPARE(status.contains(shown), told);
    QCOMPARE(CriticalMessages(), 0);
  }

  // ------------------------------------------------------------ time scale

  void timeScale_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("caption");
    QTest::newRow("2020") << 2020 << "UT DeltaT= 69.4 secs";
    QTest::newRow("2021") << 2021 << "UT DeltaT= 69.3 secs";
    QTest::newRow("1899 in whole seconds") << 1899 << "UT DeltaT= -4 secs";
  }

  void timeScale() {
    QFETCH(int, year);
    QFETCH(QString, caption);
    StartAt(FirstOfYear(year));
    Trigger("English1");
    auto* box = Find<QCheckBox>("CheckBox_ET_UT");
    QVERIFY(box->isChecked());
    QCOMPARE(box->text(), caption);
    QVERIFY(Find<QLabel>("Label_DatumZeit")->text().endsWith(QStringLiteral(" UT")));

    // The switch to TT redraws without computing again: the report stays away.
    const fs::path report = TempFolder() / "SunEclipse4_EN.TXT";
    QVERIFY(fs::exists(report));
    fs::remove(report);
    box->click();
    Settle();
    QCOMPARE(box->text(), QStringLiteral("TT"));
    QVERIFY(Find<QLabel>("Label_DatumZeit")->text().endsWith(QStringLiteral(" TT")));
    QVERIFY(window_->windowTitle().contains(QStringLiteral(" TT ")));
    QCOMPARE(window_->Computation().deltaT, 0.0);
    QVERIFY(!fs::exists(report));
    box->click();
    Settle();
    QCOMPARE(box->text(), caption);
  }
};

std::unique_ptr<QObject> MakeSelectionTest() { return std::make_unique<SelectionTest>(); }

}  // namespace window_test

#include "selection_test.moc"
