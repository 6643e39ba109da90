#include "ui/window_status_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>

#include "catalogue/eclipse_texts.h"
#include "render/coastline_file.h"
#include "ui/control_factory.h"
#include "ui/earth_loads.h"
#include "ui/globe_view.h"
#include "ui/save_actions.h"
#include "ui/widgets.h"

namespace darvelle::ui {
namespace {

constexpr int kPanelWidths[kStatusPanelCount] = {87, 76, 77, 77, 77, 77, 77, 77, 75,
                                                 72, 60, 72, 75, 80, 80, 70, 70};
// The panels a new computation empties: the curve counts of the last map.
constexpr int kFirstCurvePanel = 2;
constexpr int kLastClearedPanel = 12;

}  // namespace

WindowStatusBar::WindowStatusBar(QStatusBar* bar) : QObject(bar), bar_(bar) {
  bar_->setObjectName(QStringLiteral("StatusBar1"));
  bar_->setFont(PixelFont(QStringLiteral("Arial Narrow"), 15, false));
  bar_->setSizeGripEnabled(false);
  // The panels keep their widths at any window width: they sit in a row as
  // wide as they are, inside a strip that takes what room the bar has left.
  // In a narrow window the last ones are cut off at the strip's right end,
  // instead of being laid over each other and over the cursor's place.
  auto* strip = new QWidget(bar_);
  strip->setObjectName(QStringLiteral("StatusPanelStrip"));
  strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* row = new QWidget(strip);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(bar_->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
  for (int i = 0; i < kStatusPanelCount; ++i) {
    auto* panel = new QLabel(row);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFixedWidth(kPanelWidths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(panel);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
  row->setFixedSize(layout->sizeHint());
  strip->setFixedHeight(row->height());
  bar_->addWidget(strip, 1);

  // Beside the seventeen panels, not one of them: the bar's permanent
  // widget at the right end.
  cursorPlace_ = new QLabel(bar_);
  cursorPlace_->setObjectName(QStringLiteral("CursorPlace"));
  cursorPlace_->setMinimumWidth(cursorPlace_->fontMetrics().horizontalAdvance(
      CursorCoordinateText(-88.88, -188.88, kEnglish) + QStringLiteral("  ")));
  bar_->addPermanentWidget(cursorPlace_);
}

void WindowStatusBar::SetPanel(int panel, const QString& text) {
  if (panel >= 0 && panel < kStatusPanelCount) panels_[static_cast<std::size_t>(panel)]->setText(text);
}

void WindowStatusBar::ShowEclipseNumber(int index) {
  SetPanel(kEclipseNumberPanel, QStringLiteral("Eclipse#%1").arg(index));
}

void WindowStatusBar::ShowCoastlinePoints(std::size_t count) {
  SetPanel(kCoastlinePanel, QString::fromStdString(CoastlineStatusText(count)));
}

void WindowStatusBar::ClearCurveCounts() {
  for (int p = kFirstCurvePanel; p <= kLastClearedPanel; ++p) SetPanel(p, QString());
}

void WindowStatusBar::ShowDrawnCurves(const DrawnCurves& drawn) {
  const StatusPanelTexts texts = StatusPanelTextsOf(drawn);
  for (int p = 0; p < kStatusPanelCount; ++p) {
    if (const std::optional<QString>& text = texts[static_cast<std::size_t>(p)]) SetPanel(p, *text);
  }
  // The drawing's progress words ("Program running...", "Done.") would cover
  // the seventeen panels, which hold what the user reads; they are left out.
}

void WindowStatusBar::ShowCursor(double latitude, double longitude, Language language) {
  cursorPlace_->setText(CursorCoordinateText(latitude, longitude, language));
}

void WindowStatusBar::ClearCursor() { cursorPlace_->clear(); }

void WindowStatusBar::BuildSaveNote() {
  saveNote_ = new QWidget(bar_);
  saveNote_->setObjectName(QStringLiteral("SaveIndicator"));
  auto* row = new QHBoxLayout(saveNote_);
  row->setContentsMargins(4, 0, 4, 0);
  saveLabel_ = new QLabel(saveNote_);
  saveLabel_->setFont(PixelFont(QStringLiteral("Arial"), 13, false));
  auto* bar = new QProgressBar(saveNote_);
  bar->setRange(0, 0);  // how long Ghostscript takes is unknown: a busy bar
  bar->setFixedSize(60, 12);
  bar->setTextVisible(false);
  saveBusyBar_ = bar;
  row->addWidget(saveLabel_);
  row->addWidget(bar);
  bar_->addPermanentWidget(saveNote_);
  savedShown_.setSingleShot(true);
  savedShown_.setInterval(kSavedShownMilliseconds);
  connect(&savedShown_, &QTimer::timeout, saveNote_, &QWidget::hide);
}

void WindowStatusBar::ShowSaving(const QString& fileName, Language language) {
  if (saveNote_ == nullptr) BuildSaveNote();
  savedShown_.stop();
  saveLabel_->setText(SavingText(fileName, language));
  saveBusyBar_->show();
  saveNote_->show();
}

// Beside the panels, not over them as a status message would be.
void WindowStatusBar::ShowSaved(const QString& fileName, Language language) {
  if (saveNote_ == nullptr) BuildSaveNote();
  saveLabel_->setText(SavedText(fileName, language));
  saveBusyBar_->hide();
  saveNote_->show();
  savedShown_.start();
}

void WindowStatusBar::HideSaveNote() {
  if (saveNote_ != nullptr) saveNote_->hide();
}

void WindowStatusBar::ShowMessage(const QString& text, int milliseconds) {
  bar_->showMessage(text, milliseconds);
}

void WindowStatusBar::ClearMessage() { bar_->clearMessage(); }

void WindowStatusBar::FollowCursor(const GlobeView& globe, std::function<Language()> language) {
  connect(&globe, &GlobeView::cursorMoved, this, [this, language = std::move(language)](double latitude, double longitude) {
    ShowCursor(latitude, longitude, language());
  });
  connect(&globe, &GlobeView::cursorLeftGlobe, this, &WindowStatusBar::ClearCursor);
}

void WindowStatusBar::FollowLoads(const EarthLoads& loads) {
  connect(&loads, &EarthLoads::status, this, [this](const QString& text) { ShowMessage(text); });
  connect(&loads, &EarthLoads::coastlinePointsRead, this, &WindowStatusBar::ShowCoastlinePoints);
}

}  // namespace darvelle::ui
