#pragma once
// Cartoon 1 (effect code 17): the photograph is divided into flat patches by seeded region
// growing (square rings of similar colour around random seeds, connected by a flood fill, each
// patch painted with its plain mean colour); what the patches leave is copied from the photo.
// The patches are merged further by 2 x 2 block averaging, brightened, outlined with dark lines
// from a blurred copy of the photograph, given a blocky local contrast and a saturation change.
// The live preview runs the same frame on its crop.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct CartoonSettings {
  int coverage = 225;        // s1: patches stop once P div (W H div 140) exceeds s1 shr 1
  int simplification = 70;  // s2: colour tolerance of the growth
  int darkenLighten = 55;    // s3: brightness s3 * 2 - 100 percent
  int edgeIntensity = 220;   // s4: outline threshold 255 - s4
  int colourIntensity = 127; // s5: saturation (s5 * 100 - 12700) div 127 percent
};

CartoonSettings CartoonSettingsFrom(const RunContext& ctx);

// The scratch picture marks a patch with this colour while it is measured and painted.
inline constexpr Colour kPatchMarker = MakeColour(255, 127, 0);
// Whether a scratch pixel counts as part of the patch being measured: only the exact marker.
bool IsPatchMarker(Colour c);

// The patch phase on its own: `destination` gets the source's size, white where no patch was
// painted, and every painted level capped at 254 (so white always means unpainted). The seeds
// come from the session's generator without reseeding. Returns false after a stop.
bool PaintCartoonPatches(const Bitmap& source, Bitmap& destination, const CartoonSettings& settings, RunContext& ctx);

// Blocky local contrast: 10 x 10 tiles stretched about a pivot that follows the tile means
// along each row of tiles with a lag, by strength shr 1 percent; then the same over tiles
// shifted by 5 pixels to soften the seams. Pictures narrower or lower than 10 pixels get no
// tiles, narrower or lower than 15 no shifted tiles. A stop between rows of tiles ends it.
void TileContrast(Bitmap& image, int strength, RunContext& ctx);

// The whole algorithm. After a stop in the patch phase `destination` holds the patches so far
// with the rest still white.
void CartoonPainting(const Bitmap& source, Bitmap& destination, RunContext& ctx);

// The manual brush's patch: the algorithm from `source` into `output`, without the surface.
void PatchCartoonify(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
