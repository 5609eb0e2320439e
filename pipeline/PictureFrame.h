#pragma once
// The picture frame added around a finished result: a plain margin, a margin with a line, a
// photographed frame, a tinted photographed frame, a horizontal triptych or a margin painted
// with brushstrokes. Not to be confused with the per-effect run frames of effects/Frames.h.
//
// The frame reads only the result, the frame options and the run context (for the painted
// margin's generator, progress and stop flag); it never depends on the selected effect.

#include <string>

#include "effects/EffectSettings.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

enum class FrameStyle { Simple = 0, Lined = 1, Realistic = 2, Coloured = 3, Triptych = 4, Brushstrokes = 5 };

// Darkens the top and left inner edges of the rectangle (left, top)-(right - 1, bottom - 1):
// 80 per channel at the edge, 8 less per pixel inwards, nothing from 10 pixels on. Only the
// part inside the picture is touched.
void AddInnerShadow(Bitmap& picture, int left, int top, int right, int bottom);

// Softens the top-left 10 x 10 corner (where the two shadow bands meet) with a 3 x 3 box blur.
void SmoothShadowCorner(Bitmap& picture);

// The photograph a realistic frame number 1..12 uses (any other number: the first), and the
// one a coloured frame number 1..5 uses.
int RealisticFramePhotograph(int number);
int ColouredFramePhotograph(int number);

// Where the opening of a frame photograph lies, measured along its middle row and column.
struct FrameOpening {
  int left = 0, top = 0, right = 0, bottom = 0;
};
FrameOpening FindFrameOpening(const Bitmap& photograph);

// Puts `picture` unscaled into the opening of `photograph` (turned a quarter for a portrait
// picture), the photograph scaled around it; with `tint`, the photograph's channels are first
// raised by the tint values (clamped). Returns false and leaves the picture as it was when the
// framed size would be empty (a picture one pixel high).
bool AddPhotographFrame(Bitmap& picture, const Bitmap& photograph, bool tint, int tintRed, int tintGreen,
                        int tintBlue);

// The picture cut into three panels side by side, `spacing` apart, with margin m, on the fill
// colour, each panel with an inner shadow. Returns false and leaves the picture as it was when
// the triptych would be empty.
bool MakeTriptych(Bitmap& picture, int margin, int spacing, Colour fill);

// The margin painted with brushstrokes of the picture itself: four bands of band size
// max(10, 2 * (margin / 2)), painted onto the fill colour and blended into the picture.
void AddBrushstrokeFrame(Bitmap& picture, int margin, Colour fill, RunContext& ctx);

// The frames window's 200 x 200 preview of the top-left corner of the framed source (the
// triptych letterboxed whole). The brushstroke bands are painted for margins below 350 only.
inline constexpr int kFramePreviewSize = 200;
Bitmap FramePreview(const Bitmap& source, const PictureFrameOptions& options, RunContext& ctx);

// The whole frame step on the finished result. An empty return: framed as asked. Otherwise the
// result is kept unframed (or framed as far as it could be) and the text says why, as the
// user should read it.
std::string AddPictureFrame(Bitmap& result, const PictureFrameOptions& options, RunContext& ctx);

}  // namespace brumeleaf
