// Building the controls of the drawing-parameters window. Each control carries the object name
// the window's rules refer to (TrackBar1, Label5, CheckBox3, SpeedButton1, ...).

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ClickLabel.h"
#include "app/EffectListDelegate.h"
#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/PreviewPictureView.h"
#include "app/UiText.h"
#include "app/WindowStyles.h"
#include "effects/Catalogue.h"

namespace brumeleaf {

namespace {

// Object names of the five rows, in row order (rows 1..5).
constexpr const char* kCaptionNames[] = {"Label1", "Label2", "Label4", "Label8", "Label16"};
constexpr const char* kSliderNames[] = {"TrackBar1", "TrackBar2", "TrackBar5", "TrackBar3", "TrackBar4"};
constexpr const char* kValueNames[] = {"Label5", "Label6", "Label7", "Label9", "Label15"};

QPixmap PencilIcon(const QColor& colour) {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(11, 11);
  p.rotate(-45);
  p.setPen(QPen(colour, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(-6, -2.5, 11, 5));
  QPainterPath tip;
  tip.moveTo(5, -2.5);
  tip.lineTo(9, 0);
  tip.lineTo(5, 2.5);
  p.drawPath(tip);
  p.drawLine(QPointF(-3.5, -2.5), QPointF(-3.5, 2.5));
  return pixmap;
}

// The collapse icon: a window shrinking into its corner; the highlighted twin is brighter.
QPixmap CollapseIcon(const QColor& colour) {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour, 1.4));
  p.drawRect(QRectF(1.5, 1.5, 15, 15));
  p.setBrush(colour);
  p.drawRect(QRectF(2.5, 10.5, 5, 5));
  p.drawLine(QPointF(14, 4), QPointF(8, 10));
  p.drawLine(QPointF(8, 10), QPointF(8, 6.5));
  p.drawLine(QPointF(8, 10), QPointF(11.5, 10));
  return pixmap;
}

QToolButton* ArrowButton(Qt::ArrowType arrow, const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setArrowType(arrow);
  button->setFixedSize(18, 12);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// Remembers the language line of a caption, so that a change of language can rewrite it.
template <typename T>
T* Captioned(T* object, TextId text, const QString& prefix = QString()) {
  object->setProperty("textId", static_cast<int>(text));
  object->setProperty("textPrefix", prefix);
  object->setText(prefix + Tr(text));
  return object;
}

}  // namespace

void ParametersWindow::Retranslate() {
  for (QObject* object : findChildren<QObject*>()) {
    const QVariant id = object->property("textId");
    if (!id.isValid()) continue;
    const QString text = object->property("textPrefix").toString() +
                         Tr(static_cast<TextId>(id.toInt()));
    if (auto* label = qobject_cast<QLabel*>(object)) label->setText(text);
    if (auto* button = qobject_cast<QAbstractButton*>(object)) button->setText(text);
    if (auto* action = qobject_cast<QAction*>(object)) action->setText(text);
  }
  comboBox2_->setItemText(0, Tr(TextId::LightTexture));
  comboBox2_->setItemText(1, Tr(TextId::NormalTexture));
  comboBox2_->setItemText(2, Tr(TextId::StrongTexture));
  // The effect list is renamed at once, also while it is open.
  for (int i = 0; i < kListEntryCount && i < listBox1_->count(); ++i)
    listBox1_->item(i)->setText(QString::fromStdString(ListItemText(model_.CurrentLanguage(), i)));
  setWindowTitle(Tr(TextId::DrawingParametersTitle));
  if (auto* finishing = findChild<QGroupBox*>(QStringLiteral("GroupBox1")))
    finishing->setTitle(Tr(TextId::FinishingGroup));
  RetranslateTips(this);
  if (collapsedShown_) image8_->setToolTip(windowTitle());
  ApplyMenuDirection(menu_);
  SyncFromModel();
}

void ParametersWindow::BuildMenu() {
  menu_ = new QMenuBar(this);
  menu_->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* file = menu_->addMenu(QString());
  Captioned(file->menuAction(), TextId::ParametersMenu, QStringLiteral("&"));
  QAction* load = Captioned(file->addAction(QString()), TextId::LoadParameters);
  load->setObjectName(QStringLiteral("Loadparameters1"));
  connect(load, &QAction::triggered, this, &ParametersWindow::Loadparameters1Click);
  QAction* save = Captioned(file->addAction(QString()), TextId::SaveParameters);
  save->setObjectName(QStringLiteral("Saveparameters1"));
  connect(save, &QAction::triggered, this, &ParametersWindow::Saveparameters1Click);
  file->addSeparator();
  QAction* reset = Captioned(file->addAction(QString()), TextId::ResetParameters);
  reset->setObjectName(QStringLiteral("Resetparameters1"));
  connect(reset, &QAction::triggered, this, &ParametersWindow::Resetparameters1Click);
}

QWidget* ParametersWindow::BuildNameBox() {
  auto* row = new QWidget(content_);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  edit1_ = new QLineEdit(row);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setReadOnly(true);
  edit1_->setCursor(Qt::PointingHandCursor);
  edit1_->setMinimumHeight(26);
  QFont font = edit1_->font();
  font.setBold(true);
  edit1_->setFont(font);
  edit1_->installEventFilter(this);
  image5_ = new QToolButton(row);
  image5_->setObjectName(QStringLiteral("Image5"));
  image5_->setArrowType(Qt::DownArrow);
  image5_->setFixedSize(26, 26);
  image5_->setFocusPolicy(Qt::NoFocus);
  connect(image5_, &QToolButton::clicked, this, &ParametersWindow::Edit1Click);
  layout->addWidget(edit1_, 1);
  layout->addWidget(image5_);
  layout->addSpacing(12);
  image6_ = new ClickLabel(QStringLiteral("Image6"), row);
  image7_ = new ClickLabel(QStringLiteral("Image7"), row);
  SetTip(image6_, TextId::CollapseWindow);
  SetTip(image7_, TextId::CollapseWindow);
  image7_->setCursor(Qt::PointingHandCursor);
  image7_->hide();
  connect(image6_, &ClickLabel::entered, this, [this] {
    image6_->hide();
    image7_->show();
  });
  image7_->installEventFilter(this);
  connect(image7_, &ClickLabel::clicked, this, &ParametersWindow::Image7Click);
  layout->addWidget(image6_);
  layout->addWidget(image7_);
  return row;
}

QWidget* ParametersWindow::BuildSliders() {
  auto* box = new QWidget(content_);
  box->setObjectName(QStringLiteral("SliderRows"));
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(4, 0, 4, 0);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  for (int i = 0; i < 5; ++i) {
    const int row = i + 1;
    captions_[i] = new ClickLabel(QString::fromLatin1(kCaptionNames[i]), box);
    SetTip(captions_[i], TextId::ResetValueHint);
    sliders_[i] = new QSlider(Qt::Horizontal, box);
    sliders_[i]->setObjectName(QString::fromLatin1(kSliderNames[i]));
    sliders_[i]->setPageStep(1);
    sliders_[i]->setTickPosition(QSlider::NoTicks);
    values_[i] = new ClickLabel(QString::fromLatin1(kValueNames[i]), box);
    values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values_[i]->setMinimumWidth(34);
    grid->addWidget(captions_[i], 2 * i, 0);
    grid->addWidget(values_[i], 2 * i, 3);
    grid->addWidget(sliders_[i], 2 * i + 1, 0, 1, 4);
    connect(captions_[i], &ClickLabel::doubleClicked, this, [this, row] { CaptionDoubleClicked(row); });
    connect(values_[i], &ClickLabel::clicked, this, [this, row] { ValueLabelClicked(row); });
    connect(values_[i], &ClickLabel::doubleClicked, this, [this, row] { ValueLabelClicked(row); });
  }
  checkBox8_ = new QCheckBox(QStringLiteral("X 2"), box);
  checkBox8_->setObjectName(QStringLiteral("CheckBox8"));
  checkBox6_ = new QCheckBox(QStringLiteral("X 2"), box);
  checkBox6_->setObjectName(QStringLiteral("CheckBox6"));
  grid->addWidget(checkBox8_, 0, 1);
  grid->addWidget(checkBox6_, 2, 1);
  connect(checkBox6_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    model_.SetDoubleRow2(on);
    RequestStop();
    ArmPreview(500);
  });
  connect(checkBox8_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    model_.SetDoubleRow1(on);
    RequestStop();
    ArmPreview(500);
  });
  image4_ = new ClickLabel(QStringLiteral("Image4"), box);
  image4_->setText(QStringLiteral("MAX"));
  image4_->setCursor(Qt::PointingHandCursor);
  image4_->setAlignment(Qt::AlignCenter);
  image4_->setFixedSize(34, 16);
  grid->addWidget(image4_, 2, 2);
  connect(image4_, &ClickLabel::clicked, this, &ParametersWindow::Image4Click);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(10, 1);
  return box;
}

