#pragma once
// What every window test shares: a catalogue of its own making (written once
// per test class) or the shipped data, a fresh window per test with its own
// temporary and settings folders, the messages it would have shown, and the
// helpers that drive its controls and its globe and wait for its session to
// settle.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_record.h"
#include "catalogue/platform_folders.h"
#include "catalogue/settings.h"
#include "darvelle/version.h"
#include "postscript/map_sheet.h"
#include "render/globe_interaction.h"
#include "ui/globe_view.h"
#include "ui/languages.h"
#include "ui/widgets.h"
#include "ui/year_eclipse_list.h"
#include "ui/darvelle_window.h"
#include "ui/window_status_bar.h"
#include "ui/widgets.h"

namespace window_test {

namespace fs = std::filesystem;
using darvelle::EclipseRecord;
using darvelle::Settings;
using darvelle::ui::DarvelleWindow;

// The test catalogue: years spread evenly from -4999 to 7000 (every year
// occurs, in order), filler records in Saros series above 282, and a few
// series placed where the tests need them.
inline constexpr int kCount = 16700;
inline const std::vector<int> kSeries100 = {5000, 5004, 5008, 5012, 5016, 5020};  // members 10 .. 15 of 71
inline const std::vector<int> kSeries150 = {kCount - 12, kCount - 8, kCount - 4, kCount};  // ends on the last record
inline const std::vector<int> kSeries120 = {1, 3, 7, 11};                               // starts on the first record
inline constexpr int kFirstSaros139 = 8000;
inline constexpr int kOnlySaros282 = 9000;
inline constexpr int kNonCentralAnnular = 5000;
// The Language menu's items, by the program's language number (German, English, French).
inline constexpr const char* kLanguageItems[] = {"Deutsch1", "English1", "Francais1"};
// Longest wait for a recomputation; far beyond any, so that only a hang reaches it.
inline constexpr int kSettleLimitMs = 600000;

inline int YearOf(int index) { return -4999 + static_cast<int>((static_cast<long long>(index - 1) * 11999) / (kCount - 1)); }

// The elements of a real total eclipse (1999 August 11), shared by every
// record so that each computation finds a complete eclipse.
inline EclipseRecord ElementsOfATotalEclipse() {
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

inline std::vector<EclipseRecord> MakeRecords() {
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

inline void WriteFile(const fs::path& file, const void* data, std::size_t size) {
  std::ofstream out(file, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A settings file as the program writes it, with some fields changed.
inline void WriteSettings(const fs::path& folder, const std::function<void(Settings&)>& change) {
  fs::create_directories(folder);
  Settings s = darvelle::NewSettings("1.0.0");
  change(s);
  darvelle::WriteSettingsFile(folder / darvelle::kSettingsFileName, s);
}

// The offscreen platform warns about window-manager hints it cannot give.
inline void SilenceWindowManagerHints() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("This plugin does not support"))) return;
    qt_message_output(type, context, text);
  });
}

struct Message {
  QMessageBox::Icon icon;
  QString text;
};

class WindowFixture : public QObject {
 protected:
  QTemporaryDir dataDir_;
  std::unique_ptr<QTemporaryDir> runDir_;
  std::unique_ptr<DarvelleWindow> window_;
  std::vector<Message> messages_;

  fs::path DataFolder() const { return dataDir_.path().toStdString(); }
  // The data the program ships: the real catalogue, texture, coastlines, help and cities.
  static fs::path ShippedData() { return fs::path(DARVELLE_TEST_DATA_DIR); }
  fs::path RunFolder() const { return fs::path(runDir_->path().toStdString()); }
  fs::path TempFolder() const { return RunFolder() / "tmp"; }
  fs::path SettingsFolder() const { return RunFolder() / "config" / "Darvelle"; }
  fs::path SettingsFile() const { return SettingsFolder() / darvelle::kSettingsFileName; }

  darvelle::ui::StartupOptions Options(const fs::path& data) const {
    darvelle::ui::StartupOptions o;
    o.dataFolder = data;
    o.tempFolder = TempFolder();
    o.settingsFolder = SettingsFolder();
    o.executable = QCoreApplication::applicationFilePath();
    return o;
  }

