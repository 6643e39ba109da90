#include "ui/delta_t_entry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "catalogue/eclipse_texts.h"
#include "ui/entry_check.h"
#include "ui/languages.h"

namespace darvelle::ui {
namespace {

constexpr const char* kEstimate[kLanguageCount] = {"Schätzung", "estimate", "estimation"};

}  // namespace

QString DeltaTText(std::optional<double> seconds) {
  return seconds ? QString::number(*seconds, 'f', 1) : QString();
}

DeltaTEntry::DeltaTEntry(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DeltaTEntry"));
  label_ = new QLabel(QStringLiteral("ΔT (s)"), this);
  label_->setObjectName(QStringLiteral("Label_DeltaT"));
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit_DeltaT"));
  edit_->setClearButtonEnabled(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(label_);
  row->addWidget(edit_, 1);
  connect(edit_, &QLineEdit::returnPressed, this, &DeltaTEntry::Enter);
  SetLanguage(kEnglish);
}

void DeltaTEntry::SetLanguage(Language language) {
  edit_->setPlaceholderText(TextIn(kEstimate, language));
}

void DeltaTEntry::ShowDeltaT(std::optional<double> seconds) {
  shown_ = seconds;
  edit_->setText(DeltaTText(seconds));
}

void DeltaTEntry::Enter() {
  const auto asked = DeltaTOfEntry(edit_->text());
  if (!asked) {
    // Not a DeltaT: the one in force stays, and the entry's check says so.
    edit_->setText(DeltaTText(shown_));
    return;
  }
  if (*asked == shown_) {
    edit_->setText(DeltaTText(shown_));
    return;
  }
  emit deltaTChosen(*asked);
}

}  // namespace darvelle::ui
