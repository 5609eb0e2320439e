#pragma once
// Where the result picture goes on a printed page. Pure arithmetic on the page's size in
// device pixels, the printer's and the screen's dots per inch and the user's placement, so the
// print preview window, the PDF export and the command line all place a picture alike and the
// layout can be tested without a printer.
//
// The picture is printed at its screen size (one picture pixel per screen pixel, scaled by the
// whole-number ratio printer dpi div screen dpi), times the scale, reduced to 94 % and centred,
// then moved by the offsets.

#include <optional>
#include <string>

namespace brumeleaf {

inline constexpr int kPrintScaleMin = 5;
inline constexpr int kPrintScaleMax = 1000;
inline constexpr int kPrintScaleDefault = 100;
inline constexpr int kPrintOffsetMin = -200;
inline constexpr int kPrintOffsetMax = 200;
inline constexpr int kPreviewPageSide = 130;  // the preview page's shorter side
inline constexpr int kPreviewPageAreaLeft = 180;
inline constexpr int kPreviewShadowOffset = 7;
inline constexpr int kScreenDpiDefault = 96;
inline constexpr int kPdfDpi = 600;

enum class PageOrientation { Portrait, Landscape };

// What the printer layer reports. A page of width or height 0 means there is no printer.
struct PrinterPage {
  int width = 0;   // device pixels
  int height = 0;
  int dpiX = 0;
  int dpiY = 0;
};

// A4 at 600 dpi in the given orientation: what is laid out when no printer answers.
PrinterPage DefaultPage(PageOrientation orientation);
// The page itself when it is usable, otherwise the default page (`usedDefault` says which).
PrinterPage UsablePage(const PrinterPage& page, PageOrientation orientation, bool* usedDefault = nullptr);

// The whole-number ratio of printer to screen density, at least 1 (a printer coarser than the
// screen, or a density of 0, prints picture pixels one to one).
int DensityFactor(int printerDpi, int screenDpi);

// Landscape for a picture wider than tall, portrait otherwise (a square one too).
PageOrientation OrientationFor(int pictureWidth, int pictureHeight);

// A typed scale: a whole number, with or without a final "%" (spaces around are allowed),
// clamped into 5..1000. Nothing for anything else.
std::optional<int> ParseScale(const std::string& text);
// The scale as the window shows it: "150%".
std::string ScaleText(int scale);

// The small page of the preview window: with P = page height x 100 div page width a portrait
// page is 130 wide and 130 P div 100 high, a landscape one 130 high and 130 x 100 div P wide.
struct PreviewPage {
  int width = 0;
  int height = 0;
};
PreviewPage PreviewPageSize(const PrinterPage& page, PageOrientation orientation);

// Where the preview page sits in a window of the given client size: centred horizontally in
// the area right of x = 180 and vertically in the window.
struct PreviewRect {
  int left = 0, top = 0, width = 0, height = 0;
};
PreviewRect PreviewPagePlace(const PreviewPage& page, int windowWidth, int windowHeight);

struct PrintPlacement {
  int scale = kPrintScaleDefault;  // percent, 5..1000
  int offsetX = 0;                 // -200..200, preview page pixels
  int offsetY = 0;
};

// The rectangle of the picture on the page, device pixels.
struct PrintRect {
  int left = 0, top = 0, width = 0, height = 0;
  int kx = 1, ky = 1;
  // No part of the picture lies on the page.
  bool offPage = false;
};

// The "Full page" scale: the largest scale (less 5) at which the picture fits both the page's
// width and height, in 5..1000.
int FullPageScale(int pictureWidth, int pictureHeight, const PrinterPage& page, int screenDpi);

// The printed rectangle. The placement is clamped into its ranges; the preview page gives the
// unit of the offsets.
PrintRect LayoutPrint(int pictureWidth, int pictureHeight, const PrinterPage& page, int screenDpi,
                      const PrintPlacement& placement, const PreviewPage& preview);

}  // namespace brumeleaf