  // Starts a window, of `size` from its first drawing when one is given;
  // false when FormCreate found nothing to show.
  bool Start(darvelle::ui::StartupOptions options, std::optional<QSize> size = std::nullopt) {
    window_ = darvelle::ui::MakeMainWindow(std::move(options));
    window_->SetMessageSink([this](QMessageBox::Icon icon, const QString&, const QString& text) {
      messages_.push_back({icon, text});
    });
    if (!window_->FormCreate()) return false;
    window_->show();
    // After the show: a window shown first keeps the screen's size (the
    // offscreen screen is 800 pixels wide), too narrow for the docks.
    if (size) {
      window_->showNormal();
      window_->resize(*size);
      QApplication::processEvents();
    }
    Settle();
    return true;
  }
  void StartAt(int index) {
    WriteSettings(SettingsFolder(), [index](Settings& s) { s.EclipseIndex = index; });
    QVERIFY(Start(Options(DataFolder())));
    QCOMPARE(window_->SelectedIndex(), index);
  }
  void StartDefault() { QVERIFY(Start(Options(DataFolder()))); }
  void StartShipped(std::optional<QSize> size = std::nullopt) { QVERIFY(Start(Options(ShippedData()), size)); }

  // A fresh run on the shipped data in a window of a desktop's size.
  void StartShippedOnADesktop() {
    SetUp();
    StartShipped();
    window_->showNormal();
    window_->resize(1400, 900);
    Settle();
  }
  // Makes the window the active one, as the user's click on it does.
  void Activate() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  // Shows the window at `width` x `height` and waits for its drawing.
  void ResizeTo(int width, int height) {
    window_->showNormal();
    window_->resize(width, height);
    QTRY_COMPARE_WITH_TIMEOUT(window_->size(), QSize(width, height), 5000);
    QApplication::processEvents();
    Settle();
    QApplication::processEvents();
  }
  // With DARVELLE_UI_SCREENSHOTS set to a folder, a picture of the window
  // there (of the whole screen around it under xvfb, tooltips included).
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
    connect(window_.get(), &DarvelleWindow::becameIdle, &loop, &QEventLoop::quit);
    connect(window_.get(), &DarvelleWindow::closed, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSettleLimitMs, &loop, &QEventLoop::quit);  // a hang fails below
    loop.exec();
    // A window closed at once may still be fitting its last picture to a
    // panel that changed size; that ends by itself (a hang fails here).
    QTRY_VERIFY_WITH_TIMEOUT(!window_->IsBusy(), kSettleLimitMs);
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
  darvelle::ui::GlobeView* Globe() const { return Find<darvelle::ui::GlobeView>("GlobeInput"); }
  // The view the map on the screen was drawn with.
  const darvelle::GlobeProjection& Drawn() const { return *window_->Session().Current()->renderer->LastView(); }
  // A mouse event at a widget point of the globe.
  void SendMouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, Globe()->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(Globe(), &event);
  }
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

  // Once per test class: the catalogue and the help pages in a data folder.
  void SetUpCase() {
    SilenceWindowManagerHints();
    QVERIFY(dataDir_.isValid());
    const auto records = MakeRecords();
    WriteFile(DataFolder() / darvelle::kCatalogueFileName, records.data(),
              records.size() * sizeof(EclipseRecord));
    // The help pages come from the source tree; texture and coastlines are
    // left out on purpose (their absence is part of what is tested).
    fs::create_directory_symlink(ShippedData() / "help", DataFolder() / "help");
    QApplication::setQuitOnLastWindowClosed(false);
  }

  // Once per test class whose windows read the shipped data.
  void SetUpShippedCase() {
    SilenceWindowManagerHints();
    QApplication::setQuitOnLastWindowClosed(false);
  }

  void SetUp() {
    runDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runDir_->isValid());
    fs::create_directories(TempFolder());
    messages_.clear();
  }

  void TearDown() { window_.reset(); }
};

}  // namespace window_test
