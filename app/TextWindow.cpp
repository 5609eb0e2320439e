#include "app/TextWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include "app/UiText.h"

namespace brumeleaf {
namespace {

// Every character a decimal digit (an empty text counts as a number).
bool IsNumber(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

}  // namespace

TextWindow::TextWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form9"));
  setWindowTitle(Tr(TextId::TextWindowTitle));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  Build();
}

void TextWindow::Build() {
  auto* grid = new QGridLayout(this);
  edit1_ = new QLineEdit(this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  grid->addWidget(new QLabel(Tr(TextId::EnterText), this), 0, 0);
  grid->addWidget(edit1_, 0, 1, 1, 3);
  bitBtn1_ = new QPushButton(Tr(TextId::FontButton), this);
  bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  bitBtn2_ = new QPushButton(Tr(TextId::ColorButton), this);
  bitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
  grid->addWidget(bitBtn1_, 1, 0);
  grid->addWidget(bitBtn2_, 1, 1);
  comboBox1_ = new QComboBox(this);
  comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  for (TextId id : {TextId::TextUserDefinedPosition, TextId::TopLeft, TextId::TopMiddle, TextId::TopRight,
                    TextId::MiddleLeft, TextId::Center, TextId::MiddleRight, TextId::BottomLeft,
                    TextId::BottomMiddle, TextId::BottomRight}) {
    comboBox1_->addItem(Tr(id));
  }
  grid->addWidget(comboBox1_, 2, 0, 1, 4);
  scrollBar1_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar1_->setObjectName(QStringLiteral("ScrollBar1"));
  scrollBar2_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar2_->setObjectName(QStringLiteral("ScrollBar2"));
  edit2_ = new QLineEdit(this);
  edit2_->setObjectName(QStringLiteral("Edit2"));
  edit3_ = new QLineEdit(this);
  edit3_->setObjectName(QStringLiteral("Edit3"));
  for (QLineEdit* e : {edit2_, edit3_}) e->setFixedWidth(60);
  grid->addWidget(new QLabel(QStringLiteral("x ="), this), 3, 0);
  grid->addWidget(edit2_, 3, 1);
  grid->addWidget(scrollBar1_, 3, 2, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("y ="), this), 4, 0);
  grid->addWidget(edit3_, 4, 1);
  grid->addWidget(scrollBar2_, 4, 2, 1, 2);
  checkBox1_ = new QCheckBox(Tr(TextId::TextShadow), this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  grid->addWidget(checkBox1_, 5, 0, 1, 4);
  button1_ = new QPushButton(QString::fromStdString(CurrentLanguage().ConfirmCaption()), this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button3_ = new QPushButton(Tr(TextId::DonationCancel), this);
  button3_->setObjectName(QStringLiteral("Button3"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button1_);
  buttons->addWidget(button3_);
  grid->addLayout(buttons, 6, 0, 1, 4);

  refresh_ = new QTimer(this);
  refresh_->setInterval(400);
  connect(refresh_, &QTimer::timeout, this, &TextWindow::TextChange);

  connect(edit1_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (syncing_) return;
    caption_.text = t.toStdString();
    TextChange();
  });
  connect(comboBox1_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (syncing_) return;
    caption_.position = i;
    TextChange();
  });
  for (QScrollBar* bar : {scrollBar1_, scrollBar2_}) {
    connect(bar, &QScrollBar::valueChanged, this, [this] {
      if (!syncing_) UserMoved();
    });
  }
  for (QLineEdit* e : {edit2_, edit3_}) {
    connect(e, &QLineEdit::editingFinished, this, [this, e] {
      QScrollBar* bar = e == edit2_ ? scrollBar1_ : scrollBar2_;
      bool ok = false;
      const int v = e->text().toInt(&ok);
      // A number from 0 to the bar's maximum moves the bar; anything else is put back.
      if (IsNumber(e->text()) && ok && v >= 0 && v <= bar->maximum()) {
        bar->setValue(v);
      } else {
        e->setText(QString::number(bar->value()));
      }
    });
  }
  connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    caption_.shadow = on;
    TextChange();
  });
  connect(bitBtn1_, &QPushButton::clicked, this, &TextWindow::ChooseFont);
  connect(bitBtn2_, &QPushButton::clicked, this, &TextWindow::ChooseColour);
  connect(button1_, &QPushButton::clicked, this, &TextWindow::Button1Click);
  connect(button3_, &QPushButton::clicked, this, &TextWindow::CancelClick);
}

