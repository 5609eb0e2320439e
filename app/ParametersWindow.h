#pragma once
// The drawing-parameters window: the effect list with its example pictures, the name box, the
// five slider rows and the per-effect extra controls, the finishing options, the live preview
// and the "Draw!" button. It displays the parameter model and forwards the user's actions to
// it; the model calls back (as its host) to stop a preview in progress and to re-arm the
// preview timer. The window is created once with the main window and shown and hidden.

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "app/ExamplePictures.h"
#include "app/ParameterModel.h"
#include "effects/PreviewEffect.h"
#include "imaging/AlphaPicture.h"
#include "imaging/Bitmap.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class QVariantAnimation;

namespace brumeleaf {

class BrushWindow;
class ClickLabel;
class MainWindow;
class PreviewPictureView;
class ProcessingDriver;
struct AppFlags;

class ParametersWindow : public QWidget, public ParameterHost {
  Q_OBJECT

 public:
  explicit ParametersWindow(MainWindow& main);
  ~ParametersWindow() override;

  // File dialogs go through these, so that a test can answer them.
  using FileQuestion = std::function<QString(const QString& title, const QString& folder,
                                             const QString& filter)>;
  FileQuestion ChooseOpenFile;
  FileQuestion ChooseSaveFile;

  ParameterModel& Model() { return model_; }
  ProcessingDriver& Driver() { return *driver_; }
  ExamplePictures& Examples() { return examples_; }

  // ---- ParameterHost
  bool WindowVisible() const override;
  bool Processing() const override;
  bool LeftButtonDown() const override;
  void RequestStop() override;
  void ArmPreview(int intervalMs) override;
  void DelayPreview(int addMs, int capMs) override;

  // ---- showing
  // "Drawing parameters...": shows the window (the collapsed mark is cleared).
  void ShowWindow();
  // The end of a run asked for the window again; a collapsed window comes back collapsed.
  void Reopen();

  // ---- effect list and name box
  void Edit1Click();
  void ListBox1Click(int listIndex);
  void ListBox1Hover(int listIndex);
  void HideList();
  bool ListShown() const;
  int HighlightedEntry() const { return highlighted_; }
  QWidget* ExampleWindow() const;

  // ---- sliders (row 1..5)
  QSlider* TrackBar(int row) const;
  QLabel* CaptionLabel(int row) const;
  QLabel* ValueLabel(int row) const;
  void SliderChanged(int row, int value);
  void SliderReleased(int row);
  void CaptionDoubleClicked(int row);
  void ValueLabelClicked(int row);
  void Image4Click();

  // ---- brushes
  void spSkinButton1Click();
  void spSkinButton2Click();
  void Button6Click();
  void Button7Click();
  // Loads a picture as the custom brush of Painting 7 and 8; false (with a message) on failure.
  bool LoadCustomBrush(const QString& path);
  const Bitmap* CustomBrush() const { return customBrush_.get(); }
  // The Painting 10 brush the user loaded, colour and transparency; null: the standard one.
  std::shared_ptr<const AlphaPicture> PaintBrush() const { return paintBrush3DAlpha_; }

  // ---- menu
  void Loadparameters1Click();
  void Saveparameters1Click();
  void Resetparameters1Click();

  // ---- "Draw!"
  void SpeedButton1Click();

  // ---- "Manual brush" (Button4): switches the brush mode on and off
  void Button4Click();
  BrushWindow& Brush();

  // ---- live preview
  void Timer1Timer();
  QTimer* PreviewTimer() const { return timer1_; }
  const Bitmap& PreviewImage() const { return image2_; }
  const PreviewCrop& Crop() const { return crop_; }
  // A new source (open, paste, undo, redo, swap, crop): the crop goes back to its middle.
  void ResetCrop();
  void Image2MouseDown(QPoint at);
  void Image2MouseMove(QPoint at);
  void Image2MouseUp();
  void TrackBar6Change(int position);
  bool PreviewRunning() const { return previewRunning_; }
  int PreviewsStarted() const { return previewsStarted_; }
  int PreviewsShown() const { return previewsShown_; }
  // How often a slow preview showed the raw crop while it computed.
  int RawCropsShown() const { return rawCropsShown_; }

  // ---- collapsing into a thumbnail
  void Image7Click();
  void Image8Enter();
  bool Collapsed() const { return collapsedShown_; }
  bool CollapsedMark() const { return collapsedMark_; }
  bool Animating() const;
  // A new language: the window's own captions and the model's texts are shown again.
  void Retranslate();
  // Style changes repaint the list in the style's colours.
  void StyleChanged();

