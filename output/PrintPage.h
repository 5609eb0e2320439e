#pragma once
// Printing the result picture on one page of any paged device: a printer, or a PDF file (the
// "Export as PDF" command and `brumeleaf-cli print`). The placement comes from PrintLayout.

#include <string>

#include "imaging/Bitmap.h"
#include "output/PrintLayout.h"

class QPagedPaintDevice;

namespace brumeleaf {

struct PrintRequest {
  PrintPlacement placement;
  bool fullPage = false;            // the placement's scale is replaced by the full-page scale
  PageOrientation orientation = PageOrientation::Portrait;
  int screenDpi = kScreenDpiDefault;
};

struct PrintOutcome {
  bool printed = false;
  std::string message;  // why it failed, or a warning (the picture lies off the page)
  PrintRect rect;
  PrinterPage page;
};

// The page as the device reports it (device pixels and dots per inch).
PrinterPage PageOf(const QPagedPaintDevice& device);

// Lays the picture out for `page` as the request says (the full-page scale when asked), and
// says in `outcome.message` when nothing of it would land on the page.
PrintOutcome PlanPrint(const Bitmap& picture, const PrinterPage& page, const PrintRequest& request);

// Paints the page: white, then the picture scaled into its rectangle. A device that cannot be
// painted on (no printer, a file that cannot be written) fails with a message; a blank page
// is never reported as printed.
PrintOutcome PrintPicture(QPagedPaintDevice& device, const Bitmap& picture, const PrintRequest& request);

// The picture printed to a one-page A4 PDF file at 600 dpi.
PrintOutcome PrintToPdf(const Bitmap& picture, const std::string& path, const PrintRequest& request);

}  // namespace brumeleaf