void TextWindow::Open(const CaptionOptions& caption) {
  caption_ = caption;
  caption_.position = caption_.Position();
  stamped_ = false;
  SyncControls();
  show();
  raise();
  activateWindow();
  refresh_->start();
  TextChange();
}

void TextWindow::SyncControls() {
  syncing_ = true;
  edit1_->setText(QString::fromStdString(caption_.text));
  comboBox1_->setCurrentIndex(caption_.Position());
  checkBox1_->setChecked(caption_.shadow);
  syncing_ = false;
}

void TextWindow::SetPos() {
  if (!result) return;
  const Bitmap& picture = result();
  const auto [fx, fy] = frameOffsets ? frameOffsets() : std::pair<int, int>(0, 0);
  const TextSize text = MeasureCaptionText(caption_, caption_.text);
  const CaptionRange range = CaptionRanges(text, picture.Width(), picture.Height());
  const CaptionPoint p = CaptionPosition(picture, caption_, fx, fy);
  syncing_ = true;
  scrollBar1_->setRange(range.minX, range.maxX);
  scrollBar2_->setRange(range.minY, range.maxY);
  scrollBar1_->setValue(p.x);
  scrollBar2_->setValue(p.y);
  edit2_->setText(QString::number(p.x));
  edit3_->setText(QString::number(p.y));
  syncing_ = false;
}

void TextWindow::UserMoved() {
  // Moving the position makes it user defined.
  caption_.position = 0;
  caption_.x = scrollBar1_->value();
  caption_.y = scrollBar2_->value();
  syncing_ = true;
  comboBox1_->setCurrentIndex(0);
  edit2_->setText(QString::number(caption_.x));
  edit3_->setText(QString::number(caption_.y));
  syncing_ = false;
  TextChange();
}

void TextWindow::TextChange() {
  if (!isVisible() || !result) return;
  try {
    SetPos();
    const auto [fx, fy] = frameOffsets ? frameOffsets() : std::pair<int, int>(0, 0);
    patch_ = MakeCaptionPatch(result(), caption_, fx, fy);
    if (showPatch) showPatch(&patch_);
  } catch (const std::exception&) {
    RemoveLive();
  }
  if (store) store(caption_);
}

void TextWindow::ChooseFont() {
  hide();
  QFont font(QString::fromStdString(caption_.fontName));
  font.setPointSize(caption_.FontSize());
  font.setBold(caption_.bold);
  font.setItalic(caption_.italic);
  font.setUnderline(caption_.underline);
  font.setStrikeOut(caption_.strikeout);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font, parentWidget());
  if (ok) {
    caption_.fontName = chosen.family().toStdString();
    caption_.fontSize = std::max(1, chosen.pointSize());
    caption_.bold = chosen.bold();
    caption_.italic = chosen.italic();
    caption_.underline = chosen.underline();
    caption_.strikeout = chosen.strikeOut();
  }
  show();
  refresh_->start();
  TextChange();
}

void TextWindow::ChooseColour() {
  hide();
  const Colour c = static_cast<Colour>(caption_.Colour());
  const QColor chosen = QColorDialog::getColor(QColor(RedOf(c), GreenOf(c), BlueOf(c)), parentWidget());
  if (chosen.isValid()) caption_.colour = static_cast<int>(MakeColour(chosen.red(), chosen.green(), chosen.blue()));
  show();
  refresh_->start();
  TextChange();
}

void TextWindow::RemoveLive() {
  patch_ = {};
  if (showPatch) showPatch(nullptr);
}

void TextWindow::Button1Click() {
  refresh_->stop();
  RemoveLive();
  // Stamped on the result as it is now: anchored positions are placed afresh.
  if (stamp) stamp(caption_);
  if (store) store(caption_);
  stamped_ = true;
  hide();
}

void TextWindow::CancelClick() { hide(); }

void TextWindow::closeEvent(QCloseEvent* event) {
  refresh_->stop();
  RemoveLive();
  QDialog::closeEvent(event);
}

void TextWindow::hideEvent(QHideEvent* event) {
  refresh_->stop();
  RemoveLive();
  QDialog::hideEvent(event);
}

}  // namespace brumeleaf
