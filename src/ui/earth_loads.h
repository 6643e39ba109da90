#pragma once
// The coastlines and the Earth texture, read off the window's thread for as
// long as the window lives. The coastlines are read from the start, while
// the window is built and shown; the texture is decoded once the first map
// is computed (on two cores it would otherwise slow that map, which does not
// need it). Each outcome is told when it is known, the texture's only after
// the first map is on the screen, so that a message never keeps it away.

#include <QFutureWatcher>
#include <QMessageBox>
#include <QObject>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>

#include "ui/data_loads.h"

class QThreadPool;

namespace darvelle::ui {

class EclipseSession;

class EarthLoads : public QObject {
  Q_OBJECT

 public:
  // Reads into `workers` for `session`; both outlive this. `dataFolder`:
  // only there, when set; `readCoastlines`: how the file is read.
  EarthLoads(QThreadPool& workers, EclipseSession& session, std::optional<std::filesystem::path> dataFolder,
             CoastlineReader readCoastlines);
  // Waits for what is still being read.
  ~EarthLoads() override;

  // Starts reading the coastlines and finds the texture file, whose
  // decoding waits for the session's first result.
  void Start();
  // Tells the texture's outcome once it is decoded: called when the first
  // map is on the screen.
  void WatchTexture();

  // The loads, which drawings wait for on their workers. The texture's is
  // empty until its decoding starts.
  const TextureFuture& Texture() const { return texture_; }
  const CoastlineFuture& Coastlines() const { return coastlines_; }

 signals:
  void status(const QString& text);
  void coastlinePointsRead(std::size_t count);
  // Without a usable texture there is no coloured Earth: `why` says so.
  void textureMissing(const QString& why);
  void message(QMessageBox::Icon icon, const QString& title, const QString& text);

 private:
  void StartTexture();
  void TellCoastlines();
  void TellTexture();
  void TellMissingTexture(const QString& text);

  QThreadPool& workers_;
  EclipseSession& session_;
  std::optional<std::filesystem::path> dataFolder_;
  CoastlineReader readCoastlines_;
  CoastlineFuture coastlines_;
  QFutureWatcher<std::shared_ptr<const LoadedCoastlines>> coastlineWatcher_;
  TextureFuture texture_;
  bool textureFound_ = false;  // the texture file was found; it is decoded after the first map
  QFutureWatcher<std::shared_ptr<const LoadedTexture>> textureWatcher_;
};

}  // namespace darvelle::ui
