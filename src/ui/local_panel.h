#pragma once
// The observer and what they see of the eclipse shown: a search box for a
// place (the city list, most populous first, or "lat, lon"), the place's
// name and coordinates, the contacts and the maximum in the window's time
// scale and in local time with the Sun's altitude and azimuth, magnitude,
// obscuration, duration and visibility, in the window's language. Lives in
// the LocalCircumstancesDock.
//
// The panel computes the local circumstances itself, on the window's thread:
// one eclipse at one place takes a few tens of microseconds. The city list
// is read on a worker the first time it is needed (typing, or a point to
// give a time zone), because reading it takes a tenth of a second.

#include <QFutureWatcher>
#include <QThreadPool>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "places/place_index.h"
#include "ui/local_texts.h"
#include "catalogue/language.h"

class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;
class QTableWidget;

namespace darvelle::ui {

class LocalCircumstancesPanel : public QWidget {
  Q_OBJECT

 public:
  // Cities a point clicked on the globe takes its time zone from, at most this far.
  static constexpr double kNearbyCityKm = 75.0;
  // Entries the search box offers.
  static constexpr int kOffered = 12;
  // The language code of the city list's names for a window language.
  static std::string PlaceLanguageCode(Language language);

  explicit LocalCircumstancesPanel(QWidget* parent = nullptr);
  // Waits for the city list if it is still being read.
  ~LocalCircumstancesPanel() override;

  // Where the city list is read (Qt's global pool unless told otherwise);
  // it must outlive the panel's reading.
  void setWorkers(QThreadPool* workers) { workers_ = workers; }
  // The captions' language and the place names' (the city list is read
  // again in it, and the chosen city renamed, once it has been read).
  void setLanguage(Language language);
  Language language() const { return language_; }
  void setPlace(const std::optional<ObserverPlace>& place);
  const std::optional<ObserverPlace>& place() const { return place_; }
  void setEclipse(const ShownEclipse& eclipse);

  // Asks for a point of the globe as the observer: placeChosen follows at
  // once with the coordinates, and again with the nearest city's time zone
  // once the city list is read (none far from any city). The search box's
  // text, which no longer names the place, is cleared.
  void choosePoint(double latitudeDeg, double longitudeDeg);

  // What the panel shows; none before a place and an eclipse are both there.
  const std::optional<LocalCircumstances>& shownCircumstances() const { return local_; }
  const std::optional<LocalTexts>& shownTexts() const { return texts_; }
  // The entries the search box offers now.
  QStringList offered() const;
  // True once the city list is read (or failed to be).
  bool citiesReady() const { return index_ != nullptr || !indexProblem_.isEmpty(); }

 signals:
  void placeChosen(const darvelle::ui::ObserverPlace& place);
  void visibleFromHereRequested();
  void citiesLoaded();

 private:
  void BuildControls();
  void ApplyCaptions();
  void LoadCities();
  void CitiesLoaded();
  void Offer(const QString& text);
  void ChooseTyped();
  void ChooseOffered(int row);
  void ChooseCoordinates(double latitudeDeg, double longitudeDeg);
  void ResolvePoint();
  void MarkSearch(const QString& problem);
  void RenamePlace();
  void FitContacts();
  // The central phase over DeltaT's range, shown where the range is uncertain.
  void ShowCentralOverDeltaT();
  void Refresh();

  Language language_ = kEnglish;
  // The first language given is the one the remembered place was named in.
  bool languageGiven_ = false;
  std::optional<Language> listLanguage_;  // the language of the city list read or being read
  std::optional<ObserverPlace> place_;
  std::optional<ShownEclipse> eclipse_;
  std::optional<LocalCircumstances> local_;
  std::optional<LocalTexts> texts_;

  // What reading the city list gives: the list, or why there is none.
  struct CityList {
    std::shared_ptr<const places::PlaceIndex> index;
    QString problem;
  };
  std::shared_ptr<const places::PlaceIndex> index_;
  QString indexProblem_;
  QThreadPool* workers_ = QThreadPool::globalInstance();
  QFutureWatcher<CityList> indexWatcher_;
  std::vector<places::Place> offeredPlaces_;
  bool chooseWhenLoaded_ = false;
  std::optional<ObserverPlace> pointToResolve_;

  QLineEdit* search_ = nullptr;
  QCompleter* completer_ = nullptr;
  QStringListModel* offers_ = nullptr;
  QLabel* placeLabel_ = nullptr;
  QLabel* coordinates_ = nullptr;
  QLabel* zone_ = nullptr;
  QLabel* timeScale_ = nullptr;
  QLabel* kind_ = nullptr;
  QTableWidget* contacts_ = nullptr;
  QLabel* magnitudeCaption_ = nullptr;
  QLabel* magnitude_ = nullptr;
  QLabel* obscurationCaption_ = nullptr;
  QLabel* obscuration_ = nullptr;
  QLabel* durationCaption_ = nullptr;
  QLabel* duration_ = nullptr;
  QLabel* visibilityCaption_ = nullptr;
  QLabel* visibility_ = nullptr;
  QLabel* centralCaption_ = nullptr;
  QLabel* central_ = nullptr;  // the central phase over DeltaT's range, where it is uncertain
  QWidget* details_ = nullptr;
  QPushButton* visibleFromHere_ = nullptr;
};

}  // namespace darvelle::ui