 signals:
  // A preview picture has been computed and shown.
  void PreviewShown();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // Building (ParametersWindowBuild.cpp).
  void BuildMenu();
  QWidget* BuildNameBox();
  QWidget* BuildSliders();
  QWidget* BuildPreview();
  QWidget* BuildBrushButtons();
  QWidget* BuildFinishing();
  void BuildList();
  void BuildCollapsedPanel();
  void ConnectSliders();
  void WatchKeys();

  // Showing the model.
  void SyncFromModel();
  void SyncPanelSizes();
  void UpdateWidth();
  void PlaceMaxButton();
  void ShowExample(int listIndex, int mouseY);
  void FormActivate();
  void CentreOnDesktop();
  void Animate(int fromFrame, int toFrame, std::function<void(int)> step, std::function<void()> done);
  bool HandleKey(int key);
  QString AskOpen(const QString& title, const QString& filter);
  void Fail(const QString& message);

  // Preview steps (ParametersPreview.cpp).
  void StartPreview();
  void PreviewDone(int generation, std::shared_ptr<Bitmap> output, int code, int zoom,
                   std::exception_ptr failure);
  void ShowIntermediate(std::shared_ptr<const Bitmap> image);
  void ShowPreviewLine(int x);
  void DrawRawCrop();
  void RefreshImage2();
  int SourceWidth() const;
  int SourceHeight() const;

  MainWindow& main_;
  AppFlags& flags_;
  ParameterModel& model_;  // the main window's: runs, files and settings read it too
  std::unique_ptr<ProcessingDriver> driver_;
  ExamplePictures examples_;
  std::shared_ptr<const Bitmap> customBrush_;
  std::shared_ptr<const AlphaPicture> paintBrush3DAlpha_;

  // Controls, named as the window's designer named them.
  QMenuBar* menu_ = nullptr;
  QWidget* content_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QToolButton* image5_ = nullptr;
  QListWidget* listBox1_ = nullptr;
  QWidget* form16_ = nullptr;
  QLabel* form16Image_ = nullptr;
  std::array<ClickLabel*, 5> captions_{};
  std::array<QSlider*, 5> sliders_{};
  std::array<ClickLabel*, 5> values_{};
  ClickLabel* image4_ = nullptr;
  QCheckBox* checkBox6_ = nullptr;
  QCheckBox* checkBox8_ = nullptr;
  QPushButton* spSkinButton1_ = nullptr;
  QPushButton* spSkinButton2_ = nullptr;
  QPushButton* button6_ = nullptr;
  QPushButton* button7_ = nullptr;
  QWidget* brushColumn_ = nullptr;
  QPushButton* button4_ = nullptr;
  std::unique_ptr<BrushWindow> brushWindow_;
  QCheckBox* checkBox1_ = nullptr;
  QCheckBox* checkBox2_ = nullptr;
  QCheckBox* checkBox3_ = nullptr;
  QCheckBox* checkBox4_ = nullptr;
  ClickLabel* label12_ = nullptr;
  QToolButton* upDown1Up_ = nullptr;
  QToolButton* upDown1Down_ = nullptr;
  QComboBox* comboBox2_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QPushButton* speedButton1_ = nullptr;
  QPushButton* goButton_ = nullptr;
  PreviewPictureView* image2View_ = nullptr;
  QSlider* trackBar6_ = nullptr;
  ClickLabel* image6_ = nullptr;
  ClickLabel* image7_ = nullptr;
  QWidget* panel1_ = nullptr;
  ClickLabel* image8_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;

  // State.
  bool syncing_ = false;
  bool activated_ = false;
  int highlighted_ = -1;
  bool closePending_ = false;

  // Preview.
  Bitmap image2_;  // the 200 x 200 preview picture
  PreviewCrop crop_;
  bool dragging_ = false;
  QPoint lastMouse_;
  int dragInterval_ = 0;
  int generation_ = 0;
  bool previewRunning_ = false;
  int previewsStarted_ = 0;
  int previewsShown_ = 0;
  int rawCropsShown_ = 0;

  // Collapse.
  bool collapsedMark_ = false;
  bool collapsedShown_ = false;
  QRect expandedGeometry_;
  QPixmap capture_;
  std::unique_ptr<QVariantAnimation> animation_;
};

}  // namespace brumeleaf
