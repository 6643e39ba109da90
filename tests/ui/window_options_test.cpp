// The window program's command line, read after Qt has taken its own options.

#include <QtTest>

#include "ui/window_options.h"

using darvelle::ui::ReadWindowCommandLine;

class WindowOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void readsTheOptionsAndTheVariable_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("variable");  // DARVELLE_KEEP_FILES, "-" for unset
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("exitAfterFirstMap");
    QTest::addColumn<bool>("error");
    const QString p = QStringLiteral("darvelle");
    QTest::newRow("nothing") << QStringList{p} << "-" << "" << false << false << false;
    QTest::newRow("--data DIR") << QStringList{p, "--data", "/d"} << "-" << "/d" << false << false << false;
    QTest::newRow("--data=DIR, --keep-files")
        << QStringList{p, "--data=/d", "--keep-files"} << "-" << "/d" << true << false << false;
    QTest::newRow("the variable") << QStringList{p} << "1" << "" << true << false << false;
    QTest::newRow("the variable not 1") << QStringList{p} << "0" << "" << false << false << false;
    QTest::newRow("the check") << QStringList{p, "--exit-after-first-map"} << "-" << "" << false << true << false;
    QTest::newRow("--data without a folder") << QStringList{p, "--data"} << "-" << "" << false << false << true;
    QTest::newRow("--data=") << QStringList{p, "--data="} << "-" << "" << false << false << true;
    QTest::newRow("unknown") << QStringList{p, "--colour"} << "-" << "" << false << false << true;
    QTest::newRow("a bare word") << QStringList{p, "2024"} << "-" << "" << false << false << true;
  }

  void readsTheOptionsAndTheVariable() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, variable);
    QFETCH(QString, dataFolder);
    QFETCH(bool, keep);
    QFETCH(bool, exitAfterFirstMap);
    QFETCH(bool, error);
    const QByteArray value = variable.toUtf8();
    const auto line = ReadWindowCommandLine(arguments, variable == "-" ? nullptr : value.constData());
    QCOMPARE(!line.error.empty(), error);
    if (error) return;
    QCOMPARE(QString::fromStdString(line.dataFolder.value_or("").string()), dataFolder);
    QCOMPARE(line.keepFilesAtExit, keep);
    QCOMPARE(line.exitAfterFirstMap, exitAfterFirstMap);
  }
};

QTEST_APPLESS_MAIN(WindowOptionsTest)
#include "window_options_test.moc"
