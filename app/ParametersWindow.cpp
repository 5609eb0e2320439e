#include "app/ParametersWindow.h"
#include "app/BrushWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "app/AppFlags.h"
#include "app/ClickLabel.h"
#include "app/Computation.h"
#include "app/EffectListDelegate.h"
#include "app/MainWindow.h"
#include "app/PreviewPictureView.h"
#include "app/ProcessingDriver.h"
#include "app/UiText.h"
#include "resources/PaintBrush3D.h"
#include "effects/CustomBrush.h"
#include "pipeline/Finalize.h"
#include "settings/ParameterFile.h"
#include "io/PictureFile.h"

namespace brumeleaf {

namespace {

// The brush buttons' column (118 pixels and the spacing around it) widens the window for the
// effects that show them.
constexpr int kBrushColumnRoom = 191;
// Room beyond the slider column's standard width, for the preview beside it.
constexpr int kExtraWidth = 40;
const char* const kParameterFilter = "Parameter files (*.bfp)";

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ParametersWindow::ParametersWindow(MainWindow& main)
    : QWidget(&main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main),
      flags_(main.Flags()),
      model_(main.Parameters()) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(Tr(TextId::DrawingParametersTitle));
  ChooseOpenFile = [this](const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(this, title, folder, filter);
  };
  ChooseSaveFile = [this](const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getSaveFileName(this, title, folder, filter);
  };
  driver_ = std::make_unique<ProcessingDriver>(main, *this);

  BuildMenu();
  content_ = new QWidget(this);
  auto* root = new QVBoxLayout(this);
  root->setMenuBar(menu_);
  root->setContentsMargins(10, 8, 10, 10);
  root->addWidget(content_);
  BuildCollapsedPanel();
  root->addWidget(panel1_);
  auto* column = new QVBoxLayout(content_);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(10);
  column->addWidget(BuildNameBox());
  auto* middle = new QHBoxLayout;
  middle->setSpacing(12);
  middle->addWidget(BuildPreview(), 0, Qt::AlignTop);
  middle->addWidget(BuildSliders(), 1);
  middle->addWidget(BuildBrushButtons());
  column->addLayout(middle);
  column->addWidget(BuildFinishing());
  goButton_ = new QPushButton(content_);
  goButton_->setObjectName(QStringLiteral("Go_Button"));
  goButton_->setGeometry(0, 0, 0, 0);
  goButton_->setFlat(true);
  BuildList();
  content_->setMouseTracking(true);
  ConnectSliders();
  WatchKeys();

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setSingleShot(true);
  // The delays are promises to the user ("not before"): a coarse timer may fire 5 % early.
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, &ParametersWindow::Timer1Timer);
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setSingleShot(true);
  connect(timer2_, &QTimer::timeout, this, [this] {
    closePending_ = false;
    close();
  });
  connect(&main_.Runner(), &Computation::PreviewPicture, this, &ParametersWindow::ShowIntermediate);
  connect(&main_.Runner(), &Computation::PreviewLine, this, &ParametersWindow::ShowPreviewLine);

  model_.SetHost(this);
  image2_.SetSize(kPreviewSize, kPreviewSize);
  StyleChanged();
  SyncFromModel();
  RefreshImage2();
}

ParametersWindow::~ParametersWindow() { model_.SetHost(nullptr); }

// ------------------------------------------------------------------ host

bool ParametersWindow::WindowVisible() const { return isVisible(); }

bool ParametersWindow::Processing() const { return flags_.Processing; }

