#pragma once
// "Towns on the path": every town of the town list that sees the eclipse the
// window shows, with the duration of totality or annularity, the local time
// of the maximum in the town's own zone, magnitude, obscuration and the Sun's
// altitude; sortable by any column. Lives in its own dock, a tab beside the
// local circumstances.
//
// The town list is read and the towns are computed on the window's workers
// (a few tenths of a second for 135,000 towns), only while the panel is
// shown: a tab behind another costs nothing at each eclipse. An eclipse or filter changed
// meanwhile starts a new scan when the running one ends, and only the newest
// is shown. A double-click chooses the town as the observer.

#include <QFutureWatcher>
#include <QThreadPool>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "places/place_index.h"
#include "places/towns_on_path.h"
#include "ui/local_texts.h"
#include "catalogue/language.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace darvelle::ui {

class TownsPanel : public QWidget {
  Q_OBJECT

 public:
  // Rows the table holds at most, the longest durations (then the largest
  // magnitudes) first: a partial eclipse is seen from tens of thousands of towns.
  static constexpr int kMostRows = 2000;

  explicit TownsPanel(QWidget* parent = nullptr);
  // Waits for a scan still running.
  ~TownsPanel() override;

  // Where the list is read and the towns computed; it must outlive the scans.
  void setWorkers(QThreadPool* workers) { workers_ = workers; }
  // Scans at once when the panel is shown, else when it is next shown.
  void setEclipse(const ShownEclipse& eclipse);
  // The towns found for the eclipse shown (before the row limit); none
  // before the first scan has ended.
  int townsFound() const { return found_; }
  bool scanning() const { return watcher_.isRunning(); }

 protected:
  void showEvent(QShowEvent* event) override;

 public:
  // The captions' language (kGerman, kEnglish, kFrench); the rows stay.
  void setLanguage(Language language);
  // The dock's title in a language.
  static QString Title(Language language);

 signals:
  void townChosen(const darvelle::ui::ObserverPlace& place);
  void scanFinished();

 private:
  struct Scan {
    std::shared_ptr<const places::PlaceIndex> index;
    std::vector<places::TownOnPath> towns;
    QString problem;
    int eclipse = 0;
  };
  void Start();
  void Scanned();
  void Choose(int row);
  void ShowStatus();

  QThreadPool* workers_ = QThreadPool::globalInstance();
  std::optional<ShownEclipse> eclipse_;
  bool waiting_ = false;  // a scan asked for while one runs
  bool stale_ = false;    // the rows are not those of eclipse_ and the filters
  std::shared_ptr<const places::PlaceIndex> index_;
  QFutureWatcher<Scan> watcher_;
  int found_ = 0;
  int shownRows_ = 0;
  int shownEclipse_ = 0;
  Language language_ = kEnglish;
  QString problem_;
  enum class State { kNone, kScanning, kDone } state_ = State::kNone;

  QCheckBox* central_ = nullptr;
  QDoubleSpinBox* minMagnitude_ = nullptr;
  QLabel* status_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace darvelle::ui