QWidget* ParametersWindow::BuildPreview() {
  auto* column = new QWidget(content_);
  auto* layout = new QGridLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  image2View_ = new PreviewPictureView(column);
  SetTip(image2View_, TextId::DragPreviewHint);
  image2View_->pressed = [this](QPoint at) { Image2MouseDown(at); };
  image2View_->moved = [this](QPoint at) { Image2MouseMove(at); };
  image2View_->released = [this] { Image2MouseUp(); };
  trackBar6_ = new QSlider(Qt::Vertical, column);
  trackBar6_->setObjectName(QStringLiteral("TrackBar6"));
  trackBar6_->setRange(25, 100);
  trackBar6_->setInvertedAppearance(true);
  trackBar6_->setTickInterval(10);
  trackBar6_->setPageStep(10);
  trackBar6_->setValue(25);
  trackBar6_->setFixedHeight(kPreviewSize);
  trackBar6_->setToolTip(QStringLiteral("100%"));
  connect(trackBar6_, &QSlider::valueChanged, this, &ParametersWindow::TrackBar6Change);
  connect(trackBar6_, &QSlider::sliderPressed, this, [this] { RequestStop(); });
  speedButton1_ = Captioned(new QPushButton(column), TextId::DrawButton, QString(7, QLatin1Char(' ')));
  speedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
  speedButton1_->setMinimumHeight(40);
  QFont font = speedButton1_->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  speedButton1_->setFont(font);
  speedButton1_->setIconSize(QSize(22, 22));
  connect(speedButton1_, &QPushButton::clicked, this, &ParametersWindow::SpeedButton1Click);
  layout->addWidget(image2View_, 0, 0);
  layout->addWidget(trackBar6_, 0, 1);
  layout->addWidget(speedButton1_, 1, 0, 1, 2);
  button4_ = Captioned(new QPushButton(column), TextId::ManualBrush);
  button4_->setObjectName(QStringLiteral("Button4"));
  connect(button4_, &QPushButton::clicked, this, &ParametersWindow::Button4Click);
  layout->addWidget(button4_, 2, 0, 1, 2);
  return column;
}

