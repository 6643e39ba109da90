// The File menu's saves and exports driven through the real window.

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QXmlStreamReader>

#include "catalogue/platform_folders.h"
#include "postscript/map_sheet.h"
#include "render/map.h"
#include "ui/window_settings.h"
#include "window_fixture.h"
#include "window_test_list.h"
#include "../support/file_faults.h"

namespace window_test {

using darvelle::ui::FileAnswer;
using darvelle::ui::FileQuestion;
using darvelle::ui::WindowSettings;

static QByteArray ReadAll(const fs::path& file) {
  QFile f(QString::fromStdString(file.string()));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// Runs a helper program; its exit code (-1 when it could not start) and what it printed.
struct Run {
  int code = -1;
  QString output;
};
static Run RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(120000)) return {};
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAll())};
}

class FilesTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // ------------------------------------------------------------ saving through the File menu

  // Every map picture, read back: the drawing itself without the legend; with
  // it, the legend picture's height and the colour key to its right.
  void mapPicturesInEachFormat_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << "SaveMap1" << "map.png" << "" << "map.png" << QByteArray("png");
    QTest::newRow("jpeg") << "SaveMap1" << "map.JPEG" << "" << "map.JPEG" << QByteArray("jpeg");
    QTest::newRow("bmp") << "SaveMap1" << "map.bmp" << "" << "map.bmp" << QByteArray("bmp");
    QTest::newRow("no suffix, jpeg filter") << "SaveMap1" << "map" << "JPEG image (*.jpg *.jpeg)"
                                            << "map.jpg" << QByteArray("jpeg");
    QTest::newRow("unknown suffix, png filter") << "SaveMap1" << "map.tif" << "PNG image (*.png)"
                                                << "map.tif.png" << QByteArray("png");
    QTest::newRow("legend png") << "SaveMapLegend1" << "legend.png" << "" << "legend.png" << QByteArray("png");
    QTest::newRow("legend jpeg") << "SaveMapLegend1" << "legend.jpg" << "" << "legend.jpg" << QByteArray("jpeg");
    QTest::newRow("legend bmp") << "SaveMapLegend1" << "legend.bmp" << "" << "legend.bmp" << QByteArray("bmp");
  }

  void mapPicturesInEachFormat() {
    QFETCH(QString, item);
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QString, expectedName);
    QFETCH(QByteArray, format);
    StartAt(kFirstSaros139);
    Trigger("English1");
    const std::size_t told = messages_.size();  // the texture and coastlines are missing
    const fs::path folder = Folder("pictures");
    QVERIFY(SaveThrough(item.toLatin1().constData(), folder / name.toStdString(), filter));
    const fs::path file = folder / expectedName.toStdString();
    QCOMPARE(LastSaved(), QString::fromStdString(file.string()));
    QImage saved;
    QVERIFY(saved.load(QString::fromStdString(file.string()), format.constData()));
    // The screen's drawing has the panel's size; files have the map as
    // drawn on the files' own canvas (here without texture and coastlines).
    const auto& shown = *window_->Session().Current();
    darvelle::MapRenderer files;
    files.DrawMap(*shown.computation, shown.drawnView, darvelle::EarthTexture{}, darvelle::CoastlineLayer{});
    const QImage drawing = files.DrawingImage();
    QCOMPARE(drawing.size(), QSize(darvelle::kMapWidth, darvelle::kMapHeight));
    if (item == QLatin1String("SaveMap1")) {
      QCOMPARE(saved.size(), drawing.size());
      if (format != "jpeg") {
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), drawing.convertToFormat(QImage::Format_RGB32));
      }
    } else {
      QCOMPARE(saved.height(), darvelle::kMapHeight + darvelle::kLegendExtraHeight);
      QVERIFY2(saved.width() > drawing.width() + 200, qPrintable(QString::number(saved.width())));
      // The map lies in it as drawn, below the title.
      if (format != "jpeg") {
        const QRect mapArea(0, darvelle::kLegendMapTop, drawing.width(), drawing.height());
        QCOMPARE(saved.copy(mapArea).convertToFormat(QImage::Format_RGB32),
                 drawing.convertToFormat(QImage::Format_RGB32));
        // The key beside it is not blank: swatches and names are drawn there.
        const QImage key = saved.copy(drawing.width(), 0, saved.width() - drawing.width(), saved.height());
        QVERIFY(DistinctColours(key) > 3);
      }
    }
    QCOMPARE(messages_.size(), told);
  }

  // What the dialog is asked: a suggested name after the eclipse's date in the
  // last folder used, the formats in the window's language; the folder is
  // remembered in the window's own settings file, not in the fixed one.
  void dialogSuggestsANameAndRemembersTheFolder() {
    StartDefault();
    const fs::path folder = Folder("remembered");
    QVERIFY(SaveThrough("SaveMap1", folder / "first.png"));
    const QString year = QStringLiteral("%1").arg(YearOf(window_->SelectedIndex()), 4, 10, QLatin1Char('0'));
    QCOMPARE(questions_.back().startPath,
             QDir::homePath() + QStringLiteral("/eclipse-%1-06-15.png").arg(year));
    QCOMPARE(questions_.back().filters.size(), 3);
    QVERIFY2(questions_.back().filters.front().startsWith(QStringLiteral("PNG-Bild")),
             qPrintable(questions_.back().filters.front()));  // the first start speaks German
    QCOMPARE(WindowSettings(SettingsFolder()).LastFolder(), QString::fromStdString(folder.string()));
    Trigger("Francais1");
    QVERIFY(SaveThrough("ExportKml1", folder / "path.kml"));
    QCOMPARE(questions_.back().startPath,
             QString::fromStdString((folder / ("eclipse-" + year.toStdString() + "-06-15.kml")).string()));
    QCOMPARE(questions_.back().title, QStringLiteral("Exporter en KML"));
    QVERIFY(SaveThrough("SaveReports1", folder));
    QCOMPARE(questions_.back().startPath, QString::fromStdString(folder.string()));
    QVERIFY(questions_.back().filters.isEmpty());
    // A new window starts where the last one saved.
    window_->close();
    window_.reset();
    QVERIFY(Start(Options(DataFolder())));
    QVERIFY(SaveThrough("SaveSheet1", folder / "sheet.ps"));
    QVERIFY(questions_.back().startPath.startsWith(QString::fromStdString(folder.string()) + "/eclipse-"));
    QVERIFY(questions_.back().startPath.endsWith(QStringLiteral(".pdf")));
    QCOMPARE(fs::file_size(SettingsFile()), std::uintmax_t{2108});
  }

  // The menu's captions follow the language like every other caption.
  void fileMenuSpeaksTheWindowsLanguage() {
    StartDefault();
    QMenu* file = Find<QMenu>("File1");
    const QList<QAction*> actions = file->actions();
    QVERIFY(actions.size() >= 9);
    QCOMPARE(actions.back()->objectName(), QStringLiteral("Exit1"));
    QVERIFY(actions[actions.size() - 2]->isSeparator());
    QCOMPARE(Find<QAction>("SaveMap1")->shortcut(), QKeySequence(QKeySequence::Save));
    const char* items[] = {"SaveMap1", "SaveMapLegend1", "SaveSheet1", "SaveReports1", "ExportKml1", "ExportGeoJson1"};
    QStringList german;
    for (const char* item : items) german << Find<QAction>(item)->text();
    QCOMPARE(german.front(), QStringLiteral("Karte &speichern unter …"));
    Trigger("English1");
    QCOMPARE(Find<QAction>("SaveSheet1")->text(), QStringLiteral("Save s&heet as (PDF, PostScript)…"));
    Trigger("Francais1");
    QCOMPARE(Find<QAction>("ExportGeoJson1")->text(), QStringLiteral("Exporter en &GeoJSON…"));
    QStringList french;
    for (const char* item : items) french << Find<QAction>(item)->text();
    for (int i = 0; i < german.size(); ++i) QVERIFY2(german[i] != french[i], qPrintable(german[i]));
    Trigger("Deutsch1");
    for (int i = 0; i < german.size(); ++i) QCOMPARE(Find<QAction>(items[i])->text(), german[i]);
  }

  // The sheet as PostScript and as PDF (Ghostscript, on a worker): the window
  // goes on taking input while the PDF is made.
  void sheetAsPostScriptAndPdf() {
    QVERIFY2(RunProgram(QStringLiteral("gs"), {QStringLiteral("--version")}).code == 0,
             "Ghostscript (gs) is missing: tools/setup.sh installs it");
    StartAt(kFirstSaros139);
    const fs::path folder = Folder("sheets");
    QVERIFY(SaveThrough("SaveSheet1", folder / "sheet.ps"));
    QVERIFY(ReadAll(folder / "sheet.ps").startsWith("%!PS"));

    const int before = window_->SelectedIndex();
    const std::string title = darvelle::SheetTitle(window_->Computation());
    QSignalSpy finished(window_.get(), &DarvelleWindow::saveFinished);
    Answer(folder / "sheet", QStringLiteral("PDF-Dokument (*.pdf)"));
    Find<QAction>("SaveSheet1")->trigger();
    QVERIFY(window_->IsSaving());
    QVERIFY(Find<QWidget>("SaveIndicator")->isVisible());
    // The window takes the next eclipse while Ghostscript works.
    Click("Button_plus_01_Ecl");
    QCOMPARE(window_->SelectedIndex(), before + 1);
    QVERIFY(finished.count() > 0 || finished.wait(kSettleLimitMs));
    QCOMPARE(finished.count(), 1);
    QVERIFY(finished.front().at(1).toBool());
    // The bar says it is done, then the note goes.
    auto* indicator = Find<QWidget>("SaveIndicator");
    QVERIFY(indicator->isVisible());
    QVERIFY(!indicator->findChild<QProgressBar*>()->isVisible());
    QCOMPARE(indicator->findChild<QLabel*>()->text(),
             darvelle::ui::SavedText(QStringLiteral("sheet.pdf"), window_->UiLanguage()));
    QTRY_VERIFY_WITH_TIMEOUT(!indicator->isVisible(), darvelle::ui::WindowStatusBar::kSavedShownMilliseconds + 2000);
    const fs::path pdf = folder / "sheet.pdf";
    QVERIFY(ReadAll(pdf).startsWith("%PDF-"));
    // Titled after the eclipse, as a viewer shows it.
    QVERIFY(ReadAll(pdf).contains("/Title(" + title + ")"));
    const Run check = RunProgram(QStringLiteral("gs"),
                                 {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                  QStringLiteral("-sDEVICE=nullpage"), QString::fromStdString(pdf.string())});
    QVERIFY2(check.code == 0 && !check.output.contains(QStringLiteral("Error")), qPrintable(check.output));
    // Only the PDF is left: its PostScript source was a temporary.
    QCOMPARE(darvelle::testing::NamesIn(folder), (std::vector<std::string>{"sheet.pdf", "sheet.ps"}));
    QCOMPARE(CriticalMessages(), 0);
  }

  // A close asked for while the PDF is being made hides the window at once
  // and is carried out when the file is whole.
  void aCloseDuringASaveWaitsForTheFile() {
    StartAt(kFirstSaros139);
    const fs::path pdf = Folder("closing") / "sheet.pdf";
    Answer(pdf);
    QStringList order;
    connect(window_.get(), &DarvelleWindow::saveFinished, this, [&] { order << QStringLiteral("saved"); });
    connect(window_.get(), &DarvelleWindow::closed, this, [&] { order << QStringLiteral("closed"); });
    QSignalSpy closed(window_.get(), &DarvelleWindow::closed);
    Find<QAction>("SaveSheet1")->trigger();
    QVERIFY(window_->IsSaving());
    window_->close();
    QVERIFY(!window_->isVisible());
    QVERIFY(closed.isEmpty());
    QVERIFY(closed.wait(kSettleLimitMs));
    QCOMPARE(order, (QStringList{QStringLiteral("saved"), QStringLiteral("closed")}));
    const QByteArray bytes = ReadAll(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(CriticalMessages(), 0);
  }

  // The report and curve files as the computation wrote them into its own
  // output folder, byte for byte.
  void reportFolderHoldsTheComputationsFiles() {
    StartAt(kFirstSaros139);
    const fs::path folder = Folder("reports");
    std::ofstream(folder / "mine.txt") << "kept";
    QVERIFY(SaveThrough("SaveReports1", folder));
    const std::vector<std::string> computed = darvelle::testing::NamesIn(TempFolder());
    QVERIFY2(computed.size() >= 10, qPrintable(QString::number(computed.size())));
    QVERIFY(std::find(computed.begin(), computed.end(), "Eckpunkt.txt") != computed.end());
    QVERIFY(std::find(computed.begin(), computed.end(), "CLinData.txt") != computed.end());
    std::vector<std::string> expected = computed;
    expected.push_back("mine.txt");
    std::sort(expected.begin(), expected.end());
    QCOMPARE(darvelle::testing::NamesIn(folder), expected);
    for (const std::string& name : computed) {
      QVERIFY2(ReadAll(folder / name) == ReadAll(TempFolder() / name), name.c_str());
    }
    QCOMPARE(ReadAll(folder / "mine.txt"), QByteArray("kept"));
  }

  // KML and GeoJSON read back by Qt and by GDAL.
  void gisExportsReadBack() {
    QVERIFY2(RunProgram(QStringLiteral("ogrinfo"), {QStringLiteral("--version")}).code == 0,
             "GDAL's ogrinfo is missing: tools/setup.sh installs gdal-bin");
    StartAt(kFirstSaros139);
    Trigger("English1");
    const fs::path folder = Folder("gis");
    QVERIFY(SaveThrough("ExportGeoJson1", folder / "path", QStringLiteral("GeoJSON (*.geojson *.json)")));
    QVERIFY(SaveThrough("ExportKml1", folder / "path.kml"));
    const fs::path geojson = folder / "path.geojson";
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(ReadAll(geojson), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QCOMPARE(json.object().value(QStringLiteral("type")).toString(), QStringLiteral("FeatureCollection"));
    const QJsonArray features = json.object().value(QStringLiteral("features")).toArray();
    QVERIFY(features.size() > 5);
    QSet<QString> kinds;
    for (const auto& f : features) kinds << f.toObject().value(QStringLiteral("geometry")).toObject().value(QStringLiteral("type")).toString();
    QVERIFY(kinds.contains(QStringLiteral("Point")));
    QVERIFY(kinds.contains(QStringLiteral("LineString")) || kinds.contains(QStringLiteral("MultiLineString")));

    QFile kmlFile(QString::fromStdString((folder / "path.kml").string()));
    QVERIFY(kmlFile.open(QIODevice::ReadOnly));
    QXmlStreamReader kml(&kmlFile);
    int placemarks = 0;
    QString root;
    while (!kml.atEnd()) {
      if (kml.readNext() != QXmlStreamReader::StartElement) continue;
      if (root.isEmpty()) root = kml.name().toString();
      if (kml.name() == QLatin1String("Placemark")) ++placemarks;
    }
    QVERIFY2(!kml.hasError(), qPrintable(kml.errorString()));
    QCOMPARE(root, QStringLiteral("kml"));
    QVERIFY(placemarks > 5);

    for (const fs::path& file : {geojson, folder / "path.kml"}) {
      const Run info = RunProgram(QStringLiteral("ogrinfo"),
                                  {QStringLiteral("-ro"), QStringLiteral("-so"), QString::fromStdString(file.string())});
      QVERIFY2(info.code == 0 && !info.output.contains(QStringLiteral("ERROR")), qPrintable(info.output));
      QVERIFY2(info.output.contains(QStringLiteral("1: ")), qPrintable(info.output));  // at least one layer
    }
    QCOMPARE(CriticalMessages(), 0);
  }

  // A save that cannot be done is reported naming the file and the cause; an
  // earlier file of that name stays, and the window goes on working.
  void failedSavesAreReportedAndChangeNothing_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("cause");
    const char* items[][2] = {{"SaveMap1", "map.png"},      {"SaveMapLegend1", "legend.jpg"},
                              {"SaveSheet1", "sheet.ps"},   {"SaveSheet1", "sheet.pdf"},
                              {"ExportKml1", "path.kml"},   {"ExportGeoJson1", "path.geojson"},
                              {"SaveReports1", ""}};
    for (const auto& [item, name] : items) {
      const QString row = QStringLiteral("%1 %2").arg(QString::fromLatin1(item), QString::fromLatin1(name));
      QTest::newRow(qPrintable(row + " missing folder")) << item << name << "missing folder" << "No such file";
      QTest::newRow(qPrintable(row + " full disk")) << item << name << "full disk" << "File too large";
      QTest::newRow(qPrintable(row + " read-only folder")) << item << name << "read-only folder" << "ermission denied";
    }
    QTest::newRow("pdf without ghostscript") << "SaveSheet1" << "sheet.pdf" << "no ghostscript" << "Ghostscript (gs)";
    QTest::newRow("pdf, ghostscript fails") << "SaveSheet1" << "sheet.pdf" << "failing ghostscript" << "/undefined";
  }

  void failedSavesAreReportedAndChangeNothing() {
    QFETCH(QString, item);
    QFETCH(QString, name);
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    StartAt(kFirstSaros139);
    Trigger("English1");
    const fs::path folder = Folder("faults");
    const bool toFolder = name.isEmpty();
    // The earlier file that must survive; in the folder, the central line,
    // which is written after the rise and set curves that overrun the limit.
    const fs::path earlier = toFolder ? folder / "CLinData.txt" : folder / name.toStdString();
    const std::string earlierText(20000, 'e');  // past the size limit below, as a real earlier file
    std::ofstream(earlier) << earlierText;
    fs::path target = toFolder ? folder : earlier;
    std::unique_ptr<darvelle::testing::FileSizeLimit> limit;
    const QByteArray path = qgetenv("PATH");
    if (fault == QLatin1String("missing folder")) {
      target = toFolder ? folder / "gone" : folder / "gone" / name.toStdString();
    } else if (fault == QLatin1String("read-only folder")) {
      fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
      if (::access(folder.c_str(), W_OK) == 0) {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        QSKIP("this user may write into read-only folders (root)");
      }
    } else if (fault == QLatin1String("no ghostscript")) {
      qputenv("PATH", QByteArray::fromStdString(Folder("empty").string()));
    } else if (fault == QLatin1String("failing ghostscript")) {
      const fs::path bin = Folder("bin");
      std::ofstream(bin / "gs") << "#!/bin/sh\necho 'Error: /undefined in --nostringval--' >&2\nexit 1\n";
      fs::permissions(bin / "gs", fs::perms::owner_all);
      qputenv("PATH", QByteArray::fromStdString(bin.string()) + ":" + path);
    }
    if (fault == QLatin1String("full disk")) {
      // Smaller than every file the save writes, larger than the settings files.
      limit = std::make_unique<darvelle::testing::FileSizeLimit>(4096);
    }
    const bool saved = SaveThrough(item.toLatin1().constData(), target);
    limit.reset();
    qputenv("PATH", path);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);

    QVERIFY(!saved);
    QCOMPARE(CriticalMessages(), 1);
    const QString text = messages_.back().text;
    QVERIFY2(text.contains(QString::fromStdString(target.string())), qPrintable(text));
    QVERIFY2(text.contains(cause), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Cause: ")), qPrintable(text));
    QVERIFY(!Find<QWidget>("SaveIndicator")->isVisible());  // nothing said saved
    QCOMPARE(ReadAll(earlier), QByteArray::fromStdString(earlierText));
    // No temporary left beside it.
    for (const std::string& n : darvelle::testing::NamesIn(folder)) {
      QVERIFY2(!darvelle::IsAtomicTemporaryName(n), n.c_str());
    }
    // The window goes on: the next eclipse, then the same save done right.
    const int before = window_->SelectedIndex();
    Click("Button_plus_01_Ecl");
    QCOMPARE(window_->SelectedIndex(), before + 1);
    QVERIFY(window_->isEnabled());
    if (!name.endsWith(QLatin1String(".pdf"))) {
      QVERIFY(SaveThrough(item.toLatin1().constData(), toFolder ? folder : earlier));
      QVERIFY(ReadAll(earlier) != QByteArray::fromStdString(earlierText));
    }
    QCOMPARE(CriticalMessages(), 1);
  }

  // Before any map there is nothing to save: said, and no dialog.
  void nothingToSaveBeforeTheFirstMap() {
    // FormCreate not called: no map yet, as after a start that found no catalogue.
    window_ = darvelle::ui::MakeMainWindow(Options(DataFolder()));
    window_->SetMessageSink([this](QMessageBox::Icon icon, const QString&, const QString& text) {
      messages_.push_back({icon, text});
    });
    int asked = 0;
    window_->SetFileAsker([&](QWidget*, const FileQuestion&) { ++asked; return FileAnswer{}; });
    Find<QAction>("SaveMap1")->trigger();
    Find<QAction>("ExportKml1")->trigger();
    QCOMPARE(asked, 0);
    QCOMPARE(int(messages_.size()), 2);
    QVERIFY(!window_->IsSaving());
  }

  // DARVELLE_UI_SCREENSHOTS=<folder>: the File menu open, and the files it
  // writes for 2024 April 8 (the sheet as PDF, the map with its legend), for a
  // person to look at. Run under xvfb with the xcb platform to see the menu.
  void fileMenuScreenshots() {
    const QByteArray out = qgetenv("DARVELLE_UI_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set DARVELLE_UI_SCREENSHOTS to a folder to take the pictures");
    const fs::path data = ShippedData();
    for (auto n : {darvelle::kCatalogueFileName, darvelle::kTextureFileName, darvelle::kCoastlineFileName}) {
      if (!fs::exists(data / n)) QSKIP("the shipped data is not in data/");
    }
    const fs::path folder = out.toStdString();
    QVERIFY(Start(Options(data)));
    window_->setWindowState(Qt::WindowNoState);
    window_->resize(1400, 900);
    Trigger("English1");
    Type("Edit_Jahr", QStringLiteral("2024"));
    Find<QCheckBox>("CheckBox_Farbe")->click();
    Settle();
    QVERIFY(SaveThrough("SaveMapLegend1", folder / "files_map_legend.png"));
    QVERIFY(SaveThrough("SaveSheet1", folder / "files_sheet.pdf"));
    QVERIFY(SaveThrough("ExportKml1", folder / "files_path.kml"));
    for (const char* language : {"English1", "Deutsch1"}) {
      Trigger(language);
      QMenu* file = Find<QMenu>("File1");
      window_->activateWindow();
      file->popup(window_->mapToGlobal(window_->menuBar()->geometry().bottomLeft()));
      QTest::qWait(300);
      QPixmap shot = window_->screen()->grabWindow(0);
      if (shot.isNull()) shot = window_->grab();
      QVERIFY(shot.save(QString::fromStdString((folder / (std::string("files_menu_") + language + ".png")).string())));
      file->hide();
    }
  }

 private:
  fs::path Folder(const char* name) const {
    const fs::path folder = RunFolder() / name;
    fs::create_directories(folder);
    return folder;
  }
  // The next dialog answers `path` with `filter`.
  void Answer(const fs::path& path, const QString& filter = {}) {
    window_->SetFileAsker([this, path, filter](QWidget*, const FileQuestion& question) {
      questions_.push_back(question);
      return FileAnswer{QString::fromStdString(path.string()), filter};
    });
  }
  // Chooses `item` and answers its dialog with `path`; true when the file
  // was written. Waits for the worker.
  bool SaveThrough(const char* item, const fs::path& path, const QString& filter = {}) {
    Answer(path, filter);
    QSignalSpy finished(window_.get(), &DarvelleWindow::saveFinished);
    Find<QAction>(item)->trigger();
    if (finished.isEmpty() && !finished.wait(kSettleLimitMs)) return false;
    lastSaved_ = finished.front().at(0).toString();
    return finished.front().at(1).toBool();
  }
  QString LastSaved() const { return lastSaved_; }
  static int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
      for (int x = 0; x < image.width(); x += 3) colours << image.pixel(x, y);
    }
    return colours.size();
  }

  std::vector<FileQuestion> questions_;
  QString lastSaved_;
};

std::unique_ptr<QObject> MakeFilesTest() { return std::make_unique<FilesTest>(); }

}  // namespace window_test

#include "files_test.moc"