bool ParametersWindow::LeftButtonDown() const {
  return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

void ParametersWindow::RequestStop() {
  flags_.StopRequested.store(true);
  // Whatever the preview in progress computes now belongs to settings that are gone.
  ++generation_;
}

void ParametersWindow::ArmPreview(int intervalMs) {
  if (intervalMs <= 0) {
    timer1_->stop();
  } else {
    timer1_->start(intervalMs);
  }
}

void ParametersWindow::DelayPreview(int addMs, int capMs) {
  const int current = timer1_->isActive() ? timer1_->interval() : 0;
  ArmPreview(std::min(current + addMs, capMs));
}

// ------------------------------------------------------------------ showing the model

void ParametersWindow::SyncFromModel() {
  syncing_ = true;
  edit1_->setText(Text(model_.EntryText()));
  const ExtraControls extras = model_.Extras();
  for (int row = 1; row <= 5; ++row) {
    const SliderState& s = model_.Slider(row);
    QSlider* slider = sliders_[row - 1];
    slider->setRange(s.range.low, s.range.high);
    slider->setSingleStep(1);
    slider->setTickInterval(s.range.tick);
    slider->setValue(s.position);
    captions_[row - 1]->setText(Text(model_.Caption(row)));
    values_[row - 1]->setText(Text(model_.ValueText(row)));
    const bool shown = model_.RowVisible(row);
    // Frame-only shows no rows; the captions of rows 1 and 2 go with them.
    captions_[row - 1]->setVisible(shown);
    slider->setVisible(shown);
    values_[row - 1]->setVisible(shown);
    values_[row - 1]->setCursor(extras.maxButtonRow == row ? Qt::PointingHandCursor : Qt::ArrowCursor);
  }
  checkBox6_->setVisible(extras.doubleRow2);
  checkBox8_->setVisible(extras.doubleRow1);
  spSkinButton1_->setVisible(extras.brushButtons);
  spSkinButton2_->setVisible(extras.brushButtons);
  button6_->setVisible(extras.paintBrushButtons);
  button7_->setVisible(extras.paintBrushButtons);
  brushColumn_->setVisible(extras.brushButtons || extras.paintBrushButtons);
  PlaceMaxButton();

  const FinishingOptions& f = model_.Finishing();
  checkBox1_->setChecked(f.addFrame);
  checkBox2_->setChecked(f.softenEdges);
  checkBox3_->setChecked(f.texture);
  checkBox4_->setChecked(f.addText);
  checkBox6_->setChecked(f.doubleRow2);
  checkBox8_->setChecked(f.doubleRow1);
  comboBox2_->setCurrentIndex(f.strengthIndex);
  comboBox2_->setEnabled(model_.StrengthEnabled());
  label12_->setText(Text(model_.TextureLabel()));
  const FinishingSteps steps = StandardFinishingSteps();
  checkBox1_->setEnabled(static_cast<bool>(steps.addFrame));
  checkBox4_->setEnabled(static_cast<bool>(steps.addText));
  button2_->setEnabled(true);
  button3_->setEnabled(true);
  syncing_ = false;
  UpdateWidth();
}

void ParametersWindow::PlaceMaxButton() {
  const int row = model_.Extras().maxButtonRow;
  image4_->setVisible(row != 0);
  if (row == 0) return;
  auto* grid = static_cast<QGridLayout*>(image4_->parentWidget()->layout());
  grid->removeWidget(image4_);
  grid->addWidget(image4_, 2 * (row - 1), 2);
}

void ParametersWindow::UpdateWidth() {
  if (collapsedShown_) return;
  setFixedWidth(model_.ClientWidth(kBrushColumnRoom) + kExtraWidth);
}

void ParametersWindow::SyncPanelSizes() {
  model_.SetPanelSizes(main_.Source().Width(), main_.Source().Height(), main_.Result().Width(),
                       main_.Result().Height());
}

// ------------------------------------------------------------------ list and name box

void ParametersWindow::Edit1Click() {
  if (ListShown()) {
    HideList();
    return;
  }
  SyncPanelSizes();
  model_.ToggleList();
  highlighted_ = model_.ListIndex();
  for (int i = 0; i < kListEntryCount; ++i) {
    listBox1_->item(i)->setText(Text(ListItemText(model_.CurrentLanguage(), i)));
  }
  const QRect below(edit1_->mapTo(content_, QPoint(0, edit1_->height())), QSize(edit1_->width() + image5_->width(), 0));
  const int height = std::min(content_->height() - below.top() - 4,
                              kListEntryCount * EffectListDelegate::kItemHeight + 4);
  listBox1_->setGeometry(below.left(), below.top() + 1, below.width(), height);
  listBox1_->show();
  listBox1_->raise();
  listBox1_->scrollToItem(listBox1_->item(highlighted_));
  SyncFromModel();
  ShowExample(highlighted_, listBox1_->mapToGlobal(QPoint(0, 40)).y());
}

bool ParametersWindow::ListShown() const { return !listBox1_->isHidden(); }

QWidget* ParametersWindow::ExampleWindow() const { return form16_; }

void ParametersWindow::HideList() {
  model_.HideList();
  listBox1_->hide();
  form16_->hide();
}

void ParametersWindow::ListBox1Hover(int listIndex) {
  SyncPanelSizes();
  if (!model_.CanHighlight(listIndex)) return;
  highlighted_ = listIndex;
  listBox1_->viewport()->update();
  const QRect r = listBox1_->visualRect(listBox1_->model()->index(listIndex, 0));
  ShowExample(listIndex, listBox1_->viewport()->mapToGlobal(r.center()).y());
}

void ParametersWindow::ListBox1Click(int listIndex) {
  SyncPanelSizes();
  if (!model_.ClickEntry(listIndex)) return;  // a header changes nothing
  highlighted_ = model_.ListIndex();
  HideList();
  SyncFromModel();
}

void ParametersWindow::ShowExample(int listIndex, int mouseY) {
  if (!main_.Settings().examplePictures || IsHeader(listIndex) || !ListShown()) return;
  form16Image_->setPixmap(QPixmap::fromImage(examples_.Picture(ExamplePictureNumber(listIndex))));
  const QPoint listTopRight = listBox1_->mapToGlobal(QPoint(listBox1_->width(), 0));
  QPoint at(listTopRight.x() + 10, mouseY - form16_->height() / 2);
  // Near the screen's edge the example stays on the screen.
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - form16_->height())));
  }
  form16_->move(at);
  form16_->show();
  form16_->raise();
}

