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

class QThreadPool;

namespace darvelle::ui {

class EarthLoads;
struct SessionResult;

class ExitWriter : public QObject {
  Q_OBJECT

 public:
  // Writes into `folder` on `workers`; `workers` and `earth` outlive this.
  ExitWriter(QThreadPool& workers, const EarthLoads& earth, std::filesystem::path folder);
  // Waits for files still being written.
  ~ExitWriter() override;

  // Starts writing the files of `shown`, whose legend is titled `title`.
  void Start(std::shared_ptr<const SessionResult> shown, const QString& title, bool withSheet);
  // Which exit is writing (true: with the sheet); none when none is.
  std::optional<bool> Writing() const { return withSheet_; }

 signals:
  // The files are written, or `failure` says why not.
  void finished(bool withSheet, const QString& failure);

 private:
  QThreadPool& workers_;
  const EarthLoads& earth_;
  std::filesystem::path folder_;
  QFutureWatcher<QString> writer_;  // the text is the failure, empty on success
  std::optional<bool> withSheet_;
};

}  // namespace darvelle::ui
