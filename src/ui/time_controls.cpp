#include "ui/time_controls.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QTimer>

#include "catalogue/eclipse_texts.h"
#include "geometry/local_circumstances.h"
#include "ui/animation_export.h"
#include "ui/globe_view.h"
#include "ui/observer_model.h"
#include "ui/sun_view.h"
#include "ui/time_layer.h"
#include "ui/time_slider.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

QString SliderTitle(int language) {
  switch (language) {
    case kGerman: return QStringLiteral("Zeitleiste");
    case kEnglish: return QStringLiteral("Time slider");
    default: return QStringLiteral("Curseur temporel");
  }
}

QString SunTitle(int language) {
  switch (language) {
    case kGerman: return QStringLiteral("Die Sonne vom Ort aus");
    case kEnglish: return QStringLiteral("The Sun from the place");
    default: return QStringLiteral("Le Soleil vu du lieu");
  }
}

QString ExportTitle(int language) {
  switch (language) {
    case kGerman: return QStringLiteral("&Animation exportieren…");
    case kEnglish: return QStringLiteral("Export &animation…");
    default: return QStringLiteral("Exporter une &animation…");
  }
}

}  // namespace

TimeControls::TimeControls(TimeControlsWiring wiring, QObject* parent)
    : QObject(parent), wiring_(std::move(wiring)) {
  QMainWindow* window = wiring_.window;
  slider_ = new TimeSlider;
  slider_->setObjectName(QStringLiteral("TimeSlider"));
  sliderDock_ = new QDockWidget(SliderTitle(kEnglish), window);
  sliderDock_->setObjectName(QStringLiteral("TimeSliderDock"));
  sliderDock_->setWidget(slider_);
  sliderDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  window->addDockWidget(Qt::BottomDockWidgetArea, sliderDock_);
  sliderDock_->hide();

  sunView_ = new SunView;
  sunDock_ = new QDockWidget(SunTitle(kEnglish), window);
  sunDock_->setObjectName(QStringLiteral("SunViewDock"));
  sunDock_->setWidget(sunView_);
  // Under the place's tabs, not among them: the picture is worth seeing beside the table.
  window->addDockWidget(Qt::RightDockWidgetArea, sunDock_, Qt::Vertical);
  sunDock_->hide();

  layer_ = new TimeLayer(wiring_.mapPanel, wiring_.workers, wiring_.showPlainMap, this);
  export_ = new AnimationExport(wiring_.workers, this);

  QAction* open = sliderDock_->toggleViewAction();
  open->setObjectName(QStringLiteral("TimeSlider1"));
  if (wiring_.optionMenu != nullptr) wiring_.optionMenu->addAction(open);
  connect(open, &QAction::toggled, this, &TimeControls::OpenChanged);
  if (wiring_.fileMenu != nullptr) {
    exportItem_ = new QAction(QStringLiteral("Export &animation…"), wiring_.fileMenu);
    wiring_.fileMenu->insertAction(wiring_.fileMenuBefore, exportItem_);
    exportItem_->setObjectName(QStringLiteral("ExportAnimation1"));
    connect(exportItem_, &QAction::triggered, this, &TimeControls::AskForFilm);
  }

  connect(slider_, &TimeSlider::instantChanged, this, &TimeControls::FollowInstant);
  // After the window's own slots: the layer goes over the picture it has just shown.
  connect(wiring_.session, &EclipseSession::resultReady, this, &TimeControls::Show,
          Qt::QueuedConnection);
  connect(wiring_.session, &EclipseSession::refitted, this, &TimeControls::Show,
          Qt::QueuedConnection);
  connect(wiring_.session, &EclipseSession::prepared, this, [this] {
    const int language = wiring_.session->State().language;
    slider_->setLanguage(language);
    sunView_->setLanguage(language);
    sliderDock_->setWindowTitle(SliderTitle(language));
    sunDock_->setWindowTitle(SunTitle(language));
    if (exportItem_ != nullptr) exportItem_->setText(ExportTitle(language));
  });
  if (wiring_.globe != nullptr) {
    // After the window's own answer to the final view: a view that changed
    // is being drawn (its result brings the layer), one that did not left
    // the plain map on the panel.
    connect(wiring_.globe, &GlobeView::viewRequested, this,
            [this](const ViewParameters&, bool interim) {
              if (!interim && !wiring_.session->IsBusy()) layer_->showAgain();
            },
            Qt::QueuedConnection);
  }
  connect(wiring_.observer, &ObserverModel::placeRestored, this, &TimeControls::ShowPlace);
  connect(wiring_.observer, &ObserverModel::placeChosen, this,
          [this](const ObserverPlace& place, bool) { ShowPlace(place); });
  if (wiring_.observer->place()) ShowPlace(*wiring_.observer->place());
  if (wiring_.session->Current() != nullptr) Show(wiring_.session->Current());
}

