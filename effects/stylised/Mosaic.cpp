#include "effects/stylised/Mosaic.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brumeleaf {

namespace {

constexpr std::int64_t kMostAttempts = 100000;
constexpr int kLookAhead = 8;  // windows requested ahead of the one being tested
// Up to this many bytes of source and output together (a preview crop of 800 x 800 is under
// 4 MB) the pictures stay in the caches, and asking for the windows ahead only crowds the
// memory requests: 5 % slower there, while a camera picture needs it.
constexpr std::size_t kCachedBytes = std::size_t{8} << 20;

// What the improvement test needs of one sampling window.
struct WindowTest {
  int count = 0;           // N
  int mean[3] = {0, 0, 0};  // m, blue green red (measured when the shape is laid)
  bool lay = false;
};

// The widest window: sizes reach 255 div 5 + 3 = 54, a side of 2 x 27 + 1 pixels.
constexpr int kWidestSpan = 3 * 55;

// Byte patterns that pick one channel out of a row of pixels.
struct ChannelMasks {
  std::uint8_t mask[3][kWidestSpan];
  ChannelMasks() {
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < kWidestSpan; ++i) mask[c][i] = i % 3 == c ? 0xFF : 0;
  }
};
const ChannelMasks kMasks;
const std::uint8_t kZeros[kWidestSpan] = {};

// Sums of absolute byte differences and of masked bytes: plain loops the compiler turns into
// vector instructions, which matters because these run over every window row of millions of
// attempts.
std::uint32_t SumOfDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += static_cast<std::uint32_t>(std::abs(a[i] - b[i]));
  return sum;
}
std::uint32_t MaskedSum(const std::uint8_t* a, const std::uint8_t* mask, std::size_t n) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // The masked bytes' sum as their absolute differences from zero, sixteen at a time.
  __m128i sums = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    const __m128i kept = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i)));
    sums = _mm_add_epi64(sums, _mm_sad_epu8(kept, _mm_setzero_si128()));
  }
  sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
#endif
  for (; i < n; ++i) sum += static_cast<std::uint8_t>(a[i] & mask[i]);
  return sum;
}

}  // namespace

void MosaicRowSums(const std::uint8_t* s, const std::uint8_t* d, std::size_t n, std::uint32_t& now, std::uint32_t& there) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i nowSums = zero, thereSums = zero;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    nowSums = _mm_add_epi64(nowSums, _mm_sad_epu8(a, b));
    thereSums = _mm_add_epi64(thereSums, _mm_sad_epu8(b, zero));
  }
  if (i < n && n < 16) {
    // A row shorter than one vector: reading back from its end could leave the picture.
    for (; i < n; ++i) {
      now += static_cast<std::uint32_t>(std::abs(s[i] - d[i]));
      there += d[i];
    }
  } else if (i < n) {
    // Bytes n - 16 .. n - 1, of which the first 16 - (n - i) were summed already: those are
    // cleared in both.
    alignas(16) static const std::uint8_t kKeepLast[32] = {0,    0,    0,    0,    0,    0,    0,    0,
                                                          0,    0,    0,    0,    0,    0,    0,    0,
                                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::size_t rest = n - i;  // 1 .. 15
    const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeepLast + rest));
    const std::ptrdiff_t from = static_cast<std::ptrdiff_t>(n) - 16;
    const __m128i a = _mm_and_si128(keep, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from)));
    const __m128i b = _mm_and_si128(keep, _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + from)));
    nowSums = _mm_add_epi64(nowSums, _mm_sad_epu8(a, b));
    thereSums = _mm_add_epi64(thereSums, _mm_sad_epu8(b, zero));
  }
  now += static_cast<std::uint32_t>(_mm_cvtsi128_si32(nowSums) + _mm_cvtsi128_si32(_mm_srli_si128(nowSums, 8)));
  there += static_cast<std::uint32_t>(_mm_cvtsi128_si32(thereSums) + _mm_cvtsi128_si32(_mm_srli_si128(thereSums, 8)));
#else
  now += SumOfDifferences(s, d, n);
  there += SumOfDifferences(d, kZeros, n);
#endif
}

