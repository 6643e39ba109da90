#pragma once
// The program's one window, TForm_Main: the left panel that chooses the
// eclipse and the view, the map, the status bar, the menus and the About
// panel. Its handlers carry the names of the controls they belong to; each
// one that changes what is shown ends in Recompute.

#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "geometry/eclipse_computation.h"
#include "render/coastline_file.h"
#include "render/coastlines.h"
#include "render/curve_drawing.h"
#include "render/map.h"
#include "render/projection.h"
#include "render/texture_file.h"
#include "ui/version_info.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableWidget;
class QTextBrowser;

namespace darvelle::ui {

class MapPanel;
class ShapeBar;

// Where one run of the window works. The program fills it from the
// environment; tests point it at folders of their own.
struct StartupOptions {
  std::optional<std::filesystem::path> dataFolder;  // only this folder, when set
  std::filesystem::path tempFolder;                 // output files
  std::filesystem::path settingsFolder;             // "Darvelle.ini"
  std::string computerName;
  std::string keepFilesHost;  // on this host the output files stay at exit
  QString executable;         // for the file type in the About panel

  static StartupOptions FromEnvironment(const QString& executable);
};

class TForm_Main : public QMainWindow {
  Q_OBJECT

 public:
  // How a message reaches the user; the window shows a message box unless
  // told otherwise (tests collect the messages instead).
  using MessageSink =
      std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)>;

  explicit TForm_Main(StartupOptions options, QWidget* parent = nullptr);
  ~TForm_Main() override;

  // Start-up: folders, version, texture, catalogue, coastlines, settings and
  // the first recomputations. Returns false when there is nothing to show
  // (no usable catalogue); the user has been told why.
  bool FormCreate();

  void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }

  // The recomputation cycle: current eclipse, labels, computation, drawing.
  void Recompute();

  // State read by tests and the exit paths.
  int SelectedIndex() const { return selectedIndex_; }
  int Resolution() const { return resolution_; }
  int PenWidth() const { return penWidth_; }
  int UiLanguage() const { return uiLanguage_; }
  const Catalogue& GetCatalogue() const { return catalogue_; }
  const EclipseComputation& Computation() const { return *computation_; }
  const QImage& DisplayImage() const;
  const std::filesystem::path& SettingsPath() const { return settingsPath_; }
  const std::filesystem::path& TempFolder() const { return options_.tempFolder; }

 private slots:
  void Edit_JahrKeyDown();
  void Button_plus_01_EclClick();
  void Button_minus_01_EclClick();
  void Button_plus_10_EclClick();
  void Button_minus_10_EclClick();
  void Button_plus_1_sarosClick();
  void Button_minus_1_sarosClick();
  void Button_plus_3_sarosClick();
  void Button_minus_3_sarosClick();
  void Saros_EditKeyDown();
  void CheckBox_ET_UTClick();
  void Edit_PsiKeyDown();
  void Edit_PhiKeyDown();
  void Edit_ChiKeyDown();
  void Edit_RKKeyDown();
  void Button_ResetViewClick();
  void RadioButton_OrthoClick();
  void RadioButton_StereoClick();
  void CheckBox_FarbeClick();
  void Deutsch1Click();
  void English1Click();
  void Francais1Click();
  void About1Click();
  void Button_About_OKClick();
  void DVLHelp1Click();
  void Button_ExitClick();
  void Button_Exit_pdfClick();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildStatusBar();
  void BuildAboutPanel();

  void StepCatalogueBy(int step);
  void StepSarosBy(int members);
  void ChooseResolution(int resolution);
  void ChoosePenWidth(int penWidth);
  void ChooseLanguage(int language);
  void StepAngle(QLineEdit* edit, double step);
  void EnterAngle(QLineEdit* edit);
  void StepGlobeSize(int step);

  void UpdateEclipseLabels();
  // Reads the view from the controls; throws std::runtime_error naming the
  // edit whose text is not a number.
  ViewParameters ReadViewParameters() const;
  void DrawMap();
  void ApplyStatusTexts(const StatusTexts& status);
  ViewEditTexts CurrentEditTexts() const;
  // The legend's title: the eclipse type in the user's language.
  QString LegendTitle() const;
  void FormClose();
  void ProcessMessages();
  // Waits for the texture thread and tells the user when there is no texture.
  void FinishTextureLoad();
  void ReportMissingTexture(const QString& text);
  void ShowMessage(QMessageBox::Icon icon, const QString& title, const QString& text);
  void SetStatusPanel(int panel, const QString& text);

  StartupOptions options_;
  MessageSink messageSink_;
  std::filesystem::path settingsPath_;
  TFileVersionInfo versionInfo_;
  QString captionPrefix_;

  Catalogue catalogue_;
  EarthTexture texture_;
  // Decoding of texture_ on its own thread; valid() while not yet joined.
  // Declared after texture_ so that it is joined before texture_ goes.
  std::future<TextureLoadResult> textureLoad_;
  const EarthTexture noTexture_;  // handed to a plain drawing
  std::vector<CoastlinePoint> coastlines_;
  std::unique_ptr<EclipseComputation> computation_;
  Settings settings_;

  int selectedIndex_ = kStartEclipseIndex;
  int resolution_ = 1;
  int penWidth_ = 1;
  int uiLanguage_ = 0;
  bool computed_ = false;
  bool startingUp_ = false;      // FormCreate's handlers leave the cycle to its end
  bool busy_ = false;            // inside Recompute
  bool closeRequested_ = false;  // a close arrived while busy
  bool closed_ = false;          // FormClose has run
  std::optional<ViewParameters> lastDrawnView_;

  // The three map images and the drawing into them.
  std::unique_ptr<MapRenderer> renderer_;
  CoastlineLayer coastlineLayer_;

  // Controls, named as their objectName.
  QWidget* Panel0 = nullptr;
  QWidget* Panel1 = nullptr;
  MapPanel* Panel2 = nullptr;
  QGroupBox* GroupBox_Finsternis = nullptr;
  QLineEdit* Edit_Jahr = nullptr;
  QGroupBox* GroupBox_Saros = nullptr;
  QLineEdit* Saros_Edit = nullptr;
  QGroupBox* GroupBox_ET_UT = nullptr;
  QCheckBox* CheckBox_ET_UT = nullptr;
  ShapeBar* Shape1 = nullptr;
  QLabel* Label_SoFiTyp = nullptr;
  QLabel* Label_DatumZeit = nullptr;
  QLineEdit* Edit_Psi = nullptr;
  QLineEdit* Edit_Phi = nullptr;
  QLineEdit* Edit_Chi = nullptr;
  QLineEdit* Edit_RK = nullptr;
  QRadioButton* RadioButton_Ortho = nullptr;
  QRadioButton* RadioButton_Stereo = nullptr;
  QCheckBox* CheckBox_Farbe = nullptr;
  QPushButton* Button_Exit = nullptr;
  QPushButton* Button_Exit_pdf = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* statusPanels_[kStatusPanelCount] = {};
  QAction* resolutionItems_[6] = {};
  QAction* penWidthItems_[3] = {};
  QAction* languageItems_[3] = {};
  QWidget* Panel_About = nullptr;
  QTableWidget* StringGrid_VersionsInfo = nullptr;
  QWidget* helpWindow_ = nullptr;
};

}  // namespace darvelle::ui
