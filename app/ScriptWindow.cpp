#include "app/ScriptWindow.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/MainWindow.h"
#include "app/ParametersWindow.h"
#include "app/ProcessingDriver.h"
#include "app/UiText.h"
#include "effects/Catalogue.h"

namespace brumeleaf {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

std::string WithoutAccelerator(const QString& caption) {
  QString plain = caption;
  plain.remove(QLatin1Char('&'));
  return plain.toStdString();
}

}  // namespace

// ---------------------------------------------------------------- overlay

BusyOverlay::BusyOverlay(QWidget* over) : QWidget(over) {
  setObjectName(QStringLiteral("BusyOverlay"));
  setAttribute(Qt::WA_NoSystemBackground);
  over->installEventFilter(this);
  hide();
}

void BusyOverlay::ShowWith(const QString& text) {
  text_ = text;
  setGeometry(parentWidget()->rect());
  raise();
  show();
}

void BusyOverlay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(255, 255, 255, 190));
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignCenter, text_);
}

bool BusyOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- window

ScriptWindow::ScriptWindow(MainWindow& main)
    : QWidget(&main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main), script_(kScriptDefaultRows, WithoutAccelerator(Tr(TextId::ScriptAction))) {
  setObjectName(QStringLiteral("Form14"));
  setWindowTitle(Tr(TextId::ScriptMenu));
  AskInteger = [this](const QString& title, const QString& label, int low, int high) -> std::optional<int> {
    bool ok = false;
    const int value = QInputDialog::getInt(this, title, label, low, low, high, 1, &ok);
    if (!ok) return std::nullopt;
    return value;
  };
  ChooseFile = [this](bool save) {
    const QString filter = QStringLiteral("Brumeleaf script file (*.bfs)");
    return save ? QFileDialog::getSaveFileName(this, Tr(TextId::SaveScript), QString(), filter)
                : QFileDialog::getOpenFileName(this, Tr(TextId::LoadScript), QString(), filter);
  };

  auto* layout = new QVBoxLayout(this);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  grid_->setColumnCount(kScriptColumns);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->setVisible(false);
  grid_->setColumnHidden(kScriptCodeColumn, true);
  const int letter = fontMetrics().horizontalAdvance(QLatin1Char('A'));
  grid_->setColumnWidth(0, 40 * letter);
  for (int c = 1; c <= 5; ++c) grid_->setColumnWidth(c, 4 * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 8);
  connect(grid_, &QTableWidget::cellClicked, this, &ScriptWindow::CellClicked);
  layout->addWidget(grid_);
  runButton_ = new QPushButton(Tr(TextId::RunScript), this);
  runButton_->setObjectName(QStringLiteral("SpeedButton1"));
  connect(runButton_, &QPushButton::clicked, this, &ScriptWindow::Run);
  layout->addWidget(runButton_);
  resize(44 * letter + 5 * (4 * letter + 8), 480);

  overlay_ = new BusyOverlay(main_.centralWidget());
  BuildPopup();
  RefreshGrid();
}

ScriptWindow::~ScriptWindow() {
  QObject::disconnect(waiting_);
}

void ScriptWindow::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->addAction(Tr(TextId::ScriptAddEffect), this, &ScriptWindow::AddCurrentEffect);
  popup_->addSeparator();
  const std::pair<TextId, int> operations[] = {
      {TextId::ScriptStoreLeft, kScriptStoreLeft},       {TextId::ScriptStoreRight, kScriptStoreRight},
      {TextId::ScriptRetrieveLeft, kScriptRetrieveLeft}, {TextId::ScriptRetrieveRight, kScriptRetrieveRight},
      {TextId::ScriptSwap, kScriptSwap},                 {TextId::ScriptRestoreSource, kScriptRestoreSource},
      {TextId::ScriptRotateRight, kScriptRotateRight},   {TextId::ScriptRotateLeft, kScriptRotateLeft},
      {TextId::AutomaticContrast, kScriptAutoContrast},  {TextId::InvertColors, kScriptInvert}};
  for (const auto& [text, code] : operations) {
    QAction* action = popup_->addAction(Tr(text));
    connect(action, &QAction::triggered, this, [this, c = code] { AddOperation(c); });
  }
  popup_->addAction(Tr(TextId::ScriptResizeLeft), this, [this] { AddResize(kScriptResizeLeft); });
  popup_->addAction(Tr(TextId::ScriptResizeRight), this, [this] { AddResize(kScriptResizeRight); });
  popup_->addSeparator();
  popup_->addAction(Tr(TextId::ScriptInsertLine), this, &ScriptWindow::InsertLine);
  popup_->addAction(Tr(TextId::ScriptDeleteLine), this, &ScriptWindow::DeleteLine);
  popup_->addSeparator();
  popup_->addAction(Tr(TextId::NewScript), this, &ScriptWindow::NewScript);
  popup_->addAction(Tr(TextId::LoadScript), this, &ScriptWindow::LoadScript);
  popup_->addAction(Tr(TextId::SaveScript), this, &ScriptWindow::SaveScript);
}

