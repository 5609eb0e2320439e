#pragma once
// The live preview of the drawing-parameters window, without any widget: which part of the
// source it shows (origin, zoom, dragging), the per-code computation on that small crop and
// how the result is put into the 200 x 200 preview picture.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

inline constexpr int kPreviewSize = 200;

// The crop of the source the preview works on. Zoom z is 25..100 percent; the crop is
// 20000 div z pixels square (200 at 100 %, 800 at 25 %).
struct PreviewCrop {
  int x0 = 0;
  int y0 = 0;
  int zoom = 100;

  int Size() const { return 20000 / zoom; }
  // The zoom slider (TrackBar6) runs from 25 at the top to 100 at the bottom: z = 125 - position.
  static int ZoomOfSlider(int position) { return 125 - position; }

  // A drag step of (dx, dy) preview pixels: the origin moves against the mouse, scaled to source
  // pixels, and stays inside a source of sourceWidth x sourceHeight (0 when the source is
  // smaller than the crop).
  void Drag(int dx, int dy, int sourceWidth, int sourceHeight);
  // A new zoom, keeping the crop centred, then clamped as a drag of zero distance.
  void SetZoom(int newZoom, int sourceWidth, int sourceHeight);
  // The origin for a new source: its middle 200 x 200 (0 on a side of at most 200 pixels).
  void Reset(int sourceWidth, int sourceHeight);
};

// The crop picture K: the part (x0, y0, x0 + size, y0 + size) of `source` (right and bottom
// exclusive) in a size x size picture; whatever lies outside the source is white.
Bitmap CropForPreview(const Bitmap& source, int x0, int y0, int size);

// The raw crop as the preview shows it at once: scaled into (1, 1, 199, 199) of `preview`
// (made 200 x 200 when it is not), inside a black outline.
void ShowRawCrop(const Bitmap& crop, Bitmap& preview);

// What the preview computes for effect `code` from the crop K into O (resized to K's size).
// `resultCrop` is the same rectangle of the result panel (the merge effect blends with it).
// Effects whose algorithm is not part of the program yet leave O as the raw crop; a code outside
// 0..29 fills O white inside its one-pixel border.
void ComputePreview(int code, const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);

// Whether the preview of `code` has an algorithm to run (false: the raw crop is shown).
bool PreviewAvailable(int code);

// The 200 x 200 preview picture from O: at zoom 100 the inner (1, 1, 198, 198) of O copied into
// place, otherwise O resampled into the whole picture and sharpened; Pencil sketch 1 softened;
// then the two black outlines (1, 1)-(198, 198) and (0, 0)-(199, 199).
Bitmap PreviewDisplay(const Bitmap& O, int zoom, int code);

}  // namespace brumeleaf
