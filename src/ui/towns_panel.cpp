#include "ui/towns_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "astro/format.h"
#include "astro/instant.h"
#include "astro/iso_time.h"
#include "places/local_time.h"

namespace darvelle::ui {
namespace {

enum Column { kTown, kCountry, kRegion, kPopulation, kDuration, kMaximum, kMagnitude, kObscuration, kSunAltitude, kColumns };
constexpr int kTownRole = Qt::UserRole + 1;

// An item that sorts by a number while it shows a text.
class SortedItem : public QTableWidgetItem {
 public:
  SortedItem(const QString& text, double key) : QTableWidgetItem(text), key_(key) {
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    if (const auto* o = dynamic_cast<const SortedItem*>(&other)) return key_ < o->key_;
    return QTableWidgetItem::operator<(other);
  }

 private:
  double key_;
};

struct Captions {
  const char* title;
  const char* centralOnly;
  const char* magnitude;
  const char* columns[kColumns];
  const char* scanning;  // %1: eclipse index
  const char* found;     // %1: eclipse index, %2: towns
  const char* cut;       // %1: rows shown
};

const Captions kCaptions[3] = {
    {"Orte im Pfad", "Nur zentrale Phase", "Größe ≥ ",
     {"Ort", "Land", "Region", "Einwohner", "Dauer", "Maximum (Ortszeit)", "Größe", "Bedeckung", "Sonnenhöhe"},
     "Orte für Finsternis #%1 werden gesucht …", "Finsternis #%1: %2 Orte",
     ", die %1 mit der längsten Dauer oder größten Größe gezeigt"},
    {"Towns on the path", "Central phase only", "magnitude ≥ ",
     {"Town", "Country", "Region", "Population", "Duration", "Maximum (local)", "Magnitude", "Obscuration", "Sun alt."},
     "Looking for the towns of eclipse #%1…", "Eclipse #%1: %2 towns",
     ", the %1 with the longest duration or greatest magnitude shown"},
    {"Villes sur la bande", "Phase centrale seulement", "grandeur ≥ ",
     {"Ville", "Pays", "Région", "Habitants", "Durée", "Maximum (heure locale)", "Grandeur", "Obscuration", "Hauteur du Soleil"},
     "Recherche des villes de l'éclipse n° %1…", "Éclipse n° %1 : %2 villes",
     ", les %1 de plus longue durée ou de plus grande grandeur affichées"},
};

const Captions& CaptionsIn(Language language) { return kCaptions[LanguageIndex(language)]; }

}  // namespace

QString TownsPanel::Title(Language language) { return QString::fromUtf8(CaptionsIn(language).title); }

void TownsPanel::setLanguage(Language language) {
  language_ = language;
  const Captions& c = CaptionsIn(language);
  central_->setText(QString::fromUtf8(c.centralOnly));
  minMagnitude_->setPrefix(QString::fromUtf8(c.magnitude));
  QStringList headers;
  for (const char* column : c.columns) headers << QString::fromUtf8(column);
  table_->setHorizontalHeaderLabels(headers);
  ShowStatus();
}

void TownsPanel::ShowStatus() {
  const Captions& c = CaptionsIn(language_);
  if (!problem_.isEmpty()) {
    status_->setText(problem_);
  } else if (state_ == State::kScanning) {
    status_->setText(QString::fromUtf8(c.scanning).arg(eclipse_ ? eclipse_->index : 0));
  } else if (state_ == State::kDone) {
    QString text = QString::fromUtf8(c.found).arg(shownEclipse_).arg(found_);
    if (found_ > shownRows_) text += QString::fromUtf8(c.cut).arg(shownRows_);
    // Without the town list the note's last line says what is searched instead;
    // the whole note, with the folders searched, is the tooltip.
    const QString note = index_ ? QString::fromStdString(index_->Note()) : QString();
    if (!note.isEmpty()) text += QStringLiteral("\n") + note.section(QLatin1Char('\n'), -1);
    status_->setText(text);
    status_->setToolTip(note);
  }
}

TownsPanel::TownsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TownsPanel"));
  auto* layout = new QVBoxLayout(this);
  auto* filters = new QHBoxLayout;
  central_ = new QCheckBox(this);
  central_->setObjectName(QStringLiteral("TownsCentralOnly"));
  central_->setChecked(true);
  minMagnitude_ = new QDoubleSpinBox(this);
  minMagnitude_->setObjectName(QStringLiteral("TownsMinMagnitude"));
  minMagnitude_->setRange(0.0, 1.0);
  minMagnitude_->setDecimals(2);
  minMagnitude_->setSingleStep(0.05);
  minMagnitude_->setValue(0.9);
  minMagnitude_->setEnabled(false);
  filters->addWidget(central_);
  filters->addWidget(minMagnitude_);
  filters->addStretch(1);
  layout->addLayout(filters);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("TownsStatus"));
  status_->setWordWrap(true);
  // A long file name in a note must not widen the dock and squeeze the globe.
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(status_);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QStringLiteral("TownsTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->setSortingEnabled(true);
  layout->addWidget(table_, 1);

  connect(central_, &QCheckBox::toggled, this, [this](bool on) {
    minMagnitude_->setEnabled(!on);
    Start();
  });
  connect(minMagnitude_, &QDoubleSpinBox::valueChanged, this, [this] { Start(); });
  connect(&watcher_, &QFutureWatcherBase::finished, this, &TownsPanel::Scanned);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { Choose(row); });
  setLanguage(language_);
}

