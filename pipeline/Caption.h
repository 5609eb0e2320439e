#pragma once
// The caption: one line of text written onto a result at one of nine anchors or at a chosen
// point, smoothed by drawing it at twice the size over a doubled copy of the pixels and
// averaging back, with an optional black shadow one pixel right and down.
//
// Placement is plain arithmetic on measured text sizes (tested without any font). Drawing uses
// QtGui and needs a QGuiApplication; sizes are fixed at 96 dots per inch (12 pt = 16 px) so
// that every machine gives the same pixels for the same font, Qt's own smoothing is off (the
// doubling does the smoothing), and the text is always laid out left to right so that a
// right-to-left text keeps the box it was measured in.

#include <string>

#include "effects/EffectSettings.h"
#include "imaging/Bitmap.h"

namespace brumeleaf {

struct TextSize {
  int width = 0;   // TextWidth of the text
  int height = 0;  // TextHeight of the text
};

struct CaptionPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CaptionPoint&) const = default;
};

// The ranges of the position: x from -(1.5 x text width) to the result width, y from
// -(1.5 x text height) to the result height, so a text can run partly off the picture but
// never entirely off its far edges.
struct CaptionRange {
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
};
CaptionRange CaptionRanges(TextSize text, int resultWidth, int resultHeight);
CaptionPoint ClampToRange(CaptionPoint p, const CaptionRange& range);

// The position for anchor 0..9 on a result of width x height, with frame insets fx, fy.
// `text` is the text's size; `rightWidth` the width the right-hand anchors use (the text with
// a space for an italic-only font). Anchor 0 (user defined) keeps `current`. The result is
// limited to the ranges.
CaptionPoint SetPos(int anchor, int width, int height, int fx, int fy, TextSize text, int rightWidth,
                    CaptionPoint current);

// The drawing origin of a caption at position p: one left, five up.
inline CaptionPoint CaptionOrigin(CaptionPoint p) { return {p.x - 1, p.y - 5}; }

// The pixel size of a font of `points` at 96 dots per inch.
int CaptionPixelSize(int points);

// Measures with the caption's font (name, size, styles). Needs a QGuiApplication.
TextSize MeasureCaptionText(const CaptionOptions& font, const std::string& text);

// Whether the font family is installed; an empty string when it is, otherwise the notice.
std::string MissingFontNotice(const std::string& family);

// Draws `text` at (x, y) smoothed: the pixels under it are doubled by replication, the text is
// drawn at twice the size, and each 2 x 2 block is averaged back. Only the part that meets the
// picture is processed. `colour` is packed (red low byte).
void WriteAntiAlias(Bitmap& canvas, int x, int y, const std::string& text, const CaptionOptions& font,
                    Colour colour);

// Where the caption goes on `result` (frame insets fx, fy), as the text window places it.
CaptionPoint CaptionPosition(const Bitmap& result, const CaptionOptions& options, int fx, int fy);

// The caption stamped for good: shadow first when asked, then the text (a space is always
// appended). Returns a notice when the font is missing (a substitute is used); ImageError when
// no QGuiApplication exists.
std::string DrawCaption(Bitmap& result, const CaptionOptions& options, int fx, int fy);

// The caption drawn over a copy of just the part of `result` it covers, at (x, y) of the
// result: a live display lays it over the picture and never writes into the result, so a
// picture changed meanwhile can never receive old pixels. Empty when the caption misses it.
struct CaptionPatch {
  Bitmap pixels;
  int x = 0;
  int y = 0;
};
CaptionPatch MakeCaptionPatch(const Bitmap& result, const CaptionOptions& options, int fx, int fy);

}  // namespace brumeleaf
