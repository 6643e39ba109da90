// Start-up without the window's thread reading the coastlines: the window is
// up and answering while they are read on a worker, and the first map is
// drawn with them once they are there. A texture cut short is used, and the
// user is told so once.

#include <QBuffer>
#include <QImage>
#include <QSemaphore>
#include <QThread>
#include <atomic>

#include "render/coastline_file.h"
#include "window_fixture.h"

namespace window_test {
namespace {

// A few coastline points in the file's own layout.
constexpr const char* kCoastlineText = "10.5 50.25\n-3.75 40.5\n139.75 35.5\n";
constexpr int kCoastlinePoints = 3;
// Far beyond any start-up, so that only a hang reaches it.
constexpr int kReleaseLimitMs = 60000;

}  // namespace

class StartupTest : public WindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpCase(); }
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // The coastlines are read on another thread, held back here until the
  // window has been built and shown; meanwhile the window has its labels
  // and answers a timer, and the first map waits for the points.
  void coastlinesAreReadOffTheWindowsThread() {
    QTemporaryDir folder;
    const fs::path data = DataWith(folder, kCoastlineText);
    QSemaphore release;
    std::atomic<QThread*> reader = nullptr;
    auto options = Options(data);
    options.readCoastlines = [&](const fs::path& file) {
      reader = QThread::currentThread();
      // Without a release (the window's thread waiting for this read) the
      // test fails below instead of hanging.
      release.tryAcquire(1, kReleaseLimitMs);
      return darvelle::LoadCoastlines(file);
    };
    window_ = darvelle::ui::MakeMainWindow(std::move(options));
    window_->SetMessageSink([this](QMessageBox::Icon icon, const QString&, const QString& text) {
      messages_.push_back({icon, text});
    });
    QSignalSpy painted(window_.get(), &DarvelleWindow::firstMapPainted);
    QVERIFY(window_->FormCreate());
    window_->show();
    QTRY_VERIFY(reader.load() != nullptr);
    QVERIFY(reader.load() != window_->thread());
    // The labels are there at once; the map is not, nor the point count.
    QCOMPARE(Panel(0), QStringLiteral("Eclipse#16686"));
    QVERIFY(window_->IsBusy());
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
    ticker.start(1);
    QTRY_VERIFY(ticks >= 3);
    QVERIFY(window_->IsBusy());
    QCOMPARE(painted.count(), 0);
    QVERIFY(Panel(1).isEmpty());
    release.release();
    Settle();
    QTRY_COMPARE(painted.count(), 1);
    QCOMPARE(Panel(1), QStringLiteral("%1 recs").arg(kCoastlinePoints));
    QVERIFY(!window_->DisplayImage().isNull());
    QVERIFY(std::none_of(messages_.begin(), messages_.end(), [](const Message& m) {
      return m.text.contains(QString::fromLatin1(darvelle::kCoastlineFileName.data()));
    }));
  }

  // A coastline file that cannot be read costs the map nothing: it is drawn
  // without them, and the user is told once which file and why.
  void unreadableCoastlinesAreReportedAfterTheMap() {
    QTemporaryDir folder;
    const fs::path data = DataWith(folder, "10.5 fifty\n");
    QVERIFY(Start(Options(data)));
    QTRY_COMPARE(Panel(1), QStringLiteral("0 recs"));
    QVERIFY(!window_->DisplayImage().isNull());
    QCOMPARE(CountMessagesNaming(darvelle::kCoastlineFileName), 1);
    QCOMPARE(CriticalMessages(), 0);
  }

  // A texture cut short decodes with a warning: the coloured Earth stays on
  // offer and is drawn, partly grey, and the user is told once.
  void truncatedTextureIsUsedAndReported() {
    QTemporaryDir folder;
    const fs::path data = DataWith(folder, kCoastlineText);
    WriteTruncatedTexture(data / darvelle::kTextureFileName);
    QVERIFY(Start(Options(data)));
    QTRY_COMPARE_WITH_TIMEOUT(CountMessagesNaming(darvelle::kTextureFileName), 1, kReleaseLimitMs);
    const QString told = messages_.back().text;
    QVERIFY2(told.contains(QStringLiteral("truncated")), qPrintable(told));
    QCOMPARE(messages_.back().icon, QMessageBox::Warning);
    auto* colored = Find<QCheckBox>("CheckBox_Farbe");
    QVERIFY(colored->isEnabled());
    const QImage plain = window_->DisplayImage().copy();
    colored->click();
    Settle();
    QVERIFY(colored->isChecked());
    QVERIFY(window_->DisplayImage() != plain);
    // Drawing again tells nothing new.
    Click("Button_plus_01_Ecl");
    QCOMPARE(CountMessagesNaming(darvelle::kTextureFileName), 1);
    QCOMPARE(CriticalMessages(), 0);
  }

 private:
  // A data folder with the test catalogue, the help and a coastline file.
  fs::path DataWith(const QTemporaryDir& folder, const char* coastlines) const {
    const fs::path data = folder.path().toStdString();
    fs::copy_file(DataFolder() / darvelle::kCatalogueFileName, data / darvelle::kCatalogueFileName);
    WriteFile(data / darvelle::kCoastlineFileName, coastlines, std::strlen(coastlines));
    return data;
  }

  // A JPEG of a whole (small) Earth in the texture's layout, cut off after
  // its first half: the decoder warns and leaves the rest grey.
  static void WriteTruncatedTexture(const fs::path& file) {
    QImage earth(864, 432, QImage::Format_RGB888);
    for (int y = 0; y < earth.height(); ++y) {
      for (int x = 0; x < earth.width(); ++x) earth.setPixelColor(x, y, QColor(20, 60 + y % 100, 120 + x % 100));
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(earth.save(&buffer, "JPG", 90));
    WriteFile(file, jpeg.constData(), static_cast<std::size_t>(jpeg.size() / 2));
  }

  int CountMessagesNaming(std::string_view file) const {
    const QString name = QString::fromLatin1(file.data(), static_cast<qsizetype>(file.size()));
    return static_cast<int>(std::count_if(messages_.begin(), messages_.end(),
                                          [&](const Message& m) { return m.text.contains(name); }));
  }
};

}  // namespace window_test

QTEST_MAIN(window_test::StartupTest)
#include "startup_test.moc"
