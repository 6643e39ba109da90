#include "ui/local_panel.h"

#include <QAbstractItemView>
#include <algorithm>
#include <QCompleter>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStringListModel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "catalogue/eclipse_texts.h"
#include "places/place_index.h"

namespace darvelle::ui {
namespace {

enum Column { kEventColumn, kTimeColumn, kLocalColumn, kAltitudeColumn, kAzimuthColumn, kColumnCount };

QLabel* NamedLabel(const char* name, QWidget* parent, bool wrap = false) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(wrap);
  return label;
}

ObserverPlace PlaceOf(const places::Place& city) {
  ObserverPlace place;
  place.name = QString::fromStdString(places::LongLabel(city));
  place.latitudeDeg = city.LatitudeDeg;
  place.longitudeDeg = city.LongitudeDeg;
  place.timeZone = QString::fromStdString(city.TimeZone);
  place.cityId = QString::fromStdString(city.GeonameId);
  return place;
}

}  // namespace

LocalCircumstancesPanel::LocalCircumstancesPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("LocalCircumstancesPanel"));
  BuildControls();
  ApplyCaptions();
  Refresh();
  connect(&indexWatcher_, &QFutureWatcherBase::finished, this, &LocalCircumstancesPanel::CitiesLoaded);
}

LocalCircumstancesPanel::~LocalCircumstancesPanel() { indexWatcher_.waitForFinished(); }

void LocalCircumstancesPanel::BuildControls() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(4);

  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("PlaceSearch"));
  search_->setClearButtonEnabled(true);
  offers_ = new QStringListModel(this);
  completer_ = new QCompleter(offers_, this);
  completer_->setObjectName(QStringLiteral("PlaceCompleter"));
  // The list is already the search's answer, most populous first: the
  // completer shows it as it is instead of filtering it again by prefix.
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setMaxVisibleItems(kOffered);
  search_->setCompleter(completer_);
  connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) {
    MarkSearch(QString());
    Offer(text);
  });
  connect(search_, &QLineEdit::returnPressed, this, &LocalCircumstancesPanel::ChooseTyped);
  connect(completer_, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
          [this](const QModelIndex& index) { ChooseOffered(index.row()); });
  column->addWidget(search_);

  placeLabel_ = NamedLabel("LocalPlace", this, true);
  QFont bold = placeLabel_->font();
  bold.setBold(true);
  placeLabel_->setFont(bold);
  column->addWidget(placeLabel_);
  coordinates_ = NamedLabel("LocalCoordinates", this);
  column->addWidget(coordinates_);
  zone_ = NamedLabel("LocalZone", this, true);
  column->addWidget(zone_);

  details_ = new QWidget(this);
  auto* detailColumn = new QVBoxLayout(details_);
  detailColumn->setContentsMargins(0, 4, 0, 0);
  detailColumn->setSpacing(4);
  kind_ = NamedLabel("LocalKind", details_);
  kind_->setFont(bold);
  detailColumn->addWidget(kind_);
  timeScale_ = NamedLabel("LocalTimeScale", details_);
  detailColumn->addWidget(timeScale_);

  contacts_ = new QTableWidget(kLocalRowCount, kColumnCount, details_);
  contacts_->setObjectName(QStringLiteral("LocalContacts"));
  contacts_->verticalHeader()->hide();
  contacts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  contacts_->setSelectionMode(QAbstractItemView::NoSelection);
  contacts_->setFocusPolicy(Qt::NoFocus);
  // The table is as large as its cells (FitContacts): the dock is at least
  // that wide, and no column is ever cut.
  contacts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  contacts_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  contacts_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  contacts_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  contacts_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  for (int r = 0; r < kLocalRowCount; ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      auto* item = new QTableWidgetItem;
      if (c != kEventColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      contacts_->setItem(r, c, item);
    }
  }
  detailColumn->addWidget(contacts_);
  detailColumn->addSpacing(4);

  auto* form = new QFormLayout;
  form->setContentsMargins(0, 0, 0, 0);
  form->setLabelAlignment(Qt::AlignLeft);
  auto row = [&](QLabel*& caption, QLabel*& value, const char* name, bool wrap) {
    caption = new QLabel(details_);
    value = NamedLabel(name, details_, wrap);
    form->addRow(caption, value);
  };
  row(magnitudeCaption_, magnitude_, "LocalMagnitude", false);
  row(obscurationCaption_, obscuration_, "LocalObscuration", false);
  row(durationCaption_, duration_, "LocalDuration", false);
  row(visibilityCaption_, visibility_, "LocalVisibility", true);
  row(centralCaption_, central_, "LocalCentralOverDeltaT", true);
  detailColumn->addLayout(form);
  column->addWidget(details_);

  visibleFromHere_ = new QPushButton(this);
  visibleFromHere_->setObjectName(QStringLiteral("VisibleFromHereButton"));
  connect(visibleFromHere_, &QPushButton::clicked, this,
          &LocalCircumstancesPanel::visibleFromHereRequested);
  column->addWidget(visibleFromHere_);
  column->addStretch(1);
}

