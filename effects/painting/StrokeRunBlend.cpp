#include "effects/painting/StrokeRunBlend.h"

#include <array>
#include <cstdlib>

#include "effects/painting/StrokeCanvas.h"
#include "imaging/CpuFeatures.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRUMELEAF_STROKE_AVX2 1
#endif

namespace brumeleaf {

namespace {

constexpr int kPixel = StrokeCanvas::kPixelBytes, kLanes = kStrokeBrushLanes;
constexpr int kPhotograph = StrokeCanvas::kPhotograph, kCanvas = StrokeCanvas::kCanvas;

int PixelBlend(const std::uint8_t* pixel, const std::uint16_t* level, const std::uint16_t* paint, const std::uint8_t mean[3],
               int c) {
  return BlendedLevel(pixel[kCanvas + c], level[c], paint[c], mean[c]);
}

void MeasurePlain(const std::uint8_t* pixels, int count, RunMeasure& into) {
  for (int i = 0; i < count; ++i, pixels += kPixel)
    for (int c = 0; c < 3; ++c) {
      into.colour[c] += pixels[kPhotograph + c];
      into.error += static_cast<std::uint32_t>(std::abs(pixels[kPhotograph + c] - pixels[kCanvas + c]));
    }
}

std::uint32_t ErrorPlain(const StrokeRun& run, const std::uint8_t mean[3]) {
  std::uint32_t sum = 0;  // at most 501 pixels of 765: no overflow
  for (int i = 0; i < run.count; ++i) {
    const std::uint8_t* pixel = run.pixels + kPixel * i;
    for (int c = 0; c < 3; ++c)
      sum += static_cast<std::uint32_t>(std::abs(pixel[kPhotograph + c] - PixelBlend(pixel, run.level + kLanes * i, run.paint + kLanes * i, mean, c)));
  }
  return sum;
}

void BlendRunPlain(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out) {
  for (int i = 0; i < run.count; ++i) {
    for (int c = 0; c < 3; ++c)
      out[4 * i + c] = static_cast<std::uint8_t>(PixelBlend(run.pixels + kPixel * i, run.level + kLanes * i, run.paint + kLanes * i, mean, c));
    out[4 * i + 3] = 0;
  }
}

#if BRUMELEAF_STROKE_AVX2
constexpr char kZero = -128;  // a shuffle index that gives a zero byte

// Four pixels from `p`, 24 bytes and not one past them (a stamp's memory is fetched ahead of
// it, and a byte past its run could lie on a line that was not): the first two pixels at
// bytes 0 to 11 of the low half, the next two at bytes 4 to 15 of the high half.
__attribute__((target("avx2"))) inline __m256i LoadFour(const std::uint8_t* p) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)), 1);
}

// The end of a run of four pixels or more is taken as its last four, of which the first
// 4 - pixels were counted already: byte masks for LoadFour that keep the last 1 to 3.
struct TailBytes {
  std::array<std::array<std::uint8_t, 32>, 4> keep{};
  constexpr TailBytes() {
    for (int pixels = 1; pixels < 4; ++pixels)
      for (int i = 0; i < 32; ++i) {
        const int pixel = i < 16 ? i / kPixel : 2 + (i - 16 - 4) / kPixel;
        const bool used = i < 16 ? i < 2 * kPixel : i >= 16 + 4;
        keep[static_cast<std::size_t>(pixels)][static_cast<std::size_t>(i)] = used && pixel >= 4 - pixels ? 0xFF : 0;
      }
  }
};
constexpr TailBytes kTailBytes;

__attribute__((target("avx2"))) inline __m256i KeepLastPixels(__m256i v, int pixels) {
  return _mm256_and_si256(v, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTailBytes.keep[static_cast<std::size_t>(pixels)].data())));
}

// Sums of one LoadFour: per half, blue of both pixels in one group of eight bytes and green in
// the other, in `blueGreen`; red in one and the photograph's colour bytes beside the canvas's
// in the other, for the error, in `redError`.
struct FourSums {
  __m256i blueGreen, redError;
};