QWidget* ParametersWindow::BuildBrushButtons() {
  brushColumn_ = new QWidget(content_);
  auto* layout = new QVBoxLayout(brushColumn_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  auto make = [this](const char* name, TextId text) {
    auto* b = Captioned(new QPushButton(brushColumn_), text);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedWidth(118);
    return b;
  };
  spSkinButton1_ = make("spSkinButton1", TextId::LoadCustomBrush);
  spSkinButton2_ = make("spSkinButton2", TextId::ResetBrush);
  button6_ = make("Button6", TextId::LoadCustomBrush);
  button7_ = make("Button7", TextId::ResetBrush);
  for (QPushButton* b : {spSkinButton1_, spSkinButton2_, button6_, button7_}) layout->addWidget(b);
  layout->addStretch(1);
  connect(spSkinButton1_, &QPushButton::clicked, this, &ParametersWindow::spSkinButton1Click);
  connect(spSkinButton2_, &QPushButton::clicked, this, &ParametersWindow::spSkinButton2Click);
  connect(button6_, &QPushButton::clicked, this, &ParametersWindow::Button6Click);
  connect(button7_, &QPushButton::clicked, this, &ParametersWindow::Button7Click);
  return brushColumn_;
}

QWidget* ParametersWindow::BuildFinishing() {
  auto* group = new QGroupBox(Tr(TextId::FinishingGroup), content_);
  group->setObjectName(QStringLiteral("GroupBox1"));
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(6);
  auto check = [group](const char* name) {
    auto* box = new QCheckBox(group);
    box->setObjectName(QString::fromLatin1(name));
    return box;
  };
  auto caption = [group](const char* name, QCheckBox* box, std::optional<TextId> text) {
    auto* label = new ClickLabel(QString::fromLatin1(name), group);
    // Beside its box whatever the direction of the text (Arabic would otherwise align right,
    // away from the box it names).
    label->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    if (text) Captioned(label, *text);
    QObject::connect(label, &ClickLabel::clicked, box, [box] {
      if (box->isEnabled()) box->toggle();
    });
    return label;
  };
  checkBox2_ = check("CheckBox2");
  checkBox3_ = check("CheckBox3");
  checkBox1_ = check("CheckBox1");
  checkBox4_ = check("CheckBox4");
  ClickLabel* label11 = caption("Label11", checkBox2_, TextId::SoftenEdges);
  label12_ = caption("Label12", checkBox3_, std::nullopt);
  ClickLabel* label13 = caption("Label13", checkBox1_, TextId::AddFrame);
  ClickLabel* label14 = caption("Label14", checkBox4_, TextId::AddTextBox);
  auto* upDown = new QWidget(group);
  upDown->setObjectName(QStringLiteral("UpDown1"));
  auto* arrows = new QVBoxLayout(upDown);
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  upDown1Up_ = ArrowButton(Qt::UpArrow, "UpDown1Up", upDown);
  upDown1Down_ = ArrowButton(Qt::DownArrow, "UpDown1Down", upDown);
  arrows->addWidget(upDown1Up_);
  arrows->addWidget(upDown1Down_);
  comboBox2_ = new QComboBox(group);
  comboBox2_->setObjectName(QStringLiteral("ComboBox2"));
  // Widens with the longest strength name of the language shown.
  comboBox2_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  comboBox2_->addItems({Tr(TextId::LightTexture), Tr(TextId::NormalTexture),
                        Tr(TextId::StrongTexture)});
  button2_ = new QPushButton(QStringLiteral("..."), group);
  button2_->setObjectName(QStringLiteral("Button2"));
  button3_ = new QPushButton(QStringLiteral("..."), group);
  button3_->setObjectName(QStringLiteral("Button3"));
  for (QPushButton* b : {button2_, button3_}) b->setFixedWidth(30);

  grid->addWidget(checkBox2_, 0, 0);
  grid->addWidget(label11, 0, 1, 1, 3);
  grid->addWidget(checkBox3_, 1, 0);
  grid->addWidget(label12_, 1, 1);
  grid->addWidget(upDown, 1, 2);
  grid->addWidget(comboBox2_, 1, 3);
  grid->setColumnMinimumWidth(4, 14);
  grid->addWidget(checkBox1_, 0, 5);
  grid->addWidget(label13, 0, 6);
  grid->addWidget(button2_, 0, 7);
  grid->addWidget(checkBox4_, 1, 5);
  grid->addWidget(label14, 1, 6);
  grid->addWidget(button3_, 1, 7);
  grid->setColumnStretch(6, 1);

  connect(checkBox2_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) model_.SetSoftenEdges(on);
  });
  connect(checkBox3_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    model_.SetTexture(on);
    SyncFromModel();
  });
  connect(comboBox2_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseStrength(index);
    SyncFromModel();
  });
  auto step = [this](int delta) {
    model_.ClickTextureNumber(model_.Finishing().textureNumber + delta);
    SyncFromModel();
  };
  connect(upDown1Up_, &QToolButton::pressed, this, [step] { step(1); });
  connect(upDown1Down_, &QToolButton::pressed, this, [step] { step(-1); });
  for (QToolButton* b : {upDown1Up_, upDown1Down_}) {
    connect(b, &QToolButton::released, this, [this] { model_.ReleaseTextureNumber(); });
  }
  connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) model_.SetAddFrame(on);
  });
  connect(checkBox4_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) model_.SetAddText(on);
  });
  // "..." beside "Add a frame": the frames window in place of this one, then back.
  connect(button2_, &QPushButton::clicked, this, [this] {
    checkBox1_->setChecked(true);
    hide();
    main_.ShowFramesWindow();
    show();
  });
  connect(button3_, &QPushButton::clicked, this, [this] {
    checkBox4_->setChecked(true);
    main_.ShowTextWindow();
  });
  return group;
}