void LocalCircumstancesPanel::ApplyCaptions() {
  const LocalCaptions c = LocalCaptionsIn(language_);
  search_->setPlaceholderText(c.searchHint);
  search_->setToolTip(c.searchTip);
  const QString scale = eclipse_ && eclipse_->timeScale != TimeScale::kUniversal ? QStringLiteral("TT") : QStringLiteral("UT");
  contacts_->setHorizontalHeaderLabels({c.event, scale, c.local, c.altitude, c.azimuth});
  magnitudeCaption_->setText(c.magnitude);
  obscurationCaption_->setText(c.obscuration);
  durationCaption_->setText(c.duration);
  visibilityCaption_->setText(c.visibility);
  centralCaption_->setText(c.centralOverDeltaT);
  visibleFromHere_->setText(c.visibleFromHere);
}

std::string LocalCircumstancesPanel::PlaceLanguageCode(Language language) {
  switch (language) {
    case kGerman:
      return "de";
    case kFrench:
      return "fr";
    default:
      return "en";
  }
}

void LocalCircumstancesPanel::setLanguage(Language language) {
  const bool first = !languageGiven_;
  languageGiven_ = true;
  if (language == language_ && !first) return;
  language_ = language;
  ApplyCaptions();
  Refresh();
  // A list in another language is read again: the offers and the chosen
  // city's name follow once it is there. Without a list nor a city to
  // rename (the remembered city is named in the first language given), the
  // list is read in the new language when it is first needed.
  const bool listWanted = index_ != nullptr || indexWatcher_.isRunning() ||
                          (!first && place_.has_value() && !place_->cityId.isEmpty());
  if (listLanguage_ == language_ || !listWanted) return;
  index_.reset();
  indexProblem_.clear();
  LoadCities();
}

void LocalCircumstancesPanel::setPlace(const std::optional<ObserverPlace>& place) {
  place_ = place;
  Refresh();
}

void LocalCircumstancesPanel::setEclipse(const ShownEclipse& eclipse) {
  eclipse_ = eclipse;
  ApplyCaptions();  // the time scale's column header
  Refresh();
}

void LocalCircumstancesPanel::Refresh() {
  local_.reset();
  texts_.reset();
  visibleFromHere_->setEnabled(place_.has_value());
  if (!place_) {
    placeLabel_->setText(LocalCaptionsIn(language_).noPlace);
    coordinates_->clear();
    zone_->clear();
    details_->hide();
    // The event names alone size the table, and with it the panel.
    const LocalTexts names = FormatLocalCircumstances(ShownEclipse{}, ObserverPlace{}, LocalCircumstances{}, language_);
    for (int r = 0; r < kLocalRowCount; ++r) {
      contacts_->item(r, kEventColumn)->setText(names.rows[static_cast<std::size_t>(r)].event);
    }
    FitContacts();
    return;
  }
  if (eclipse_) {
    local_ = ComputeLocalCircumstances(eclipse_->elements, eclipse_->deltaT, ObserverOf(*place_));
    texts_ = FormatLocalCircumstances(*eclipse_, *place_, *local_, language_);
  } else {
    // The place alone, before the first eclipse: name and coordinates.
    LocalCircumstances none;
    texts_ = FormatLocalCircumstances(ShownEclipse{}, *place_, none, language_);
  }
  const LocalTexts& t = *texts_;
  placeLabel_->setText(t.place);
  coordinates_->setText(t.coordinates);
  // A point far from any town is named by its coordinates: once is enough.
  coordinates_->setVisible(t.coordinates != t.place);
  zone_->setText(t.zone);
  details_->setVisible(eclipse_.has_value());
  if (!eclipse_) return;
  kind_->setText(t.kind);
  timeScale_->setText(t.timeScale);
  for (int r = 0; r < kLocalRowCount; ++r) {
    const LocalTexts::Row& row = t.rows[static_cast<std::size_t>(r)];
    const QString cells[kColumnCount] = {row.event, row.time, row.local, row.altitude, row.azimuth};
    for (int c = 0; c < kColumnCount; ++c) contacts_->item(r, c)->setText(cells[c]);
  }
  FitContacts();
  magnitude_->setText(t.magnitude);
  obscuration_->setText(t.obscuration);
  duration_->setText(t.duration);
  visibility_->setText(t.visibility);
  ShowCentralOverDeltaT();
}

