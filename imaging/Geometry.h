#pragma once
// Resampling, rotation and tile extraction.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Bilinear resampling into an already sized destination, 15-bit fixed point. Empty pictures
// are left as they are; a 1-pixel-wide or -high source repeats its one column or row.
void StretchBilinearFast(const Bitmap& source, Bitmap& destination);
// Bilinear resampling, 16-bit fixed point; equal sizes copy exactly. Any destination size
// works, a single row included.
void StretchBilinear(const Bitmap& source, Bitmap& destination);
// Quarter turn in place: 90 clockwise, any other angle counter-clockwise. A turned size beyond
// the limits is refused with an ImageError before anything changes.
void RotateBitmap90(Bitmap& image, int angle);
// Nearest-neighbour rotation about the centre. Angle 40 enlarges the destination to the
// rotated bounding box; any other angle keeps the source size. Rows not reached before a stop
// keep their content. Reports progress for +-40 as the drawing effects expect.
// A failure (an enlarged size beyond the limits, memory) is not thrown: the run is failed
// through ctx.FailRun() (stop and cancel flags raised, progress display ended) and the
// destination is left empty (0 x 0), so the caller can tell and show "Sorry, not enough
// memory to proceed. Try decreasing the size of the source image.".
void RotateBitmapAngle(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx);
// The same rotation, always onto the enlarged bounding box; draws the preview progress line
// during a live preview. Failures are thrown (ImageError) with the destination unchanged.
void RotateBitmapExpand(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx);
// The width x height middle of that rotation's result (the part CutCentre keeps), made alone:
// turning a picture back after an expanding turn would otherwise build a canvas of the turned
// picture's own bounding box, twice its pixels at 45 degrees, only to cut the middle out of it.
// Rows not reached before a stop stay white.
void RotateBitmapExpandCentre(const Bitmap& source, Bitmap& destination, int angle, int width,
                              int height, RunContext& ctx);
// Copies tile (column, row) of tileWidth x tileHeight from a sheet into the destination's
// top-left corner. Only the part inside both the sheet and the destination is copied.
void CopyTile(const Bitmap& sheet, Bitmap& destination, int tileWidth, int tileHeight, int column,
              int row);

}  // namespace brumeleaf