void ParametersWindow::BuildList() {
  listBox1_ = new QListWidget(content_);
  listBox1_->setObjectName(QStringLiteral("ListBox1"));
  listBox1_->setMouseTracking(true);
  listBox1_->setUniformItemSizes(true);
  listBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  listBox1_->setFrameShape(QFrame::Box);
  EffectListLook look;
  look.style = [this] { return main_.Style(); };
  look.enabled = [this](int entry) { return model_.EntryEnabled(entry); };
  look.highlighted = [this] { return highlighted_; };
  listBox1_->setItemDelegate(new EffectListDelegate(look, listBox1_));
  for (int i = 0; i < kListEntryCount; ++i) listBox1_->addItem(QString());
  listBox1_->viewport()->installEventFilter(this);
  listBox1_->installEventFilter(this);
  connect(listBox1_, &QListWidget::entered, this, [this](const QModelIndex& index) {
    ListBox1Hover(index.row());
  });
  connect(listBox1_, &QListWidget::clicked, this, [this](const QModelIndex& index) {
    ListBox1Click(index.row());
  });
  listBox1_->hide();

  form16_ = new QWidget(this, Qt::ToolTip | Qt::FramelessWindowHint);
  form16_->setObjectName(QStringLiteral("Form16"));
  form16_->setFixedSize(201, 201);
  form16Image_ = new QLabel(form16_);
  form16Image_->setGeometry(3, 3, kExampleSize, kExampleSize);
  form16_->setStyleSheet(QStringLiteral("#Form16 { background: #202020; }"));
  form16_->hide();
}

