#pragma once
// The arithmetic of the main window's views, kept free of widgets so that every rule of the
// zoom, the panel placement, the divider, the crop rectangle and the pan glide can be tested
// on its own numbers. All of it is integer arithmetic with truncating division, as the window
// has always computed it.

#include <optional>

namespace brumeleaf::view {

inline constexpr int kMinZoom = 5;
inline constexpr int kMaxZoom = 1000;

// The zoom slider keeps every value within 5..1000.
int ClampZoom(int zoom);

// One tick of the continuous zoom (held icon or held numeric-pad key). `counter` is the step
// counter before the tick; the caller increments it afterwards.
int ZoomOutTick(int zoom, int counter);
int ZoomInTick(int zoom, int counter);

// A right-button click on the zoom-out / zoom-in icon; nothing when the rule does not apply.
std::optional<int> ZoomOutStep(int zoom);
std::optional<int> ZoomInStep(int zoom);

// The mouse wheel: -5 per notch toward the user, +5 away (notches > 0 = away).
int WheelZoom(int zoom, int notches);
// One click on a zoom icon (direction +1 in, -1 out): a quarter more, or a fifth less, and at
// least one percent; held longer, the continuous zoom takes over.
int ZoomClickStep(int zoom, int direction);
// The offset that keeps the picture point under `anchor` (panel coordinates, one axis) in
// place when the picture's displayed extent changes from oldExtent to newExtent.
int OffsetKeepingAnchor(int offset, int oldExtent, int newExtent, int anchor);

// The fitting zoom of a picture of w x h in a box of boxW x boxH: min(boxW*100 div w,
// boxH*100 div h), additionally at most 100 when `capAt100`. An empty picture keeps 100
// rather than dividing by zero.
int FitZoom(int boxW, int boxH, int w, int h, bool capAt100);

// A typed zoom: only decimal digits, 4 < v <= 1000; anything else is ignored.
std::optional<int> ParseTypedZoom(const char* text);

// Displayed size of a stored size at a zoom.
constexpr int Scaled(int size, int zoom) { return static_cast<int>(static_cast<long long>(size) * zoom / 100); }

// Where a picture of extent `picture` starts when centred in a box of extent `box`.
constexpr int CentredOffset(int box, int picture) { return box / 2 - picture / 2; }

// Keeps one axis of a picture within the bounding rules: a small picture stays wholly inside,
// a large one leaves no gap.
int BoundOffset(int offset, int box, int picture);

// The divider offset kept within +-(clientWidth div 2 - 10).
int ClampDivider(int divider, int clientWidth);
inline constexpr int kDividerDoubleClickMark = 10000;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

// The placement of the window's parts for a client area of cw x ch below a menu bar of
// height `menuHeight`, with a tool bar of height p1, a status bar of height p2 and the
// divider offset `divider` (already clamped).
struct WindowLayout {
  Rect toolBar;      // Panel1
  Rect divider;      // ResizeImage
  Rect leftPanel;    // ScrollBox1
  Rect rightPanel;   // ScrollBox2
  Rect statusBar;    // Panel2
};
WindowLayout ComputeLayout(int cw, int ch, int menuHeight, int p1, int p2, int divider);

// Left edges of the three zoom icons and the zoom label within a tool bar of client width w
// (the label sits 24 pixels left of icon 15, less its own width).
struct ZoomControlsLayout {
  int icon15 = 0;
  int icon16 = 0;
  int icon17 = 0;
  int label = 0;
};
ZoomControlsLayout ComputeZoomControls(int toolBarWidth, int labelWidth);
// Left edge of icons 1..14.
constexpr int ToolIconLeft(int icon) { return 5 + 38 * (icon - 1); }
// The icon under x (client coordinates of the tool bar), by the press rule of the tool bar.
int ToolIconAt(int x, int icon15Left);

// The stop marker's left edge for a stop percentage in a status panel of width w whose left
// edge is panelLeft.
int StopMarkerLeft(int stopPercent, int panelWidth, int panelLeft);
// The marker's left edge while it is dragged to cursor x (panel coordinates).
int StopMarkerDragLeft(int cursorX, int panelWidth, int panelLeft);

// Drop shadow depth of a picture displayed `height` pixels high.
constexpr int ShadowDepth(int height) { return height < 201 ? height / 35 : 7; }

// One axis of a crop selection: press at `start`, release at `end` (picture pixels), in a
// picture of `extent` pixels. Returns [first, last) with the press and release pixels both
// inside, whichever way the selection was dragged.
struct Span {
  int first = 0;
  int last = 0;  // exclusive
  bool operator==(const Span&) const = default;
};
Span CropSpan(int start, int end, int extent);
// The same for the rectangle drawn while dragging (inclusive corners, clipped to the picture).
Span SelectionSpan(int start, int end, int extent);

// Picture pixel under a display coordinate at a zoom.
constexpr int ToPicture(int display, int zoom) { return zoom > 0 ? display * 100 / zoom : display; }

// The pan glide: starts when both speeds exceed the threshold; each tick slows to 85 %.
bool GlideStarts(int vx, int vy, int threshold);
constexpr int GlideSlowdown(int v) { return v * 85 / 100; }
constexpr bool GlideEnds(int vx, int vy) { return vx >= -1 && vx <= 1 && vy >= -1 && vy <= 1; }

// The full-screen rectangle of a displayed picture of pw x ph on a screen of sw x sh.
Rect FullScreenRect(int sw, int sh, int pw, int ph);

// The window styles and their numbers in the settings file.
enum class WindowStyle { Charcoal = 1, Slate = 2, Obsidian = 3 };
// The Insert key's order: Charcoal -> Obsidian -> Slate -> Charcoal.
WindowStyle NextStyle(WindowStyle style);
constexpr bool IsDarkStyle(WindowStyle style) { return style != WindowStyle::Slate; }

}  // namespace brumeleaf::view