TownsPanel::~TownsPanel() { watcher_.waitForFinished(); }

void TownsPanel::setEclipse(const ShownEclipse& eclipse) {
  eclipse_ = eclipse;
  Start();
}

void TownsPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) Start();
}

void TownsPanel::Start() {
  if (!eclipse_) return;
  stale_ = true;
  if (!isVisible()) return;
  if (watcher_.isRunning()) {
    waiting_ = true;  // the newest request wins once this scan ends
    return;
  }
  waiting_ = false;
  stale_ = false;
  places::TownsFilter filter;
  filter.CentralOnly = central_->isChecked();
  filter.MinMagnitude = filter.CentralOnly ? 0.0 : minMagnitude_->value();
  const ShownEclipse eclipse = *eclipse_;
  state_ = State::kScanning;
  problem_.clear();
  ShowStatus();
  watcher_.setFuture(QtConcurrent::run(workers_, [index = index_, eclipse, filter]() -> Scan {
    Scan scan;
    scan.eclipse = eclipse.index;
    try {
      scan.index = index ? index : std::make_shared<const places::PlaceIndex>(places::PlaceIndex::Load("en"));
      // One worker of the window's pool already: the scan takes one more core.
      scan.towns = places::FindTownsOnPath(eclipse.elements, eclipse.deltaT, scan.index->Places(), filter, 2);
      // The rows kept when there are too many: the longest, then the deepest.
      places::SortTowns(scan.towns, scan.index->Places(), places::TownOrder::kDuration);
    } catch (const std::exception& e) {
      scan.problem = QStringLiteral("The town list could not be read: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return scan;
  }));
}

void TownsPanel::Scanned() {
  Scan scan = watcher_.result();
  if (scan.index) index_ = scan.index;
  if (waiting_ || stale_) {
    Start();
    return;
  }
  if (!scan.problem.isEmpty()) {
    problem_ = scan.problem;
    ShowStatus();
    return;
  }
  found_ = static_cast<int>(scan.towns.size());
  const int rows = std::min(found_, kMostRows);
  table_->setSortingEnabled(false);
  table_->clearContents();
  table_->setRowCount(rows);
  const auto& towns = index_->Places();
  const double deltaT = eclipse_ ? eclipse_->deltaT : 0.0;
  const double julianDay = eclipse_ ? eclipse_->elements.julianDay : 0.0;
  for (int r = 0; r < rows; ++r) {
    const places::TownOnPath& t = scan.towns[static_cast<std::size_t>(r)];
    const places::Place& town = towns[t.Town];
    const LocalCircumstances& l = t.Local;
    auto* name = new QTableWidgetItem(QString::fromStdString(town.Name));
    name->setData(kTownRole, static_cast<qulonglong>(t.Town));
    table_->setItem(r, kTown, name);
    table_->setItem(r, kCountry, new QTableWidgetItem(QString::fromStdString(town.CountryCode)));
    table_->setItem(r, kRegion, new QTableWidgetItem(QString::fromStdString(town.AdminArea)));
    // 0 is GeoNames' "not known": left blank, and below every known count.
    const bool counted = town.Population > 0;
    table_->setItem(r, kPopulation, new SortedItem(counted ? QString::number(town.Population) : QString(),
                                                   counted ? town.Population : -1.0));
    const double duration = l.DurationS.value_or(0.0);
    table_->setItem(r, kDuration,
                    new SortedItem(l.DurationS ? QStringLiteral("%1m %2s").arg(static_cast<int>(duration) / 60)
                                                     .arg(duration - 60 * (static_cast<int>(duration) / 60), 4, 'f', 1, QLatin1Char('0'))
                                               : QStringLiteral("–"),
                                   duration));
    QString maximum;
    double maximumKey = 0.0;
    if (l.Maximum) {
      const double jdUt = Instant::FromEpochHours(julianDay, l.Maximum->Time).JulianDayUT(deltaT);
      const places::LocalTime local = places::LocalTimeAt(jdUt, town.TimeZone, town.LongitudeDeg);
      maximum = QString::fromStdString(local.Text.substr(local.Text.find('T') + 1, 8) + " " + local.Abbreviation);
      maximumKey = jdUt;
    }
    table_->setItem(r, kMaximum, new SortedItem(maximum, maximumKey));
    table_->setItem(r, kMagnitude, new SortedItem(QString::number(l.Magnitude, 'f', 3), l.Magnitude));
    table_->setItem(r, kObscuration,
                    new SortedItem(QString::number(100.0 * l.Obscuration, 'f', 1) + QStringLiteral(" %"), l.Obscuration));
    const double altitude = l.Maximum ? l.Maximum->SunAltitudeDeg : 0.0;
    table_->setItem(r, kSunAltitude, new SortedItem(QString::number(altitude, 'f', 1) + QStringLiteral("°"), altitude));
  }
  table_->setSortingEnabled(true);
  table_->sortByColumn(kDuration, Qt::DescendingOrder);
  table_->resizeColumnsToContents();
  // Long names ("San Francisco de Horizonte (Horizonte)") would push the numbers out of the dock.
  table_->setColumnWidth(kTown, std::min(table_->columnWidth(kTown), 14 * fontMetrics().averageCharWidth()));
  table_->setColumnWidth(kRegion, std::min(table_->columnWidth(kRegion), 10 * fontMetrics().averageCharWidth()));
  shownRows_ = rows;
  shownEclipse_ = scan.eclipse;
  state_ = State::kDone;
  ShowStatus();
  emit scanFinished();
}

void TownsPanel::Choose(int row) {
  const QTableWidgetItem* item = table_->item(row, kTown);
  if (item == nullptr || !index_) return;
  const places::Place& town = index_->Places()[item->data(kTownRole).toULongLong()];
  ObserverPlace place;
  place.name = QString::fromStdString(places::LongLabel(town));
  place.latitudeDeg = town.LatitudeDeg;
  place.longitudeDeg = town.LongitudeDeg;
  place.timeZone = QString::fromStdString(town.TimeZone);
  place.cityId = QString::fromStdString(town.GeonameId);
  emit townChosen(place);
}

}  // namespace darvelle::ui