namespace {

// The sampling window of centre (cx, cy) and half side `half`: cx - half .. cx + half and
// cy - half .. cy + half inside the picture, without column 0 and row 0. (The discs restrict it
// to the disc of radius s, which holds every pixel of this square, so both shapes share it.)
WindowTest TestWindow(const Bitmap& source, const Bitmap& output, int cx, int cy, int half, int tolerance) {
  WindowTest t;
  const int x0 = std::max(1, cx - half), x1 = std::min(source.Width() - 1, cx + half);
  const int y0 = std::max(1, cy - half), y1 = std::min(source.Height() - 1, cy + half);
  if (x0 > x1 || y0 > y1) return t;  // N = 0: nothing to compare, nothing is laid
  t.count = (x1 - x0 + 1) * (y1 - y0 + 1);
  const std::size_t bytes = static_cast<std::size_t>(x1 - x0 + 1) * 3;
  const std::uint32_t n = static_cast<std::uint32_t>(t.count);

  // What is there now: its error against the source and how light it is. The shape's own error
  // is at least 15, so where the error now is at most 15 + tolerance the shape cannot improve
  // on it, and neither its mean nor its error is needed unless the window is still blank.
  std::uint32_t now = 0, there = 0;
  {
    const std::uint8_t* s = source.ScanLine(y0) + 3 * x0;
    const std::uint8_t* d = output.ScanLine(y0) + 3 * x0;
    const std::ptrdiff_t sRows = source.RowDistance(), dRows = output.RowDistance();
    for (int y = y0; y <= y1; ++y, s += sRows, d += dRows) MosaicRowSums(s, d, bytes, now, there);
  }
  const int nowError = static_cast<int>(now / n);
  bool measured = false;
  const auto measure = [&] {
    // The mean colour of the source under the window.
    std::uint32_t sum[3] = {0, 0, 0};
    for (int y = y0; y <= y1; ++y) {
      const std::uint8_t* s = source.ScanLine(y) + 3 * x0;
      for (int c = 0; c < 3; ++c) sum[c] += MaskedSum(s, kMasks.mask[c], bytes);
    }
    for (int c = 0; c < 3; ++c) t.mean[c] = static_cast<int>(sum[c] / n);
    measured = true;
  };
  if (nowError > 15 + tolerance) {
    measure();
    std::uint8_t meanRow[kWidestSpan];
    for (int c = 0; c < 3; ++c)
      for (std::size_t i = static_cast<std::size_t>(c); i < bytes; i += 3) meanRow[i] = static_cast<std::uint8_t>(t.mean[c]);
    // The shape's own error.
    std::uint32_t own = 0;
    for (int y = y0; y <= y1; ++y) own += SumOfDifferences(source.ScanLine(y) + 3 * x0, meanRow, bytes);
    const int ownError = static_cast<int>(own / n) + 15;
    t.lay = ownError + tolerance < nowError;
  }
  // Still blank: every channel's mean above 250, so each channel sums to at least 251 N. Only
  // when all three together reach that are the channels summed one by one.
  if (!t.lay && there >= 3 * 251 * n) {
    std::uint32_t channel[3] = {0, 0, 0};
    for (int y = y0; y <= y1; ++y) {
      const std::uint8_t* d = output.ScanLine(y) + 3 * x0;
      for (int c = 0; c < 3; ++c) channel[c] += MaskedSum(d, kMasks.mask[c], bytes);
    }
    t.lay = channel[0] / n > 250 && channel[1] / n > 250 && channel[2] / n > 250;
  }
  if (t.lay && !measured) measure();
  return t;
}

// The windows fall anywhere in the picture, so nearly every row of one is a cache miss; the
// misses, not the sums, set the pace. The window of an attempt still to come is requested
// early so that its rows arrive while the current window is summed.
void Prefetch(const Bitmap& source, const Bitmap& output, int cx, int cy, int half) {
  const int x0 = std::max(1, cx - half), x1 = std::min(source.Width() - 1, cx + half);
  const int y0 = std::max(1, cy - half), y1 = std::min(source.Height() - 1, cy + half);
  if (x0 > x1 || y0 > y1) return;
  const std::uint8_t* s = source.ScanLine(y0);
  const std::uint8_t* d = output.ScanLine(y0);
  const std::ptrdiff_t sRows = source.RowDistance(), dRows = output.RowDistance();
  for (int y = y0; y <= y1; ++y, s += sRows, d += dRows) {
    for (int i = 3 * x0; i < 3 * x1 + 3; i += 64) {
      __builtin_prefetch(s + i);
      __builtin_prefetch(d + i);
    }
    __builtin_prefetch(s + 3 * x1 + 2);
    __builtin_prefetch(d + 3 * x1 + 2);
  }
}

Colour ColourOf(const int bgr[3], int less) {
  return MakeColour(std::max(0, bgr[2] - less), std::max(0, bgr[1] - less), std::max(0, bgr[0] - less));
}

}  // namespace

std::int64_t MosaicAttempts(int width, int height, int s, int sMin, int sMax, int attempts, bool preview) {
  // In 64 bits: (n T2) x 300 passes 2^31 on pictures above about 57 megapixels.
  std::int64_t n = (static_cast<std::int64_t>(width) * height / (static_cast<std::int64_t>(s) * s)) / (sMax - sMin + 1);
  n = (n * attempts / 255) * 300;
  std::int64_t c = n + 1;
  if (preview && c < 5000) c *= 3;
  return std::min(c, kMostAttempts);
}

