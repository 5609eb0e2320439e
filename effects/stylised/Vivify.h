#pragma once
// Vivify photo (effect code 12): boosts the local contrast of the photograph, darkens its edges
// in proportion to their strength and to the darkness of the pixel, shifts the brightness of
// the rest and raises the saturation. Its run frame is FrameVivify (effects/Frames.h); the live
// preview runs that same frame on its crop.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct VivifySettings {
  int edgeThreshold = 35;    // T1 (s1): weighted edge strength from which a pixel is an edge
  int edgeIntensity = 100;   // T2 (s2): 0..255, divides the edge weight by 256 - T2
  int colourIntensity = 55;  // T5 (s3): saturation change (T5 - 50) x 2 percent
  int darkenLighten = 128;   // T3 (s4): 127 keeps the brightness of non-edge pixels
  int contrast = 20;         // T4 (s5): local contrast strength T4 div 2 (none below 2)
};

VivifySettings VivifySettingsFrom(const RunContext& ctx);

// `source` is the working copy of the photograph: its local contrast is boosted in place.
// `output` is given the source's size and overwritten. Draws no random numbers. A stop (checked
// every 20 columns and inside the saturation pass) leaves the columns not reached white.
void VivifyPhoto(Bitmap& source, Bitmap& output, const VivifySettings& settings, RunContext& ctx);

// The algorithm alone on a patch of the source, for the manual brush: `output` receives the
// vivified patch; the caller blends and finishes it.
void PatchVivify(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
