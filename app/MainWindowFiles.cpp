// How pictures enter and leave the panels: open, load, drop, paste, download; save, save in
// progress, copy and the desktop wallpaper; the title line.

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstring>
#include <memory>

#include "app/BatchWindow.h"
#include "app/Computation.h"
#include "app/ParametersWindow.h"
#include "app/ScriptBatchMenus.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "app/UiText.h"
#include "app/WorkerFailure.h"
#include "io/Download.h"
#include "io/FileBytes.h"
#include "settings/ParameterFile.h"
#include "io/TitleLine.h"
#include "io/PictureFile.h"

namespace brumeleaf {
namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// A clipboard picture as a 24-bit picture; transparent parts become white.
Bitmap BitmapFromImage(const QImage& image) {
  QImage flat(image.size(), QImage::Format_BGR888);
  flat.fill(Qt::white);
  {
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
  }
  Bitmap bitmap(flat.width(), flat.height());
  for (int y = 0; y < flat.height(); ++y) {
    std::memcpy(bitmap.ScanLine(y), flat.constScanLine(y), static_cast<std::size_t>(flat.width()) * 3);
  }
  return bitmap;
}

PictureFormat FormatOf(SaveFormat format) {
  switch (format) {
    case SaveFormat::Jpeg: return PictureFormat::Jpeg;
    case SaveFormat::Png: return PictureFormat::Png;
    case SaveFormat::Bmp: return PictureFormat::Bmp;
  }
  return PictureFormat::Jpeg;
}

}  // namespace

void MainWindow::RefreshTitle() {
  panel2_->SetTitle(QString::fromStdString(TitleLine(titleName_, sourceWidth_, sourceHeight_, density_)));
  setWindowTitle(QStringLiteral("Brumeleaf - ") + QString::fromStdString(FileNameOf(titleName_)));
}

void MainWindow::Fail(const std::exception& error) { ShowMessage(QString::fromUtf8(error.what())); }

