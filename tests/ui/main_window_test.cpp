// The main window driven through its controls, found by objectName, on the
// offscreen platform. Every test starts a fresh window on a catalogue of its
// own making, with its own temporary and settings folders.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QEventLoop>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_record.h"
#include "catalogue/platform_folders.h"
#include "catalogue/settings.h"
#include "darvelle/version.h"
#include "postscript/map_sheet.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace fs = std::filesystem;
using darvelle::EclipseRecord;
using darvelle::Settings;
using darvelle::ui::MainWindow;

namespace {

// The test catalogue: years spread evenly from -4999 to 7000 (every year
// occurs, in order), filler records in Saros series above 282, and a few
// series placed where the tests need them.
constexpr int kCount = 16700;
const std::vector<int> kSeries100 = {5000, 5004, 5008, 5012, 5016, 5020};  // members 10 .. 15 of 71
const std::vector<int> kSeries150 = {kCount - 12, kCount - 8, kCount - 4, kCount};  // ends on the last record
const std::vector<int> kSeries120 = {1, 3, 7, 11};                               // starts on the first record
constexpr int kFirstSaros139 = 8000;
constexpr int kOnlySaros282 = 9000;
constexpr int kNonCentralAnnular = 5000;
// Longest wait for a recomputation; far beyond any, so that only a hang reaches it.
constexpr int kSettleLimitMs = 600000;

int YearOf(int index) { return -4999 + static_cast<int>((static_cast<long long>(index - 1) * 11999) / (kCount - 1)); }

// The elements of a real total eclipse (1999 August 11), shared by every
// record so that each computation finds a complete eclipse.
EclipseRecord ElementsOfATotalEclipse() {
  EclipseRecord r{};
  r.EclipseType = darvelle::kTotal;
  r.Gamma = 0.5062;
  r.EpochHour = 11;
  r.LunationNumber = -5;
  r.XPoly = {{0.0700420, 0.5443035, -0.0000406, -0.0000081}};
  r.YPoly = {{0.5028410, -0.1184929, -0.0001158, 0.0000017}};
  r.DPoly = {{15.3273401, -0.0120350, -0.0000030, 0.0}};
  r.L1Poly = {{0.5424690, 0.0001168, -0.0000117, 0.0}};
  r.L2Poly = {{-0.0036500, 0.0001163, -0.0000116, 0.0}};
  r.MuPoly = {{343.687408, 15.002980, 0.0, 0.0}};
  r.TanF1Poly = {{0.0046129, 0, 0, 0}};
  r.TanF2Poly = {{0.0045900, 0, 0, 0}};
  r.SunDistancePoly = {{1.0, 0, 0, 0}};
  r.MoonDistancePoly = {{0.0025, 0, 0, 0}};
  return r;
}

std::vector<EclipseRecord> MakeRecords() {
  const EclipseRecord base = ElementsOfATotalEclipse();
  std::vector<EclipseRecord> records(kCount, base);
  for (int i = 1; i <= kCount; ++i) {
    EclipseRecord& r = records[static_cast<std::size_t>(i - 1)];
    r.Year = YearOf(i);
    r.Month = 6;
    r.Day = 15;
    r.SarosNumber = 300 + i % 400;
    r.SarosMember = 1;
    r.SarosMemberCount = 1;
  }
  auto series = [&](const std::vector<int>& members, int saros, int firstMember, int count) {
    for (std::size_t k = 0; k < members.size(); ++k) {
      EclipseRecord& r = records[static_cast<std::size_t>(members[k] - 1)];
      r.SarosNumber = saros;
      r.SarosMember = firstMember + static_cast<int>(k);
      r.SarosMemberCount = count;
    }
  };
  series(kSeries100, 100, 10, 71);
  series(kSeries150, 150, 1, 4);
  series(kSeries120, 120, 1, 4);
  series({kFirstSaros139, kFirstSaros139 + 100}, 139, 1, 2);
  series({kOnlySaros282}, 282, 1, 1);
  records[kNonCentralAnnular - 1].EclipseType = darvelle::kNonCentralAnnular;
  return records;
}

void WriteFile(const fs::path& file, const void* data, std::size_t size) {
  std::ofstream out(file, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A settings file as the program writes it, with some fields changed.
void WriteSettings(const fs::path& folder, const std::function<void(Settings&)>& change) {
  fs::create_directories(folder);
  Settings s = darvelle::NewSettings("1.0.0");
  change(s);
  darvelle::WriteSettingsFile(folder / darvelle::kSettingsFileName, s);
}

struct Message {
  QMessageBox::Icon icon;
  QString text;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dataDir_;
  std::unique_ptr<QTemporaryDir> runDir_;
  std::unique_ptr<MainWindow> window_;
  std::vector<Message> messages_;

  fs::path DataFolder() const { return dataDir_.path().toStdString(); }
  fs::path TempFolder() const { return fs::path(runDir_->path().toStdString()) / "tmp"; }
  fs::path SettingsFolder() const { return fs::path(runDir_->path().toStdString()) / "config" / "Darvelle"; }
  fs::path SettingsFile() const { return SettingsFolder() / darvelle::kSettingsFileName; }

  darvelle::ui::StartupOptions Options(const fs::path& data) const {
    darvelle::ui::StartupOptions o;
    o.dataFolder = data;
    o.tempFolder = TempFolder();
    o.settingsFolder = SettingsFolder();
    o.computerName = "test-host";
    o.keepFilesHost = "keeping-host";
    o.executable = QCoreApplication::applicationFilePath();
    return o;
  }

  // Starts a window; false when FormCreate found nothing to show.
  bool Start(darvelle::ui::StartupOptions options) {
    window_ = std::make_unique<MainWindow>(std::move(options));
    window_->SetMessageSink([this](QMessageBox::Icon icon, const QString&, const QString& text) {
      messages_.push_back({icon, text});
    });
    if (!window_->FormCreate()) return false;
    window_->show();
    Settle();
    return true;
  }
  void StartAt(int index) {
    WriteSettings(SettingsFolder(), [index](Settings& s) { s.EclipseIndex = index; });
    QVERIFY(Start(Options(DataFolder())));
    QCOMPARE(window_->SelectedIndex(), index);
  }
  void StartDefault() { QVERIFY(Start(Options(DataFolder()))); }

  template <class T>
  T* Find(const char* name) const {
    auto* control = window_->findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) qFatal("no control named %s", name);
    return control;
  }
  // Waits until the window has shown what the last input asked for: the
  // recomputation, the redraw or the exit files are done.
  void Settle() {
    if (!window_->IsBusy()) return;
    QEventLoop loop;
    connect(window_.get(), &MainWindow::becameIdle, &loop, &QEventLoop::quit);
    connect(window_.get(), &MainWindow::closed, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSettleLimitMs, &loop, &QEventLoop::quit);  // a hang fails below
    loop.exec();
    QVERIFY(!window_->IsBusy());
  }
  void Click(const char* button) {
    Find<QPushButton>(button)->click();
    Settle();
  }
  void Trigger(const char* item) {
    Find<QAction>(item)->trigger();
    Settle();
  }
  void Type(const char* edit, const QString& text) {
    auto* e = Find<QLineEdit>(edit);
    e->setText(text);
    // The release follows once the window takes input again.
    QTest::keyPress(e, Qt::Key_Return);
    Settle();
    QTest::keyRelease(e, Qt::Key_Return);
  }
  QString Panel(int i) const { return Find<QLabel>(QStringLiteral("StatusPanel%1").arg(i).toLatin1().constData())->text(); }
  int CriticalMessages() const {
    return static_cast<int>(std::count_if(messages_.begin(), messages_.end(),
                                          [](const Message& m) { return m.icon == QMessageBox::Critical; }));
  }
  int FirstOfYear(int year) const { return FirstOfYearStatic(year); }
  static int FirstOfYearStatic(int year) {
    for (int i = 1; i <= kCount; ++i) {
      if (YearOf(i) >= year) return i;
    }
    return kCount;
  }

 private slots:
  void initTestCase() {
    // The offscreen platform warns about window-manager hints it cannot give.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
      if (text.contains(QStringLiteral("This plugin does not support"))) return;
      qt_message_output(type, context, text);
    });
    QVERIFY(dataDir_.isValid());
    const auto records = MakeRecords();
    WriteFile(DataFolder() / darvelle::kCatalogueFileName, records.data(),
              records.size() * sizeof(EclipseRecord));
    // The help pages come from the source tree; texture and coastlines are
    // left out on purpose (their absence is part of what is tested).
    fs::create_directory_symlink(fs::path(DARVELLE_TEST_DATA_DIR) / "help", DataFolder() / "help");
    QApplication::setQuitOnLastWindowClosed(false);
  }

