#pragma once
// The window's captions and hints in German, English and French, by the
// objectName of the control they belong to. Controls not listed keep their
// caption in every language (step buttons, the resolution, pen-width and
// language items, the About panel).

#include <QString>
#include <span>

#include "catalogue/language.h"

class QObject;

namespace darvelle::ui {

// The language stored as `number` in a settings file; a number that names
// none reads as English, the language of a new settings file.
Language KnownLanguage(int number);
// One entry of a table of UTF-8 texts indexed by Language.
QString TextIn(const char* const (&texts)[kLanguageCount], Language language);

struct CaptionRow {
  const char* objectName;
  const char* text[kLanguageCount];  // UTF-8, indexed by Language
};

// Every caption that follows the language, in the window's order.
std::span<const CaptionRow> LanguageCaptions();

// The hint of Button_Exit_pdf; its line break is a single carriage return.
QString ExitPdfHint(Language language);

// Sets the captions and the hint of `language` on the children of `root`
// that carry the listed object names (group boxes, buttons, labels, check
// and radio boxes, menus and menu items). A name not found is skipped.
void ApplyLanguageCaptions(QObject* root, Language language);

// Sets the caption of one control whatever its kind.
void SetCaption(QObject* control, const QString& caption);
// The caption of one control whatever its kind (empty for an unknown kind).
QString Caption(const QObject* control);

}  // namespace darvelle::ui

namespace darvelle::ui {

// Status-bar text when no record carries the Saros number entered.
QString SarosNotFoundText(int saros, Language language);
// The report and curve files cannot be written to `folder` because of `cause`.
QString OutputFailureText(const QString& folder, const QString& cause);

}  // namespace darvelle::ui
