#include "app/ViewMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace brumeleaf::view {

int ClampZoom(int zoom) { return std::clamp(zoom, kMinZoom, kMaxZoom); }

int ZoomOutTick(int zoom, int counter) { return ClampZoom(zoom - counter / 5 - zoom / 35); }

int ZoomInTick(int zoom, int counter) { return ClampZoom(zoom + counter / 4 + zoom / 30); }

std::optional<int> ZoomOutStep(int zoom) {
  if (zoom > 100) return ClampZoom(zoom - 100);
  if (zoom >= 15) return ClampZoom(zoom - 10);
  return std::nullopt;
}

std::optional<int> ZoomInStep(int zoom) {
  if (zoom <= 900) return ClampZoom(zoom + 100);
  return std::nullopt;
}

int WheelZoom(int zoom, int notches) { return ClampZoom(zoom + 5 * notches); }

int ZoomClickStep(int zoom, int direction) {
  if (direction > 0) return ClampZoom(zoom + std::max(1, zoom / 4));
  return ClampZoom(zoom - std::max(1, zoom / 5));
}

int OffsetKeepingAnchor(int offset, int oldExtent, int newExtent, int anchor) {
  if (oldExtent <= 0) return offset;
  return anchor - static_cast<int>(static_cast<long long>(anchor - offset) * newExtent / oldExtent);
}

int FitZoom(int boxW, int boxH, int w, int h, bool capAt100) {
  if (w <= 0 || h <= 0) return 100;
  const long long byWidth = static_cast<long long>(boxW) * 100 / w;
  const long long byHeight = static_cast<long long>(boxH) * 100 / h;
  long long zoom = std::min(byWidth, byHeight);
  if (capAt100) zoom = std::min<long long>(zoom, 100);
  return ClampZoom(static_cast<int>(std::clamp<long long>(zoom, kMinZoom, kMaxZoom)));
}

std::optional<int> ParseTypedZoom(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  int value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    value = value * 10 + (*c - '0');
    if (value > kMaxZoom) return std::nullopt;  // also keeps long digit strings from overflowing
  }
  if (value <= 4) return std::nullopt;
  return value;
}

int BoundOffset(int offset, int box, int picture) {
  if (picture < box) {
    if (offset < 0) return 0;
    if (offset > box - picture) return box - picture;
    return offset;
  }
  if (offset > 0) return 0;
  if (offset < box - picture) return box - picture;
  return offset;
}

int ClampDivider(int divider, int clientWidth) {
  const int limit = std::max(0, clientWidth / 2 - 10);
  return std::clamp(divider, -limit, limit);
}

WindowLayout ComputeLayout(int cw, int ch, int menuHeight, int p1, int p2, int divider) {
  const int d = ClampDivider(divider, cw);
  const int boxHeight = std::max(0, ch - 21 - p1 - p2 - menuHeight);
  const int boxTop = p1 + 8 + menuHeight;
  WindowLayout layout;
  layout.toolBar = {4, menuHeight + 4, std::max(0, cw - 9), p1};
  layout.divider = {cw / 2 - d - 4, p1, 8, std::max(0, ch - 10 - p1 - p2)};
  layout.rightPanel = {cw / 2 + 3 - d, boxTop, std::max(0, cw / 2 - 8 + d + cw % 2), boxHeight};
  layout.leftPanel = {4, boxTop, std::max(0, cw / 2 - 7 - d), boxHeight};
  layout.statusBar = {4, layout.leftPanel.Bottom() + 5, std::max(0, cw - 9), p2};
  return layout;
}

ZoomControlsLayout ComputeZoomControls(int toolBarWidth, int labelWidth) {
  ZoomControlsLayout z;
  z.icon17 = toolBarWidth - 37;
  z.icon16 = z.icon17 - 38;
  z.icon15 = z.icon16 - 38;
  z.label = z.icon15 - 24 - labelWidth;
  return z;
}

int ToolIconAt(int x, int icon15Left) {
  if (x > icon15Left) {
    const int icon = 15 + (x - icon15Left) / 38;
    return icon <= 17 ? icon : 0;
  }
  if (x < 5) return 0;
  const int icon = 1 + (x - 5) / 38;
  // The gap between icon 14 and the zoom icons belongs to no icon.
  return icon <= 14 ? icon : 0;
}

int StopMarkerLeft(int stopPercent, int panelWidth, int panelLeft) {
  const int left = panelWidth * stopPercent / 100 - 10;
  return std::max(std::min(left, panelWidth - 15), panelLeft - 5);
}

int StopMarkerDragLeft(int cursorX, int panelWidth, int panelLeft) {
  return std::max(std::min(cursorX - 10, panelWidth - 15), panelLeft - 5);
}

Span CropSpan(int start, int end, int extent) {
  Span span{std::min(start, end), std::max(start, end) + 1};
  span.first = std::clamp(span.first, 0, std::max(0, extent));
  span.last = std::clamp(span.last, span.first, std::max(0, extent));
  return span;
}

Span SelectionSpan(int start, int end, int extent) {
  const int top = std::max(0, extent - 1);
  return {std::clamp(std::min(start, end), 0, top), std::clamp(std::max(start, end), 0, top)};
}

bool GlideStarts(int vx, int vy, int threshold) {
  return std::abs(vx) > threshold && std::abs(vy) > threshold;
}

Rect FullScreenRect(int sw, int sh, int pw, int ph) {
  if (pw <= 0 || ph <= 0 || sw <= 0 || sh <= 0) return {0, 0, sw, sh};
  const double a = static_cast<double>(sw) / sh;
  const double d = static_cast<double>(pw) / ph;
  if (std::abs(a - d) < 0.2) return {0, 0, sw, sh};
  if (d > a) {
    const int width = sw;
    const int height = static_cast<int>(std::floor(100.0 / d)) * width / 100;
    return {0, (sh - height) / 2, width, height};
  }
  const int height = sh;
  const int width = static_cast<int>(std::floor(100.0 * d)) * height / 100;
  return {(sw - width) / 2, 0, width, height};
}

WindowStyle NextStyle(WindowStyle style) {
  switch (style) {
    case WindowStyle::Charcoal: return WindowStyle::Obsidian;
    case WindowStyle::Obsidian: return WindowStyle::Slate;
    case WindowStyle::Slate: return WindowStyle::Charcoal;
  }
  return WindowStyle::Charcoal;
}

}  // namespace brumeleaf::view
