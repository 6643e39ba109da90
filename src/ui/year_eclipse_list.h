#pragma once
// The eclipses of one year as a list beside the year entry: date, type and
// Saros series of each (the member within the series in a tooltip), in the
// window's language. The date is that of the estimated greatest eclipse in
// the window's time scale, as the panel shows it (far in the past UT and TT
// fall on different days). Clicking one (or Enter on it) chooses it.

#include <QString>
#include <QTreeWidget>

#include "astro/instant.h"
#include "catalogue/language.h"

namespace darvelle {
class Catalogue;
}

namespace darvelle::ui {

// "2024-04-08": a date with the astronomical year.
QString EclipseDateText(int year, int month, int day);
// The date of record `index`'s estimated greatest eclipse in UT or TT, as the
// window's panel shows it; a record the computation cannot use (it says why
// when chosen) is listed by its own date.
QString ListedDate(const Catalogue& catalogue, int index, TimeScale timeScale);

class YearEclipseList : public QTreeWidget {
  Q_OBJECT

 public:
  enum Column { DateColumn = 0, TypeColumn = 1, SarosColumn = 2 };
  // The catalogue index an item stands for.
  static constexpr int kIndexRole = Qt::UserRole;

  explicit YearEclipseList(QWidget* parent = nullptr);

  // The catalogue to list from; it must outlive the list (nullptr: empty list).
  void setCatalogue(const Catalogue* catalogue);
  // Lists the eclipses of `year` (none for a year outside the catalogue).
  void setYear(int year);
  // Column titles and type names in German (0), English (1) or French (2).
  void setLanguage(Language language);
  // Dates in UT (true) or TT.
  void setTimeScale(TimeScale timeScale);
  // Marks the eclipse shown in the window, without choosing it again.
  void setCurrentEclipse(int catalogueIndex);

  int year() const { return year_; }
  Language language() const { return language_; }

 signals:
  void eclipseChosen(int catalogueIndex);

 private:
  void ApplyTitles();
  void Fill();
  void Choose(QTreeWidgetItem* item);

  const Catalogue* catalogue_ = nullptr;
  int year_ = 0;
  Language language_ = kEnglish;
  TimeScale timeScale_ = TimeScale::kUniversal;
  int current_ = 0;
};

}  // namespace darvelle::ui
