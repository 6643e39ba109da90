#pragma once
// The program's window as everything outside it sees it: main(), the UI
// tests and the window probes make one with MakeMainWindow and use only
// these calls and signals. How the window is composed of its parts stays
// in main_window.cpp, so a change there recompiles nothing outside it.

#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QSize>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include "catalogue/catalogue.h"
#include "catalogue/language.h"
#include "ui/eclipse_session.h"
#include "ui/save_actions.h"
#include "ui/startup_options.h"

namespace darvelle::ui {

class DarvelleWindow : public QMainWindow {
  Q_OBJECT

 public:
  // How a message reaches the user; the window shows a message box unless
  // told otherwise (tests collect the messages instead).
  using MessageSink =
      std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)>;

  using QMainWindow::QMainWindow;

  // Start-up: folders, version, texture, catalogue, coastlines, settings and
  // the first request. Returns false when there is nothing to show (no
  // usable catalogue); the user has been told why.
  virtual bool FormCreate() = 0;

  virtual void SetMessageSink(MessageSink sink) = 0;
  // How the File menu asks for a path (a QFileDialog unless told otherwise).
  virtual void SetFileAsker(FileAsker asker) = 0;
  // True while a save or export of the File menu is writing.
  virtual bool IsSaving() const = 0;
  // True while a recomputation, a redraw, the map's fitting to a new panel
  // size or the exit files are under way.
  virtual bool IsBusy() const = 0;

  // The session whose eclipse the window shows.
  virtual EclipseSession& Session() const = 0;
  virtual const Catalogue& GetCatalogue() const = 0;
  // The size of the map panel, which a request makes its pictures for.
  virtual QSize MapArea() const = 0;
  virtual const std::filesystem::path& TempFolder() const = 0;

  // The session's state as the tests and the exit paths read it.
  int SelectedIndex() const { return Session().State().index; }
  int Resolution() const { return Session().State().view.Resolution; }
  int PenWidth() const { return Session().State().view.PenWidth; }
  Language UiLanguage() const { return Session().State().language; }
  // The computation of the map shown; throws std::logic_error before the first.
  const EclipseResult& Computation() const {
    if (Session().Current() == nullptr) throw std::logic_error("no eclipse has been computed yet");
    return *Session().Current()->computation;
  }
  // The scaled map shown in Panel2 (null before the first map).
  QImage DisplayImage() const {
    return Session().Current() == nullptr ? QImage() : Session().Current()->renderer->DisplayImage();
  }

 signals:
  void firstMapPainted();
  // Neither a recomputation, nor the exit files, nor a save is under way any more.
  void becameIdle();
  // The close has been carried out: settings saved, output files removed.
  void closed();
  // A save or export of the File menu has ended: the file or folder, and
  // whether it was written (a failure has been reported).
  void saveFinished(const QString& path, bool written);
};

// The window with all its parts, not yet shown; FormCreate starts it.
std::unique_ptr<DarvelleWindow> MakeMainWindow(StartupOptions options, QWidget* parent = nullptr);

}  // namespace darvelle::ui
