#pragma once
// The old-paper tile of the vintage photo effect: 57 x 64 pixels of aged, yellowed paper with
// grain, fibres, a few worn spots and specks. Only its red channel is read; red 190 is the
// neutral level (the tile's mean over the part that is sampled), so the paper adds defects to
// a picture without making it lighter or darker as a whole.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kOldPaperWidth = 57;
inline constexpr int kOldPaperHeight = 64;
inline constexpr int kOldPaperNeutralRed = 190;

const Bitmap& OldPaperTile();

}  // namespace brumeleaf