void LocalCircumstancesPanel::ShowCentralOverDeltaT() {
  // As the map's band: in UT, where the model's DeltaT is uncertain.
  const std::optional<DeltaTRange> range =
      eclipse_->timeScale == TimeScale::kUniversal ? DeltaTBandOf(eclipse_->elements, eclipse_->deltaT) : std::nullopt;
  centralCaption_->setVisible(range.has_value());
  central_->setVisible(range.has_value());
  if (!range) return;
  const CentralOverDeltaT central = CentralPhaseOverDeltaT(eclipse_->elements, ObserverOf(*place_), *range);
  central_->setText(CentralOverDeltaTText(*range, central, language_));
}

void LocalCircumstancesPanel::FitContacts() {
  // Each column at least as wide as a seen eclipse's values, so that the
  // dock keeps its width when the next eclipse is not seen from the place.
  static const QString widest[kColumnCount] = {QString(), QStringLiteral("88:88:88"),
                                               QStringLiteral("88:88:88 WWWW"), QStringLiteral("-88.8\u00b0"),
                                               QStringLiteral("888.8\u00b0")};
  contacts_->resizeColumnsToContents();
  const int padding = 2 * contacts_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, contacts_) + 8;
  for (int c = 0; c < kColumnCount; ++c) {
    const int least = contacts_->fontMetrics().horizontalAdvance(widest[c]) + padding;
    contacts_->setColumnWidth(c, std::max(contacts_->columnWidth(c), least));
  }
  contacts_->resizeRowsToContents();
  const int frame = 2 * contacts_->frameWidth();
  contacts_->setFixedSize(contacts_->horizontalHeader()->length() + frame,
                          contacts_->horizontalHeader()->sizeHint().height() +
                              contacts_->verticalHeader()->length() + frame);
  // The panel keeps the widest table's width, shown or not: the globe beside
  // the dock does not change size when a place is chosen or the eclipse changes.
  const QMargins margins = layout()->contentsMargins();
  setMinimumWidth(std::max(minimumWidth(), contacts_->width() + margins.left() + margins.right()));
}

// ---------------------------------------------------------------- the search

