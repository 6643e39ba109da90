#pragma once
// The window's status bar and everything on it: the seventeen panels in their
// fixed widths, the cursor's place at the right end, and the note of a save
// beside the panels. Each fact the window shows there has its own call; no
// other part of the window touches the bar's widgets.

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstddef>
#include <functional>

#include "render/curve_drawing.h"
#include "ui/status_panels.h"
#include "catalogue/language.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace darvelle::ui {

class EarthLoads;
class GlobeView;

class WindowStatusBar : public QObject {
  Q_OBJECT

 public:
  // How long "Saved NAME" stays beside the panels, in milliseconds.
  static constexpr int kSavedShownMilliseconds = 5000;

  // Fills `bar` (the main window's), which outlives this.
  explicit WindowStatusBar(QStatusBar* bar);

  void ShowEclipseNumber(int index);
  void ShowCoastlinePoints(std::size_t count);
  // The curve counts of the last map go while a new one is computed; the
  // panels 13 to 16 stay until the drawing replaces them.
  void ClearCurveCounts();
  void ShowDrawnCurves(const DrawnCurves& drawn);

  void ShowCursor(double latitude, double longitude, Language language);
  void ClearCursor();
  // The cursor's place over `globe`, in the language `language` gives.
  void FollowCursor(const GlobeView& globe, std::function<Language()> language);
  // The loads' passing words and the coastline points once read.
  void FollowLoads(const EarthLoads& loads);

  // A save under way, its end, or a failed one (the note goes).
  void ShowSaving(const QString& fileName, Language language);
  void ShowSaved(const QString& fileName, Language language);
  void HideSaveNote();

  // A passing word over the panels (the texture being loaded, a Saros
  // series not found); 0 ms keeps it until cleared.
  void ShowMessage(const QString& text, int milliseconds = 0);
  void ClearMessage();

 private:
  void SetPanel(int panel, const QString& text);
  void BuildSaveNote();

  QStatusBar* bar_;
  std::array<QLabel*, kStatusPanelCount> panels_{};
  QLabel* cursorPlace_ = nullptr;
  QWidget* saveNote_ = nullptr;
  QLabel* saveLabel_ = nullptr;
  QWidget* saveBusyBar_ = nullptr;
  QTimer savedShown_;
};

}  // namespace darvelle::ui
