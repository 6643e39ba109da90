#include "ui/visible_eclipses_dialog.h"

#include <QCheckBox>
#include <QDate>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <tuple>

#include "astro/instant.h"
#include "astro/iso_time.h"
#include "catalogue/catalogue.h"
#include "catalogue/eclipse_texts.h"
#include "geometry/visible_eclipses.h"
#include "places/local_time.h"
#include "reports/local_words.h"
#include "ui/control_factory.h"
#include "ui/languages.h"
#include "ui/tooltips.h"
#include "ui/year_eclipse_list.h"

namespace darvelle::ui {
namespace {

constexpr int kFirstYear = -4999;
constexpr int kLastYear = 7000;


constexpr const char* kTitle[3] = {"Von hier sichtbare Finsternisse", "Eclipses visible from here",
                                   "Éclipses visibles d'ici"};
constexpr const char* kFrom[3] = {"Von Jahr", "From year", "De l'an"};
constexpr const char* kTo[3] = {"bis", "to", "à"};
constexpr const char* kLeastMagnitude[3] = {"Mindestgröße", "Least magnitude", "Grandeur minimale"};
constexpr const char* kKinds[4][3] = {{"Total", "Total", "Totale"},
                                      {"Ringförmig", "Annular", "Annulaire"},
                                      {"Hybrid", "Hybrid", "Hybride"},
                                      {"Partiell", "Partial", "Partielle"}};
constexpr const char* kKindNames[4] = {"VisibleKindTotal", "VisibleKindAnnular", "VisibleKindHybrid",
                                       "VisibleKindPartial"};
constexpr const char* kHeaders[VisibleEclipsesDialog::kColumnCount][3] = {
    {"Datum (TT)", "Date (TT)", "Date (TT)"},
    {"Art", "Kind", "Type"},
    {"Größe", "Magnitude", "Grandeur"},
    {"Maximum (Ortszeit)", "Maximum (local time)", "Maximum (heure locale)"},
    {"Sonnenhöhe", "Sun alt.", "Haut. Soleil"},
    {"Sichtbar", "Seen", "Visible"}};
constexpr const char* kHere[4][3] = {{"", "", ""},
                                     {"hier partiell", "partial here", "partielle ici"},
                                     {"hier ringförmig", "annular here", "annulaire ici"},
                                     {"hier total", "total here", "totale ici"}};
constexpr const char* kCount[3] = {"%1 Finsternisse von %2 bis %3", "%1 eclipses from %2 to %3",
                                    "%1 éclipses de %2 à %3"};
constexpr const char* kOne[3] = {"1 Finsternis von %1 bis %2", "1 eclipse from %1 to %2",
                                 "1 éclipse de %1 à %2"};
// An empty list says what would widen it; more kinds only while some are left out.
constexpr const char* kNoneHint[3] = {
    "Keine Finsternis von %1 bis %2: mehr Jahre, eine kleinere Mindestgröße oder mehr Arten wählen.",
    "No eclipse from %1 to %2: choose more years, a smaller least magnitude or more kinds.",
    "Aucune éclipse de %1 à %2 : choisissez plus d'années, une grandeur minimale plus petite ou plus "
    "de types."};
constexpr const char* kNoneHintAllKinds[3] = {
    "Keine Finsternis von %1 bis %2: mehr Jahre oder eine kleinere Mindestgröße wählen.",
    "No eclipse from %1 to %2: choose more years or a smaller least magnitude.",
    "Aucune éclipse de %1 à %2 : choisissez plus d'années ou une grandeur minimale plus petite."};
constexpr const char* kSearching[3] = {"Suche\u2026", "Searching\u2026", "Recherche\u2026"};
constexpr const char* kShow[3] = {"Zeigen", "Show", "Afficher"};
constexpr const char* kClose[3] = {"Schließen", "Close", "Fermer"};

unsigned KindBit(EclipseKind catalogueKind) {
  switch (catalogueKind) {
    case EclipseKind::Total:
    case EclipseKind::NonCentralTotal: return kShowTotal;
    case EclipseKind::Annular:
    case EclipseKind::NonCentralAnnular: return kShowAnnular;
    case EclipseKind::Hybrid: return kShowHybrid;
    case EclipseKind::Partial: break;
  }
  return kShowPartial;
}

}  // namespace

std::vector<VisibleRow> ScanVisibleEclipses(const Catalogue& catalogue, const VisibleQuery& query) {
  VisibleEclipseFilter filter;
  filter.FromYear = query.fromYear;
  filter.ToYear = query.toYear;
  filter.MinMagnitude = query.minMagnitude;
  const Observer observer = ObserverOf(query.place);
  const std::string zone = query.place.timeZone.toStdString();
  std::vector<VisibleRow> rows;
  for (const VisibleEclipse& v : FindVisibleEclipses(catalogue, observer, filter)) {
    const EclipseDescription eclipse = DescriptionOf(catalogue, v.Index);
    if ((KindBit(eclipse.kind) & query.kinds) == 0) continue;
    if (query.notBefore.isValid() &&
        std::tuple(eclipse.year, eclipse.month, eclipse.day) <
            std::tuple(query.notBefore.year(), query.notBefore.month(), query.notBefore.day())) {
      continue;
    }
    VisibleRow row;
    row.index = v.Index;
    row.catalogueKind = eclipse.kind;
    // What the place sees with the Sun up: a total eclipse after sunset is partial here.
    row.localKind = v.Local.SeenKind();
    row.seen = v.Local.Seen;
    row.date = EclipseDateText(eclipse.year, eclipse.month, eclipse.day);
    row.magnitude = v.Local.VisibleMagnitude();
    if (v.Local.Maximum) {
      // The Julian Day as the window's computation has it (recomputed from the date).
      const double jd = Instant::FromEpochHours(CurrentElements(catalogue, v.Index).julianDay, v.Local.Maximum->Time)
                            .JulianDayUT(v.DeltaT);
      const places::LocalTime local = places::LocalTimeAt(jd, zone, query.place.longitudeDeg);
      QString text = QString::fromStdString(local.Text);
      text = text.left(text.indexOf(QLatin1Char('.'))).replace(QLatin1Char('T'), QLatin1Char(' '));
      row.maximumLocal = text + QLatin1Char(' ') + QString::fromStdString(local.Abbreviation);
      row.sunAltitudeDeg = v.Local.Maximum->SunAltitudeDeg;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

VisibleEclipsesDialog::VisibleEclipsesDialog(const Catalogue* catalogue, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue) {
  setObjectName(QStringLiteral("VisibleEclipsesDialog"));
  BuildControls();
  ApplyCaptions();
  connect(&watcher_, &QFutureWatcherBase::finished, this, &VisibleEclipsesDialog::Scanned);
  resize(760, 520);
}

VisibleEclipsesDialog::~VisibleEclipsesDialog() { watcher_.waitForFinished(); }

void VisibleEclipsesDialog::BuildControls() {
  auto* column = new QVBoxLayout(this);
  placeLabel_ = new QLabel(this);
  placeLabel_->setObjectName(QStringLiteral("VisiblePlace"));
  QFont bold = placeLabel_->font();
  bold.setBold(true);
  placeLabel_->setFont(bold);
  column->addWidget(placeLabel_);

  auto* filters = new QHBoxLayout;
  fromCaption_ = new QLabel(this);
  from_ = new QSpinBox(this);
  from_->setObjectName(QStringLiteral("VisibleFromYear"));
  toCaption_ = new QLabel(this);
  to_ = new QSpinBox(this);
  to_->setObjectName(QStringLiteral("VisibleToYear"));
  for (QSpinBox* year : {from_, to_}) {
    year->setRange(kFirstYear, kLastYear);
    year->setKeyboardTracking(false);  // a year half typed is no request
  }
  const int thisYear = QDate::currentDate().year();
  from_->setValue(thisYear);
  to_->setValue(std::min(thisYear + 100, kLastYear));
  magnitudeCaption_ = new QLabel(this);
  minMagnitude_ = new QDoubleSpinBox(this);
  minMagnitude_->setObjectName(QStringLiteral("VisibleMinMagnitude"));
  minMagnitude_->setRange(0.0, 1.0);
  minMagnitude_->setDecimals(2);
  minMagnitude_->setSingleStep(0.05);
  minMagnitude_->setKeyboardTracking(false);
  filters->addWidget(fromCaption_);
  filters->addWidget(from_);
  filters->addWidget(toCaption_);
  filters->addWidget(to_);
  filters->addSpacing(12);
  filters->addWidget(magnitudeCaption_);
  filters->addWidget(minMagnitude_);
  filters->addSpacing(12);
  for (int k = 0; k < 4; ++k) {
    kinds_[k] = new QCheckBox(this);
    kinds_[k]->setObjectName(QString::fromLatin1(kKindNames[k]));
    kinds_[k]->setChecked(true);
    filters->addWidget(kinds_[k]);
    connect(kinds_[k], &QCheckBox::toggled, this, &VisibleEclipsesDialog::Rescan);
  }
  filters->addStretch(1);
  column->addLayout(filters);
  connect(from_, &QSpinBox::valueChanged, this, &VisibleEclipsesDialog::Rescan);
  connect(to_, &QSpinBox::valueChanged, this, &VisibleEclipsesDialog::Rescan);
  connect(minMagnitude_, &QDoubleSpinBox::valueChanged, this, &VisibleEclipsesDialog::Rescan);

  table_ = new QTableWidget(0, kColumnCount, this);
  table_->setObjectName(QStringLiteral("VisibleEclipsesTable"));
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  connect(table_, &QTableWidget::itemDoubleClicked, this, &VisibleEclipsesDialog::Choose);
  connect(table_, &QTableWidget::itemActivated, this, &VisibleEclipsesDialog::Choose);
  column->addWidget(table_, 1);

  auto* bottom = new QHBoxLayout;
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("VisibleCount"));
  bottom->addWidget(count_, 1);
  auto* buttons = new QDialogButtonBox(this);
  show_ = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
  show_->setObjectName(QStringLiteral("VisibleShowButton"));
  show_->setEnabled(false);
  close_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
  close_->setObjectName(QStringLiteral("VisibleCloseButton"));
  // Showing an eclipse leaves the list open, to try the next one.
  connect(show_, &QPushButton::clicked, this, [this] { Choose(table_->currentItem()); });
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(table_, &QTableWidget::itemSelectionChanged, this,
          [this] { show_->setEnabled(!table_->selectedItems().isEmpty()); });
  bottom->addWidget(buttons);
  column->addLayout(bottom);
}

void VisibleEclipsesDialog::ApplyCaptions() {
  setWindowTitle(TextIn(kTitle, language_));
  fromCaption_->setText(TextIn(kFrom, language_));
  toCaption_->setText(TextIn(kTo, language_));
  magnitudeCaption_->setText(TextIn(kLeastMagnitude, language_));
  for (int k = 0; k < 4; ++k) kinds_[k]->setText(TextIn(kKinds[k], language_));
  QStringList headers;
  for (const auto& header : kHeaders) headers << TextIn(header, language_);
  table_->setHorizontalHeaderLabels(headers);
  show_->setText(TextIn(kShow, language_));
  close_->setText(TextIn(kClose, language_));
  ApplyTooltips(this, language_);
  if (place_) {
    placeLabel_->setText(FormatLocalCircumstances({}, *place_, {}, language_).place);
  }
}

void VisibleEclipsesDialog::setLanguage(Language language) {
  if (language == language_) return;
  language_ = language;
  ApplyCaptions();
  Fill();
}

void VisibleEclipsesDialog::setPlace(const ObserverPlace& place) {
  if (place_ && *place_ == place) return;
  place_ = place;
  ApplyCaptions();
  Rescan();
}

VisibleQuery VisibleEclipsesDialog::query() const {
  VisibleQuery q;
  if (place_) q.place = *place_;
  q.fromYear = from_->value();
  q.toYear = to_->value();
  // From this year means from today: this year's eclipses already past are
  // no more to be seen.
  const QDate today = QDate::currentDate();
  if (q.fromYear == today.year()) q.notBefore = today;
  q.minMagnitude = minMagnitude_->value();
  q.kinds = 0;
  for (int k = 0; k < 4; ++k) {
    if (kinds_[k]->isChecked()) q.kinds |= 1u << k;
  }
  return q;
}

void VisibleEclipsesDialog::Rescan() {
  if (!place_ || catalogue_ == nullptr) return;
  if (watcher_.isRunning()) {
    // The newest filters win: one more scan when this one ends.
    pending_ = true;
    return;
  }
  pending_ = false;
  count_->setText(TextIn(kSearching, language_));
  const Catalogue* catalogue = catalogue_;
  const VisibleQuery q = query();
  watcher_.setFuture(QtConcurrent::run(workers_, [catalogue, q] { return ScanVisibleEclipses(*catalogue, q); }));
}

void VisibleEclipsesDialog::Scanned() {
  if (pending_) {
    Rescan();
    return;
  }
  rows_ = watcher_.result();
  Fill();
  emit listed();
}

void VisibleEclipsesDialog::Fill() {
  table_->setUpdatesEnabled(false);
  table_->clearContents();
  table_->setRowCount(static_cast<int>(rows_.size()));
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const VisibleRow& row = rows_[static_cast<std::size_t>(r)];
    QString kind = FromWindows1252(EclipseTypeShortName(row.catalogueKind, language_));
    // What is seen here, where the eclipse's kind on the whole Earth does not
    // say it: partial here of a central eclipse, either phase of a hybrid one.
    const bool partialHere = row.catalogueKind != EclipseKind::Partial && row.localKind == LocalKind::kPartial;
    const bool hybridPhase = row.catalogueKind == EclipseKind::Hybrid && row.localKind != LocalKind::kPartial;
    if (partialHere || hybridPhase) {
      kind += QStringLiteral(" (") + TextIn(kHere[static_cast<int>(row.localKind)], language_) +
              QLatin1Char(')');
    }
    const QString cells[kColumnCount] = {
        row.date,
        kind,
        QString::number(row.magnitude, 'f', 3),
        row.maximumLocal,
        QString::number(row.sunAltitudeDeg, 'f', 1) + QStringLiteral("\u00B0"),
        QString::fromUtf8(reports::VisibilityName(row.seen, language_))};
    for (int c = 0; c < kColumnCount; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == kMagnitudeColumn || c == kAltitudeColumn) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      item->setData(kIndexRole, row.index);
      table_->setItem(r, c, item);
    }
  }
  table_->setUpdatesEnabled(true);
  count_->setText(CountText());
  WidenToColumns();
}

QString VisibleEclipsesDialog::CountText() const {
  const VisibleQuery asked = query();
  const auto years = [&](const char* const (&text)[3]) {
    return TextIn(text, language_).arg(asked.fromYear).arg(asked.toYear);
  };
  if (rows_.empty()) return years(asked.kinds == kShowAll ? kNoneHintAllKinds : kNoneHint);
  if (rows_.size() == 1) return years(kOne);
  return TextIn(kCount, language_).arg(rows_.size()).arg(asked.fromYear).arg(asked.toYear);
}

void VisibleEclipsesDialog::WidenToColumns() {
  // The kinds and the words of what is seen run long in German; the last
  // column, stretched, would be cut to "bei ..." in the default width.
  const QAbstractItemView* view = table_;  // the cells' widths, public there
  int columns = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    columns += std::max(view->sizeHintForColumn(c), table_->horizontalHeader()->sectionSizeHint(c));
  }
  const int frame = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
  const QMargins margins = layout()->contentsMargins();
  const int wanted = columns + frame + margins.left() + margins.right();
  const int room = screen() != nullptr ? screen()->availableGeometry().width() - 40 : wanted;
  if (width() < wanted) resize(std::min(wanted, room), height());
}

void VisibleEclipsesDialog::Choose(QTableWidgetItem* item) {
  if (item == nullptr) return;
  emit eclipseChosen(item->data(kIndexRole).toInt());
}

}  // namespace darvelle::ui
