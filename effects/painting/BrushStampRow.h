#pragma once
// One row of Painting 2's brush stamp laid over the canvas. For every colour byte of the row
// the brush colour c is mixed into the canvas level by its alpha a, and that mix laid over the
// level with the stroke's opacity op:
//   mix = (level (255 - a) + c a) div 255,  level' = ((255 - op) level + op mix) div 255,
// each division by 255 taken as (x + 1 + x shr 8) shr 8, which is exact for 0 <= x <= 65025.
// Every value stays below 2^16, so the row runs on 16-bit lanes: eight (SSE2), sixteen (AVX2)
// or thirty-two (AVX-512) bytes at a time as the processor allows, with the same bytes.

#include <cstdint>

namespace brumeleaf {

// The machine's widest path.
void LayBrushRow(std::uint8_t* canvas, const std::uint8_t* alpha, const std::uint8_t* colour, int bytes, int op);

// The paths one by one, for the tests: 0 the plain loop, 1 the baseline (SSE2 where the
// compiler vectorises it), 2 AVX2, 3 AVX-512. Returns false when this machine lacks the path.
bool LayBrushRowWith(int path, std::uint8_t* canvas, const std::uint8_t* alpha, const std::uint8_t* colour, int bytes,
                     int op);

// The sum of |a[i] - b[i]| over `bytes` bytes: the summed colour error of a row of pixels
// against the photograph.
std::int64_t SumOfAbsoluteDifferences(const std::uint8_t* a, const std::uint8_t* b, int bytes);

}  // namespace brumeleaf
