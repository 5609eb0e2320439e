#include "effects/painting/StrokeWordBlend.h"

#include <cstdlib>

#include "effects/painting/StrokeCanvas.h"
#include "imaging/CpuFeatures.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRUMELEAF_STROKE_AVX2 1
#endif

namespace brumeleaf {

namespace {

constexpr int kWord = StrokeCanvas::kPixelBytes;
constexpr int kPhotograph = StrokeCanvas::kPhotograph, kCanvas = StrokeCanvas::kCanvas;

std::uint32_t PixelError(const std::uint8_t* word, const std::uint8_t* level, const std::uint8_t* paint,
                         const std::uint8_t mean[3]) {
  std::uint32_t sum = 0;
  for (int c = 0; c < 3; ++c)
    sum += static_cast<std::uint32_t>(std::abs(word[kPhotograph + c] - BlendedLevel(word[kCanvas + c], level[c], paint[c], mean[c])));
  return sum;
}

void BlendPixel(const std::uint8_t* word, const std::uint8_t* level, const std::uint8_t* paint, const std::uint8_t mean[3],
                std::uint8_t* out) {
  for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(BlendedLevel(word[kCanvas + c], level[c], paint[c], mean[c]));
  for (int c = 3; c < kWord; ++c) out[c] = 0;
}

#if BRUMELEAF_STROKE_AVX2
// The blend of the canvas bytes in the 16-bit lanes `canvas` (two pixels, colour lanes first
// in each pixel's eight) under the levels and paint shares at `level` and `paint`.
__attribute__((target("avx2"))) inline __m256i BlendTwo(__m128i canvas, const std::uint8_t* level,
                                                        const std::uint8_t* paint, __m256i mean) {
  const __m256i d = _mm256_cvtepu8_epi16(canvas);
  const __m256i l = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(level)));
  const __m256i p = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(paint)));
  // d * l + mean * p is at most 255 * 255: no 16-bit lane overflows. The lanes outside the
  // colour bytes meet a level and paint of zero and come out zero.
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d, l), _mm256_mullo_epi16(mean, p)), 8);
}

__attribute__((target("avx2"))) std::uint32_t BlendedRunErrorAvx2(const StrokeRun& run, const std::uint8_t mean[3]) {
  const __m256i colour = _mm256_set1_epi64x(0xFFFFFF);
  const __m256i means = _mm256_setr_epi16(mean[0], mean[1], mean[2], 0, 0, 0, 0, 0, mean[0], mean[1], mean[2], 0, 0, 0, 0, 0);
  __m256i sums = _mm256_setzero_si256();
  int i = 0;
  for (; i + 4 <= run.pixels; i += 4) {
    const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(run.words + kWord * i));
    // The canvas bytes moved down under the photograph's.
    const __m256i canvas = _mm256_srli_epi64(words, 8 * kCanvas);
    const __m256i low = BlendTwo(_mm256_castsi256_si128(canvas), run.level + kWord * i, run.paint + kWord * i, means);
    const __m256i high =
        BlendTwo(_mm256_extracti128_si256(canvas, 1), run.level + kWord * (i + 2), run.paint + kWord * (i + 2), means);
    // Packing takes the pixels in the order 0, 2, 1, 3; the photograph follows the same order.
    const __m256i blended = _mm256_packus_epi16(low, high);
    const __m256i photograph = _mm256_permute4x64_epi64(_mm256_and_si256(words, colour), 0xD8);
    sums = _mm256_add_epi64(sums, _mm256_sad_epu8(blended, photograph));
  }
  __m128i sum = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
  if (i + 2 <= run.pixels) {
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.words + kWord * i));
    const __m256i two = BlendTwo(_mm_srli_epi64(words, 8 * kCanvas), run.level + kWord * i, run.paint + kWord * i, means);
    const __m128i blended = _mm_packus_epi16(_mm256_castsi256_si128(two), _mm256_extracti128_si256(two, 1));
    sum = _mm_add_epi64(sum, _mm_sad_epu8(blended, _mm_and_si128(words, _mm256_castsi256_si128(colour))));
    i += 2;
  }
  std::uint32_t total = static_cast<std::uint32_t>(_mm_cvtsi128_si64(sum) + _mm_extract_epi64(sum, 1));
  if (i < run.pixels) total += PixelError(run.words + kWord * i, run.level + kWord * i, run.paint + kWord * i, mean);
  return total;
}

__attribute__((target("avx2"))) void BlendRunAvx2(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out) {
  const __m256i means = _mm256_setr_epi16(mean[0], mean[1], mean[2], 0, 0, 0, 0, 0, mean[0], mean[1], mean[2], 0, 0, 0, 0, 0);
  int i = 0;
  for (; i + 2 <= run.pixels; i += 2) {
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.words + kWord * i));
    const __m256i two = BlendTwo(_mm_srli_epi64(words, 8 * kCanvas), run.level + kWord * i, run.paint + kWord * i, means);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kWord * i),
                     _mm_packus_epi16(_mm256_castsi256_si128(two), _mm256_extracti128_si256(two, 1)));
  }
  if (i < run.pixels) BlendPixel(run.words + kWord * i, run.level + kWord * i, run.paint + kWord * i, mean, out + kWord * i);
}
#endif

}  // namespace

void BlendRun(const StrokeRun& run, const std::uint8_t mean[3], std::uint8_t* out) {
#if BRUMELEAF_STROKE_AVX2
  if (HasAvx2()) return BlendRunAvx2(run, mean, out);
#endif
  for (int i = 0; i < run.pixels; ++i)
    BlendPixel(run.words + kWord * i, run.level + kWord * i, run.paint + kWord * i, mean, out + kWord * i);
}

std::uint32_t BlendedRunErrorPlain(const StrokeRun& run, const std::uint8_t mean[3]) {
  std::uint32_t sum = 0;  // at most 501 pixels of 765: no overflow
  for (int i = 0; i < run.pixels; ++i)
    sum += PixelError(run.words + kWord * i, run.level + kWord * i, run.paint + kWord * i, mean);
  return sum;
}

std::uint32_t BlendedRunError(const StrokeRun& run, const std::uint8_t mean[3]) {
#if BRUMELEAF_STROKE_AVX2
  if (HasAvx2()) return BlendedRunErrorAvx2(run, mean);
#endif
  return BlendedRunErrorPlain(run, mean);
}

}  // namespace brumeleaf
