// Start-up and the settings file, the two exits and the close, and data files that are missing or cannot be written.

#include "window_fixture.h"
#include "window_test_list.h"

namespace window_test {

class LifecycleTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // ------------------------------------------------------------ settings and start-up

  void firstStart() {
    StartDefault();
    QCOMPARE(window_->SelectedIndex(), 16686);
    QCOMPARE(window_->UiLanguage(), darvelle::kGerman);
    QVERIFY(Find<QAction>("Deutsch1")->isChecked());
    QVERIFY(Find<QCheckBox>("CheckBox_ET_UT")->isChecked());
    QVERIFY(Find<QRadioButton>("RadioButton_Ortho")->isChecked());
    // The new file holds English and 16668 ...
    QCOMPARE(fs::file_size(SettingsFile()), std::uintmax_t{2108});
    Settings s = darvelle::ReadSettingsFile(SettingsFile());
    QCOMPARE(int(s.Language), 1);
    QCOMPARE(s.EclipseIndex, 16668);
    QCOMPARE(QString::fromStdString(s.VersionText), QString::fromLatin1(darvelle::kProgramVersion));
    // ... until the close writes what the user had.
    Type("Edit_Jahr", QStringLiteral("2021"));
    Trigger("Francais1");
    window_->close();
    s = darvelle::ReadSettingsFile(SettingsFile());
    QCOMPARE(int(s.Language), 2);
    QCOMPARE(s.EclipseIndex, FirstOfYear(2021));
  }

