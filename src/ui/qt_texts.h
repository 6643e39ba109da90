#pragma once
// Qt's own texts in the window's language: the buttons of the file dialogs
// and message boxes, the edits' context menus. They come from Qt's
// translation catalogues (Debian's qt6-translations-l10n); where these are
// not installed, Qt's English stays.

#include <QTranslator>

#include <memory>

#include "catalogue/language.h"

namespace darvelle::ui {

class QtStandardTexts {
 public:
  QtStandardTexts() = default;
  QtStandardTexts(const QtStandardTexts&) = delete;
  QtStandardTexts& operator=(const QtStandardTexts&) = delete;
  ~QtStandardTexts();

  void Use(Language language);

 private:
  void Remove();

  std::optional<Language> language_;
  std::unique_ptr<QTranslator> translator_;
};

}  // namespace darvelle::ui
