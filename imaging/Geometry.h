#pragma once
// Resampling, rotation and tile extraction.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// Bilinear resampling into an already sized destination, 15-bit fixed point.
void StretchBilinearFast(const Bitmap& source, Bitmap& destination);
// Bilinear resampling, 16-bit fixed point; equal sizes copy exactly.
void StretchBilinear(const Bitmap& source, Bitmap& destination);
// Quarter turn in place: 90 clockwise, any other angle counter-clockwise.
void RotateBitmap90(Bitmap& image, int angle);
// Nearest-neighbour rotation about the centre. Angle 40 enlarges the destination to the
// rotated bounding box; any other angle keeps the source size. Rows not reached before a stop
// keep their content. Reports progress for +-40 as the drawing effects expect.
void RotateBitmapAngle(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx);
// The same rotation, always onto the enlarged bounding box; draws the preview progress line
// during a live preview.
void RotateBitmapExpand(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx);
// Copies tile (column, row) of tileWidth x tileHeight from a sheet into the destination's
// top-left corner.
void CopyTile(const Bitmap& sheet, Bitmap& destination, int tileWidth, int tileHeight, int column,
              int row);

}  // namespace brumeleaf
