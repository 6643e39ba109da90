#pragma once
// The small pieces every part of the window is made of: fonts in pixels,
// the edits, labels and step rows of the left panel, and the conversions
// between the core's texts and numbers and Qt's.

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/settings.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class QAction;
class QMenu;
class QMenuBar;

namespace darvelle::ui {

QFont PixelFont(const QString& family, int pixels, bool bold);

QString FromStd(const std::string& text);
// The eclipse texts are Windows-1252 bytes; those this program uses are all
// in the Latin-1 range.
QString FromWindows1252(std::string_view text);

// A finite number, or nothing for text that is not one.
std::optional<double> ParseReal(const QString& text);
std::optional<int> ParseInteger(const QString& text);
// "12.3": an angle as the view edits show it, one decimal.
QString OneDecimal(double value);
// The value an angle edit holds once `value` is written into it with one
// decimal: what the drawing uses, so that the map matches the edit.
double AsShownWithOneDecimal(double value);

// An edit of the column, at least as wide as its `widest` text.
QLineEdit* NewEdit(const char* name, const QString& text, const QString& widest, QWidget* parent);
QLabel* NewLabel(const char* name, const QString& text, QWidget* parent);
// A menu of `bar` and an item of `menu`, named for the tests and the captions' tables.
QMenu* AddMenu(QMenuBar& bar, const char* name, const char* caption);
QAction* AddItem(QMenu* menu, const char* name, const char* caption);
// A row of [<<][<][edit][>][>>], the layout of every stepped value.
QHBoxLayout* StepRow(QPushButton* minus10, QPushButton* minus1, QLineEdit* edit,
                     QPushButton* plus1, QPushButton* plus10);

}  // namespace darvelle::ui

namespace darvelle::ui {

// The globe radius the size edit accepts, in pixels: kMinGlobeSize ..
// kMaxGlobeSize of catalogue/settings.h.

// Panel0's medium grey, also the idle colour of the busy bar.
inline const QColor kPanelGrey{160, 160, 164};
inline const QColor kBusyRed{255, 0, 0};

}  // namespace darvelle::ui
