#include "ui/control_factory.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <cmath>

#include "astro/format.h"

namespace darvelle::ui {
namespace {

// What a QLineEdit keeps free beside its text inside the frame (2 pixels
// each side in Qt's own layout of the line).
constexpr int kLineEditSideMargins = 4;

}  // namespace

QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromWindows1252(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<double> ParseReal(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseInteger(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

QString OneDecimal(double value) {
  // An angle that rounds to zero reads 0.0, whichever side it comes from.
  const QString text = FromStd(FixedText(value, 1));
  return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}

double AsShownWithOneDecimal(double value) {
  return ParseReal(OneDecimal(value)).value_or(0.0);
}

QLineEdit* NewEdit(const char* name, const QString& text, const QString& widest, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFont(PixelFont(QStringLiteral("Arial"), 23, true));
  // The text's width, the frame and the edit's own margins on both sides,
  // and the cursor.
  const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  const QMargins margins = edit->textMargins();
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(widest) + 2 * frame + margins.left() +
                        margins.right() + kLineEditSideMargins + 2);
  return edit;
}

QMenu* AddMenu(QMenuBar& bar, const char* name, const char* caption) {
  QMenu* menu = bar.addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(PixelFont(QStringLiteral("Arial"), 18, true));
  return label;
}

QHBoxLayout* StepRow(QPushButton* minus10, QPushButton* minus1, QLineEdit* edit,
                     QPushButton* plus1, QPushButton* plus10) {
  auto* row = new QHBoxLayout;
  row->setSpacing(2);
  row->addWidget(minus10);
  row->addWidget(minus1);
  row->addWidget(edit, 1);
  row->addWidget(plus1);
  row->addWidget(plus10);
  return row;
}

}  // namespace darvelle::ui
