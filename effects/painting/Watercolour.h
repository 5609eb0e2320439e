#pragma once
// Painting 1 (effect code 4): wet colour bleeding. Random walkers wander over a copy of the
// photograph, each stepping to the neighbour of closest colour and smearing the colour it
// carries into it, so that soft washes form inside regions while strong edges hold. A pale
// layer of loose strokes and outlines may be laid over the washes; brightness, saturation,
// local contrast and a watercolour-paper texture finish it.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct WatercolourSettings {
  int blending = 90;        // s1: colour difference up to which walkers move and smear
  int edgeIntensity = 110;  // s2: strength of the stroke layer, built only above 10
  int strength = 25;        // s3: passes minus one
  int darkenLighten = 140;  // s4
  int paperDepth = 50;      // s5: depth of the paper texture
};

WatercolourSettings WatercolourSettingsFrom(const RunContext& ctx);

// `source` is read only; `destination` is given its size and receives the painting. The walk
// continues the session's random sequence; with a stroke layer (s2 above 10) the strokes have
// just reseeded it with 1969, so the run repeats. A stop (polled after every walker step)
// leaves the washes made so far, unfinished.
void WatercolourPainting(const Bitmap& source, Bitmap& destination, const WatercolourSettings& settings,
                         RunContext& ctx);

// The effect on a patch for the manual brush, without the surface stage.
void PatchWatercolour(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