QAction* TimeControls::openAction() const { return sliderDock_->toggleViewAction(); }

bool TimeControls::isOpen() const { return sliderDock_->isVisibleTo(wiring_.window); }

void TimeControls::setOpen(bool open) { sliderDock_->setVisible(open); }

void TimeControls::restore() {
  const WindowSettings settings(wiring_.settingsFolder);
  restoring_ = true;
  setOpen(settings.Value(QString::fromLatin1(kOpenKey), false).toBool());
  restoring_ = false;
}

void TimeControls::OpenChanged(bool open) {
  sunDock_->setVisible(open);
  layer_->setActive(open);
  if (open) slider_->setFocus();
  if (!open) slider_->setPlaying(false);
  if (!restoring_) WindowSettings(wiring_.settingsFolder).SetValue(QString::fromLatin1(kOpenKey), open);
}

void TimeControls::Show(const std::shared_ptr<const SessionResult>& result) {
  // Only the picture the session shows now: a queued older one is stale.
  if (result == nullptr || result != wiring_.session->Current()) return;
  const bool newComputation = shown_ == nullptr || shown_->computation != result->computation;
  shown_ = result;
  if (newComputation) {
    const EclipseResult& c = *result->computation;
    const auto p1 = c.circumstances.events.Time(EventId::TP1);
    const auto p4 = c.circumstances.events.Time(EventId::TP4);
    if (p1 && p4) {
      TimeSpan span;
      span.eclipse = {c.selectedIndex, c.elements, c.deltaT, c.universalTime};
      span.modelDeltaT = c.modelDeltaT;
      span.firstContact = *p1;
      span.lastContact = *p4;
      span.greatest = c.circumstances.timeGreatest;
      slider_->setSpan(span);
    }
  }
  layer_->setShown(result);
}

void TimeControls::ShowPlace(const ObserverPlace& place) {
  place_ = place;
  slider_->setPlace(place);
  FollowInstant(slider_->instant());
}

void TimeControls::FollowInstant(double t) {
  layer_->setInstant(t);
  const auto span = slider_->span();
  if (!span || !place_) {
    sunView_->setView(std::nullopt);
    return;
  }
  // A few microseconds: on the window's thread with each step.
  sunView_->setView(LocalViewAt(span->eclipse.elements, span->eclipse.deltaT, ObserverOf(*place_), t));
}

void TimeControls::AskForFilm() {
  const auto shown = wiring_.session->Current();
  if (shown == nullptr || export_->running()) return;
  QString folder = WindowSettings(wiring_.settingsFolder).LastFolder();
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  AnimationExportDialog dialog(folder, wiring_.window);
  if (dialog.exec() != QDialog::Accepted) return;
  const FilmOptions options = dialog.options();
  if (const std::string problem = FilmOptionsProblem(options); !problem.empty()) {
    if (wiring_.report) wiring_.report(QString::fromStdString(problem));
    return;
  }
  export_->start(shown->computation, options,
                 wiring_.texture != nullptr ? *wiring_.texture : TextureFuture(),
                 wiring_.coastlines != nullptr ? *wiring_.coastlines : CoastlineFuture());
  auto* progress = new QProgressDialog(tr("Writing the animation…"), tr("Cancel"), 0,
                                       std::max(1, export_->total()), wiring_.window);
  progress->setObjectName(QStringLiteral("AnimationProgress"));
  progress->setWindowModality(Qt::WindowModal);
  progress->setMinimumDuration(0);
  auto* poll = new QTimer(progress);
  connect(poll, &QTimer::timeout, progress, [this, progress] {
    const int done = export_->done();
    if (done < 0) {
      progress->setLabelText(tr("Joining the frames into a video…"));
      progress->setRange(0, 0);
    } else {
      progress->setValue(done);
    }
  });
  poll->start(100);
  connect(progress, &QProgressDialog::canceled, export_, &AnimationExport::cancel);
  connect(export_, &AnimationExport::finished, progress,
          [this, progress](bool, const QString& problem) {
            progress->deleteLater();
            if (!problem.isEmpty() && wiring_.report) wiring_.report(problem);
          }, Qt::SingleShotConnection);
}

}  // namespace darvelle::ui
