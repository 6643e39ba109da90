#include "ui/earth_loads.h"

#include "catalogue/data_files.h"
#include "ui/control_factory.h"
#include "ui/eclipse_session.h"

namespace darvelle::ui {
namespace {

const QString kWithoutTexture = QStringLiteral("\n\nThe globe is drawn without the Earth texture.");

}  // namespace

EarthLoads::EarthLoads(QThreadPool& workers, EclipseSession& session,
                       std::optional<std::filesystem::path> dataFolder, CoastlineReader readCoastlines)
    : workers_(workers),
      session_(session),
      dataFolder_(std::move(dataFolder)),
      readCoastlines_(std::move(readCoastlines)) {
  connect(&coastlineWatcher_, &QFutureWatcherBase::finished, this, &EarthLoads::TellCoastlines);
  connect(&textureWatcher_, &QFutureWatcherBase::finished, this, &EarthLoads::TellTexture);
}

EarthLoads::~EarthLoads() {
  textureWatcher_.waitForFinished();
  texture_.waitForFinished();
  coastlineWatcher_.waitForFinished();
  coastlines_.waitForFinished();
}

void EarthLoads::Start() {
  // The first map waits for the coastlines on its own worker.
  coastlines_ = LoadCoastlinesInBackground(&workers_, dataFolder_, readCoastlines_);
  session_.SetCoastlines(coastlines_);
  coastlineWatcher_.setFuture(coastlines_);
  StartTexture();
}

void EarthLoads::StartTexture() {
  emit status(QStringLiteral("Loading image. Please wait..."));
  try {
    const std::filesystem::path file = FindDataFile(kTextureFileName, dataFolder_);
    // The decoding starts with the first result, before the window takes
    // input again: on a machine of two cores it would otherwise take one
    // from the first map's computation, which it is not needed for.
    connect(
        &session_, &EclipseSession::resultReady, this,
        [this, file] {
          texture_ = LoadTextureInBackground(&workers_, file);
          session_.SetTexture(texture_);
        },
        Qt::SingleShotConnection);
    textureFound_ = true;
  } catch (const std::exception& e) {
    TellMissingTexture(FromStd(e.what()));
  }
  emit status(QStringLiteral("Image loaded."));
}

// Panel 1 counts the points once they are read; a file that could not be
// read is told without keeping the map away (it is drawn without them).
void EarthLoads::TellCoastlines() {
  const std::shared_ptr<const LoadedCoastlines> loaded = coastlineWatcher_.result();
  emit coastlinePointsRead(loaded->layer.Count());
  if (!loaded->failure.empty()) {
    emit message(QMessageBox::Warning, QStringLiteral("Darvelle"),
                 FromStd(loaded->failure) + QStringLiteral("\n\nThe globe is drawn without coastlines."));
  }
}

void EarthLoads::WatchTexture() {
  if (textureFound_) textureWatcher_.setFuture(texture_);
}

void EarthLoads::TellTexture() {
  const std::shared_ptr<const LoadedTexture> loaded = textureWatcher_.result();
  if (!loaded->failure.empty()) {
    TellMissingTexture(FromStd(loaded->failure) + kWithoutTexture);
  } else if (!loaded->load.decoded) {
    TellMissingTexture(FromStd(loaded->load.message));
  } else if (loaded->load.warning) {
    // A damaged file still gives a picture, partly grey: the coloured Earth
    // stays on offer, but the user must know why part of it is missing.
    emit message(QMessageBox::Warning, QStringLiteral("Darvelle"), FromStd(loaded->load.message));
  }
}

void EarthLoads::TellMissingTexture(const QString& text) {
  QString why = text;
  if (!why.contains(QStringLiteral("without"))) why += kWithoutTexture;
  emit textureMissing(why);
}

}  // namespace darvelle::ui