__attribute__((target("avx2"))) inline void AddFour(__m256i v, FourSums& sums) {
  const char z = kZero;
  const __m256i blueGreen = _mm256_setr_epi8(0, 6, z, z, z, z, z, z, 1, 7, z, z, z, z, z, z,
                                             4, 10, z, z, z, z, z, z, 5, 11, z, z, z, z, z, z);
  const __m256i redPhoto = _mm256_setr_epi8(2, 8, z, z, z, z, z, z, 0, 1, 2, 6, 7, 8, z, z,
                                            6, 12, z, z, z, z, z, z, 4, 5, 6, 10, 11, 12, z, z);
  const __m256i canvas = _mm256_setr_epi8(z, z, z, z, z, z, z, z, 3, 4, 5, 9, 10, 11, z, z,
                                          z, z, z, z, z, z, z, z, 7, 8, 9, 13, 14, 15, z, z);
  sums.blueGreen = _mm256_add_epi64(sums.blueGreen, _mm256_sad_epu8(_mm256_shuffle_epi8(v, blueGreen), _mm256_setzero_si256()));
  sums.redError = _mm256_add_epi64(sums.redError, _mm256_sad_epu8(_mm256_shuffle_epi8(v, redPhoto), _mm256_shuffle_epi8(v, canvas)));
}

__attribute__((target("avx2"))) inline void MeasureRunAvx2(const std::uint8_t* pixels, int count, RunMeasure& into) {
  if (count < 4) return MeasurePlain(pixels, count, into);
  FourSums sums{_mm256_setzero_si256(), _mm256_setzero_si256()};
  int i = 0;
  for (; i + 4 <= count; i += 4) AddFour(LoadFour(pixels + kPixel * i), sums);
  if (i < count) AddFour(KeepLastPixels(LoadFour(pixels + kPixel * (count - 4)), count - i), sums);
  alignas(32) std::uint64_t bg[4], re[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(bg), sums.blueGreen);
  _mm256_store_si256(reinterpret_cast<__m256i*>(re), sums.redError);
  into.colour[0] += static_cast<std::uint32_t>(bg[0] + bg[2]);
  into.colour[1] += static_cast<std::uint32_t>(bg[1] + bg[3]);
  into.colour[2] += static_cast<std::uint32_t>(re[0] + re[2]);
  into.error += static_cast<std::uint32_t>(re[1] + re[3]);
}

// The blend of four pixels' canvas bytes in 16-bit lanes, four lanes a pixel (the fourth zero),
// with the photograph's bytes in `photograph` in the same lanes.
struct FourBlended {
  __m256i blend, photograph;
};

__attribute__((target("avx2"))) inline FourBlended BlendFour(const std::uint8_t* pixels, const std::uint16_t* level,
                                                             const std::uint16_t* paint, __m256i mean) {
  const char z = kZero;
  const __m256i canvasLanes = _mm256_setr_epi8(3, z, 4, z, 5, z, z, z, 9, z, 10, z, 11, z, z, z,
                                               7, z, 8, z, 9, z, z, z, 13, z, 14, z, 15, z, z, z);
  const __m256i photoLanes = _mm256_setr_epi8(0, z, 1, z, 2, z, z, z, 6, z, 7, z, 8, z, z, z,
                                              4, z, 5, z, 6, z, z, z, 10, z, 11, z, 12, z, z, z);
  const __m256i v = LoadFour(pixels);
  const __m256i d = _mm256_shuffle_epi8(v, canvasLanes);
  const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(level));
  const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(paint));
  // d * l + mean * p is at most 255 * 255: no 16-bit lane overflows. The fourth lane of a
  // pixel meets a level and paint of zero and comes out zero.
  const __m256i blend = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d, l), _mm256_mullo_epi16(mean, p)), 8);
  return {blend, _mm256_shuffle_epi8(v, photoLanes)};
}

__attribute__((target("avx2"))) inline __m256i Means(const std::uint8_t mean[3]) {
  return _mm256_setr_epi16(mean[0], mean[1], mean[2], 0, mean[0], mean[1], mean[2], 0, mean[0], mean[1], mean[2], 0, mean[0],
                           mean[1], mean[2], 0);
}

// The error of pixels i to i + 3 of `run` blended, in 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i ErrorOfFour(const StrokeRun& run, int i, __m256i means) {
  const FourBlended four = BlendFour(run.pixels + kPixel * i, run.level + kLanes * i, run.paint + kLanes * i, means);
  return _mm256_abs_epi16(_mm256_sub_epi16(four.photograph, four.blend));
}

