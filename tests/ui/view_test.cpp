// The view controls, the menus, the languages and what the status bar and caption show.

#include "window_fixture.h"
#include "window_test_list.h"

namespace window_test {

class ViewTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // ------------------------------------------------------------ view

  void angleButtons_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("after");
    QTest::newRow("Psi 0.0 >>") << "Edit_Psi" << "0.0" << "Button_Psi_plus_10" << "10.0";
    QTest::newRow("Psi 10.0 <") << "Edit_Psi" << "10.0" << "Button_Psi_minus_01" << "9.0";
    QTest::newRow("Psi 359.0 >>") << "Edit_Psi" << "359.0" << "Button_Psi_plus_10" << "369.0";
    QTest::newRow("Phi 85 > is not clamped") << "Edit_Phi" << "85" << "Button_Phi_plus_10" << "95.0";
    QTest::newRow("Phi 0.0 <<") << "Edit_Phi" << "0.0" << "Button_Phi_minus_10" << "-10.0";
    QTest::newRow("Chi 0.0 <<") << "Edit_Chi" << "0.0" << "Button_Chi_Minus_10" << "-10.0";
    QTest::newRow("Chi 1.5 >") << "Edit_Chi" << "1.5" << "Button_Chi_plus_01" << "2.5";
    QTest::newRow("size 100 << stays 100") << "Edit_RK" << "100" << "Button_RK_minus_10" << "100";
    QTest::newRow("size 102 < gives 100") << "Edit_RK" << "102" << "Button_RK_minus_01" << "100";
    QTest::newRow("size 9990 >> gives 9999") << "Edit_RK" << "9990" << "Button_RK_plus_10" << "9999";
    QTest::newRow("size 500 > gives 505") << "Edit_RK" << "500" << "Button_RK_plus_01" << "505";
  }

  void angleButtons() {
    QFETCH(QString, edit);
    QFETCH(QString, before);
    QFETCH(QString, button);
    QFETCH(QString, after);
    StartDefault();
    Find<QLineEdit>(edit.toLatin1().constData())->setText(before);
    Click(button.toLatin1().constData());
    QCOMPARE(Find<QLineEdit>(edit.toLatin1().constData())->text(), after);
    QCOMPARE(CriticalMessages(), 0);
  }

  void buttonsRefuseText_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("button");
    QTest::newRow("angle") << "Edit_Psi" << "Button_Psi_plus_10";
    QTest::newRow("size") << "Edit_RK" << "Button_RK_plus_01";
  }

  void buttonsRefuseText() {
    QFETCH(QString, edit);
    QFETCH(QString, button);
    StartDefault();
    Find<QLineEdit>(edit.toLatin1().constData())->setText(QStringLiteral("abc"));
    Click(button.toLatin1().constData());
    QCOMPARE(Find<QLineEdit>(edit.toLatin1().constData())->text(), QStringLiteral("abc"));
    QCOMPARE(CriticalMessages(), 1);
    QVERIFY(messages_.back().text.contains(QStringLiteral("abc")));
    QVERIFY(window_->isEnabled());
  }

  void entries_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("size 50 gives 100") << "Edit_RK" << "50" << "100";
    QTest::newRow("size letter gives 300") << "Edit_RK" << "q" << "300";
    QTest::newRow("size 12345 gives 9999") << "Edit_RK" << "12345" << "9999";
    QTest::newRow("angle letters give 0.0") << "Edit_Psi" << "abc" << "0.0";
    QTest::newRow("angle rounded to one decimal") << "Edit_Phi" << "12.345" << "12.3";
    QTest::newRow("angle not clamped") << "Edit_Chi" << "720" << "720.0";
  }

  void entries() {
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    StartDefault();
    Type(edit.toLatin1().constData(), typed);
    QCOMPARE(Find<QLineEdit>(edit.toLatin1().constData())->text(), shown);
    QCOMPARE(CriticalMessages(), 0);
  }

  void resetViewAndProjection() {
    StartDefault();
    Type("Edit_Psi", QStringLiteral("30"));
    Type("Edit_RK", QStringLiteral("250"));
    Click("Button_ResetView");
    QCOMPARE(Find<QLineEdit>("Edit_Psi")->text(), QStringLiteral("0.0"));
    QCOMPARE(Find<QLineEdit>("Edit_RK")->text(), QStringLiteral("500"));

    // Orthographic: white outside the globe; stereographic: light grey all
    // over. A small globe, so that the panel's corners lie outside it.
    Type("Edit_RK", QStringLiteral("100"));
    const QImage ortho = window_->DisplayImage();
    QCOMPARE(ortho.pixelColor(2, 2), QColor(Qt::white));
    Find<QRadioButton>("RadioButton_Stereo")->click();
    Settle();
    QVERIFY(Find<QRadioButton>("RadioButton_Stereo")->isChecked());
    QCOMPARE(window_->DisplayImage().pixelColor(2, 2), QColor(216, 216, 216));
  }

  void penWidthAndResolutionMenus() {
    StartDefault();
    Trigger("PWidth3");
    QCOMPARE(window_->PenWidth(), 3);
    QVERIFY(!Find<QAction>("PWidth1")->isChecked());
    Trigger("Resol32");
    QCOMPARE(window_->Resolution(), 32);
    QCOMPARE(window_->Computation().resolution, 32);
    QVERIFY(!Find<QAction>("Resol1")->isChecked());
  }

  // ------------------------------------------------------------ languages

  void languages_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("typeLabel");
    QTest::addColumn<QString>("sarosCaption");
    QTest::addColumn<QString>("deltaTCaption");
    QTest::newRow("German") << "Deutsch1" << 0 << QString::fromUtf8("Nichtzentrale ringf. SoFi")
                            << "Finster. im Saros: 10. von 71" << "UT DeltaT= ";
    QTest::newRow("English") << "English1" << 1 << "Non central annul. eclipse"
                             << "Ecl. in Saros: 10. of 71" << "UT DeltaT= ";
    QTest::newRow("French") << "Francais1" << 2 << "Eclipse de soleil annulaire non centrale"
                            << "Ecl. dans Saros: 10. de 71" << "UT DeltaT= ";
  }

  void languages() {
    QFETCH(QString, item);
    QFETCH(int, language);
    QFETCH(QString, typeLabel);
    QFETCH(QString, sarosCaption);
    QFETCH(QString, deltaTCaption);
    StartAt(kNonCentralAnnular);
    Trigger(item.toLatin1().constData());
    QCOMPARE(darvelle::StoredNumber(window_->UiLanguage()), language);
    for (const auto& row : darvelle::ui::LanguageCaptions()) {
      QObject* control = window_->findChild<QObject*>(QString::fromLatin1(row.objectName));
      QVERIFY2(control != nullptr, row.objectName);
      QCOMPARE(darvelle::ui::Caption(control), QString::fromUtf8(row.text[language]));
    }
    int checked = 0;
    for (const char* name : {"Deutsch1", "English1", "Francais1"}) checked += Find<QAction>(name)->isChecked();
    QCOMPARE(checked, 1);
    QVERIFY(Find<QAction>(item.toLatin1().constData())->isChecked());
    QCOMPARE(Find<QLabel>("Label_SoFiTyp")->text(), typeLabel);
    QCOMPARE(Find<QGroupBox>("GroupBox_Saros")->title(), sarosCaption);
    QVERIFY(Find<QCheckBox>("CheckBox_ET_UT")->text().startsWith(deltaTCaption));
    const QString seconds[] = {QStringLiteral(" Sek. "), QStringLiteral(" secs"), QStringLiteral(" sec.")};
    QVERIFY(Find<QCheckBox>("CheckBox_ET_UT")->text().endsWith(seconds[language]));
    // Captions outside the table stay the same in every language.
    QCOMPARE(Find<QPushButton>("Button_plus_3_saros")->text(), QStringLiteral("+3S"));
    QCOMPARE(Find<QAction>("Resol16")->text(), QStringLiteral("&1&6"));
  }

  void exitHints() {
    StartDefault();
    const QString hints[] = {
        QString::fromUtf8("Schreibt eine PostScript-Datei\rim %Temp%-Ordner"),
        QString::fromUtf8("Writes a PostScript file\rin the %Temp%-folder"),
        QString::fromUtf8("Écrit un fichier PostScript dans le dossier \r%Temp% en quittant le programme")};
    const char* items[] = {"Deutsch1", "English1", "Francais1"};
    for (int l = 0; l < 3; ++l) {
      Trigger(items[l]);
      QCOMPARE(Find<QPushButton>("Button_Exit_pdf")->toolTip(), hints[l]);
    }
  }

  void windowCaption() {
    StartAt(FirstOfYear(2021));
    Trigger("English1");
    const QRegularExpression pattern(
        QStringLiteral("^Darvelle v\\.") + QRegularExpression::escape(QString::fromLatin1(darvelle::kProgramVersion)) +
        QStringLiteral(" {9}2021-06-\\d\\d  \\d\\d:\\d\\d:\\d\\d UT {9}Total solar eclipse$"));
    QVERIFY2(pattern.match(window_->windowTitle()).hasMatch(), qPrintable(window_->windowTitle()));
  }

  void statusPanels() {
    StartAt(FirstOfYear(1999));
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#%1").arg(FirstOfYear(1999)));
    QVERIFY2(Panel(10).startsWith(QStringLiteral("nClin")), qPrintable(Panel(10)));
    const int widths[] = {87, 76, 77, 77, 77, 77, 77, 77, 75, 72, 60, 72, 75, 80, 80, 70, 70};
    for (int i = 0; i < 17; ++i) {
      QCOMPARE(Find<QLabel>(QStringLiteral("StatusPanel%1").arg(i).toLatin1().constData())->maximumWidth(), widths[i]);
    }
  }
};

std::unique_ptr<QObject> MakeViewTest() { return std::make_unique<ViewTest>(); }

}  // namespace window_test

#include "view_test.moc"
