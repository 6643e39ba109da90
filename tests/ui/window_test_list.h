#pragma once
// The window tests that share one QApplication in ui_tests: each file makes
// its test object, window_tests_main.cpp runs them in turn.

#include <QObject>

#include <memory>

namespace window_test {

std::unique_ptr<QObject> MakeSelectionTest();
std::unique_ptr<QObject> MakeViewTest();
std::unique_ptr<QObject> MakeLifecycleTest();
std::unique_ptr<QObject> MakeSessionTest();
std::unique_ptr<QObject> MakeFilesTest();
std::unique_ptr<QObject> MakeWindowSettingsTest();

}  // namespace window_test
