#pragma once
// The standard brush of Painting 10: a 94 x 95 dark dab with an opaque centre and a soft,
// bristly rim, made by our own code. Its alpha says how much paint a stamp lays; its red level
// is a texture (paint goes on in proportion to 255 - red), so the bristle streaks show in
// every stroke.

#include <string>

#include "imaging/AlphaPicture.h"
#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPaintBrush3DWidth = 94;
inline constexpr int kPaintBrush3DHeight = 95;

// Made once per process.
const AlphaPicture& StandardPaintBrush3D();

// A brush from a picture that was painted over white (a transparent PNG read as 24 bits):
// alpha = 255 - the darkest channel, and the colour that, painted over white with that alpha,
// gives the picture's levels back. A black brush comes back exactly.
AlphaPicture BrushFromPaintedPicture(const Bitmap& picture);

// Transparent PNG files, for a brush the user replaces. A picture without transparency is taken
// as a brush painted over white. Reading throws ImageError for a file that is missing, not a
// picture, or larger than the picture limits.
AlphaPicture LoadAlphaPicture(const std::string& path);
void SaveAlphaPicture(const AlphaPicture& picture, const std::string& path);

}  // namespace brumeleaf