  void init() {
    runDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runDir_->isValid());
    fs::create_directories(TempFolder());
    messages_.clear();
  }

  void cleanup() { window_.reset(); }

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

    // Orthographic: white outside the globe; stereographic: light grey all over.
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
    QCOMPARE(window_->UiLanguage(), language);
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

  // ------------------------------------------------------------ settings and start-up

  void firstStart() {
    StartDefault();
    QCOMPARE(window_->SelectedIndex(), 16686);
    QCOMPARE(window_->UiLanguage(), 0);
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
    QTest::newRow("index 0, pen 7") << 0 << 1 << 7 << 3;
    QTest::newRow("index 99999, pen 0") << 99999 << kCount << 0 << 1;
    QTest::newRow("index 12, pen 2") << 12 << 12 << 2 << 2;
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
    QCOMPARE(window_->UiLanguage(), 2);
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
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("kept");
    QTest::newRow("another computer") << "test-host" << false;
    QTest::newRow("the computer named at build time") << "keeping-host" << true;
  }
  void outputFilesLiveFromRecomputeToClose() {
    QFETCH(QString, host);
    QFETCH(bool, kept);
    auto options = Options(DataFolder());
    options.computerName = host.toStdString();
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
    QCOMPARE(window_->UiLanguage(), 2);
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

  void statusPanels() {
    StartAt(FirstOfYear(1999));
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#%1").arg(FirstOfYear(1999)));
    QVERIFY2(Panel(10).startsWith(QStringLiteral("nClin")), qPrintable(Panel(10)));
    const int widths[] = {87, 76, 77, 77, 77, 77, 77, 77, 75, 72, 60, 72, 75, 80, 80, 70, 70};
    for (int i = 0; i < 17; ++i) {
      QCOMPARE(Find<QLabel>(QStringLiteral("StatusPanel%1").arg(i).toLatin1().constData())->maximumWidth(), widths[i]);
    }
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

    Trigger("DVLHelp1");
    auto* browser = Find<QTextBrowser>("HelpBrowser");
    QVERIFY(browser->isVisible());
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

  // The shipped data: the catalogue, the texture and the coastlines together.
  void shippedData() {
    const fs::path data = DARVELLE_TEST_DATA_DIR;
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

  // The finest recomputation of 2024 April 8 runs on a worker: a timer on the
  // window's thread keeps firing through it, and a close asked for in the
  // middle of it is answered at once (the window leaves the screen while the
  // worker is still busy) and carried out when the worker is done.
  void windowAnswersDuringTheFinestRecomputation() {
    const fs::path data = DARVELLE_TEST_DATA_DIR;
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

  // DARVELLE_UI_SCREENSHOTS=<folder>: pictures of the window in each language,
  // coloured and plain, orthographic and stereographic, for a person to look at.
  void screenshots() {
    const QByteArray out = qgetenv("DARVELLE_UI_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set DARVELLE_UI_SCREENSHOTS to a folder to take the pictures");
    QTemporaryDir withPictures;
    const fs::path data = withPictures.path().toStdString();
    fs::copy_file(DataFolder() / darvelle::kCatalogueFileName, data / darvelle::kCatalogueFileName);
    for (auto name : {darvelle::kTextureFileName, darvelle::kCoastlineFileName}) {
      const fs::path source = fs::path(DARVELLE_TEST_DATA_DIR) / name;
      if (fs::exists(source)) fs::create_symlink(source, data / name);
    }
    fs::create_directory_symlink(fs::path(DARVELLE_TEST_DATA_DIR) / "help", data / "help");
    WriteSettings(SettingsFolder(), [](Settings& s) { s.EclipseIndex = FirstOfYearStatic(1999); });
    QVERIFY(Start(Options(data)));
    window_->setWindowState(Qt::WindowNoState);
    window_->resize(1700, 1000);
    QApplication::processEvents();
    const char* items[] = {"Deutsch1", "English1", "Francais1"};
    const char* names[] = {"de", "en", "fr"};
    for (int l = 0; l < 3; ++l) {
      Trigger(items[l]);
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

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
