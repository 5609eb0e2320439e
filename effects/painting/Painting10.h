#pragma once
// Painting 10 (effect code 28): short straight strokes of a transparent bristle brush laid
// along the edges of the photograph, from a level of about 1800 down to a minimum chosen by the
// user. High levels lay long, wide, opaque strokes on unpainted paper; low levels add many small
// strokes where the photograph has strong edges. Each stamp is blended more weakly the more
// its colour differs from the photograph under it, and a stroke is abandoned when too many of
// its pixels disagree with the photograph.

#include "imaging/AlphaPicture.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct Painting10Settings {
  int minimumSize = 50;   // s1: the last level is 4 s1
  int iterations = 50;    // s2: first level 1800 + min(50, s2 div 2); strokes per batch
  int abstraction = 50;   // s3: edge requirement 10 s3
  int strength = 130;     // s4: brush opacity and blending rules
  int saturation = 130;   // s5: saturation (s5 * 100 - 12800) div 128 of the working source
  bool largerStrokes = false;  // "X 2" beside row 1
};

Painting10Settings Painting10SettingsFrom(const RunContext& ctx);

// The full run enlarges strokes three times with "X 2" and keeps each stroke's start inside the
// picture; the live preview and the manual brush enlarge twice and let strokes start outside
// (their stamp pixels outside the picture are skipped).
enum class Painting10Variant { Run, Preview };

// The brush the snapshot asks for: the user's transparent brush, or the standard one.
const AlphaPicture& Painting10Brush(const RunContext& ctx);

// `source` is the working copy (its saturation is changed); `destination` is resized to it and
// repainted from white. Reseeds the generator with 69006. A stop (checked at the start of every
// batch on even levels) keeps the strokes painted so far, unsharpened.
void ScaleSpacePainting(Bitmap& source, Bitmap& destination, const Painting10Settings& settings,
                        const AlphaPicture& brush, Painting10Variant variant, RunContext& ctx);

// The live preview on the crop K: the preview variant, then the surface stage into O.
void PreviewPainting10(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);

// The manual brush's patch: the preview variant from `source` into `output`, without the surface.
void PatchPainting10(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