void ScriptWindow::SetScript(const Script& script) {
  script_ = script;
  RefreshGrid();
}

int ScriptWindow::CurrentRow() const { return std::max(1, grid_->currentRow() + 1); }

void ScriptWindow::SetCurrentRow(int row) {
  row = std::clamp(row, 1, script_.RowCount() - 1);
  grid_->setCurrentCell(row - 1, 0);
}

void ScriptWindow::RefreshGrid() {
  const int current = grid_->rowCount() > 0 ? CurrentRow() : 1;
  QStringList headers;
  for (int c = 0; c < kScriptColumns; ++c) headers << FromUtf8(script_.Cell(c, 0));
  grid_->setHorizontalHeaderLabels(headers);
  grid_->setRowCount(script_.RowCount() - 1);
  for (int row = 1; row < script_.RowCount(); ++row) RefreshRow(row);
  if (script_.RowCount() > 1) SetCurrentRow(current);
}

void ScriptWindow::RefreshRow(int row) {
  for (int c = 0; c < kScriptColumns; ++c) {
    QTableWidgetItem* item = grid_->item(row - 1, c);
    if (!item) {
      item = new QTableWidgetItem();
      grid_->setItem(row - 1, c, item);
    }
    item->setText(FromUtf8(script_.Cell(c, row)));
  }
}

// ---------------------------------------------------------------- editing

void ScriptWindow::AddCurrentEffect() {
  const int row = CurrentRow();
  ParameterModel& model = main_.Parameters();
  ScriptRow cells;
  std::string name = model.EntryText();
  name.erase(name.find_last_not_of(' ') + 1);
  cells[0] = name;
  for (int slider = 1; slider <= 5; ++slider)
    if (model.RowVisible(slider)) cells[static_cast<std::size_t>(slider)] = std::to_string(model.Slider(slider).position);
  cells[kScriptCodeColumn] = std::to_string(model.CurrentEffect());
  script_.Row(row) = cells;
  RefreshRow(row);
  if (row < script_.RowCount() - 1) SetCurrentRow(row + 1);
}

void ScriptWindow::AddOperation(int code) {
  const int row = CurrentRow();
  script_.Row(row) = ScriptRow{OperationLabel(code), "", "", "", "", "", std::to_string(code)};
  RefreshRow(row);
}

void ScriptWindow::AddResize(int code) {
  const int row = CurrentRow();
  const QString title = Tr(TextId::ResizeSourceMenu).remove(QLatin1Char('&')).remove(QStringLiteral("..."));
  const std::optional<int> x = AskInteger(title, QStringLiteral("x = "), 1, kMaxWidth);
  if (!x) return;
  const std::optional<int> y = AskInteger(title, QStringLiteral("y = "), 1, kMaxHeight);
  if (!y) return;
  script_.Row(row) = ScriptRow{OperationLabel(code), std::to_string(*x), std::to_string(*y), "", "", "", std::to_string(code)};
  RefreshRow(row);
}

void ScriptWindow::InsertLine() {
  if (Running()) return;
  try {
    script_.InsertLine(CurrentRow());
  } catch (const ScriptError& e) {
    main_.ShowMessage(FromUtf8(e.what()));
    return;
  }
  RefreshGrid();
}

void ScriptWindow::DeleteLine() {
  if (Running()) return;
  script_.DeleteLine(CurrentRow());
  RefreshGrid();
}

void ScriptWindow::NewScript() {
  if (Running()) return;
  if (!main_.AskOkCancel(Tr(TextId::NewScriptQuestion), Tr(TextId::NewScript))) return;
  script_.Clear();
  RefreshGrid();
  SetCurrentRow(1);
}

void ScriptWindow::LoadScript() {
  if (Running()) return;
  const QString path = ChooseFile(false);
  if (path.isEmpty()) return;
  try {
    // Read whole before anything changes: a bad file leaves the grid as it was.
    SetScript(LoadScriptFile(path.toStdString()));
  } catch (const std::exception& e) {
    main_.ShowMessage(FromUtf8(e.what()));
  }
}

void ScriptWindow::SaveScript() {
  const QString path = ChooseFile(true);
  if (path.isEmpty()) return;
  try {
    SaveScriptFile(ScriptFilePath(path.toStdString()), script_);
  } catch (const std::exception& e) {
    main_.ShowMessage(FromUtf8(e.what()));
  }
}

