#include "app/ResizeWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/UiText.h"
#include "imaging/Bitmap.h"

namespace brumeleaf {

ResizeWindow::ResizeWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form10"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setModal(true);
  Build();
}

void ResizeWindow::Build() {
  auto* grid = new QGridLayout(this);
  auto makeEdit = [this](int number) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QStringLiteral("Edit%1").arg(number));
    e->setFixedWidth(number <= 2 ? 80 : 50);
    e->installEventFilter(this);
    return e;
  };
  auto makeBar = [this](int number) {
    auto* b = new QScrollBar(Qt::Horizontal, this);
    b->setObjectName(QStringLiteral("ScrollBar%1").arg(number));
    b->setRange(view::kResizeScrollMin, view::kResizeScrollMax);
    b->setMinimumWidth(220);
    b->setFocusPolicy(Qt::StrongFocus);
    b->installEventFilter(this);
    return b;
  };
  edit1_ = makeEdit(1);
  edit2_ = makeEdit(2);
  edit3_ = makeEdit(3);
  edit4_ = makeEdit(4);
  scrollBar1_ = makeBar(1);
  scrollBar2_ = makeBar(2);
  label1_ = new QLabel(this);
  label2_ = new QLabel(this);
  grid->addWidget(label1_, 0, 0);
  grid->addWidget(edit1_, 0, 1);
  grid->addWidget(edit3_, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("%"), this), 0, 3);
  grid->addWidget(scrollBar1_, 1, 0, 1, 4);
  grid->addWidget(label2_, 2, 0);
  grid->addWidget(edit2_, 2, 1);
  grid->addWidget(edit4_, 2, 2);
  grid->addWidget(new QLabel(QStringLiteral("%"), this), 2, 3);
  grid->addWidget(scrollBar2_, 3, 0, 1, 4);
  checkBox1_ = new QCheckBox(this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  checkBox2_ = new QCheckBox(this);
  checkBox2_->setObjectName(QStringLiteral("CheckBox2"));
  grid->addWidget(checkBox1_, 4, 0, 1, 4);
  grid->addWidget(checkBox2_, 5, 0, 1, 4);
  button1_ = new QPushButton(this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button2_ = new QPushButton(this);
  button2_->setObjectName(QStringLiteral("Button2"));
  // Enter is handled by the window itself, never by a default button.
  button1_->setAutoDefault(false);
  button2_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button1_);
  buttons->addWidget(button2_);
  grid->addLayout(buttons, 6, 0, 1, 4);

  connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ScrollBarChange(1); });
  connect(scrollBar2_, &QScrollBar::valueChanged, this, [this] { ScrollBarChange(2); });
  connect(checkBox1_, &QCheckBox::clicked, this, &ResizeWindow::CheckBox1Click);
  connect(checkBox2_, &QCheckBox::clicked, this, &ResizeWindow::CheckBox2Click);
  connect(button1_, &QPushButton::clicked, this, &ResizeWindow::Button1Click);
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);
}

void ResizeWindow::Retranslate() {
  setWindowTitle(Tr(TextId::ResizeTitle));
  label1_->setText(Tr(TextId::WidthLabel));
  label2_->setText(Tr(TextId::HeightLabel));
  checkBox1_->setText(Tr(TextId::KeepRatio));
  checkBox2_->setText(Tr(TextId::DesktopSize));
  button1_->setText(QString::fromStdString(CurrentLanguage().ConfirmCaption()));
  button2_->setText(Tr(TextId::DonationCancel));
  setLayoutDirection(CurrentLanguage().RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

QLineEdit* ResizeWindow::Box(int number) const {
  switch (number) {
    case 1: return edit1_;
    case 2: return edit2_;
    case 3: return edit3_;
    default: return edit4_;
  }
}

void ResizeWindow::Prepare(int sourceWidth, int sourceHeight) {
  Retranslate();
  model_.Activate(sourceWidth, sourceHeight);
  SyncControls();
  edit3_->setFocus();
  edit3_->selectAll();
}

int ResizeWindow::Open(int sourceWidth, int sourceHeight) {
  Prepare(sourceWidth, sourceHeight);
  return exec();
}

void ResizeWindow::SyncControls() {
  syncing_ = true;
  // A box keeps its cursor when its text does not change (the model rewrites every box).
  auto set = [](QLineEdit* e, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (e->text() != t) e->setText(t);
  };
  set(edit1_, model_.WidthText());
  set(edit2_, model_.HeightText());
  set(edit3_, model_.WidthPercentText());
  set(edit4_, model_.HeightPercentText());
  scrollBar1_->setValue(model_.WidthScroll());
  scrollBar2_->setValue(model_.HeightScroll());
  checkBox1_->setChecked(model_.KeepRatio());
  checkBox2_->setChecked(model_.DesktopSize());
  syncing_ = false;
}

void ResizeWindow::EditKeyUp(int number) {
  const std::string text = Box(number)->text().toStdString();
  switch (number) {
    case 1: model_.WidthKeyUp(text); break;
    case 2: model_.HeightKeyUp(text); break;
    case 3: model_.WidthPercentKeyUp(text); break;
    default: model_.HeightPercentKeyUp(text); break;
  }
  SyncControls();
}

void ResizeWindow::ScrollBarChange(int number) {
  // Only the user's moves of the focused bar count: positions set by the other rules must not
  // loop back into the boxes.
  QScrollBar* bar = Bar(number);
  if (syncing_ || !bar->hasFocus()) return;
  if (number == 1) {
    model_.WidthScrolled(bar->value());
  } else {
    model_.HeightScrolled(bar->value());
  }
  SyncControls();
}

void ResizeWindow::CheckBox1Click() {
  if (syncing_) return;
  scrollBar1_->setFocus();
  model_.SetKeepRatio(checkBox1_->isChecked());
  SyncControls();
}

void ResizeWindow::CheckBox2Click() {
  if (syncing_) return;
  const QSize desktop = desktopSize ? desktopSize() : QSize();
  model_.SetDesktopSize(checkBox2_->isChecked(), desktop.width(), desktop.height());
  SyncControls();
}

void ResizeWindow::Button1Click() {
  const view::ResizeBox::Decision d = model_.Ok();
  using Kind = view::ResizeBox::Decision::Kind;
  if (d.kind == Kind::TooSmall) {
    if (showMessage) showMessage(Tr(TextId::ResizeTooSmall));
    return;  // the window stays open, nothing changes
  }
  if (d.kind == Kind::TooLarge) {
    if (showMessage)
      showMessage(Tr(TextId::ResizeTooLarge).arg(kMaxWidth).arg(kMaxHeight));
    return;
  }
  if (resize) resize(d.width, d.height);
  accept();
}

bool ResizeWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Button1Click();
      return true;  // consumed
    }
  }
  if (event->type() == QEvent::KeyRelease) {
    for (int number = 1; number <= 4; ++number)
      if (watched == Box(number)) EditKeyUp(number);
  }
  return QDialog::eventFilter(watched, event);
}

void ResizeWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Button1Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace brumeleaf