void LocalCircumstancesPanel::LoadCities() {
  // A list still being read in another language is read again when it ends.
  if (citiesReady() || indexWatcher_.isRunning()) return;
  listLanguage_ = language_;
  const std::string code = PlaceLanguageCode(language_);
  indexWatcher_.setFuture(QtConcurrent::run(workers_, [code]() -> CityList {
    CityList list;
    try {
      list.index = std::make_shared<const places::PlaceIndex>(places::PlaceIndex::Load(code));
    } catch (const std::exception& e) {
      list.problem = QStringLiteral("The city list could not be read: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return list;
  }));
}

void LocalCircumstancesPanel::CitiesLoaded() {
  if (listLanguage_ != language_) {
    LoadCities();  // the language changed while the list was read
    return;
  }
  CityList list = indexWatcher_.result();
  index_ = std::move(list.index);
  indexProblem_ = list.problem;
  emit citiesLoaded();
  RenamePlace();
  if (pointToResolve_) ResolvePoint();
  if (!search_->text().isEmpty()) {
    Offer(search_->text());
    if (chooseWhenLoaded_) ChooseTyped();
  }
  chooseWhenLoaded_ = false;
}

QStringList LocalCircumstancesPanel::offered() const { return offers_->stringList(); }

void LocalCircumstancesPanel::Offer(const QString& text) {
  offeredPlaces_.clear();
  if (index_ == nullptr) {
    LoadCities();
    offers_->setStringList({});
    return;
  }
  if (!ParseCoordinates(text)) {
    offeredPlaces_ = index_->Search(text.toStdString(), kOffered);
  }
  QStringList labels;
  for (const places::Place& p : offeredPlaces_) labels << QString::fromStdString(places::LongLabel(p));
  offers_->setStringList(labels);
  if (!labels.isEmpty() && search_->hasFocus()) completer_->complete();
}

void LocalCircumstancesPanel::ChooseTyped() {
  const QString text = search_->text().trimmed();
  if (text.isEmpty()) return;
  if (const auto point = ParseCoordinates(text)) {
    ChooseCoordinates(point->latitudeDeg, point->longitudeDeg);
    return;
  }
  if (index_ == nullptr && indexProblem_.isEmpty()) {
    chooseWhenLoaded_ = true;
    LoadCities();
    return;
  }
  // The offers may belong to an older text (a paste, or Enter before any key).
  Offer(text);
  completer_->popup()->hide();
  const QStringList labels = offers_->stringList();
  const qsizetype exact = labels.indexOf(text);
  if (offeredPlaces_.empty()) {
    MarkSearch(indexProblem_.isEmpty() ? LocalCaptionsIn(language_).noMatch.arg(text) : indexProblem_);
    return;
  }
  ChooseOffered(exact >= 0 ? static_cast<int>(exact) : 0);
}

void LocalCircumstancesPanel::ChooseOffered(int row) {
  if (row < 0 || row >= static_cast<int>(offeredPlaces_.size())) return;
  const ObserverPlace chosen = PlaceOf(offeredPlaces_[static_cast<std::size_t>(row)]);
  search_->setText(chosen.name);
  MarkSearch(QString());
  emit placeChosen(chosen);
}

void LocalCircumstancesPanel::choosePoint(double latitudeDeg, double longitudeDeg) {
  // A click's place comes a moment after the click: text the user has begun
  // to type in the box since then is kept.
  if (!search_->hasFocus()) search_->clear();
  ChooseCoordinates(latitudeDeg, longitudeDeg);
}

// Typed coordinates stay in the box: they name the place chosen.
void LocalCircumstancesPanel::ChooseCoordinates(double latitudeDeg, double longitudeDeg) {
  ObserverPlace point;
  point.latitudeDeg = latitudeDeg;
  point.longitudeDeg = longitudeDeg;
  pointToResolve_ = point;
  MarkSearch(QString());
  if (citiesReady()) {
    ResolvePoint();
    return;
  }
  // Local mean time until the city list tells the zone.
  emit placeChosen(point);
  LoadCities();
}

void LocalCircumstancesPanel::ResolvePoint() {
  ObserverPlace point = *pointToResolve_;
  pointToResolve_.reset();
  if (index_ != nullptr) {
    if (const auto city = index_->Nearest(point.latitudeDeg, point.longitudeDeg, kNearbyCityKm)) {
      point.nearby = QString::fromStdString(places::LongLabel(*city));
      point.timeZone = QString::fromStdString(city->TimeZone);
      point.cityId = QString::fromStdString(city->GeonameId);
    }
  }
  emit placeChosen(point);
}

void LocalCircumstancesPanel::RenamePlace() {
  if (index_ == nullptr || !place_ || place_->cityId.isEmpty()) return;
  const auto city = index_->ById(place_->cityId.toStdString());
  if (!city) return;
  const QString label = QString::fromStdString(places::LongLabel(*city));
  ObserverPlace renamed = *place_;
  // A city chosen by name is named after it; a point keeps its coordinates
  // and names the city near it.
  QString& name = renamed.nearby.isEmpty() ? renamed.name : renamed.nearby;
  if (name == label) return;
  if (search_->text() == name) search_->setText(label);
  name = label;
  emit placeChosen(renamed);
}

void LocalCircumstancesPanel::MarkSearch(const QString& problem) {
  search_->setStyleSheet(problem.isEmpty() ? QString()
                                           : QStringLiteral("QLineEdit { background: #ffd6d6; }"));
  search_->setToolTip(problem.isEmpty() ? LocalCaptionsIn(language_).searchTip : problem);
}

}  // namespace darvelle::ui
