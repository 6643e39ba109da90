#pragma once
// The exit's files written on a worker: "Exit" leaves the legend bitmap,
// "Exit (write ps)" the bitmap and the map sheet, of the map shown. The
// window waits for them without blocking; bitmap and sheet are written under
// temporary names and renamed when complete, so nothing half-written is left.

#include <QFutureWatcher>
#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QThreadPool;

namespace darvelle::ui {

class EarthLoads;
struct SessionResult;

class ExitWriter : public QObject {
  Q_OBJECT

 public:
  // Writes into `folder` on `workers`; `workers` and `earth` outlive this.
  // `folderProblem`, when not empty, says why the folder must not be used.
  ExitWriter(QThreadPool& workers, const EarthLoads& earth, std::filesystem::path folder, std::string folderProblem);
  // Waits for files still being written.
  ~ExitWriter() override;

  enum class Start { kWriting, kCloseNow, kRefused };
  // Starts writing the files of `shown` (none before the first map), whose
  // legend is titled `title`. Without a map or a usable folder there is
  // nothing to write: the plain exit closes at once (no stale sheet left),
  // the exit with the sheet is refused and says why.
  Start Begin(std::shared_ptr<const SessionResult> shown, const QString& title, bool withSheet);
  // Which exit is writing (true: with the sheet); none when none is.
  std::optional<bool> Writing() const { return withSheet_; }

 signals:
  // The files are written, or `failure` says why not.
  void finished(bool withSheet, const QString& failure);
  void refused(const QString& why);

 private:
  QThreadPool& workers_;
  const EarthLoads& earth_;
  std::filesystem::path folder_;
  std::string folderProblem_;
  QFutureWatcher<QString> writer_;  // the text is the failure, empty on success
  std::optional<bool> withSheet_;
};

}  // namespace darvelle::ui