  void storedValuesAreClamped_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<int>("expectedPen");
    // The ranges are checked without a window (session_settings_test); here
    // the window shows what the file's values become.
    QTest::newRow("index 0, pen 7") << 0 << 1 << 7 << 3;
  }

  void storedValuesAreClamped() {
    QFETCH(int, stored);
    QFETCH(int, index);
    QFETCH(int, penWidth);
    QFETCH(int, expectedPen);
    WriteSettings(SettingsFolder(), [&](Settings& s) {
      s.EclipseIndex = stored;
      s.PenWidth = penWidth;
    });
    QVERIFY(Start(Options(DataFolder())));
    QCOMPARE(window_->SelectedIndex(), index);
    QCOMPARE(window_->PenWidth(), expectedPen);
    QVERIFY(Find<QAction>(QStringLiteral("PWidth%1").arg(expectedPen).toLatin1().constData())->isChecked());
  }

  void settingsRestoreTheView() {
    WriteSettings(SettingsFolder(), [](Settings& s) {
      s.Language = 2;
      s.UseUT = 0;
      s.Psi = 12.25;
      s.Phi = -3.0;
      s.Chi = 45.0;
      s.GlobeSize = 350;
      s.Orthographic = 0;
    });
    QVERIFY(Start(Options(DataFolder())));
    QCOMPARE(window_->UiLanguage(), darvelle::kFrench);
    QVERIFY(!Find<QCheckBox>("CheckBox_ET_UT")->isChecked());
    QCOMPARE(Find<QCheckBox>("CheckBox_ET_UT")->text(), QStringLiteral("TT"));
    QCOMPARE(Find<QLineEdit>("Edit_Psi")->text(), QStringLiteral("12.2"));  // 12.25 to one decimal, half to even
    QCOMPARE(Find<QLineEdit>("Edit_Phi")->text(), QStringLiteral("-3.0"));
    QCOMPARE(Find<QLineEdit>("Edit_Chi")->text(), QStringLiteral("45.0"));
    QCOMPARE(Find<QLineEdit>("Edit_RK")->text(), QStringLiteral("350"));
    QVERIFY(Find<QRadioButton>("RadioButton_Stereo")->isChecked());
    QCOMPARE(CriticalMessages(), 0);
  }

  void resolutionIsNotSaved() {
    StartDefault();
    Trigger("Resol8");
    QCOMPARE(window_->Resolution(), 8);
    window_->close();
    QCOMPARE(darvelle::ReadSettingsFile(SettingsFile()).Resolution, 1);
    window_.reset();
    QVERIFY(Start(Options(DataFolder())));
    QCOMPARE(window_->Resolution(), 1);
    QVERIFY(Find<QAction>("Resol1")->isChecked());
  }

  void closeSavesOnlyAnExistingFile() {
    StartDefault();
    fs::remove(SettingsFile());
    window_->close();
    QVERIFY(!fs::exists(SettingsFile()));
  }

  void textInAnAngleEditDoesNotBlockQuitting() {
    StartDefault();
    Type("Edit_Psi", QStringLiteral("25"));
    Find<QLineEdit>("Edit_Psi")->setText(QStringLiteral("abc"));  // typed, Enter never pressed
    QVERIFY(window_->close());
    QVERIFY(!window_->isVisible());
    QCOMPARE(darvelle::ReadSettingsFile(SettingsFile()).Psi, 25.0);
  }

  void outputFilesLiveFromRecomputeToClose_data() {
    QTest::addColumn<bool>("kept");
    QTest::newRow("by default") << false;
    QTest::newRow("asked to keep them") << true;
  }

  void outputFilesLiveFromRecomputeToClose() {
    QFETCH(bool, kept);
    auto options = Options(DataFolder());
    options.keepFilesAtExit = kept;
    QVERIFY(Start(options));
    for (const char* name : {"SunEclipse4_DE.TXT", "SunEclipse4_EN.TXT", "CLinData.txt", "Eckpunkt.txt"}) {
      QVERIFY2(fs::exists(TempFolder() / name), name);
    }
    const auto filesIn = [](const fs::path& folder) {
      QStringList names;
      for (const auto& entry : fs::directory_iterator(folder)) {
        names << QString::fromStdString(entry.path().filename().string());
      }
      names.sort();
      return names;
    };
    QStringList written = filesIn(TempFolder());
    QVERIFY2(written.contains(QStringLiteral("MaxHoriN.txt")), qPrintable(written.join(QLatin1Char(' '))));
    Click("Button_Exit");
    QVERIFY(!window_->isVisible());
    // Whatever the computation wrote goes at exit (whatever the case of its
    // name); the bitmap stays.
    written << QStringLiteral("Darvelle.bmp");
    written.sort();
    QCOMPARE(filesIn(TempFolder()), kept ? written : QStringList{QStringLiteral("Darvelle.bmp")});
  }

  void exitWritesTheBitmapAndRemovesAnOldSheet() {
    StartDefault();
    WriteFile(TempFolder() / "Darvelle.ps", "old", 3);
    Click("Button_Exit");
    QVERIFY(!fs::exists(TempFolder() / "Darvelle.ps"));
    QImage bitmap(QString::fromStdString((TempFolder() / "Darvelle.bmp").string()));
    QCOMPARE(bitmap.size(), QSize(1600, 1266));
    QCOMPARE(bitmap.pixelColor(5, 1260), QColor(Qt::white));
  }

  void exitWithSheetRecordsEnglish() {
    StartDefault();  // German on the first start
    Trigger("Francais1");
    Click("Button_Exit_pdf");
    QVERIFY(!window_->isVisible());
    QVERIFY(fs::file_size(TempFolder() / "Darvelle.ps") > 10'000'000u);
    QCOMPARE(QImage(QString::fromStdString((TempFolder() / "Darvelle.bmp").string())).size(), QSize(1600, 1266));
    QCOMPARE(int(darvelle::ReadSettingsFile(SettingsFile()).Language), 1);
  }

  void failingSheetGivesTheWindowBack() {
    StartDefault();
    Trigger("Francais1");
    fs::create_directory(TempFolder() / "Darvelle.ps");  // nothing can be renamed over a folder
    Click("Button_Exit_pdf");
    QVERIFY(window_->isVisible());
    QCOMPARE(CriticalMessages(), 1);
    QVERIFY(messages_.back().text.contains(QStringLiteral("Darvelle.ps")));
    QVERIFY(Find<QPushButton>("Button_Exit_pdf")->isEnabled());
    QCOMPARE(Find<darvelle::ui::ShapeBar>("Shape1")->BrushColor(), QColor(160, 160, 164));
    QCOMPARE(window_->UiLanguage(), darvelle::kFrench);
    // The user can still leave.
    Click("Button_Exit");
    QVERIFY(!window_->isVisible());
  }

  // A folder the report and curve files cannot go to costs the user neither
  // the map nor a message at every step: one warning names the folder.
  void unwritableOutputFolderStillDrawsTheMap() {
    auto options = Options(DataFolder());
    options.tempFolder = TempFolder() / "missing";  // the report files cannot be written
    QVERIFY(Start(options));
    QVERIFY(window_->isEnabled());
    QCOMPARE(CriticalMessages(), 0);
    const QString folder = QString::fromStdString(options.tempFolder.string());
    const auto namingTheFolder = [&] {
      return std::count_if(messages_.begin(), messages_.end(), [&](const Message& m) {
        return m.icon == QMessageBox::Warning && m.text.contains(folder);
      });
    };
    QCOMPARE(namingTheFolder(), 1);
    QVERIFY(!window_->DisplayImage().isNull());
    QVERIFY2(Panel(10).startsWith(QStringLiteral("nClin")), qPrintable(Panel(10)));
    const std::size_t before = messages_.size();
    Click("Button_plus_01_Ecl");
    QVERIFY(window_->isEnabled());
    QCOMPARE(messages_.size(), before);  // warned once
    QCOMPARE(window_->SelectedIndex(), 16687);
    QCOMPARE(window_->Computation().selectedIndex, 16687);  // and drawn
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#16687"));
  }

  void refusedOutputFolderDrawsTheMapAndWritesNothing() {
    auto options = Options(DataFolder());
    options.tempFolderProblem =
        "The output folder \"/tmp/darvelle-0\" is not used: it is a symbolic link.";
    QVERIFY(Start(options));
    QVERIFY(window_->isEnabled());
    QCOMPARE(CriticalMessages(), 0);
    QCOMPARE(std::count_if(messages_.begin(), messages_.end(),
                           [](const Message& m) {
                             return m.icon == QMessageBox::Warning &&
                                    m.text.contains(QStringLiteral("symbolic link"));
                           }),
             1);
    QVERIFY(!window_->DisplayImage().isNull());
    const std::size_t before = messages_.size();
    Click("Button_plus_01_Ecl");
    QCOMPARE(messages_.size(), before);  // warned once
    QCOMPARE(window_->Computation().selectedIndex, 16687);  // and drawn
    Click("Button_Exit");
    QVERIFY(!window_->isVisible());
    QVERIFY(fs::is_empty(TempFolder()));  // not a report, not a bitmap
  }

  void missingCatalogueEndsTheProgram_data() {
    QTest::addColumn<bool>("corrupt");
    QTest::newRow("missing") << false;
    QTest::newRow("not whole records") << true;
  }

  void missingCatalogueEndsTheProgram() {
    QFETCH(bool, corrupt);
    QTemporaryDir empty;
    const fs::path folder = empty.path().toStdString();
    if (corrupt) WriteFile(folder / darvelle::kCatalogueFileName, "0123456789", 10);
    QVERIFY(!Start(Options(folder)));
    QCOMPARE(CriticalMessages(), 1);
    const QString text = messages_.back().text;
    QVERIFY2(text.contains(QString::fromLatin1(darvelle::kCatalogueFileName.data())), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Places searched")), qPrintable(text));
    QVERIFY2(text.contains(QString::fromStdString(folder.string())), qPrintable(text));
  }

  void missingTextureAndCoastlinesAreReported() {
    StartDefault();
    QCOMPARE(CriticalMessages(), 0);
    bool texture = false;
    bool coastlines = false;
    for (const auto& m : messages_) {
      texture |= m.text.contains(QString::fromLatin1(darvelle::kTextureFileName.data()));
      coastlines |= m.text.contains(QString::fromLatin1(darvelle::kCoastlineFileName.data()));
    }
    QVERIFY(texture);
    QVERIFY(coastlines);
    QVERIFY(!Find<QCheckBox>("CheckBox_Farbe")->isEnabled());
    QCOMPARE(Panel(1), QStringLiteral("0 recs"));
    QVERIFY(!window_->DisplayImage().isNull());
  }

  void aboutAndHelp() {
    StartDefault();
    auto* about = Find<QWidget>("Panel_About");
    QVERIFY(!about->isVisible());
    Trigger("About1");
    QVERIFY(about->isVisible());
    auto* grid = Find<QTableWidget>("StringGrid_VersionsInfo");
    QCOMPARE(grid->rowCount(), 17);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("FileType        "));
    QCOMPARE(grid->item(3, 0)->text(), QStringLiteral("FileVersion     "));
    QCOMPARE(grid->item(3, 1)->text(), QString::fromLatin1(darvelle::kProgramVersion));
    QCOMPARE(grid->item(14, 1)->text(), QStringLiteral("No"));
    Click("Button_About_OK");
    QVERIFY(!about->isVisible());

    // The help opens at the contents in the window's language.
    Trigger("Deutsch1");
    Trigger("DVLHelp1");
    auto* browser = Find<QTextBrowser>("HelpBrowser");
    QVERIFY(browser->isVisible());
    QVERIFY(browser->source().toLocalFile().endsWith(QStringLiteral("help/darvelleEN/de/index.html")));
    Trigger("English1");
    Trigger("DVLHelp1");
    QVERIFY(browser->source().toLocalFile().endsWith(QStringLiteral("help/darvelleEN/index.html")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Contents")));
    // Every page of the contents opens.
    const QString contents = browser->toHtml();
    for (const char* page : {"selection.html", "timescale.html", "view.html", "map.html", "statusbar.html",
                             "menus.html", "exit.html", "files.html"}) {
      QVERIFY2(contents.contains(QString::fromLatin1(page)), page);
      browser->setSource(QUrl(QString::fromLatin1(page)));
      QVERIFY2(browser->toPlainText().contains(QStringLiteral("Contents")), page);
      QVERIFY2(browser->toPlainText().length() > 300, page);
      browser->home();
    }
    window_->close();
    QVERIFY(!browser->isVisible());
  }
};

std::unique_ptr<QObject> MakeLifecycleTest() { return std::make_unique<LifecycleTest>(); }

}  // namespace window_test

#include "lifecycle_test.moc"
