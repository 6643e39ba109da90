#pragma once
// "Eclipses visible from here": every eclipse of the catalogue the observer
// sees, filtered by years, the least magnitude and the kind, with the date,
// the kind, the magnitude, the local time of the maximum and the Sun's
// altitude then. The scan runs on a worker (a few tens of milliseconds for
// the whole catalogue); a filter changed while it runs starts a new one when
// it ends, and only the newest is shown. Double-clicking a row (or Enter)
// chooses that eclipse.

#include <QDate>
#include <QDialog>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/besselian_elements.h"
#include "ui/local_texts.h"
#include "catalogue/language.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace darvelle {
class Catalogue;
}

namespace darvelle::ui {

// The kinds of eclipse on the whole Earth the list may show (the
// catalogue's classification: a total eclipse seen partial from here is
// "total"), as bits.
enum VisibleKind : unsigned {
  kShowTotal = 1u << 0,
  kShowAnnular = 1u << 1,
  kShowHybrid = 1u << 2,
  kShowPartial = 1u << 3,
  kShowAll = kShowTotal | kShowAnnular | kShowHybrid | kShowPartial,
};

struct VisibleQuery {
  ObserverPlace place;
  int fromYear = 2000;
  int toYear = 2100;
  double minMagnitude = 0.0;  // while the Sun is up
  unsigned kinds = kShowAll;
  // Eclipses dated before this day are left out (none when not valid): the
  // dialog starts at today, not at the first of January.
  QDate notBefore;
};

// One eclipse of the list, with the texts that do not depend on the language.
struct VisibleRow {
  int index = 0;            // catalogue index
  EclipseKind catalogueKind = EclipseKind::Partial;  // on the whole Earth
  LocalKind localKind = LocalKind::kNone;
  Visibility seen = Visibility::kNone;
  QString date;             // "2026-08-12", TT date of greatest eclipse
  double magnitude = 0.0;   // greatest with the Sun up
  QString maximumLocal;     // "2026-08-12 20:28:10 CEST"
  double sunAltitudeDeg = 0.0;  // at the maximum
};

// The scan itself (any thread): the rows for `query`, in date order.
std::vector<VisibleRow> ScanVisibleEclipses(const Catalogue& catalogue, const VisibleQuery& query);

class VisibleEclipsesDialog : public QDialog {
  Q_OBJECT

 public:
  enum Column { kDateColumn, kKindColumn, kMagnitudeColumn, kLocalColumn, kAltitudeColumn,
                kVisibilityColumn, kColumnCount };
  static constexpr int kIndexRole = Qt::UserRole;

  // The catalogue must outlive the dialog.
  VisibleEclipsesDialog(const Catalogue* catalogue, QWidget* parent = nullptr);
  // Waits for a scan still running: it reads the catalogue.
  ~VisibleEclipsesDialog() override;

  // Where the scans run (Qt's global pool unless told otherwise); it must
  // outlive the dialog's scans.
  void setWorkers(QThreadPool* workers) { workers_ = workers; }
  void setPlace(const ObserverPlace& place);
  void setLanguage(Language language);
  // The filters as the controls show them.
  VisibleQuery query() const;
  // True while a scan runs or waits.
  bool scanning() const { return watcher_.isRunning() || pending_; }
  const std::vector<VisibleRow>& rows() const { return rows_; }

 signals:
  void eclipseChosen(int catalogueIndex);
  // The list shows the answer to the filters as they stand.
  void listed();

 private:
  void BuildControls();
  void ApplyCaptions();
  void Rescan();
  void Scanned();
  void Fill();
  void WidenToColumns();
  QString CountText() const;
  void Choose(QTableWidgetItem* item);

  const Catalogue* catalogue_;
  Language language_ = kEnglish;
  std::optional<ObserverPlace> place_;
  std::vector<VisibleRow> rows_;
  QThreadPool* workers_ = QThreadPool::globalInstance();
  QFutureWatcher<std::vector<VisibleRow>> watcher_;
  bool pending_ = false;

  QLabel* placeLabel_ = nullptr;
  QLabel* fromCaption_ = nullptr;
  QLabel* toCaption_ = nullptr;
  QLabel* magnitudeCaption_ = nullptr;
  QSpinBox* from_ = nullptr;
  QSpinBox* to_ = nullptr;
  QDoubleSpinBox* minMagnitude_ = nullptr;
  QCheckBox* kinds_[4] = {};
  QTableWidget* table_ = nullptr;
  QLabel* count_ = nullptr;
  QPushButton* show_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace darvelle::ui
