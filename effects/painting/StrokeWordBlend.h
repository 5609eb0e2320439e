#pragma once
// The blend of one run of a random-strokes stamp over the words of a StrokeCanvas, and the
// error it leaves. A canvas colour byte d under brush level l becomes
// (d * l + mean * (255 - l)) >> 8; the error is the sum of |photograph - blend| over the
// colour bytes.
//
// Nearly every stamp is measured and turned down, so the error is worked out without writing
// the blend anywhere; only a kept stamp writes it, into the canvas. Four pixels at a time with
// AVX2 where the processor has it (the plain loop otherwise): the same integers either way.

#include <cstdint>

namespace brumeleaf {

// One run of stamp pixels: the canvas words of its first pixel onwards, and per pixel an
// 8-byte word of the brush level and one of 255 - level, both in the three colour bytes and
// zero in the others.
struct StrokeRun {
  const std::uint8_t* words;
  const std::uint8_t* level;
  const std::uint8_t* paint;
  int pixels;
};

// The error of `run` blended with `mean` (blue, green, red).
std::uint32_t BlendedRunError(const StrokeRun& run, const std::uint8_t mean[3]);

// The same sum by the plain loop, whatever the processor: the reference for the tests.
std::uint32_t BlendedRunErrorPlain(const StrokeRun& run, const std::uint8_t mean[3]);

// The blend of `run` with `mean`, written to `out` as one 8-byte word per pixel (the colour
// bytes first, zero after them).
void BlendRun(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out);

// One colour byte of the blend: canvas level d under brush level l and paint share 255 - l.
inline int BlendedLevel(int canvas, int level, int paint, int mean) { return (canvas * level + mean * paint) >> 8; }

}  // namespace brumeleaf
