#include "output/PrintPage.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace brumeleaf {

namespace {

QImage ToImage(const Bitmap& picture) {
  return QImage(picture.Data(), picture.Width(), picture.Height(),
                static_cast<qsizetype>(picture.RowDistance()), QImage::Format_BGR888)
      .copy();
}

}  // namespace

PrinterPage PageOf(const QPagedPaintDevice& device) {
  return {device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY()};
}

PrintOutcome PlanPrint(const Bitmap& picture, const PrinterPage& rawPage, const PrintRequest& request) {
  PrintOutcome outcome;
  bool usedDefault = false;
  outcome.page = UsablePage(rawPage, request.orientation, &usedDefault);
  if (usedDefault) outcome.message = "No printer page size is known; an A4 page is assumed.";
  PrintPlacement placement = request.placement;
  if (request.fullPage) {
    placement = PrintPlacement{};
    placement.scale = FullPageScale(picture.Width(), picture.Height(), outcome.page, request.screenDpi);
  }
  const PreviewPage preview = PreviewPageSize(outcome.page, request.orientation);
  outcome.rect = LayoutPrint(picture.Width(), picture.Height(), outcome.page, request.screenDpi, placement, preview);
  if (outcome.rect.offPage) outcome.message = "The picture lies entirely off the page.";
  return outcome;
}

PrintOutcome PrintPicture(QPagedPaintDevice& device, const Bitmap& picture, const PrintRequest& request) {
  if (picture.Empty()) return {false, "There is no picture to print.", {}, {}};
  PrintOutcome outcome = PlanPrint(picture, PageOf(device), request);
  if (device.width() <= 0 || device.height() <= 0) {
    outcome.message = "No printer is available.";
    return outcome;
  }
  QPainter painter;
  if (!painter.begin(&device)) {
    outcome.message = "The page could not be started.";
    return outcome;
  }
  painter.fillRect(QRect(0, 0, device.width(), device.height()), Qt::white);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  const PrintRect& r = outcome.rect;
  painter.drawImage(QRect(r.left, r.top, r.width, r.height), ToImage(picture));
  if (!painter.end()) {
    outcome.message = "The page could not be finished.";
    return outcome;
  }
  outcome.printed = true;
  return outcome;
}

PrintOutcome PrintToPdf(const Bitmap& picture, const std::string& path, const PrintRequest& request) {
  {
    // QPdfWriter reports an unwritable file only through QPainter::begin; check first so the
    // message names the file.
    QFile probe(QString::fromStdString(path));
    if (!probe.open(QIODevice::WriteOnly)) return {false, path + ": cannot be written.", {}, {}};
  }
  QPdfWriter writer(QString::fromStdString(path));
  writer.setResolution(kPdfDpi);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                   request.orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                     : QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
  writer.setCreator("Brumeleaf");
  PrintOutcome outcome = PrintPicture(writer, picture, request);
  if (!outcome.printed) QFile::remove(QString::fromStdString(path));
  return outcome;
}

}  // namespace brumeleaf
