#include "ui/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "ui/languages.h"

namespace darvelle::ui {
namespace {

// Qt's catalogue of each language; English needs none.
constexpr const char* kCatalogues[3] = {"qtbase_de", nullptr, "qtbase_fr"};

}  // namespace

QtStandardTexts::~QtStandardTexts() { Remove(); }

void QtStandardTexts::Use(Language language) {
  if (language == language_) return;
  Remove();
  language_ = language;
  if (kCatalogues[LanguageIndex(language)] == nullptr) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromLatin1(kCatalogues[LanguageIndex(language)]),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return;  // not installed: Qt's English
  }
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
}

void QtStandardTexts::Remove() {
  if (translator_ == nullptr) return;
  QCoreApplication::removeTranslator(translator_.get());
  translator_.reset();
}

}  // namespace darvelle::ui