// ------------------------------------------------------------------ sliders

QSlider* ParametersWindow::TrackBar(int row) const { return sliders_.at(static_cast<std::size_t>(row - 1)); }
QLabel* ParametersWindow::CaptionLabel(int row) const { return captions_.at(static_cast<std::size_t>(row - 1)); }
QLabel* ParametersWindow::ValueLabel(int row) const { return values_.at(static_cast<std::size_t>(row - 1)); }

void ParametersWindow::SliderChanged(int row, int value) {
  if (syncing_) return;
  model_.ChangeSlider(row, value);
  SyncFromModel();
}

void ParametersWindow::SliderReleased(int row) {
  // The slider keeps the keyboard, so the arrow keys fine-tune what the mouse set.
  sliders_[static_cast<std::size_t>(row - 1)]->setFocus(Qt::MouseFocusReason);
  // The changes made while the button was held did not restart the preview: this one does.
  RequestStop();
  ArmPreview(500);
}

void ParametersWindow::CaptionDoubleClicked(int row) {
  model_.ResetSlider(row);
  SyncFromModel();
}

void ParametersWindow::ValueLabelClicked(int row) {
  if (model_.ClickValueLabel(row)) SyncFromModel();
}

void ParametersWindow::Image4Click() {
  if (model_.ClickMaxButton()) SyncFromModel();
}

// ------------------------------------------------------------------ brushes

QString ParametersWindow::AskOpen(const QString& title, const QString& filter) {
  const QString folder = QString::fromStdString(main_.Settings().brushFolder);
  return ChooseOpenFile(title, QFileInfo::exists(folder) ? folder : QString(), filter);
}

void ParametersWindow::Fail(const QString& message) { main_.ShowMessage(message); }

bool ParametersWindow::LoadCustomBrush(const QString& path) {
  try {
    const Bitmap picture = LoadPicture(path.toStdString());
    customBrush_ = std::make_shared<const Bitmap>(MakeCustomBrush(picture));
  } catch (const std::exception& error) {
    Fail(QString::fromUtf8(error.what()));
    return false;
  }
  model_.SetCustomBrush(true);
  main_.Settings().brushFolder = QFileInfo(path).absolutePath().toStdString();
  ArmPreview(500);
  return true;
}

void ParametersWindow::spSkinButton1Click() {
  hide();
  RequestStop();
  const QString path = AskOpen(Tr(TextId::LoadCustomBrush), Tr(TextId::PictureFilesFilter));
  if (!path.isEmpty()) LoadCustomBrush(path);
  show();
}

void ParametersWindow::spSkinButton2Click() {
  RequestStop();
  if (!model_.Finishing().customBrush) return;
  model_.SetCustomBrush(false);
  ArmPreview(500);
}

void ParametersWindow::Button6Click() {
  const QString path = AskOpen(Tr(TextId::LoadCustomBrush), Tr(TextId::TransparentPngFilter));
  if (path.isEmpty()) return;
  try {
    // Loaded with its transparency: painted over white, a coloured brush would lose its rim.
    paintBrush3DAlpha_ = std::make_shared<const AlphaPicture>(LoadAlphaPicture(path.toStdString()));
  } catch (const std::exception& error) {
    Fail(QString::fromUtf8(error.what()));
    return;
  }
  ArmPreview(1000);
}

void ParametersWindow::Button7Click() {
  paintBrush3DAlpha_.reset();
  ArmPreview(1000);
}

// ------------------------------------------------------------------ menu

void ParametersWindow::Loadparameters1Click() {
  const QString path = ChooseOpenFile(Tr(TextId::LoadParameters), QString(),
                                      QString::fromLatin1(kParameterFilter));
  if (path.isEmpty()) return;
  try {
    LoadParameterFile(path.toStdString(), model_);
  } catch (const std::exception& error) {
    Fail(QString::fromUtf8(error.what()));
  }
  highlighted_ = model_.ListIndex();
  SyncFromModel();
}

void ParametersWindow::Saveparameters1Click() {
  const QString path = ChooseSaveFile(Tr(TextId::SaveParameters), QString(),
                                      QString::fromLatin1(kParameterFilter));
  if (path.isEmpty()) return;
  try {
    SaveParameterFile(path.toStdString(), model_.Settings());
  } catch (const std::exception& error) {
    Fail(QString::fromUtf8(error.what()));
  }
}

