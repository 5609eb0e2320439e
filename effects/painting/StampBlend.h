#pragma once
// The per-pixel blend of the scale-space brush stamp, on colour planes: for every stamp pixel
// whose brush alpha a is at least 15, the paint mix = (a K + K2 (256 - a)) shr 8 per channel is
// compared with the photograph (d = sum of |photo - mix| + 1), a pixel with d >= 500 counts as
// bad, and the canvas takes e = strength(a) - d * 10 div D of the paint, D being 22, 18 or 12.
// Thirty-two pixels at a time with AVX-512, sixteen with AVX2 or eight with SSE2, as the
// machine allows; the bytes equal the plain loop.

#include <cstdint>

namespace brumeleaf {

enum class StampDivisor {
  Normal,  // 18 when d is below `close`, else 12
  Tiny,    // 18
  Fine     // 22
};

struct StampPaint {
  int k[3] = {0, 0, 0};      // the stroke colour K, blue green red
  int light[3] = {0, 0, 0};  // K2 = min(255, 2 K)
  StampDivisor divisor = StampDivisor::Normal;
  int close = 1;
};

// One row of stamp pixels: brush alpha, the strength of each alpha for this stroke, the
// paint share (255 - brush red), and the photograph's and the canvas's planes, all starting at
// the row's first pixel. Every array must stay readable (and the canvas writable) for
// kStampPadding elements past the row's last pixel: the blend works in groups of eight (or
// sixteen) and writes the levels it did not change back unchanged.
inline constexpr int kStampPadding = 16;

struct StampRow {
  const std::uint8_t* alpha;
  const std::uint16_t* strength;
  const std::uint16_t* paint;
  const std::uint8_t* photo[3];
  std::uint8_t* canvas[3];
  int count;
};

// Blends the row and adds its bad pixels to `bad`. With `abandonAbove` >= 0 the row stops at
// the pixel that makes `bad` exceed it (that pixel is not painted) and returns false.
bool BlendStampRow(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove);

// The rows of one stamp, top to bottom, stopping as BlendStampRow does.
bool BlendStampRows(const StampRow* rows, int rowCount, const StampPaint& paint, std::int64_t& bad,
                    std::int64_t abandonAbove);

// The 32- or 16-lane path on its own where the processor has it (else the eight-lane one), for
// the tests.
bool BlendStampRowWide(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove,
                       int lanes);

// The eight-lane path on its own (the plain loop where SSE2 is missing), for the tests.
bool BlendStampRowSse2(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove);

// The same one pixel at a time, for the tails and as the reference of the tests.
bool BlendStampRowPlain(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove);

}  // namespace brumeleaf
