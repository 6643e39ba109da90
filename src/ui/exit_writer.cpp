#include "ui/exit_writer.h"

#include <QtConcurrent/QtConcurrentRun>

#include "io/output_file_names.h"
#include "postscript/exit_files.h"
#include "ui/control_factory.h"
#include "ui/earth_loads.h"
#include "ui/eclipse_session.h"

namespace darvelle::ui {
namespace {

// The view edits as the legend prints them: the texts the window shows.
ViewEditTexts EditTextsOf(const ViewParameters& view) {
  return {OneDecimal(view.Psi).toStdString(), OneDecimal(view.Phi).toStdString(),
          OneDecimal(view.Chi).toStdString(), std::to_string(view.RK)};
}

// Writes the exit files of `shown` into `folder`, composing the legend in
// `renderer`, a copy of the one shown (the window may rescale its own on a
// resize meanwhile). The text is the failure, empty on success.
QString WriteExitFilesOf(const std::shared_ptr<const SessionResult>& shown, MapRenderer renderer,
                         const TextureFuture& texture, const CoastlineFuture& coastlines, const QString& title,
                         const std::filesystem::path& folder, bool withSheet) {
  try {
    // The exit bitmap and sheet stay the plain map, whatever layers are shown.
    RedrawForFiles(renderer, *shown, texture, AwaitCoastlines(coastlines), FileLayers::kNone);
    const ViewEditTexts edits = EditTextsOf(shown->drawnView);
    if (withSheet) {
      WriteExitFilesWithSheet(renderer, *shown->computation, title, edits, folder);
    } else {
      WriteExitFiles(renderer, *shown->computation, title, edits, folder);
    }
    return {};
  } catch (const std::exception& e) {
    return FromStd(e.what());
  }
}

}  // namespace

ExitWriter::ExitWriter(QThreadPool& workers, const EarthLoads& earth, std::filesystem::path folder,
                       std::string folderProblem)
    : workers_(workers), earth_(earth), folder_(std::move(folder)), folderProblem_(std::move(folderProblem)) {
  connect(&writer_, &QFutureWatcherBase::finished, this, [this] {
    const bool withSheet = withSheet_.value_or(false);
    withSheet_.reset();
    emit finished(withSheet, writer_.result());
  });
}

ExitWriter::~ExitWriter() { writer_.waitForFinished(); }

ExitWriter::Start ExitWriter::Begin(std::shared_ptr<const SessionResult> shown, const QString& title,
                                    bool withSheet) {
  if (!folderProblem_.empty()) {
    // The refused folder gets no bitmap and no sheet either.
    if (!withSheet) return Start::kCloseNow;
    emit refused(FromStd(folderProblem_));
    return Start::kRefused;
  }
  if (shown == nullptr) {
    if (!withSheet) {
      std::error_code ignored;
      std::filesystem::remove(folder_ / kSheetFileName, ignored);
      return Start::kCloseNow;
    }
    emit refused(QStringLiteral("No eclipse has been computed, so there is no sheet to write."));
    return Start::kRefused;
  }
  withSheet_ = withSheet;
  // The coastlines and the texture outlive the writer: the window waits for it first.
  writer_.setFuture(QtConcurrent::run(&workers_, WriteExitFilesOf, shown, *shown->renderer, earth_.Texture(),
                                      earth_.Coastlines(), title, folder_, withSheet));
  return Start::kWriting;
}

}  // namespace darvelle::ui
