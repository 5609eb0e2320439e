#pragma once
// Painting 7 (effect code 15): the photograph repainted with stamps of textured brush tiles of
// decreasing size. Each stamp goes to a random spot where the canvas still differs from the
// photograph, takes the mean colour under it, is turned by a random angle and is kept only if
// it brings that spot closer to the photograph. An outline layer is laid over the result.
// The brushstroke picture frame paints its band with the same routine and its own settings.

#include <cstdint>

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct RandomStrokesSettings {
  int minimumBrush = 10;    // lo (s1)
  int maximumBrush = 200;   // hi (s2)
  int strokes = 50;         // n (s3), the stroke budget
  int edgeIntensity = 30;   // k (s4), strength of the outline overlay
  int precision = 190;      // q (s5), placement tolerance and acceptance strictness
  bool doubleSize = false;  // "X 2": brush sizes almost doubled
  bool maxStrokes = false;  // "MAX" on the stroke budget: three times the budget
  // The user's brush; null or empty: the tiles of the brush sheet.
  const Bitmap* customBrush = nullptr;
  // The effect itself lays a first coat: its first size level tries about six times as many
  // stamps and accepts almost all of them. A frame painter has no warm-up.
  bool warmUp = true;
  Colour canvas = 0xFBFFFF;  // the starting canvas: a faint warm white for the effect
};

RandomStrokesSettings RandomStrokesSettingsFrom(const RunContext& ctx);

// The stroke budget in stamp pixels for a picture of width x height: half its area times the
// stroke count, shared out over the size bands, at most 700000000 (three times that with MAX).
std::int64_t RandomStrokesBudget(int width, int height, const RandomStrokesSettings& settings);

// Paints `source` into `destination` (resized to it). The source, taken by value so that a
// caller with no further use for it can move it in, is given a local-contrast boost first and
// is given up while the strokes are laid. Reseeds the session's generator with 1969.
// A stop (polled before every stamp) leaves the painting as far as it got, without outlines.
void RandomStrokesPainting(Bitmap source, Bitmap& destination, const RandomStrokesSettings& settings,
                           RunContext& ctx);

// The effect on a patch for the manual brush: the painting alone, without the surface stage.
void PatchRandomStrokes(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