QString MainWindow::OpenFolder() const {
  const QString folder = QString::fromStdString(settings_.openFolder);
  return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void MainWindow::Openpicture1Click() {
  if (flags_.Processing || computation_->Busy()) return;
  SetZoom(100);
  const QString path = ChooseOpenName(Tr(TextId::OpenPicture), OpenFolder(), Tr(TextId::PictureFilesFilter));
  if (!path.isEmpty()) OpenPictureFile(path);
  FitOpenedPicture();
  // Next comes the choice of an effect (unless a batch is being set up).
  const BatchWindow* batch = FindBatchWindow(*this);
  if (parametersWindow_ && !(batch && batch->isVisible())) parametersWindow_->ShowWindow();
}

void MainWindow::FitOpenedPicture() {
  // Fit the picture into the wider panel, never enlarging it.
  const bool bySource = scrollBox2_->width() < scrollBox1_->width();
  const PanelView& box = bySource ? *scrollBox1_ : *scrollBox2_;
  SetZoom(view::FitZoom(box.width(), box.height(), bySource ? sourceWidth_ : resultWidth_,
                        bySource ? sourceHeight_ : resultHeight_, true));
  CenterImages();
}

bool MainWindow::OpenPictureFile(const QString& path) {
  if (flags_.Processing) return false;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  PictureInfo info;
  Bitmap picture;
  try {
    picture = LoadPicture(Utf8(path), &info);
  } catch (const std::exception& error) {
    QApplication::restoreOverrideCursor();
    Fail(error);
    return false;
  }
  density_ = info.dpi;
  flags_.SourceChanged = true;
  settings_.openFolder = Utf8(QFileInfo(path).absolutePath());
  pictureName_ = Utf8(QFileInfo(path).fileName());
  titleName_ = pictureName_;
  AfterLoad(std::move(picture), titleName_);
  QApplication::restoreOverrideCursor();
  return true;
}

// What every way of loading a new source shares: both panels get the picture, the sizes and
// the title follow, and both panels are recorded.
void MainWindow::AfterLoad(Bitmap picture, const std::string& title) {
  SetZoom(100);
  Bitmap copy = picture;
  titleName_ = title;
  // The blank sheet the program starts with is no state to go back to.
  if (firstScreen_) history_->Reset();
  SetPictures(std::move(picture), std::move(copy));
  SaveToHistory(1);
  lastEffect_.clear();
  panel2_->SetStatus(QString());
  SaveToHistory(2);
  flags_.SourceChanged = true;
  UpdateHistoryCommands();
}

bool MainWindow::LoadImageFile(const QString& path) {
  flags_.StopRequested.store(true);
  if (!IsLoadablePicture(Utf8(path))) return false;
  PictureInfo info;
  Bitmap picture;
  try {
    picture = LoadPicture(Utf8(path), &info);
  } catch (const std::exception& error) {
    Fail(error);
    return false;
  }
  density_ = info.dpi;
  flags_.SourceChanged = true;
  AfterLoad(std::move(picture), Utf8(path));
  return true;
}

void MainWindow::DropFile(const QString& path) {
  if (flags_.Processing || computation_->Busy()) return;
  if (!LoadImageFile(path.left(4096))) return;
  pictureName_ = kDefaultPictureName;
  titleName_ = pictureName_;
  RefreshTitle();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == scrollBox1_ && event->type() == QEvent::DragEnter) {
    auto* drag = static_cast<QDragEnterEvent*>(event);
    if (drag->mimeData()->hasUrls() && !flags_.Processing) drag->acceptProposedAction();
    return true;
  }
  if (watched == scrollBox1_ && event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) DropFile(urls.first().toLocalFile());
    drop->acceptProposedAction();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Colleruneimagedepuislepressepapier1Click() {
  if (flags_.Processing || computation_->Busy()) return;
  const QImage image = QApplication::clipboard()->image();
  if (image.isNull()) return;
  try {
    PastePicture(BitmapFromImage(image));
  } catch (const std::exception& error) {
    Fail(error);
  }
}

void MainWindow::PastePicture(Bitmap picture) {
  if (flags_.Processing) return;
  pictureName_ = kDefaultPictureName;
  titleName_ = pictureName_;
  lastEffect_.clear();
  Bitmap result;
  if (picture.Width() != result_.Width() || picture.Height() != result_.Height()) {
    result = picture;
    flags_.SourceChanged = true;
    panel2_->SetStatus(QString());
  } else {
    // A picture of the result's size keeps the result: a drawing can be laid over a new source.
    result = std::move(result_);
  }
  SetZoom(100);
  if (firstScreen_) history_->Reset();
  SetPictures(std::move(picture), std::move(result));
  SaveToHistory(1);
  SaveToHistory(2);
  UpdateHistoryCommands();
}

void MainWindow::Copierledessindanslepressepapier1Click() {
  if (flags_.Processing || result_.Empty()) return;
  QApplication::clipboard()->setImage(WrapBitmap(result_).copy());
}

namespace {

// The save dialogs' formats in their fixed order: JPEG, PNG, BMP. The chosen one is found by
// its position, so the descriptions can be in any language.
QStringList SaveFilters() {
  return {Tr(TextId::JpegFilesFilter), Tr(TextId::PngFilesFilter), Tr(TextId::BmpFilesFilter)};
}

}  // namespace

void MainWindow::Savepicture1Click() {
  if (flags_.Processing || computation_->Busy()) return;
  // The view the user chose comes back after the dialog.
  const int zoom = Zoom();
  struct KeepZoom {
    MainWindow* window;
    int zoom;
    ~KeepZoom() { window->SetZoom(zoom); }
  } keep{this, zoom};
  SetZoom(100);
  std::array<int, 5> sliders{};
  for (int row = 1; row <= 5; ++row) sliders[static_cast<std::size_t>(row - 1)] = parameters_.Slider(row).position;
  const QString proposed = QString::fromStdString(ProposedSaveName(
      pictureName_, settings_.saveParametersInName, parameters_.EntryText(), sliders));
  const QString start = saveFolder_.empty() ? OpenFolder() : QString::fromStdString(saveFolder_);
  int chosenFilter = 0;
  const QString name = ChooseSaveName(Tr(TextId::SaveDrawingAs), start + QStringLiteral("/") + proposed,
                                      SaveFilters(), &chosenFilter);
  if (name.isEmpty()) return;
  const SaveFormat format = chosenFilter == 1   ? SaveFormat::Png
                            : chosenFilter == 2 ? SaveFormat::Bmp
                                                : SaveFormat::Jpeg;
  if (SaveResultAs(name, format)) saveFolder_ = Utf8(QFileInfo(name).absolutePath());
  raise();
}

void MainWindow::Saveinprogress1Click() {
  if (!flags_.Processing && !computation_->Busy()) return;
  // What the run has drawn so far, as the right panel shows it; before its first picture the
  // panel still shows what it held.
  const std::shared_ptr<const Bitmap> drawing = partial_;
  const QString proposed =
      QString::fromStdString(ProposedInProgressName(pictureName_, panel2_->Position()));
  const QString start = saveFolder_.empty() ? OpenFolder() : QString::fromStdString(saveFolder_);
  int chosenFilter = 0;
  const QString name = ChooseSaveName(Tr(TextId::SaveInProgress), start + QStringLiteral("/") + proposed,
                                      SaveFilters(), &chosenFilter);
  if (name.isEmpty()) return;
  const SaveFormat format = chosenFilter == 1   ? SaveFormat::Png
                            : chosenFilter == 2 ? SaveFormat::Bmp
                                                : SaveFormat::Jpeg;
  if (SavePictureAs(drawing ? *drawing : result_, name, format))
    saveFolder_ = Utf8(QFileInfo(name).absolutePath());
}

bool MainWindow::SaveResultAs(const QString& chosenName, SaveFormat format) {
  if (!SavePictureAs(result_, chosenName, format)) return false;
  unsavedDrawing_ = false;
  return true;
}

bool MainWindow::SavePictureAs(const Bitmap& picture, const QString& chosenName, SaveFormat format) {
  const QString name = QString::fromStdString(NameForFormat(Utf8(chosenName), format));
  if (QFileInfo::exists(name) &&
      !AskOkCancel(KeptMessage(TextId::OverwriteQuestion),
                   QStringLiteral("Brumeleaf"))) {
    return false;
  }
  try {
    SaveOptions options;
    options.jpegQuality = 95;
    options.dpi = density_;
    const std::vector<std::uint8_t> bytes = EncodePicture(picture, FormatOf(format), options);
    WriteFileReplacing(Utf8(name), bytes);
  } catch (const std::exception& error) {
    Fail(error);
    return false;
  }
  return true;
}

void MainWindow::ShowPartialPicture(std::shared_ptr<const Bitmap> picture) {
  // Only a processing run's pictures: a late one after the run has ended is dropped.
  if (!flags_.Processing || !computation_->Busy() || !picture || picture->Empty()) return;
  partial_ = std::move(picture);
  scrollBox2_->SetPicture(partial_.get());
  const int z = stretched_ ? Zoom() : 100;
  const QSize shown(view::Scaled(partial_->Width(), z), view::Scaled(partial_->Height(), z));
  if (partial_->Width() == resultWidth_ && partial_->Height() == resultHeight_) {
    scrollBox2_->SetPictureRect(QRect(resultOffset_, shown));
  } else {
    // A drawing of another size than the picture shown (a frame the run will not keep): centred.
    const QSize box = scrollBox2_->size();
    scrollBox2_->SetPictureRect(
        QRect(QPoint(box.width() / 2 - shown.width() / 2, box.height() / 2 - shown.height() / 2), shown));
  }
  scrollBox2_->update();
}

void MainWindow::DropPartialPicture() {
  if (!partial_) return;
  scrollBox2_->SetPicture(&result_);
  partial_.reset();
  ApplyPictureRects();
  scrollBox2_->update();
}

void MainWindow::EnregistrerenfonddcranWindows1Click() {
  if (flags_.Processing || result_.Empty()) return;
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath();
  QDir().mkpath(documents);
  const QString path = documents + QStringLiteral("/Brumeleaf.bmp");
  try {
    WriteFileReplacing(Utf8(path), EncodePicture(result_, PictureFormat::Bmp));
  } catch (const std::exception& error) {
    Fail(error);
    return;
  }
  // Where the desktop lets a program set its background, do so; elsewhere the file is all.
  // Either way the user learns where the picture is.
  QString told = Tr(TextId::WallpaperWritten).arg(QDir::toNativeSeparators(path));
  const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
  if (!gsettings.isEmpty()) {
    const QString uri = QUrl::fromLocalFile(path).toString();
    bool applied = true;
    for (const char* key : {"picture-uri", "picture-uri-dark"}) {
      applied &= QProcess::startDetached(gsettings, {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"),
                                                     QString::fromLatin1(key), uri});
    }
    QProcess::startDetached(gsettings, {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"),
                                        QStringLiteral("picture-options"), QStringLiteral("stretched")});
    if (applied) told += QStringLiteral("\n") + Tr(TextId::WallpaperApplied);
  }
  ShowMessage(told);
}

void MainWindow::StartDownload(const QString& address) {
  if (flags_.Processing || computation_->Busy()) return;
  flags_.StopRequested.store(true);
  flags_.Processing = true;
  auto picture = std::make_shared<Bitmap>();
  const std::string url = Utf8(address);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  // The transfer runs on the worker, so the window stays responsive; the user's stop ends it.
  flags_.UserCancelled.store(false);
  DownloadLimits limits;
  limits.cancel = &flags_.UserCancelled;
  computation_->Start(
      ParameterSnapshot{}, false, [picture, url, limits](RunContext&) { *picture = DownloadImage(url, limits); },
      [this, picture](std::exception_ptr failure) {
        QApplication::restoreOverrideCursor();
        flags_.Processing = false;
        if (ReportWorkerFailure(failure, [this](const std::exception& error) { Fail(error); })) return;
        pictureName_ = kDefaultPictureName;
        density_ = 300;
        AfterLoad(std::move(*picture), kDefaultPictureName);
      });
}

}  // namespace brumeleaf
