#pragma once
// Abstract (effect code 29): the mean of many frames of random discs and squares coloured from
// the source, a soft and blotchy abstraction. Its run frame is FrameAbstract (effects/Frames.h);
// the live preview differs (PreviewAbstract): it draws one frame fewer, with the seed that
// follows from that, and keeps the shapes at the size they have on the whole picture.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

struct AbstractSettings {
  int maximumRadius = 150;   // T1 (s1): shape size factor and part of the seed
  int iterations = 15;       // T2 (s2): frames T2 + 2 in a run (T2 + 1 in the preview)
  int colourIntensity = 55;  // T5 (s3): saturation change (T5 - 50) x 2 percent
  int darkenLighten = 127;   // T3 (s4): 127 keeps the mean
  int contrast = 127;        // T4 (s5): local contrast strength T4 div 2
};

AbstractSettings AbstractSettingsFrom(const RunContext& ctx);

// Draws frames 0..b (b + 1 of them, b >= 1 expected; at most 257 so that the 16-bit sums cannot
// overflow) of up to 101 shapes each onto white, averages them into `output` (given the
// source's size), then darkens or lightens, boosts local contrast and changes saturation.
// `source` is only read. Seeds the session's generator with T1 + b. The size factor
// (T1 + 1) x width / 314 takes ctx.sourcePanelWidth when it is set. A stop ends the frames;
// the frames drawn so far are averaged and finished.
void PaintAbstract(const Bitmap& source, Bitmap& output, const AbstractSettings& settings, int b, RunContext& ctx);

// The live preview: the crop K through the routine with b = s2, then the surface finish into O.
void PreviewAbstract(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);
// The algorithm alone on a patch of the source (b = s2 + 1 as in a run), for the manual brush.
void PatchAbstract(const Bitmap& source, Bitmap& output, RunContext& ctx);

}  // namespace brumeleaf
