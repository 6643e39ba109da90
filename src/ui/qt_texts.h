#pragma once
// Qt's own texts in the window's language: the buttons of the file dialogs
// and message boxes, the edits' context menus. They come from Qt's
// translation catalogues (Debian's qt6-translations-l10n); where these are
// not installed, Qt's English stays.

#include <QTranslator>

#include <memory>

namespace darvelle::ui {

class QtStandardTexts {
 public:
  QtStandardTexts() = default;
  QtStandardTexts(const QtStandardTexts&) = delete;
  QtStandardTexts& operator=(const QtStandardTexts&) = delete;
  ~QtStandardTexts();

  // 0 German, 1 English, 2 French.
  void Use(int language);

 private:
  void Remove();

  int language_ = -1;
  std::unique_ptr<QTranslator> translator_;
};

}  // namespace darvelle::ui