void ParametersWindow::BuildCollapsedPanel() {
  panel1_ = new QWidget(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  auto* layout = new QVBoxLayout(panel1_);
  layout->setContentsMargins(0, 0, 0, 0);
  image8_ = new ClickLabel(QStringLiteral("Image8"), panel1_);
  image8_->setAlignment(Qt::AlignCenter);
  image8_->setScaledContents(true);
  layout->addWidget(image8_);
  connect(image8_, &ClickLabel::entered, this, &ParametersWindow::Image8Enter);
  panel1_->hide();
}

void ParametersWindow::ConnectSliders() {
  for (int i = 0; i < 5; ++i) {
    const int row = i + 1;
    connect(sliders_[i], &QSlider::valueChanged, this, [this, row](int v) { SliderChanged(row, v); });
  }
}

// The window sees every key first (its rules for Up, Down, Escape, Insert and Enter hold
// whichever control has the focus).
void ParametersWindow::WatchKeys() {
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void ParametersWindow::StyleChanged() {
  const StyleColours c = ColoursOf(main_.Style());
  speedButton1_->setIcon(QIcon(PencilIcon(QColor(Qt::white))));
  speedButton1_->setStyleSheet(
      QStringLiteral("QPushButton#SpeedButton1 { background: %1; color: white; border: 1px solid %2;"
                     " border-radius: 4px; padding: 6px 14px; }"
                     "QPushButton#SpeedButton1:hover { background: %3; }"
                     "QPushButton#SpeedButton1:pressed { background: %2; }"
                     // The keyboard's place stays visible on the coloured button.
                     "QPushButton#SpeedButton1:focus { border: 2px solid %4; }")
          .arg(c.accent.name(), c.accent.darker(130).name(), c.accent.lighter(115).name(), c.text.name()));
  image4_->setStyleSheet(QStringLiteral("#Image4 { background: %1; color: white; border-radius: 3px;"
                                        " font-weight: bold; font-size: 9px; }")
                             .arg(c.accent.name()));
  image6_->setPixmap(CollapseIcon(c.dimText));
  image7_->setPixmap(CollapseIcon(c.accent.lighter(130)));
  const EntryColours list = ColoursOfEntry(main_.Style(), false, true);
  listBox1_->setStyleSheet(QStringLiteral("QListWidget#ListBox1 { background: %1; border: 1px solid %2; }")
                               .arg(list.background.name(), c.outline.name()));
  listBox1_->viewport()->update();
}

}  // namespace brumeleaf
