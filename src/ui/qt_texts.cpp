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

bool QtStandardTexts::Use(int language) {
  language = KnownLanguage(language);
  if (language == language_) return translator_ != nullptr || kCatalogues[language] == nullptr;
  Remove();
  language_ = language;
  if (kCatalogues[language] == nullptr) return true;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromLatin1(kCatalogues[language]),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
  return true;
}

void QtStandardTexts::Remove() {
  if (translator_ == nullptr) return;
  QCoreApplication::removeTranslator(translator_.get());
  translator_.reset();
}

}  // namespace darvelle::ui
