#pragma once
// Pixelation (effect code 10) and Colored dots (effect code 11): the picture rebuilt from flat
// squares or outlined discs of its own colours, laid from the largest size down to the smallest,
// each only where it makes the picture built so far more like the source. Run frames:
// FrameColouredSquares and FrameColouredCircles (effects/Frames.h); the live preview runs the
// same frames on its crop (with three times the attempts of small counts).

#include <cstddef>
#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

enum class MosaicShape { Square, Disc };

struct MosaicSettings {
  int tolerance = 65;        // T1 (s1): added to the shape's own error in the improvement test
  int attempts = 100;        // T2 (s2): attempts per size, relative to the picture's area
  int colourIntensity = 55;  // T5 (s3): final saturation change (T5 - 50) x 2 percent
  int minimumSize = 15;      // T3 (s4): smallest size T3 div 5 + 2
  int maximumSize = 180;     // T4 (s5): largest size T4 div 5 + 3
};

MosaicSettings MosaicSettingsFrom(const RunContext& ctx);

// The attempt count c of size s (the attempt loop runs c + 1 times): the picture's area in
// shapes of that size shared among the sizes, scaled by T2 / 255 and by 300; three times as
// many in the live preview while below 5000; at most 100000.
std::int64_t MosaicAttempts(int width, int height, int s, int sMin, int sMax, int attempts, bool preview);

// Over one window row of n bytes: adds the sum of |s - d| to `now` and the sum of d to `there`.
// At least 16 bytes before s and d must belong to the same buffers (the windows never start in
// the picture's first row or column): a row shorter than 16 bytes is read from up to 15 bytes
// before it, those bytes masked off. Nothing past the row's end is read.
void MosaicRowSums(const std::uint8_t* s, const std::uint8_t* d, std::size_t n, std::uint32_t& now, std::uint32_t& there);

// `source` is only read; `output` is given its size, filled white and covered with shapes.
// Continues the session's random sequence (two runs differ). A minimum size above the maximum
// is pulled down to it, in the settings and in ctx's slider values (s4). A stop ends the run
// at the next attempt, before the saturation change.
void PaintMosaic(const Bitmap& source, Bitmap& output, MosaicShape shape, MosaicSettings settings, RunContext& ctx);

// The algorithm alone on a patch of the source, for the manual brush.
void PatchColouredSquares(const Bitmap& source, Bitmap& output, RunContext& ctx);
void PatchColouredCircles(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