// The blend of pixels i to i + 3 of `run`, written to out + 4 * i.
__attribute__((target("avx2"))) inline void WriteFour(const StrokeRun& run, int i, __m256i means, std::uint8_t* out) {
  const FourBlended four = BlendFour(run.pixels + kPixel * i, run.level + kLanes * i, run.paint + kLanes * i, means);
  // Packed, each half holds its two pixels in its low eight bytes.
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(four.blend, four.blend), 0x08);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm256_castsi256_si128(packed));
}

__attribute__((target("avx2"))) inline std::uint32_t BlendedRunErrorAvx2(const StrokeRun& run, const std::uint8_t mean[3]) {
  if (run.count < 4) return ErrorPlain(run, mean);
  const __m256i means = Means(mean), ones = _mm256_set1_epi16(1);
  __m256i total = _mm256_setzero_si256();
  int i = 0;
  while (i + 4 <= run.count) {
    // At most 128 steps of 255 per 16-bit lane before they are widened: below 32768.
    const int end = std::min(run.count & ~3, i + 4 * 128);
    __m256i sums = _mm256_setzero_si256();
    for (; i < end; i += 4) sums = _mm256_add_epi16(sums, ErrorOfFour(run, i, means));
    total = _mm256_add_epi32(total, _mm256_madd_epi16(sums, ones));
  }
  if (i < run.count) {
    // The run's last four pixels, less those counted already.
    alignas(32) static constexpr std::int16_t kLast[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                           -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    const __m256i keep = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kLast + 4 * (run.count - i)));
    total = _mm256_add_epi32(total, _mm256_madd_epi16(_mm256_and_si256(ErrorOfFour(run, run.count - 4, means), keep), ones));
  }
  __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4E));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum));
}

__attribute__((target("avx2"))) void BlendRunAvx2(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out) {
  if (run.count < 4) return BlendRunPlain(run, mean, out);
  const __m256i means = Means(mean);
  int i = 0;
  for (; i + 4 <= run.count; i += 4) WriteFour(run, i, means, out);
  if (i < run.count) WriteFour(run, run.count - 4, means, out);  // the last four: the same bytes where they overlap
}
// The runs one after another in one call: a stamp has up to hundreds of runs, most of them
// short.
__attribute__((target("avx2"))) void MeasureSpansAvx2(const PixelSpan* spans, std::size_t n, RunMeasure& into) {
  for (std::size_t k = 0; k < n; ++k) MeasureRunAvx2(spans[k].pixels, spans[k].count, into);
}

__attribute__((target("avx2"))) std::uint64_t BlendedRunsErrorAvx2(const StrokeRun* runs, std::size_t n, const std::uint8_t mean[3],
                                                                  std::uint64_t limit) {
  std::uint64_t sum = 0;
  for (std::size_t k = 0; k < n && sum < limit; ++k) sum += BlendedRunErrorAvx2(runs[k], mean);
  return sum;
}
#endif

}  // namespace

void MeasureSpansPlain(const PixelSpan* spans, std::size_t n, RunMeasure& into) {
  for (std::size_t k = 0; k < n; ++k) MeasurePlain(spans[k].pixels, spans[k].count, into);
}

void MeasureSpans(const PixelSpan* spans, std::size_t n, RunMeasure& into) {
#if BRUMELEAF_STROKE_AVX2
  if (HasAvx2()) return MeasureSpansAvx2(spans, n, into);
#endif
  MeasureSpansPlain(spans, n, into);
}

void BlendRun(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out) {
#if BRUMELEAF_STROKE_AVX2
  if (HasAvx2()) return BlendRunAvx2(run, mean, out);
#endif
  BlendRunPlain(run, mean, out);
}

std::uint64_t BlendedRunsErrorPlain(const StrokeRun* runs, std::size_t n, const std::uint8_t mean[3], std::uint64_t limit) {
  std::uint64_t sum = 0;
  for (std::size_t k = 0; k < n && sum < limit; ++k) sum += ErrorPlain(runs[k], mean);
  return sum;
}

std::uint64_t BlendedRunsError(const StrokeRun* runs, std::size_t n, const std::uint8_t mean[3], std::uint64_t limit) {
#if BRUMELEAF_STROKE_AVX2
  if (HasAvx2()) return BlendedRunsErrorAvx2(runs, n, mean, limit);
#endif
  return BlendedRunsErrorPlain(runs, n, mean, limit);
}

}  // namespace brumeleaf
