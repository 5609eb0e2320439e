#pragma once
// What a random-strokes stamp measures on one run of StrokeCanvas pixels, and its blend there.
// Before the stamp: the photograph's colour sums (for the mean colour) and the error, the sum
// of |photograph - canvas| over the colour bytes. The stamp turns a canvas colour byte d under
// brush level l into (d * l + mean * (255 - l)) >> 8, and the error after it is measured
// against that blend.
//
// Nearly every stamp is measured and turned down, so the error after it is worked out without
// writing the blend anywhere; only a kept stamp writes it. Four pixels at a time with AVX2
// where the processor has it (the plain loop otherwise): the same integers either way.

#include <cstddef>
#include <cstdint>

namespace brumeleaf {

// One run of stamp pixels: the canvas pixels from its first onwards, and per pixel four 16-bit
// brush levels and four 16-bit paint shares (255 - level), for blue, green and red, then zero.
// Nothing past the run is read: a stamp's memory is fetched ahead of it, run by run.
struct StrokeRun {
  const std::uint8_t* pixels;
  const std::uint16_t* level;
  const std::uint16_t* paint;
  int count;
};
inline constexpr int kStrokeBrushLanes = 4;  // brush values per pixel

// Sums over pixels before a stamp, added to by each run.
struct RunMeasure {
  std::uint32_t colour[3] = {0, 0, 0};  // blue, green, red of the photograph
  std::uint32_t error = 0;
};

// Pixels of one run: the first and how many.
struct PixelSpan {
  const std::uint8_t* pixels;
  int count;
};

// Adds the pixels of `n` spans on to `into`.
void MeasureSpans(const PixelSpan* spans, std::size_t n, RunMeasure& into);
// The same by the plain loop, whatever the processor: the reference for the tests.
void MeasureSpansPlain(const PixelSpan* spans, std::size_t n, RunMeasure& into);

// The error of `n` runs blended with `mean` (blue, green, red), summed run by run until it
// reaches `limit`: then the sum so far, at least `limit`, is returned.
std::uint64_t BlendedRunsError(const StrokeRun* runs, std::size_t n, const std::uint8_t mean[3], std::uint64_t limit);
std::uint64_t BlendedRunsErrorPlain(const StrokeRun* runs, std::size_t n, const std::uint8_t mean[3], std::uint64_t limit);

// The blend of `run` with `mean`, written to `out` as four bytes per pixel (blue, green, red,
// zero).
void BlendRun(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out);

// One colour byte of the blend: canvas level d under brush level l and paint share 255 - l.
inline int BlendedLevel(int canvas, int level, int paint, int mean) { return (canvas * level + mean * paint) >> 8; }

}  // namespace brumeleaf
