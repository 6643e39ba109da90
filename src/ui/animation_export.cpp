#include "ui/animation_export.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

#include "ui/time_texts.h"

namespace darvelle::ui {

AnimationExport::AnimationExport(QThreadPool* workers, QObject* parent)
    : QObject(parent), workers_(workers) {
  connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
    const Outcome outcome = watcher_.result();
    emit finished(outcome.written, outcome.problem);
  });
}

AnimationExport::~AnimationExport() {
  cancelled_ = true;
  watcher_.waitForFinished();
}

bool AnimationExport::start(std::shared_ptr<const EclipseResult> eclipse,
                            const FilmOptions& options, TextureFuture texture,
                            CoastlineFuture coastlines) {
  if (running()) return false;
  cancelled_ = false;
  done_ = 0;
  total_ = FilmFrameCount(*eclipse, options);
  watcher_.setFuture(QtConcurrent::run(workers_, [this, eclipse, options, texture, coastlines] {
    Outcome outcome;
    try {
      if (const std::string problem = FilmOptionsProblem(options); !problem.empty()) {
        outcome.problem = QString::fromStdString(problem);
        return outcome;
      }
      FilmOptions film = options;
      std::shared_ptr<const LoadedTexture> loaded;
      if (film.colored && texture.isValid()) loaded = texture.result();
      const EarthTexture none;
      film.colored = film.colored && loaded != nullptr && loaded->Usable();
      // One core is left to the window and the rest of the machine.
      film.threads = std::max(1, QThread::idealThreadCount() - 1);
      if (CoastlineFuture loading = coastlines; loading.isValid()) loading.waitForFinished();
      const FilmBase base = DrawFilmBase(*eclipse, film, film.colored ? loaded->image : none,
                                         ReadyCoastlines(coastlines));
      const FilmOutcome result = WriteFilm(*eclipse, film, base, [this](int done, int total) {
        done_ = done;
        total_ = total;
        return !cancelled_.load();
      });
      outcome.written = result == FilmOutcome::kWritten;
    } catch (const std::exception& e) {
      outcome.problem = QString::fromStdString(e.what());
    }
    return outcome;
  }));
  return true;
}

AnimationExportDialog::AnimationExportDialog(const QString& startFolder, Language language,
                                             QWidget* parent)
    : QDialog(parent) {
  const TimeCaptions& words = TimeCaptionsIn(language);
  auto text = [](const char* utf8) { return QString::fromUtf8(utf8); };
  setObjectName(QStringLiteral("AnimationExportDialog"));
  setWindowTitle(text(words.exportTitle));
  auto* form = new QFormLayout(this);
  step_ = new QSpinBox(this);
  step_->setObjectName(QStringLiteral("FilmStep"));
  step_->setRange(static_cast<int>(kMinFilmStepSeconds), static_cast<int>(kMaxFilmStepSeconds));
  step_->setValue(60);
  step_->setSuffix(QStringLiteral(" s"));
  size_ = new QSpinBox(this);
  size_->setObjectName(QStringLiteral("FilmSize"));
  size_->setRange(kMinFilmSize, kMaxFilmSize);
  size_->setValue(800);
  size_->setSuffix(QStringLiteral(" px"));
  colored_ = new QCheckBox(text(words.colored), this);
  colored_->setObjectName(QStringLiteral("FilmColored"));
  folder_ = new QLineEdit(startFolder + QStringLiteral("/eclipse-frames"), this);
  folder_->setObjectName(QStringLiteral("FilmFolder"));
  auto* browse = new QPushButton(text(words.choose), this);
  connect(browse, &QPushButton::clicked, this, [this, words, text] {
    const QString chosen = QFileDialog::getExistingDirectory(this, text(words.framesFolderTitle),
                                                             folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
  });
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);
  withVideo_ = new QCheckBox(text(words.alsoVideo), this);
  withVideo_->setObjectName(QStringLiteral("FilmWithVideo"));
  video_ = new QLineEdit(startFolder + QStringLiteral("/eclipse.mp4"), this);
  video_->setObjectName(QStringLiteral("FilmVideo"));
  video_->setEnabled(false);
  connect(withVideo_, &QCheckBox::toggled, video_, &QWidget::setEnabled);
  form->addRow(text(words.step), step_);
  form->addRow(text(words.size), size_);
  form->addRow(QString(), colored_);
  form->addRow(text(words.framesInto), folderRow);
  form->addRow(QString(), withVideo_);
  form->addRow(text(words.videoFile), video_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

FilmOptions AnimationExportDialog::options() const {
  FilmOptions options;
  options.stepSeconds = step_->value();
  options.size = size_->value();
  options.colored = colored_->isChecked();
  options.folder = folder_->text().toStdString();
  if (withVideo_->isChecked()) options.video = video_->text().toStdString();
  return options;
}

}  // namespace darvelle::ui