void ParametersWindow::Resetparameters1Click() {
  model_.ResetAll();
  SyncFromModel();
}

// ------------------------------------------------------------------ "Draw!", showing, closing

void ParametersWindow::SpeedButton1Click() {
  RequestStop();
  driver_->Arm(400);
  HideList();
  hide();
  main_.activateWindow();
}

void ParametersWindow::Button4Click() { Brush().Button4Click(); }

BrushWindow& ParametersWindow::Brush() {
  if (!brushWindow_) brushWindow_ = std::make_unique<BrushWindow>(main_, *this);
  return *brushWindow_;
}

void ParametersWindow::ShowWindow() {
  if (flags_.Processing) return;
  flags_.ReopenParameters = false;
  collapsedMark_ = false;
  if (collapsedShown_) Image8Enter();
  show();
  raise();
  activateWindow();
}

void ParametersWindow::Reopen() {
  show();
  raise();
  if (collapsedMark_ && !collapsedShown_) Image7Click();
}

void ParametersWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormActivate();
}

void ParametersWindow::FormActivate() {
  model_.Activate();
  SyncPanelSizes();
  SyncFromModel();
  if (!activated_) {
    activated_ = true;
    ResetCrop();
    CentreOnDesktop();
  }
  // A window shown again previews what is chosen now.
  if (!timer1_->isActive()) ArmPreview(100);
}

void ParametersWindow::CentreOnDesktop() {
  // A start with "-silent" leaves the window where it is (scripts place it themselves).
  if (main_.Arguments().value(0) == QLatin1String("-silent")) return;
  QScreen* screen = main_.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = frameGeometry().size();
  move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

void ParametersWindow::closeEvent(QCloseEvent* event) {
  if (driver_->RunInProgress()) {
    // A run in progress is stopped first; the window closes once it has ended.
    event->ignore();
    RequestStop();
    closePending_ = true;
    timer2_->start(500);
    return;
  }
  if (previewRunning_) RequestStop();
  HideList();
  QWidget::closeEvent(event);
}

// ------------------------------------------------------------------ keys and mouse

bool ParametersWindow::HandleKey(int key) {
  switch (key) {
    case Qt::Key_Up:
      SyncPanelSizes();
      if (!ListShown()) Edit1Click();
      model_.KeyUp();
      highlighted_ = model_.ListIndex();
      break;
    case Qt::Key_Down:
      SyncPanelSizes();
      if (!ListShown()) Edit1Click();
      model_.KeyDown();
      highlighted_ = model_.ListIndex();
      break;
    case Qt::Key_Escape:
      HideList();
      return true;
    case Qt::Key_Insert:
      if (!flags_.Processing) main_.SetStyle(view::NextStyle(main_.Style()));
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!flags_.Processing) Button6Click();
      return true;
    default:
      return false;
  }
  SyncFromModel();
  listBox1_->viewport()->update();
  if (ListShown()) {
    listBox1_->scrollToItem(listBox1_->item(highlighted_));
    const QRect r = listBox1_->visualRect(listBox1_->model()->index(highlighted_, 0));
    ShowExample(highlighted_, listBox1_->viewport()->mapToGlobal(r.center()).y());
  }
  return true;
}

void ParametersWindow::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event->key())) QWidget::keyPressEvent(event);
}

bool ParametersWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      // An open menu keeps its own keys: Escape closes it, the arrows move through it.
      if (qobject_cast<QMenu*>(watched) != nullptr) break;
      if (HandleKey(static_cast<QKeyEvent*>(event)->key())) return true;
      break;
    case QEvent::MouseButtonRelease: {
      // Every release on a slider reports its change: a click or a held press in the groove
      // moves the value without the handle ever being dragged, so the slider itself would
      // report no release.
      const auto row = std::find(sliders_.begin(), sliders_.end(), watched);
      if (row != sliders_.end() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        SliderReleased(static_cast<int>(row - sliders_.begin()) + 1);
      break;
    }
    case QEvent::MouseButtonPress:
      if (watched == edit1_) {
        Edit1Click();
        return true;
      }
      break;
    case QEvent::MouseMove:
      // The window's background: the list closes when the mouse wanders off it.
      if (watched == content_ && ListShown()) HideList();
      break;
    case QEvent::Leave:
      if (watched == listBox1_) HideList();
      if (watched == image7_) {
        image7_->hide();
        image6_->show();
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void ParametersWindow::mouseMoveEvent(QMouseEvent* event) {
  // The window's background: the list closes when the mouse wanders off it.
  if (ListShown()) HideList();
  QWidget::mouseMoveEvent(event);
}

}  // namespace brumeleaf
