#pragma once
// File > Export animation…: the film darvelle-cli animate writes (WriteFilm),
// of the eclipse shown, on a worker, with a progress dialog whose Cancel
// stops it and leaves none of its files behind. AnimationExport runs one
// film; AnimationExportDialog asks for its options.

#include <QDialog>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>

#include "export/film.h"
#include "ui/data_loads.h"
#include "catalogue/language.h"

class QCheckBox;
class QLineEdit;
class QProgressDialog;
class QSpinBox;

namespace darvelle::ui {

class AnimationExport : public QObject {
  Q_OBJECT

 public:
  AnimationExport(QThreadPool* workers, QObject* parent = nullptr);
  // Cancels and waits for a film under way.
  ~AnimationExport() override;

  // Starts the film of `eclipse` on a worker; false when one runs already.
  // The texture and coastlines may still be loading: the worker waits.
  bool start(std::shared_ptr<const EclipseResult> eclipse, const FilmOptions& options,
             TextureFuture texture, CoastlineFuture coastlines);
  void cancel() { cancelled_ = true; }
  bool running() const { return watcher_.isRunning(); }
  // Frames drawn so far, of how many; -1 done while the video is made.
  int done() const { return done_; }
  int total() const { return total_; }

 signals:
  // written: the film is complete; otherwise `problem` says why not, empty
  // when it was cancelled.
  void finished(bool written, const QString& problem);

 private:
  struct Outcome {
    bool written = false;
    QString problem;
  };
  QThreadPool* workers_;
  QFutureWatcher<Outcome> watcher_;
  std::atomic<bool> cancelled_{false};
  std::atomic<int> done_{0}, total_{0};
};

// The options of a film: the step, the size, the colours, the folder of the
// frames and an optional video file.
class AnimationExportDialog : public QDialog {
  Q_OBJECT

 public:
  // In the window's language (UiLanguage).
  AnimationExportDialog(const QString& startFolder, Language language, QWidget* parent = nullptr);
  FilmOptions options() const;

 private:
  QSpinBox* step_ = nullptr;
  QSpinBox* size_ = nullptr;
  QCheckBox* colored_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QCheckBox* withVideo_ = nullptr;
  QLineEdit* video_ = nullptr;
};

}  // namespace darvelle::ui
