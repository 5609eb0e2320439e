#pragma once
// Vintage photo (effect code 19): darkens the corners, softens the picture, prints the
// old-paper tile into it and tones it sepia. Its run frame is FrameSepia (effects/Frames.h);
// the live preview runs that same frame on its crop, which leaves the corners alone.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct VintageSettings {
  int strength = 255;   // T1 (s1): 0 keeps the (softened) photograph, 255 the full sepia print
  int blur = 127;       // T2 (s2): 0..255; T2 div 10 + 1 passes, centre weight 255 - T2
  int paperDefects = 50;  // T5 (s3): how strongly the old paper shows, 50 as it is
  int sepia = 220;      // T3 (s4): 255 keeps the sepia colours, 0 leaves only their grey
  int darkenLighten = 140;  // T4 (s5): 127 keeps the brightness
};

VintageSettings VintageSettingsFrom(const RunContext& ctx);

// Darkens `image` toward its corners: a mask of nested ellipse rings (pen width 2), white at the
// inscribed ellipse and falling to black about h / 1.6 pixels outside it (h = half the longer
// side); every level becomes (level x mask) shr 8.
void ApplyVignette(Bitmap& image);

// One softening pass in place: interior pixels take (sum of the 8 neighbours + c w) div (w + 8)
// row by row (the neighbours above and to the left already softened), then the border pixels
// except the corners (sum of the neighbours inside + c w) div (w + their count). 0 <= w <= 255.
void SoftenInPlace(Bitmap& image, int w);

// `source` is the working copy of the photograph (vignette, unless in the live preview, and
// softening are applied to it); `output` is given its size and overwritten. Draws no random
// numbers. A stop (checked before every softening pass and every few columns of the toning)
// leaves the columns not reached white.
void VintagePhoto(Bitmap& source, Bitmap& output, const VintageSettings& settings, RunContext& ctx);

// The algorithm alone on a patch of the source, for the manual brush.
void PatchSepia(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
