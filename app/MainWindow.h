#pragma once
// The main window: the source picture in the left panel, the result in the right one, the tool
// bar above and the status bar below. The panels zoom, pan and centre together; the window
// carries the picture commands (open, save, clipboard, crop, rotate, swap, invert), the history
// commands and the status display of a run.

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include "app/AppFlags.h"
#include "app/DividerBar.h"
#include "app/PanelView.h"
#include "app/PictureNames.h"
#include "settings/SettingsFile.h"
#include "app/ViewMath.h"
#include "app/ParameterModel.h"
#include "history/History.h"
#include "imaging/Bitmap.h"
#include "imaging/Random.h"
#include "pipeline/Session.h"
#include "tools/SourceTools.h"

class QAction;
class QMenu;
class QMenuBar;
class QSlider;
class QThread;
class QTimer;

namespace brumeleaf {

class Computation;
class FramesWindow;
class ModifyWindow;
class ParametersWindow;
class ResizeWindow;
class TextWindow;
class StatusPanel;
class ToolBarPanel;

class MainWindow : public QMainWindow, public PanelListener, public DividerListener {
  Q_OBJECT

 public:
  explicit MainWindow(QStringList arguments = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Questions to the user go through these, so that a test can answer them.
  std::function<bool(const QString& text, const QString& title)> AskOkCancel;
  std::function<void(const QString& text)> ShowMessage;
  // The file dialogs of Open and Save, so that a test can answer them. Save gets the proposed
  // path and the filters and sets the index of the chosen filter.
  std::function<QString(const QString& title, const QString& folder, const QString& filter)> ChooseOpenName;
  std::function<QString(const QString& title, const QString& proposed, const QStringList& filters,
                        int* chosenFilter)>
      ChooseSaveName;

  // --- State -------------------------------------------------------------------------------
  AppFlags& Flags() { return flags_; }
  const Bitmap& Source() const { return source_; }
  const Bitmap& Result() const { return result_; }
  int Zoom() const;
  void SetZoom(int zoom);  // moves TrackBar3 (which runs TrackBar3Change)
  int DividerOffset() const { return dividerOffset_; }
  int ZoomCounter() const { return zoomCounter_; }
  const std::string& PictureName() const { return pictureName_; }
  int Density() const { return density_; }
  const std::string& LastEffect() const { return lastEffect_; }
  view::WindowStyle Style() const { return style_; }
  StatusPanel& Status() { return *panel2_; }
  ToolBarPanel& Tools() { return *panel1_; }
  PanelView& Panel(int number) { return number == 1 ? *scrollBox1_ : *scrollBox2_; }
  AppSettings& Settings() { return settings_; }
  // The drawing parameters (effect, sliders, finishing options) the runs read.
  ParameterModel& Parameters() { return parameters_; }
  Random& SessionRandom() { return random_; }
  Session& GetSession() { return session_; }
  Computation& Runner() { return *computation_; }
  bool UndoEnabled() const;
  bool RedoEnabled() const;
  bool CropMode() const { return cropMode_; }
  bool SelectionActive() const { return selectionActive_; }
  QAction* Action(const QString& objectName) const;

  // Until a picture is opened, pasted or dropped, the panels say how to begin.
  bool FirstScreen() const { return firstScreen_; }
  // Replaces both pictures (loading, tests); sizes, title and panels follow.
  void SetPictures(Bitmap source, Bitmap result);
  // Waits until the computation in progress (a picture command) has finished.
  void WaitForComputation();

  // --- Views ---------------------------------------------------------------------------------
  void FormResize();
  void CenterImages();
  void BoundImages();
  void TrackBar3Change();
  void writezoomvalue();
  void ShowUnscaled();
  void ShowStretched();
  void SetDividerOffset(int offset);
  void SetStyle(view::WindowStyle style);
  // Shows the window in a language of the language menu (English for an unknown name).
  void ApplyLanguage(const std::string& name);
  // A message text as it was when the language was last applied.
  QString KeptMessage(TextId text) const;
  void Timer3Timer();
  void AccelTimerTimer();
  void Timer2Timer();
  // `firstDelay` ms before the first tick (0: one interval).
  void StartContinuousZoom(int mode, int interval, int firstDelay = 0);
  void StopContinuousZoom(bool resetCounter);
  void FitZoom();
  void CropStart();
  void Rotateleft1Click();
  void Rotateright1Click();
  void Swap1Click();
  void swapimages();
  void Invert1Execute();
  void NegativeImages();
  void ShowFullScreen(int panel);

  // --- Picture files -------------------------------------------------------------------------
  void Openpicture1Click();
  // Opens a chosen file as "Open a picture" does after its dialog. Returns false on failure.
  bool OpenPictureFile(const QString& path);
  bool LoadImageFile(const QString& path);
  void DropFile(const QString& path);
  void Savepicture1Click();
  void Saveinprogress1Click();
  // Saves the result under a chosen name in a format, asking before overwriting.
  bool SaveResultAs(const QString& chosenName, SaveFormat format);
  // What a run has drawn so far, shown in the right panel while it runs (null: nothing yet,
  // or no run).
  const Bitmap* PartialPicture() const { return partial_.get(); }
  void Copierledessindanslepressepapier1Click();
  void Colleruneimagedepuislepressepapier1Click();
  // Pastes a picture as the clipboard would hand it over.
  void PastePicture(Bitmap picture);
  void EnregistrerenfonddcranWindows1Click();
  void StartDownload(const QString& address);
  void RefreshTitle();
  // "Print...": the print preview of the result; "Export as PDF...": the same page as a file.
  void Print1Click();
  void ExportPdf1Click();

  // --- History -------------------------------------------------------------------------------
  void SaveToHistory(int panel);
  // A new result for the right panel (what a run ends with): shown, named and recorded.
  void SetResult(Bitmap result, const std::string& effectName);
  int HistoryCount() const;
  // Mean colour of the source as last recorded or restored, which several effects read.
  const SourceMean& Mean() const;
  void Annuler1Click();
  void Rtablir1Click();
  void UpdateHistoryCommands();

  // --- Drawing parameters and runs ---------------------------------------------------------
  ParametersWindow& ParametersForm() { return *parametersWindow_; }
  const QStringList& Arguments() const { return arguments_; }
  void Sketchit1Click();
  // The source picture was replaced (open, paste, swap, crop, undo, redo): the live preview
  // goes back to the middle of the new picture.
  void SourceReplaced();
  void ShowProgress(int step, int total, int pass, int passes);
  void PercentTimerTimer();
  void Canceloperation1Click();
  void EscapePressed();
  void IdleReset();

  // --- Start-up and shutdown -----------------------------------------------------------------
  // Shows the window as the program starts: minimised with "-silent", normally otherwise.
  void ShowAtStart();
  bool SilentStart() const;
  void FirstIdle();
  void LoadImageatStartup(const QString& argument);
  void Check4Update(bool fromMenu);
  bool UpdateCheckRunning() const;
  void ShowUpdateAnswer(bool fromMenu, bool reached, const std::string& remote);
  void WriteSettings();
  // The frames window, modal over the main window: edits the frame options of the next runs.
  void ShowFramesWindow();
  // The text window (Ctrl+T, tool icon 10, the parameters window's text button), unless a
  // computation runs.
  void ShowTextWindow();
  WindowPlacement CurrentPlacement() const;
  // Off: closing leaves the settings file as it is (the screenshot tour).
  void SetSettingsWritable(bool writable) { settingsWritable_ = writable; }
  // The whole picture in view: the zoom that fits it, never above 100 %, centred.
  void FitView() { FitOpenedPicture(); }

  // --- Source tools (MainWindowTools.cpp) ----------------------------------------------------
  // "Modify source image" (F9, tool icon 8): the modification window, unless a computation runs.
  void ModifySourceImage1Click();
  ModifyWindow& ModifyForm();
  // The modification window's "Apply changes": the chain on a copy of the source on the worker;
  // the source and one history step change only when it completes. `done` says whether they did.
  void ApplySourceModification(const ModifySettings& settings, std::function<void(bool applied)> done);
  // "Resize source image..." (Ctrl+R): the modal resize window.
  void Redimensionnerlimagesource1Click();
  ResizeWindow& ResizeForm();
  // The resize window's OK with an accepted size: both panels resampled, both recorded.
  void ResizeOk(int width, int height);
  // Resamples both panels; false (nothing changed) for a side below 2 or a refused size.
  bool resizesource(int width, int height);
  // "Automatic contrast and sharpening" (Ctrl+A).
  void Automaticcontrast1Click();
  // The three commands and tool icon 8 are off while there is no source picture.
  bool SourceToolsAvailable() const;
  void UpdateSourceToolCommands();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // PanelListener
  void PanelPress(const PanelMouse& m) override;
  void PanelMove(const PanelMouse& m) override;
  void PanelRelease(const PanelMouse& m) override;
  void PanelDoubleClick(const PanelMouse& m) override;
  void PanelWheel(int panel, int notches) override;
  void PanelWheelAt(int panel, int notches, QPoint at) override;
  void PanelEntered(int panel) override;
  // DividerListener
  void DividerDragged(int x) override;
  void DividerReleased(int x) override;
  void DividerDoubleClicked() override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildTimers();
  QMenu* AddMenu(QMenuBar* bar, QMenu* parent, TextId text);
  QAction* AddCommand(QMenu* menu, const char* objectName, TextId text,
                      const QKeySequence& key, void (MainWindow::*handler)(), bool enabled = true);
  void BuildToolBarHints();
  void PadMenuBar();
  void ShowRunMenus(bool running);
  void ToolIconPressed(int icon, Qt::MouseButton button);
  void ToolIconReleased(int icon, Qt::MouseButton button);
  void ZoomEntered(const QString& text);
  void MovePictures(int dx, int dy);
  void ApplyPictureRects();
  void UpdatePanels();
  void UpdateHint();
  void SetStoredSizes();
  void CropPress(const PanelMouse& m);
  void CropMove(const PanelMouse& m);
  void CropRelease(const PanelMouse& m);
  void EndCropMode();
  void AnimateDivider(int target);
  void ShowContextMenu(const PanelMouse& m);
  void RunPictureCommand(std::function<void(Bitmap& source, Bitmap& result)> work,
                         std::function<void()> after);
  void Fail(const std::exception& error);
  void AfterLoad(Bitmap picture, const std::string& title);
  void FitOpenedPicture();
  bool SavePictureAs(const Bitmap& picture, const QString& chosenName, SaveFormat format);
  void ShowPartialPicture(std::shared_ptr<const Bitmap> picture);
  void DropPartialPicture();
  QString OpenFolder() const;
  void ShowRestored(std::optional<RestoredState> state);
  void RefreshAfterHistory(int zoom);
  void HideParametersForTool();
  void ShowParametersAfterTool();

  QStringList arguments_;
  AppFlags flags_;
  // The document: both panels, their history, the generator and the effect settings. The
  // members below are the window's names for its parts.
  Session session_;
  Random& random_ = session_.Rand();
  History* const history_ = &session_.GetHistory();
  AppSettings settings_;
  ParameterModel parameters_{session_.Settings()};
  std::unique_ptr<Computation> computation_;
  std::unique_ptr<QThread> updateThread_;
  // A child window that shows parameters_ and runs on computation_: declared after them, so
  // that it goes first.
  std::unique_ptr<ParametersWindow> parametersWindow_;
  std::unique_ptr<FramesWindow> framesWindow_;
  std::unique_ptr<TextWindow> textWindow_;
  std::unique_ptr<ModifyWindow> modifyWindow_;
  std::unique_ptr<ResizeWindow> resizeWindow_;
  bool parametersHiddenByTool_ = false;

  Bitmap& source_ = session_.SourcePanel();  // Image1
  Bitmap& result_ = session_.ResultPanel();  // Image2
  int sourceWidth_ = 0, sourceHeight_ = 0, resultWidth_ = 0, resultHeight_ = 0;
  QPoint sourceOffset_, resultOffset_;
  bool stretched_ = true;
  std::string pictureName_ = kDefaultPictureName;
  std::string titleName_ = kDefaultPictureName;
  std::string lastEffect_;
  int density_ = 300;
  std::string saveFolder_;
  std::shared_ptr<const Bitmap> partial_;
  bool unsavedDrawing_ = false;
  bool firstScreen_ = false;
  bool settingsWritable_ = true;  // no picture opened yet: the panels say what to do  // a drawing was made since the result was last saved
  view::WindowStyle style_ = view::WindowStyle::Charcoal;
  bool languageApplied_ = false;
  KeptMessages keptMessages_;

  // Layout and views.
  QWidget* central_ = nullptr;
  ToolBarPanel* panel1_ = nullptr;
  StatusPanel* panel2_ = nullptr;
  PanelView* scrollBox1_ = nullptr;
  PanelView* scrollBox2_ = nullptr;
  DividerBar* resizeImage_ = nullptr;
  QSlider* trackBar3_ = nullptr;
  QMenuBar* actionMainMenuBar1_ = nullptr;
  QMenuBar* actionMainMenuBar2_ = nullptr;
  QMenu* popupActionBar1_ = nullptr;
  QMenu* popupActionBar2_ = nullptr;
  int dividerOffset_ = 0;

  // Timers.
  QTimer* timer2_ = nullptr;
  QTimer* timer3_ = nullptr;
  QTimer* accelTimer_ = nullptr;
  QTimer* maxForm1Timer_ = nullptr;

  // Pan, zoom stepping, full screen, hint.
  bool dragLeft_ = false, dragRight_ = false;
  QPoint lastCursor_;
  int vx_ = 0, vy_ = 0;
  int zoomMode_ = 0;  // 0 none, -1 out, +1 in
  int zoomCounter_ = 1;
  int zoomTickMs_ = 10;                 // the continuous zoom's tick once it runs
  std::optional<QPoint> zoomAnchor_;    // the panel point a wheel zoom keeps in place
  bool keyHeld_ = false;
  bool fullScreenMark_ = false;
  bool resultHint_ = true;

  // Crop.
  bool cropMode_ = false;
  bool selectionActive_ = false;
  int cropPanel_ = 1;
  QPoint cropStart_, cropLast_;
  std::unique_ptr<Bitmap> cropClean_, cropLight_;

  // Start-up.
  bool firstIdleDone_ = false;

  // Asks whether the running computation should stop, holding it while the question is open;
  // `decide` applies the answer before the run goes on. Nothing happens while one is open.
  void AskStopQuestion(const std::function<void(bool stop)>& decide);
  bool stopQuestionOpen_ = false;
};

}  // namespace brumeleaf
