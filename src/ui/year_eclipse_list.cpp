#include "ui/year_eclipse_list.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include <algorithm>
#include <string>

#include "catalogue/besselian_elements.h"
#include "catalogue/catalogue.h"
#include "catalogue/eclipse_texts.h"
#include "catalogue/record_check.h"
#include "catalogue/selection.h"
#include "geometry/eclipse_computation.h"
#include "ui/languages.h"

namespace darvelle::ui {

namespace {

// The date's title names the time scale (%1: UT or TT).
constexpr const char* kColumnTitles[3][3] = {
    {"Datum (%1)", "Art", "Saros"},
    {"Date (%1)", "Type", "Saros"},
    {"Date (%1)", "Type", "Saros"},
};

constexpr const char* kAccessibleNames[3] = {"Finsternisse des Jahres", "Eclipses of the year",
                                             "Éclipses de l'année"};


QString FromWindows1252(std::string_view text) {
  return QString::fromStdString(Latin1ToUtf8(text));
}

}  // namespace

QString ListedDate(const Catalogue& catalogue, int index, TimeScale timeScale) {
  try {
    // The panel's own text of the estimate, up to its time.
    const std::string estimate = EstimateText(PrepareEclipse(catalogue, index, timeScale, 1));
    return QString::fromStdString(estimate.substr(0, estimate.find(' ')));
  } catch (const RecordError&) {
    const EclipseDescription e = DescriptionOf(catalogue, index);
    return EclipseDateText(e.year, e.month, e.day);
  }
}

QString EclipseDateText(int year, int month, int day) {
  return QStringLiteral("%1-%2-%3")
      .arg(year)
      .arg(month, 2, 10, QLatin1Char('0'))
      .arg(day, 2, 10, QLatin1Char('0'));
}

YearEclipseList::YearEclipseList(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("YearEclipseList"));
  setColumnCount(3);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Date and Saros number keep their width; the type name takes the rest,
  // elided in a narrow column (its tooltip has the long name).
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(DateColumn, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(TypeColumn, QHeaderView::Stretch);
  header()->setSectionResizeMode(SarosColumn, QHeaderView::ResizeToContents);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { Choose(item); });
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { Choose(item); });
  setLanguage(language_);
}

void YearEclipseList::setCatalogue(const Catalogue* catalogue) {
  catalogue_ = catalogue;
  Fill();
}

void YearEclipseList::setYear(int year) {
  year_ = year;
  Fill();
}

void YearEclipseList::setLanguage(Language language) {
  language_ = language;
  ApplyTitles();
  setAccessibleName(QString::fromUtf8(kAccessibleNames[LanguageIndex(language_)]));
  Fill();
}

void YearEclipseList::setTimeScale(TimeScale timeScale) {
  if (timeScale == timeScale_) return;
  timeScale_ = timeScale;
  ApplyTitles();
  Fill();
}

void YearEclipseList::ApplyTitles() {
  const QString scale = timeScale_ == TimeScale::kUniversal ? QStringLiteral("UT") : QStringLiteral("TT");
  const auto& titles = kColumnTitles[LanguageIndex(language_)];
  setHeaderLabels({QString::fromUtf8(titles[DateColumn]).arg(scale), QString::fromUtf8(titles[TypeColumn]),
                   QString::fromUtf8(titles[SarosColumn])});
}

void YearEclipseList::setCurrentEclipse(int catalogueIndex) {
  current_ = catalogueIndex;
  const QSignalBlocker quiet(this);
  clearSelection();
  for (int i = 0; i < topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = topLevelItem(i);
    if (item->data(DateColumn, kIndexRole).toInt() == catalogueIndex) {
      setCurrentItem(item);
      item->setSelected(true);
      return;
    }
  }
}

void YearEclipseList::Fill() {
  {
    const QSignalBlocker quiet(this);
    clear();
    if (catalogue_ == nullptr) return;
    for (int index : EclipsesOfYear(*catalogue_, year_)) {
      const EclipseDescription e = DescriptionOf(*catalogue_, index);
      auto* item = new QTreeWidgetItem(this);
      item->setText(DateColumn, ListedDate(*catalogue_, index, timeScale_));
      item->setText(TypeColumn, FromWindows1252(EclipseTypeShortName(e.kind, language_)));
      item->setToolTip(TypeColumn, FromWindows1252(EclipseTypeName(e.kind, language_)));
      item->setText(SarosColumn, QString::number(e.saros));
      item->setToolTip(SarosColumn, FromWindows1252(SarosCaption(e.sarosMember, e.sarosMemberCount, language_)));
      item->setData(DateColumn, kIndexRole, index);
    }
  }
  setCurrentEclipse(current_);
}

void YearEclipseList::Choose(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const int index = item->data(DateColumn, kIndexRole).toInt();
  if (index == current_) return;
  current_ = index;
  emit eclipseChosen(index);
}

}  // namespace darvelle::ui
