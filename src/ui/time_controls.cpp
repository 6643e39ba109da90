#include "ui/time_controls.h"

#include <QAction>
#include <QActionGroup>
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
#include "ui/session_controller.h"
#include "ui/sun_view.h"
#include "ui/time_layer.h"
#include "ui/time_slider.h"
#include "ui/time_texts.h"
#include "ui/widgets.h"
#include "ui/window_settings.h"

namespace darvelle::ui {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The steps Option > Umbra every … offers, minutes; 0 is "off".
constexpr int kOutlineChoices[] = {0, 5, 10, 15, 30, 60};

}  // namespace

TimeControls::TimeControls(TimeControlsWiring wiring, QObject* parent)
    : QObject(parent), wiring_(std::move(wiring)) {
  QMainWindow* window = wiring_.window;
  slider_ = new TimeSlider;
  slider_->setObjectName(QStringLiteral("TimeSlider"));
  sliderDock_ = new QDockWidget(Text(TimeCaptionsIn(kEnglish).sliderDock), window);
  sliderDock_->setObjectName(QStringLiteral("TimeSliderDock"));
  sliderDock_->setWidget(slider_);
  sliderDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  window->addDockWidget(Qt::BottomDockWidgetArea, sliderDock_);
  sliderDock_->hide();

  sunView_ = new SunView;
  sunDock_ = new QDockWidget(Text(TimeCaptionsIn(kEnglish).sunDock), window);
  sunDock_->setObjectName(QStringLiteral("SunViewDock"));
  sunDock_->setWidget(sunView_);
  // Under the place's tabs, not among them: the picture is worth seeing beside the table.
  window->addDockWidget(Qt::RightDockWidgetArea, sunDock_, Qt::Vertical);
  sunDock_->hide();

  layer_ = new TimeLayer(wiring_.mapPanel, wiring_.workers, wiring_.showPlainMap, this);
  export_ = new AnimationExport(wiring_.workers, this);

  QAction* open = sliderDock_->toggleViewAction();
  open->setObjectName(QStringLiteral("TimeSlider1"));
  if (wiring_.optionMenu != nullptr) {
    wiring_.optionMenu->addAction(open);
    BuildOutlineMenu(wiring_.optionMenu);
  }
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
    const Language language = wiring_.session->State().language;
    const TimeCaptions& words = TimeCaptionsIn(language);
    slider_->setLanguage(language);
    sunView_->setLanguage(language);
    sliderDock_->setWindowTitle(Text(words.sliderDock));
    sunDock_->setWindowTitle(Text(words.sunDock));
    if (exportItem_ != nullptr) exportItem_->setText(Text(words.exportItem));
    if (outlineMenu_ != nullptr) {
      outlineMenu_->setTitle(Text(words.outlinesMenu));
      outlineItems_.front()->setText(Text(words.outlinesOff));
    }
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
  if (!outlineItems_.empty()) RestoreOutlines(settings);
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
      span.eclipse = {c.selectedIndex, c.elements, c.deltaT, c.timeScale};
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
  const Language language = wiring_.session->State().language;
  const TimeCaptions& words = TimeCaptionsIn(language);
  AnimationExportDialog dialog(folder, language, wiring_.window);
  if (dialog.exec() != QDialog::Accepted) return;
  const FilmOptions options = dialog.options();
  if (const std::string problem = FilmOptionsProblem(options); !problem.empty()) {
    if (wiring_.report) wiring_.report(QString::fromStdString(problem));
    return;
  }
  export_->start(shown->computation, options,
                 wiring_.texture != nullptr ? *wiring_.texture : TextureFuture(),
                 wiring_.coastlines != nullptr ? *wiring_.coastlines : CoastlineFuture());
  auto* progress = new QProgressDialog(Text(words.writing), Text(words.cancel), 0,
                                       std::max(1, export_->total()), wiring_.window);
  progress->setObjectName(QStringLiteral("AnimationProgress"));
  progress->setWindowModality(Qt::WindowModal);
  progress->setMinimumDuration(0);
  auto* poll = new QTimer(progress);
  connect(poll, &QTimer::timeout, progress, [this, progress, joining = Text(words.joining)] {
    const int done = export_->done();
    if (done < 0) {
      progress->setLabelText(joining);
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

namespace darvelle::ui {

void TimeControls::BuildOutlineMenu(QMenu* options) {
  outlineMenu_ = options->addMenu(Text(TimeCaptionsIn(kEnglish).outlinesMenu));
  outlineMenu_->setObjectName(QStringLiteral("UmbraOutlines1"));
  auto* group = new QActionGroup(outlineMenu_);
  for (const int minutes : kOutlineChoices) {
    QAction* item = outlineMenu_->addAction(
        minutes == 0 ? Text(TimeCaptionsIn(kEnglish).outlinesOff) : QStringLiteral("%1 min").arg(minutes));
    item->setObjectName(QStringLiteral("UmbraOutlines%1min").arg(minutes));
    item->setCheckable(true);
    item->setData(minutes);
    group->addAction(item);
    outlineItems_.push_back(item);
    connect(item, &QAction::triggered, this, [this, minutes] { ChooseOutlines(minutes); });
  }
  outlineItems_.front()->setChecked(true);
}

int TimeControls::umbraOutlineMinutes() const {
  for (const QAction* item : outlineItems_) {
    if (item->isChecked()) return item->data().toInt();
  }
  return 0;
}

void TimeControls::ChooseOutlines(int minutes) {
  WindowSettings(wiring_.settingsFolder).SetValue(QString::fromLatin1(kOutlineKey), minutes);
  if (wiring_.controller != nullptr) wiring_.controller->ChooseUmbraOutlines(minutes);
}

void TimeControls::RestoreOutlines(const WindowSettings& settings) {
  const int minutes = settings.Value(QString::fromLatin1(kOutlineKey), 0).toInt();
  for (QAction* item : outlineItems_) item->setChecked(item->data().toInt() == minutes);
  // A step no item offers (an edited file) is no step.
  if (umbraOutlineMinutes() != minutes) outlineItems_.front()->setChecked(true);
}

}  // namespace darvelle::ui
