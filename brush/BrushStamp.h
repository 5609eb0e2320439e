#pragma once
// The retouch brush's shape: the brush picture (a grey shape on white, replaceable by the
// user), the stamp made from it at the start of every stroke, the coverage a stamp pixel
// gives, and the preview picture of the brush window.

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kBrushSizeMin = 5;
inline constexpr int kBrushSizeMax = 199;
inline constexpr int kBrushSizeDefault = 99;
inline constexpr int kBrushStrengthMin = 5;
inline constexpr int kBrushStrengthMax = 100;
inline constexpr int kBrushWheelStep = 5;
inline constexpr int kBrushPreviewSide = 200;

struct BrushSettings {
  int size = kBrushSizeDefault;      // 5..199
  int strength = kBrushStrengthMax;  // 5..100
  bool doubled = false;              // "X 2"
};

// Both values clamped into their ranges.
BrushSettings Clamped(BrushSettings settings);

// The wheel over the brush window: a notch toward the user (negative delta) makes the brush
// 5 larger, one away 5 smaller, inside 5..199.
int BrushSizeAfterWheel(int size, int wheelDelta);

// The stamp's side: the size rounded up to an even number (so that the stamp centres on the
// pointer), doubled with "X 2".
int StampSide(const BrushSettings& settings);

// The mask value a stamp pixel of red level `level` gives at `strength` (5..100): the level
// pulled toward white as the strength drops. 255 leaves the pixel untouched.
constexpr int Coverage(int level, int strength) {
  return level * strength / 100 + (25500 - 255 * strength) / 100;
}

// The brush picture resampled to the stamp's side. An empty brush picture gives the built-in
// one.
Bitmap MakeStamp(const Bitmap& brushPicture, const BrushSettings& settings);

// The brush window's preview: the brush at its size (without "X 2"), faded toward white by
// the strength in every channel, centred on a white 200 x 200 picture.
Bitmap BrushPreview(const Bitmap& brushPicture, const BrushSettings& settings);

// The built-in brush: a round tip, black in the middle, fading to white toward its rim, with
// a slightly ragged edge so that strokes look painted rather than stamped. Made by our own
// code once (thread-safe) and never changed.
const Bitmap& StandardBrushPicture();

}  // namespace brumeleaf
