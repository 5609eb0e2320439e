#pragma once
// Camera orientation: a photograph taken upright is often stored sideways with an EXIF tag
// that says how to turn it. Decoding applies the tag so that pictures open the way they were
// taken.

#include <cstdint>
#include <span>

#include "imaging/Bitmap.h"

namespace brumeleaf {

// The orientation (1..8) in the payload of an APP1 marker ("Exif\0\0" and a TIFF block);
// 1 when the payload is not EXIF, has no orientation tag, or is malformed.
int ExifOrientation(std::span<const std::uint8_t> app1);

// True for the orientations that exchange width and height (5..8).
constexpr bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// The picture as it should be shown for an orientation: 2 mirror left-right, 3 turn 180 degrees,
// 4 mirror top-bottom, 5 transpose, 6 turn 90 degrees clockwise, 7 transverse, 8 turn 90
// degrees anticlockwise. 1 and unknown values return the picture unchanged.
Bitmap ApplyOrientation(Bitmap image, int orientation);

}  // namespace brumeleaf
