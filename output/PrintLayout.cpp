#include "output/PrintLayout.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace brumeleaf {

namespace {

// A4 (210 x 297 mm) at 600 dpi.
constexpr int kA4ShortSide = 4961;
constexpr int kA4LongSide = 7016;

int ClampInt(std::int64_t v, int low, int high) {
  return static_cast<int>(std::clamp<std::int64_t>(v, low, high));
}

bool Usable(const PrinterPage& page) { return page.width > 0 && page.height > 0; }

}  // namespace

PrinterPage DefaultPage(PageOrientation orientation) {
  if (orientation == PageOrientation::Landscape) return {kA4LongSide, kA4ShortSide, kPdfDpi, kPdfDpi};
  return {kA4ShortSide, kA4LongSide, kPdfDpi, kPdfDpi};
}

PrinterPage UsablePage(const PrinterPage& page, PageOrientation orientation, bool* usedDefault) {
  const bool fallback = !Usable(page);
  if (usedDefault) *usedDefault = fallback;
  if (fallback) return DefaultPage(orientation);
  PrinterPage p = page;
  if (p.dpiX <= 0) p.dpiX = kPdfDpi;
  if (p.dpiY <= 0) p.dpiY = kPdfDpi;
  return p;
}

int DensityFactor(int printerDpi, int screenDpi) {
  if (screenDpi <= 0 || printerDpi <= 0) return 1;
  return std::max(1, printerDpi / screenDpi);
}

PageOrientation OrientationFor(int pictureWidth, int pictureHeight) {
  return pictureHeight < pictureWidth ? PageOrientation::Landscape : PageOrientation::Portrait;
}

std::optional<int> ParseScale(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  if (e > b && text[e - 1] == '%') --e;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  if (b == e) return std::nullopt;
  bool negative = false;
  if (text[b] == '-' || text[b] == '+') {
    negative = text[b] == '-';
    ++b;
    if (b == e) return std::nullopt;
  }
  std::int64_t value = 0;
  for (std::size_t i = b; i < e; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), 1'000'000'000);
  }
  return ClampInt(negative ? -value : value, kPrintScaleMin, kPrintScaleMax);
}

std::string ScaleText(int scale) { return std::to_string(scale) + "%"; }

PreviewPage PreviewPageSize(const PrinterPage& rawPage, PageOrientation orientation) {
  const PrinterPage page = UsablePage(rawPage, orientation);
  const std::int64_t p = std::max<std::int64_t>(1, std::int64_t{page.height} * 100 / page.width);
  if (orientation == PageOrientation::Landscape)
    return {ClampInt(std::int64_t{kPreviewPageSide} * 100 / p, 1, 100000), kPreviewPageSide};
  return {kPreviewPageSide, ClampInt(std::int64_t{kPreviewPageSide} * p / 100, 1, 100000)};
}

PreviewRect PreviewPagePlace(const PreviewPage& page, int windowWidth, int windowHeight) {
  const int areaWidth = windowWidth - kPreviewPageAreaLeft;
  return {kPreviewPageAreaLeft + (areaWidth - page.width) / 2, (windowHeight - page.height) / 2, page.width,
          page.height};
}

int FullPageScale(int pictureWidth, int pictureHeight, const PrinterPage& rawPage, int screenDpi) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return kPrintScaleDefault;
  const PrinterPage page = UsablePage(rawPage, OrientationFor(pictureWidth, pictureHeight));
  const std::int64_t kx = DensityFactor(page.dpiX, screenDpi);
  const std::int64_t ky = DensityFactor(page.dpiY, screenDpi);
  // Both sides must fit: a near-square picture on a portrait page is limited by its width.
  const std::int64_t byHeight = std::int64_t{page.height} * 100 / (pictureHeight * ky) - 5;
  const std::int64_t byWidth = std::int64_t{page.width} * 100 / (pictureWidth * kx) - 5;
  return ClampInt(std::min(byHeight, byWidth), kPrintScaleMin, kPrintScaleMax);
}

PrintRect LayoutPrint(int pictureWidth, int pictureHeight, const PrinterPage& rawPage, int screenDpi,
                      const PrintPlacement& placement, const PreviewPage& preview) {
  const PrinterPage page = UsablePage(rawPage, OrientationFor(pictureWidth, pictureHeight));
  PrintRect r;
  r.kx = DensityFactor(page.dpiX, screenDpi);
  r.ky = DensityFactor(page.dpiY, screenDpi);
  const std::int64_t scale = std::clamp(placement.scale, kPrintScaleMin, kPrintScaleMax);
  const std::int64_t offX = std::clamp(placement.offsetX, kPrintOffsetMin, kPrintOffsetMax);
  const std::int64_t offY = std::clamp(placement.offsetY, kPrintOffsetMin, kPrintOffsetMax);
  const std::int64_t previewW = std::max(1, preview.width);
  const std::int64_t previewH = std::max(1, preview.height);
  const std::int64_t ox = offX * (std::int64_t{page.width} * 100) / previewW;
  const std::int64_t oy = offY * (std::int64_t{page.height} * 100) / previewH;
  std::int64_t w = std::int64_t{std::max(0, pictureWidth)} * r.kx * scale / 100;
  std::int64_t h = std::int64_t{std::max(0, pictureHeight)} * r.ky * scale / 100;
  w = w * 94 / 100;
  h = h * 94 / 100;
  const std::int64_t left = (page.width - w) / 2 + ox / 100;
  const std::int64_t top = (page.height - h) / 2 + oy / 100;
  constexpr std::int64_t kLimit = 1'000'000'000;
  r.left = ClampInt(left, -kLimit, kLimit);
  r.top = ClampInt(top, -kLimit, kLimit);
  r.width = ClampInt(w, 0, kLimit);
  r.height = ClampInt(h, 0, kLimit);
  r.offPage = w <= 0 || h <= 0 || left >= page.width || top >= page.height || left + w <= 0 || top + h <= 0;
  return r;
}

}  // namespace brumeleaf