MosaicSettings MosaicSettingsFrom(const RunContext& ctx) {
  MosaicSettings settings;
  settings.tolerance = ctx.S(1);
  settings.attempts = ctx.S(2);
  settings.colourIntensity = ctx.S(3);
  settings.minimumSize = ctx.S(4);
  settings.maximumSize = ctx.S(5);
  return settings;
}

void PaintMosaic(const Bitmap& source, Bitmap& output, MosaicShape shape, MosaicSettings st, RunContext& ctx) {
  if (&source == &output) throw ImageError("The mosaic cannot be laid over its own source picture.");
  const int w = source.Width(), h = source.Height();
  output.SetSize(w, h);
  ctx.ShowProgress(0, 50, 1, 1);
  // The sliders stop at 0 and 255; the window buffers are sized for that.
  st.minimumSize = std::clamp(st.minimumSize, 0, 255);
  st.maximumSize = std::clamp(st.maximumSize, 0, 255);
  if (st.maximumSize < st.minimumSize) {
    st.minimumSize = st.maximumSize;
    ctx.MutableParams().s[3] = st.maximumSize;
  }
  const int sMin = st.minimumSize / 5 + 2, sMax = st.maximumSize / 5 + 3;
  const int span = std::max(1, sMax - sMin);  // sizes always differ; kept for slider values < 0
  Canvas canvas(output);

  for (int s = sMax; s >= sMin; --s) {
    ctx.ShowProgress(sMax - s, span, 1, 1);
    if (ctx.preview) {
      ctx.ShowInPreview(output);
      ctx.PreviewProgressLine((sMax - s) * 200 / span);
    }
    const std::int64_t c = MosaicAttempts(w, h, s, sMin, sMax, st.attempts, !ctx.processing);

    // A copy of the generator runs ahead to find the windows to prefetch; the draws that
    // count still come from the session's generator, so a stop leaves it where it should be.
    Random ahead = ctx.Rand();
    const bool fetchAhead = 6 * static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > kCachedBytes;
    const auto prefetchNext = [&] {
      if (!fetchAhead) return;
      const int px = ahead.NextInt(w - 1);
      const int py = ahead.NextInt(h - 1);
      Prefetch(source, output, px, py, s / 2);
    };
    for (int k = 0; k < kLookAhead; ++k) prefetchNext();
    for (std::int64_t attempt = 0; attempt <= c; ++attempt) {
      if (ctx.StopRequested()) return;
      const int cx = ctx.Rand().NextInt(w - 1);
      const int cy = ctx.Rand().NextInt(h - 1);
      prefetchNext();
      const WindowTest t = TestWindow(source, output, cx, cy, s / 2, st.tolerance);
      if (!t.lay) continue;
      if (shape == MosaicShape::Square) {
        // The canvas's rectangle fill, right and bottom edges exclusive and clipped: a square
        // of side 2s, twice the sampling window.
        canvas.brushColor = ColourOf(t.mean, 0);
        canvas.FillRect({cx - s, cy - s, cx + s, cy + s});
      } else {
        // The pixels whose centres lie inside the ellipse inscribed in the bounds (right and
        // bottom exclusive), its outermost ring in the darker pen colour.
        canvas.brushColor = ColourOf(t.mean, 0);
        canvas.penColor = ColourOf(t.mean, 10);
        canvas.Ellipse({cx - s, cy - s, cx + s, cy + s});
      }
    }
  }
  AdjustSaturation(output, (st.colourIntensity - 50) * 2, &ctx);
  ctx.ShowProgress(100, 100, 1, 1);
}

void PatchColouredSquares(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  PaintMosaic(source, output, MosaicShape::Square, MosaicSettingsFrom(ctx), ctx);
}

void PatchColouredCircles(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  PaintMosaic(source, output, MosaicShape::Disc, MosaicSettingsFrom(ctx), ctx);
}

namespace {

// Codes 10 and 11: W1 := copy of S; W2 black; the result is not first made a copy of the
// source; mosaic (W1, W2); surface finish W2 into R.
void RunMosaicFrame(const Bitmap& S, Bitmap& R, RunContext& ctx, MosaicShape shape) {
  WorkingPair pair;
  pair.resultStartsAsSource = false;
  pair.secondFill = kBlack;
  RunOnWorkingPair(S, R, ctx, pair, [&](Bitmap& w1, Bitmap& w2) {
    PaintMosaic(w1, w2, shape, MosaicSettingsFrom(ctx), ctx);
  });
}

}  // namespace

void FrameColouredSquares(const Bitmap& S, Bitmap& R, RunContext& ctx) { RunMosaicFrame(S, R, ctx, MosaicShape::Square); }

void FrameColouredCircles(const Bitmap& S, Bitmap& R, RunContext& ctx) { RunMosaicFrame(S, R, ctx, MosaicShape::Disc); }

}  // namespace brumeleaf
