#pragma once
// Painting 5 (effect code 8, watercolour) and Painting 6 (effect code 9, oil): the picture
// covered with flat patches of paint. From random seed pixels square rings of similar colour
// grow; the part connected to the seed is painted with its mean colour, shifted a little at
// random, with a paper or canvas texture pressed into it. What stays uncovered is filled with
// the textured photograph; brightness (with a paper glow for watercolour), edge darkening and
// saturation finish the picture.

#include <string_view>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

inline constexpr std::string_view kWatercolourMode = "Watercolor";
inline constexpr std::string_view kImpastoMode = "Impasto";

struct RegionGrowingSettings {
  int coverage = 200;       // s1: share of the picture covered by patches
  int simplification = 10;  // s2: colour tolerance of the growth
  int colour = 60;          // s3: final saturation (s3 - 50) * 2 percent
  int darkenLighten = 140;  // s4: brightness offset s4 - 127
  int texture = 50;         // s5: texture depth 2 * s5
};

RegionGrowingSettings RegionGrowingSettingsFrom(const RunContext& ctx);

// Paints `source` into `destination` (resized to it). `mode` "Watercolor" takes the paper map
// and the glow; any other text the canvas map and no glow. Continues the session's random
// sequence (the effect does not reseed). The growth is more tolerant outside a processing run
// (the live preview), where later seeds widen it faster. A stop (polled after every seed)
// leaves the patches painted so far, unfinished.
void RegionGrowingPainting(const Bitmap& source, Bitmap& destination, std::string_view mode,
                           const RegionGrowingSettings& settings, RunContext& ctx);

// The effect on a patch for the manual brush (code 8 or 9 from the parameters), without the
// surface stage.
void PatchRegionGrowing(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
