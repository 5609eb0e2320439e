#include "effects/painting/BrushStampRow.h"
#include "imaging/CpuFeatures.h"

#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRUMELEAF_BRUSH_WIDE 1
#endif

namespace brumeleaf {

namespace {

inline std::uint16_t Div255(std::uint16_t x) {
  return static_cast<std::uint16_t>(static_cast<std::uint16_t>(x + 1 + (x >> 8)) >> 8);
}

// The literal form, one byte at a time.
__attribute__((optimize("no-tree-vectorize"))) void LayPlain(std::uint8_t* t, const std::uint8_t* a,
                                                              const std::uint8_t* c, int bytes, int op) {
  for (int i = 0; i < bytes; ++i) {
    const int level = t[i], weight = a[i];
    const int mix = (level * (255 - weight) + c[i] * weight + 1 + ((level * (255 - weight) + c[i] * weight) >> 8)) >> 8;
    const int laid = (255 - op) * level + op * mix;
    t[i] = static_cast<std::uint8_t>((laid + 1 + (laid >> 8)) >> 8);
  }
}

// The loop the compiler vectorises for the baseline processor.
void LayBaseline(std::uint8_t* t, const std::uint8_t* a, const std::uint8_t* c, int bytes, int op) {
  const std::uint16_t keep = static_cast<std::uint16_t>(255 - op), lay = static_cast<std::uint16_t>(op);
  for (int i = 0; i < bytes; ++i) {
    const std::uint16_t level = t[i], weight = a[i];
    const std::uint16_t mixed = static_cast<std::uint16_t>(level * static_cast<std::uint16_t>(255 - weight) + c[i] * weight);
    const std::uint16_t laid = static_cast<std::uint16_t>(keep * level + Div255(mixed) * lay);
    t[i] = static_cast<std::uint8_t>(Div255(laid));
  }
}

#if defined(BRUMELEAF_BRUSH_WIDE)

// The wide paths rewrite the two mixes as 255 level + w (c - level) and 255 level + op (mix -
// level): one multiplication each instead of two. The terms may be negative, but both sums
// lie in 0..65025, so 16-bit lanes that wrap modulo 2^16 hold them exactly.
#define BRUMELEAF_AVX2 __attribute__((target("avx2")))
#define BRUMELEAF_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))

BRUMELEAF_AVX2 inline __m256i Div255Avx2(__m256i x) {
  const __m256i one = _mm256_set1_epi16(1);
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, one), _mm256_srli_epi16(x, 8)), 8);
}

BRUMELEAF_AVX2 void LayAvx2(std::uint8_t* t, const std::uint8_t* a, const std::uint8_t* c, int bytes, int op) {
  const __m256i lay = _mm256_set1_epi16(static_cast<short>(op));
  int i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m256i level = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i)));
    const __m256i weight = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)));
    const __m256i colour = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + i)));
    const __m256i whole = _mm256_sub_epi16(_mm256_slli_epi16(level, 8), level);  // 255 level
    const __m256i mixed = _mm256_add_epi16(whole, _mm256_mullo_epi16(weight, _mm256_sub_epi16(colour, level)));
    const __m256i laid = _mm256_add_epi16(whole, _mm256_mullo_epi16(lay, _mm256_sub_epi16(Div255Avx2(mixed), level)));
    const __m256i result = Div255Avx2(laid);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(result, result), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(t + i), _mm256_castsi256_si128(packed));
  }
  LayBaseline(t + i, a + i, c + i, bytes - i, op);
}

BRUMELEAF_AVX512 inline __m512i Div255Avx512(__m512i x) {
  const __m512i one = _mm512_set1_epi16(1);
  return _mm512_srli_epi16(_mm512_add_epi16(_mm512_add_epi16(x, one), _mm512_srli_epi16(x, 8)), 8);
}

// Loads and stores are masked to the row, so nothing past its end is read or written.
BRUMELEAF_AVX512 void LayAvx512(std::uint8_t* t, const std::uint8_t* a, const std::uint8_t* c, int bytes, int op) {
  const __m512i lay = _mm512_set1_epi16(static_cast<short>(op));
  for (int i = 0; i < bytes; i += 32) {
    const int lanes = bytes - i < 32 ? bytes - i : 32;
    const __mmask32 live = lanes == 32 ? ~__mmask32{0} : (__mmask32{1} << lanes) - 1;
    const __m512i level = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, t + i));
    const __m512i weight = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, a + i));
    const __m512i colour = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, c + i));
    const __m512i whole = _mm512_sub_epi16(_mm512_slli_epi16(level, 8), level);  // 255 level
    const __m512i mixed = _mm512_add_epi16(whole, _mm512_mullo_epi16(weight, _mm512_sub_epi16(colour, level)));
    const __m512i laid = _mm512_add_epi16(whole, _mm512_mullo_epi16(lay, _mm512_sub_epi16(Div255Avx512(mixed), level)));
    // The result never exceeds 255, so keeping each lane's low byte is exact.
    _mm512_mask_cvtepi16_storeu_epi8(t + i, live, Div255Avx512(laid));
  }
}

#endif

using RowFunction = void (*)(std::uint8_t*, const std::uint8_t*, const std::uint8_t*, int, int);

RowFunction Widest() {
#if defined(BRUMELEAF_BRUSH_WIDE)
  if (HasAvx512()) return LayAvx512;
  if (HasAvx2()) return LayAvx2;
#endif
  return LayBaseline;
}

}  // namespace

void LayBrushRow(std::uint8_t* canvas, const std::uint8_t* alpha, const std::uint8_t* colour, int bytes, int op) {
  static const RowFunction lay = Widest();
  lay(canvas, alpha, colour, bytes, op);
}

std::int64_t SumOfAbsoluteDifferences(const std::uint8_t* a, const std::uint8_t* b, int bytes) {
  std::int64_t sum = 0;
  int i = 0;
#if defined(__SSE2__)
  __m128i sums = _mm_setzero_si128();
  for (; i + 16 <= bytes; i += 16)
    sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
  sum = _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
#endif
  for (; i < bytes; ++i) sum += std::abs(a[i] - b[i]);
  return sum;
}

bool LayBrushRowWith(int path, std::uint8_t* canvas, const std::uint8_t* alpha, const std::uint8_t* colour, int bytes,
                     int op) {
  switch (path) {
    case 0:
      LayPlain(canvas, alpha, colour, bytes, op);
      return true;
    case 1:
      LayBaseline(canvas, alpha, colour, bytes, op);
      return true;
#if defined(BRUMELEAF_BRUSH_WIDE)
    case 2:
      if (!HasAvx2()) return false;
      LayAvx2(canvas, alpha, colour, bytes, op);
      return true;
    case 3:
      if (!HasAvx512()) return false;
      LayAvx512(canvas, alpha, colour, bytes, op);
      return true;
#endif
    default:
      return false;
  }
}

}  // namespace brumeleaf
