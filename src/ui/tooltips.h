#pragma once
// The tooltips of the window's controls in German, English and French, by
// the objectName of the control, in one table as the captions are
// (languages.h). Button_Exit_pdf keeps the hint it has always had, which
// ApplyLanguageCaptions sets.

#include <QString>
#include <span>

#include "catalogue/language.h"

class QObject;

namespace darvelle::ui {

struct TooltipRow {
  const char* objectName;
  const char* text[3];  // UTF-8, German, English, French
};

std::span<const TooltipRow> ControlTooltips();

// The tooltip of the control named `objectName` in `language`; empty when
// the table has none.
QString TooltipOf(const QString& objectName, Language language);

// Sets the tooltips of `language` on the children of `root` that carry the
// listed names. A name not found is skipped.
void ApplyTooltips(QObject* root, Language language);

}  // namespace darvelle::ui
