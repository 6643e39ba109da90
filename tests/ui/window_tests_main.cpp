// The window's test classes in one program. Test functions named on the
// command line (as in `ui_tests screenshots`) run in the classes that have
// them; with none named every class runs whole.

#include <QApplication>
#include <QMetaMethod>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "window_test_list.h"


namespace {

bool HasFunction(const QObject& test, const QByteArray& name) {
  const QMetaObject* meta = test.metaObject();
  for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
    if (meta->method(i).name() == name) return true;
  }
  return false;
}

// The named test functions (arguments that are not options or their values).
std::vector<QByteArray> NamedFunctions(int argc, char** argv) {
  std::vector<QByteArray> names;
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg = argv[i];
    if (arg.startsWith('-')) {
      if (arg == "-o" || arg == "-maxwarnings" || arg == "-eventdelay" || arg == "-keydelay" ||
          arg == "-mousedelay" || arg == "-repeat" || arg == "-platform") {
        ++i;  // its value
      }
      continue;
    }
    const qsizetype tag = arg.indexOf(':');  // "function:data tag"
    names.push_back(tag < 0 ? arg : arg.left(tag));
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTEST_SET_MAIN_SOURCE_PATH
  std::vector<std::unique_ptr<QObject>> tests;
  tests.push_back(window_test::MakeSelectionTest());
  tests.push_back(window_test::MakeViewTest());
  tests.push_back(window_test::MakeLifecycleTest());
  tests.push_back(window_test::MakeSessionTest());
  tests.push_back(window_test::MakeFilesTest());
  tests.push_back(window_test::MakeWindowSettingsTest());
  const std::vector<QByteArray> named = NamedFunctions(argc, argv);
  int failures = 0;
  for (const auto& test : tests) {
    const bool wanted = named.empty() || std::any_of(named.begin(), named.end(), [&](const QByteArray& n) {
                          return HasFunction(*test, n);
                        });
    if (wanted) failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