void ScriptWindow::CellClicked(int gridRow, int column) {
  if (Running()) return;
  if (column == 0) {
    popup_->popup(QCursor::pos());
  } else if (column >= 1 && column <= 5) {
    EditCell(gridRow + 1, column);
  }
  grid_->setCurrentCell(gridRow, 0);
}

void ScriptWindow::EditCell(int row, int column) {
  if (row < 1 || row >= script_.RowCount() || column < 1 || column > 5) return;
  const std::optional<int> value = AskInteger(Tr(TextId::ScriptMenu), QStringLiteral("# = "), -1000000, 1000000);
  if (!value) return;
  script_.SetCell(column, row, std::to_string(*value));
  RefreshRow(row);
  // The step appears on the sliders, as it will run.
  const StepCells cells = ReadStepCells(script_, row);
  if (!cells.code || *cells.code < 0 || *cells.code >= kEffectCount) return;
  ParameterModel& model = main_.Parameters();
  model.SelectEntry(ListIndexOfCode(*cells.code));
  for (int slider = 1; slider <= 5; ++slider)
    if (const auto v = cells.values[static_cast<std::size_t>(slider - 1)]) model.ChangeSlider(slider, *v);
}

void ScriptWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Run();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    Stop();
    return;
  }
  QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- running

void ScriptWindow::Run() {
  if (Running() || main_.Flags().Processing || main_.ParametersForm().Driver().RunInProgress()) return;
  try {
    runner_ = std::make_unique<ScriptRunner>(main_.GetSession(), script_, stored_, main_.PictureName());
  } catch (const std::exception& e) {
    main_.ShowMessage(FromUtf8(e.what()));
    return;
  }
  stopAsked_ = false;
  main_.ParametersForm().hide();
  main_.Flags().StopRequested.store(true);  // a preview in progress ends
  if (QAction* save = main_.Action(QStringLiteral("Saveinprogress1"))) save->setEnabled(false);
  runButton_->setEnabled(false);
  overlay_->ShowWith(Tr(TextId::ScriptMenu) + QStringLiteral(" ..."));
  QTimer::singleShot(0, this, &ScriptWindow::Continue);
}

void ScriptWindow::Stop() {
  if (!Running()) return;
  stopAsked_ = true;
  main_.Flags().StopRequested.store(true);
  if (!waiting_) QTimer::singleShot(0, this, &ScriptWindow::Continue);
}

void ScriptWindow::Abandon() {
  QObject::disconnect(waiting_);
  waiting_ = {};
  runner_.reset();
  overlay_->hide();
  runButton_->setEnabled(true);
}

void ScriptWindow::ShowPanels() {
  Session& session = main_.GetSession();
  main_.SetPictures(Bitmap(session.Source()), Bitmap(session.Result()));
  main_.SourceReplaced();
}

void ScriptWindow::Continue() {
  if (!runner_ || waiting_) return;
  if (stopAsked_) runner_->Stop();
  ScriptRunner::Next next;
  try {
    next = runner_->Advance();
  } catch (const std::exception& e) {
    ShowPanels();
    EndRun();
    main_.ShowMessage(FromUtf8(e.what()));
    return;
  }
  ShowPanels();
  if (next == ScriptRunner::Next::Finished) {
    EndRun();
    return;
  }
  if (runner_->CurrentRow() > 0) grid_->setCurrentCell(runner_->CurrentRow() - 1, 0);
  // The parameters window shows the step's entry and runs it as "Draw!" would.
  ParameterModel& model = main_.Parameters();
  const int code = model.CurrentEffect();
  model.SelectEntry(model.ListIndex());
  if (code == kFallbackCode && model.CurrentEffect() != kFallbackCode)
    model.FallBackFromMerge(main_.Source().Width() != main_.Result().Width());
  ProcessingDriver& driver = main_.ParametersForm().Driver();
  waiting_ = connect(&driver, &ProcessingDriver::RunFinished, this, &ScriptWindow::StepFinished);
  driver.Arm(100);
}

void ScriptWindow::StepFinished(const JobOutcome& outcome) {
  QObject::disconnect(waiting_);
  waiting_ = {};
  // Between steps the parameters window stays hidden.
  main_.Flags().ReopenParameters = false;
  if (runner_) runner_->EffectFinished(outcome);
  QTimer::singleShot(0, this, &ScriptWindow::Continue);
}

void ScriptWindow::EndRun() {
  const bool completed = runner_ && runner_->Completed();
  runner_.reset();  // restores the frame, text and texture choices whatever happened
  overlay_->hide();
  runButton_->setEnabled(true);
  if (QAction* save = main_.Action(QStringLiteral("Saveinprogress1"))) save->setEnabled(true);
  main_.ParametersForm().ShowWindow();
  raise();
  emit ScriptFinished(completed);
}

}  // namespace brumeleaf
