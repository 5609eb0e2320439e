#include "effects/painting/StampBlend.h"
#include "imaging/CpuFeatures.h"

#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace brumeleaf {

namespace {

constexpr int kMinimumAlpha = 15;
constexpr int kBadDifference = 500;

int Drop(int d, const StampPaint& p) {
  switch (p.divisor) {
    case StampDivisor::Fine:
      return d * 10 / 22;
    case StampDivisor::Tiny:
      return d * 10 / 18;
    case StampDivisor::Normal:
      break;
  }
  return d < p.close ? d * 10 / 18 : d * 10 / 12;
}

}  // namespace

bool BlendStampRowPlain(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove) {
  for (int i = 0; i < row.count; ++i) {
    const int a = row.alpha[i];
    if (a < kMinimumAlpha) continue;
    int mix[3];
    int d = 1;
    for (int c = 0; c < 3; ++c) {
      mix[c] = (a * paint.k[c] + paint.light[c] * (256 - a)) >> 8;
      d += std::abs(row.photo[c][i] - mix[c]);
    }
    if (d >= kBadDifference) {
      ++bad;
      if (abandonAbove >= 0 && bad > abandonAbove) return false;
    }
    const int e = row.strength[i] - Drop(d, paint);
    if (e <= 4) continue;
    const int ep = e * row.paint[i];
    for (int c = 0; c < 3; ++c) {
      std::uint8_t& v = row.canvas[c][i];
      v = static_cast<std::uint8_t>(((256 - e) * v + (ep * mix[c]) / 256) >> 8);
    }
  }
  return true;
}

#if defined(__SSE2__)

namespace {

// Multipliers whose high half of the product equals d * 10 div D for every d up to 766
// (checked by the tests against the plain loop).
constexpr std::uint16_t kTenTwelfths = 54614;
constexpr std::uint16_t kTenEighteenths = 36409;
constexpr std::uint16_t kTenTwentySeconds = 29790;

inline __m128i Load8(const std::uint8_t* p) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

inline __m128i AbsDiff(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu16(a, b), _mm_subs_epu16(b, a)); }

}  // namespace

namespace {

struct Constants {
  __m128i zero, minimumAlpha, badLimit, one, four, full, closeLimit, q12, q18, q22, laneIndex;
  __m128i k[3], light[3];
  explicit Constants(const StampPaint& paint)
      : zero(_mm_setzero_si128()),
        minimumAlpha(_mm_set1_epi16(kMinimumAlpha - 1)),
        badLimit(_mm_set1_epi16(kBadDifference - 1)),
        one(_mm_set1_epi16(1)),
        four(_mm_set1_epi16(4)),
        full(_mm_set1_epi16(256)),
        closeLimit(_mm_set1_epi16(static_cast<short>(paint.close))),
        q12(_mm_set1_epi16(static_cast<short>(kTenTwelfths))),
        q18(_mm_set1_epi16(static_cast<short>(kTenEighteenths))),
        q22(_mm_set1_epi16(static_cast<short>(kTenTwentySeconds))),
        laneIndex(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7)) {
    for (int c = 0; c < 3; ++c) {
      k[c] = _mm_set1_epi16(static_cast<short>(paint.k[c]));
      light[c] = _mm_set1_epi16(static_cast<short>(paint.light[c]));
    }
  }
};

int BadLanes(int mask) {
  // Two mask bits per 16-bit lane.
  int n = 0;
  for (; mask != 0; mask &= mask - 1) ++n;
  return n / 2;
}

// Eight pixels starting at `row`'s first, of which the first `lanes` belong to the row; false
// when they would take the bad count above `abandonAbove` (nothing of them is painted then,
// and the caller redoes them one by one).
__attribute__((always_inline)) inline bool Blend8(const StampRow& row, int offset, int lanes, const StampPaint& paint,
                                                  const Constants& k, std::int64_t& bad, std::int64_t abandonAbove) {
  const __m128i a = Load8(row.alpha + offset);
  __m128i painting = _mm_cmpgt_epi16(a, k.minimumAlpha);
  if (lanes < 8) painting = _mm_and_si128(painting, _mm_cmplt_epi16(k.laneIndex, _mm_set1_epi16(static_cast<short>(lanes))));
  if (_mm_movemask_epi8(painting) == 0) return true;
  // a K + K2 (256 - a) stays below 65536, so 16-bit lanes hold it exactly.
  const __m128i rest = _mm_sub_epi16(k.full, a);
  __m128i mix[3];
  __m128i d = k.one;
  for (int c = 0; c < 3; ++c) {
    mix[c] = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, k.k[c]), _mm_mullo_epi16(k.light[c], rest)), 8);
    d = _mm_add_epi16(d, AbsDiff(Load8(row.photo[c] + offset), mix[c]));
  }
  const int badMask = _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi16(d, k.badLimit), painting));
  if (badMask != 0) {
    const int badCount = BadLanes(badMask);
    if (abandonAbove >= 0 && bad + badCount > abandonAbove) return false;
    bad += badCount;
  }
  __m128i drop;
  switch (paint.divisor) {
    case StampDivisor::Fine:
      drop = _mm_mulhi_epu16(d, k.q22);
      break;
    case StampDivisor::Tiny:
      drop = _mm_mulhi_epu16(d, k.q18);
      break;
    default: {
      const __m128i nearer = _mm_cmplt_epi16(d, k.closeLimit);
      drop = _mm_or_si128(_mm_and_si128(nearer, _mm_mulhi_epu16(d, k.q18)),
                          _mm_andnot_si128(nearer, _mm_mulhi_epu16(d, k.q12)));
    }
  }
  const __m128i e = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.strength + offset)), drop);
  const __m128i blend = _mm_and_si128(_mm_cmpgt_epi16(e, k.four), painting);
  if (_mm_movemask_epi8(blend) == 0) return true;
  const __m128i paintShare = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.paint + offset));
  const __m128i ep = _mm_mullo_epi16(e, paintShare);  // below 65536 where e is 5..255
  const __m128i keep = _mm_sub_epi16(k.full, e);
  for (int c = 0; c < 3; ++c) {
    const __m128i old = Load8(row.canvas[c] + offset);
    // (ep mix) div 256 as the high half of ep * (mix shl 8).
    const __m128i added = _mm_mulhi_epu16(ep, _mm_slli_epi16(mix[c], 8));
    const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(keep, old), added), 8);
    const __m128i result = _mm_or_si128(_mm_and_si128(blend, mixed), _mm_andnot_si128(blend, old));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row.canvas[c] + offset), _mm_packus_epi16(result, k.zero));
  }
  return true;
}

StampRow Advanced(const StampRow& row, int i, int count) {
  StampRow r = row;
  r.alpha += i, r.strength += i, r.paint += i;
  for (int c = 0; c < 3; ++c) r.photo[c] += i, r.canvas[c] += i;
  r.count = count;
  return r;
}

// The same sixteen lanes wide, for processors with AVX2 (chosen once, at run time).
#define BRUMELEAF_AVX2 __attribute__((target("avx2")))

BRUMELEAF_AVX2 inline __m256i Load16(const std::uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

BRUMELEAF_AVX2 inline __m256i AbsDiff16(__m256i a, __m256i b) {
  return _mm256_or_si256(_mm256_subs_epu16(a, b), _mm256_subs_epu16(b, a));
}

BRUMELEAF_AVX2 inline void Store16(std::uint8_t* p, __m256i v) {
  const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, _mm256_setzero_si256()), 0x08);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
}

BRUMELEAF_AVX2 bool BlendStampRowsAvx2(const StampRow* rows, int rowCount, const StampPaint& paint,
                                       std::int64_t& bad, std::int64_t abandonAbove) {
  const __m256i minimumAlpha = _mm256_set1_epi16(kMinimumAlpha - 1);
  const __m256i badLimit = _mm256_set1_epi16(kBadDifference - 1);
  const __m256i one = _mm256_set1_epi16(1);
  const __m256i four = _mm256_set1_epi16(4);
  const __m256i full = _mm256_set1_epi16(256);
  const __m256i closeLimit = _mm256_set1_epi16(static_cast<short>(paint.close));
  const __m256i q12 = _mm256_set1_epi16(static_cast<short>(kTenTwelfths));
  const __m256i q18 = _mm256_set1_epi16(static_cast<short>(kTenEighteenths));
  const __m256i q22 = _mm256_set1_epi16(static_cast<short>(kTenTwentySeconds));
  const __m256i laneIndex = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  __m256i k[3], light[3];
  for (int c = 0; c < 3; ++c) {
    k[c] = _mm256_set1_epi16(static_cast<short>(paint.k[c]));
    light[c] = _mm256_set1_epi16(static_cast<short>(paint.light[c]));
  }
  for (int r = 0; r < rowCount; ++r) {
    const StampRow& row = rows[r];
    for (int i = 0; i < row.count; i += 16) {
      const int lanes = std::min(16, row.count - i);
      const __m256i a = Load16(row.alpha + i);
      __m256i painting = _mm256_cmpgt_epi16(a, minimumAlpha);
      if (lanes < 16)
        painting = _mm256_and_si256(painting, _mm256_cmpgt_epi16(_mm256_set1_epi16(static_cast<short>(lanes)), laneIndex));
      if (_mm256_movemask_epi8(painting) == 0) continue;
      const __m256i rest = _mm256_sub_epi16(full, a);
      __m256i mix[3];
      __m256i d = one;
      for (int c = 0; c < 3; ++c) {
        mix[c] = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, k[c]), _mm256_mullo_epi16(light[c], rest)), 8);
        d = _mm256_add_epi16(d, AbsDiff16(Load16(row.photo[c] + i), mix[c]));
      }
      const unsigned badMask =
          static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpgt_epi16(d, badLimit), painting)));
      if (badMask != 0) {
        const int badCount = BadLanes(static_cast<int>(badMask & 0xFFFFu)) + BadLanes(static_cast<int>(badMask >> 16));
        if (abandonAbove >= 0 && bad + badCount > abandonAbove) {
          // The stroke ends inside these pixels: find where, one at a time.
          if (!BlendStampRowPlain(Advanced(row, i, lanes), paint, bad, abandonAbove)) return false;
          continue;
        }
        bad += badCount;
      }
      __m256i drop;
      switch (paint.divisor) {
        case StampDivisor::Fine:
          drop = _mm256_mulhi_epu16(d, q22);
          break;
        case StampDivisor::Tiny:
          drop = _mm256_mulhi_epu16(d, q18);
          break;
        default: {
          const __m256i nearer = _mm256_cmpgt_epi16(closeLimit, d);
          drop = _mm256_blendv_epi8(_mm256_mulhi_epu16(d, q12), _mm256_mulhi_epu16(d, q18), nearer);
        }
      }
      const __m256i e =
          _mm256_sub_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(row.strength + i)), drop);
      const __m256i blend = _mm256_and_si256(_mm256_cmpgt_epi16(e, four), painting);
      if (_mm256_movemask_epi8(blend) == 0) continue;
      const __m256i ep = _mm256_mullo_epi16(e, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row.paint + i)));
      const __m256i keep = _mm256_sub_epi16(full, e);
      for (int c = 0; c < 3; ++c) {
        const __m256i old = Load16(row.canvas[c] + i);
        const __m256i added = _mm256_mulhi_epu16(ep, _mm256_slli_epi16(mix[c], 8));
        const __m256i mixed = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(keep, old), added), 8);
        Store16(row.canvas[c] + i, _mm256_blendv_epi8(old, mixed, blend));
      }
    }
  }
  return true;
}

// The same thirty-two lanes wide, for processors with AVX-512 (byte and word instructions).
// Loads and stores are masked to the row, so nothing past its end is touched.
#define BRUMELEAF_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))

BRUMELEAF_AVX512 inline __m512i Load32(const std::uint8_t* p, __mmask32 live) {
  return _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, p));
}

BRUMELEAF_AVX512 bool BlendStampRowsAvx512(const StampRow* rows, int rowCount, const StampPaint& paint,
                                           std::int64_t& bad, std::int64_t abandonAbove) {
  const __m512i minimumAlpha = _mm512_set1_epi16(kMinimumAlpha - 1);
  const __m512i badLimit = _mm512_set1_epi16(kBadDifference - 1);
  const __m512i one = _mm512_set1_epi16(1);
  const __m512i four = _mm512_set1_epi16(4);
  const __m512i full = _mm512_set1_epi16(256);
  const __m512i closeLimit = _mm512_set1_epi16(static_cast<short>(paint.close));
  const __m512i q12 = _mm512_set1_epi16(static_cast<short>(kTenTwelfths));
  const __m512i q18 = _mm512_set1_epi16(static_cast<short>(kTenEighteenths));
  const __m512i q22 = _mm512_set1_epi16(static_cast<short>(kTenTwentySeconds));
  __m512i k[3], light[3];
  for (int c = 0; c < 3; ++c) {
    k[c] = _mm512_set1_epi16(static_cast<short>(paint.k[c]));
    light[c] = _mm512_set1_epi16(static_cast<short>(paint.light[c]));
  }
  for (int r = 0; r < rowCount; ++r) {
    const StampRow& row = rows[r];
    for (int i = 0; i < row.count; i += 32) {
      const int lanes = std::min(32, row.count - i);
      const __mmask32 live = lanes == 32 ? ~__mmask32{0} : (__mmask32{1} << lanes) - 1;
      const __m512i a = Load32(row.alpha + i, live);
      const __mmask32 painting = _mm512_cmpgt_epi16_mask(a, minimumAlpha) & live;
      if (painting == 0) continue;
      const __m512i rest = _mm512_sub_epi16(full, a);
      __m512i mix[3];
      __m512i d = one;
      for (int c = 0; c < 3; ++c) {
        mix[c] = _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(a, k[c]), _mm512_mullo_epi16(light[c], rest)), 8);
        const __m512i photo = Load32(row.photo[c] + i, live);
        d = _mm512_add_epi16(d, _mm512_or_si512(_mm512_subs_epu16(photo, mix[c]), _mm512_subs_epu16(mix[c], photo)));
      }
      const __mmask32 badMask = _mm512_cmpgt_epi16_mask(d, badLimit) & painting;
      if (badMask != 0) {
        const int badCount = __builtin_popcount(badMask);
        if (abandonAbove >= 0 && bad + badCount > abandonAbove) {
          // The stroke ends inside these pixels: find where, one at a time.
          if (!BlendStampRowPlain(Advanced(row, i, lanes), paint, bad, abandonAbove)) return false;
          continue;
        }
        bad += badCount;
      }
      __m512i drop;
      switch (paint.divisor) {
        case StampDivisor::Fine:
          drop = _mm512_mulhi_epu16(d, q22);
          break;
        case StampDivisor::Tiny:
          drop = _mm512_mulhi_epu16(d, q18);
          break;
        default: {
          const __mmask32 nearer = _mm512_cmpgt_epi16_mask(closeLimit, d);
          drop = _mm512_mask_blend_epi16(nearer, _mm512_mulhi_epu16(d, q12), _mm512_mulhi_epu16(d, q18));
        }
      }
      const __m512i e = _mm512_sub_epi16(_mm512_maskz_loadu_epi16(live, row.strength + i), drop);
      const __mmask32 blend = _mm512_cmpgt_epi16_mask(e, four) & painting;
      if (blend == 0) continue;
      const __m512i ep = _mm512_mullo_epi16(e, _mm512_maskz_loadu_epi16(live, row.paint + i));
      const __m512i keep = _mm512_sub_epi16(full, e);
      for (int c = 0; c < 3; ++c) {
        const __m512i old = Load32(row.canvas[c] + i, live);
        const __m512i added = _mm512_mulhi_epu16(ep, _mm512_slli_epi16(mix[c], 8));
        const __m512i mixed = _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(keep, old), added), 8);
        // Blended levels never exceed 255, so keeping the low byte of each lane is exact.
        _mm512_mask_cvtepi16_storeu_epi8(row.canvas[c] + i, blend, mixed);
      }
    }
  }
  return true;
}

}  // namespace

bool BlendStampRows(const StampRow* rows, int rowCount, const StampPaint& paint, std::int64_t& bad,
                    std::int64_t abandonAbove) {
  if (HasAvx512()) return BlendStampRowsAvx512(rows, rowCount, paint, bad, abandonAbove);
  if (HasAvx2()) return BlendStampRowsAvx2(rows, rowCount, paint, bad, abandonAbove);
  for (int r = 0; r < rowCount; ++r)
    if (!BlendStampRowSse2(rows[r], paint, bad, abandonAbove)) return false;
  return true;
}

bool BlendStampRowWide(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove,
                       int lanes) {
  if (lanes == 32 && HasAvx512()) return BlendStampRowsAvx512(&row, 1, paint, bad, abandonAbove);
  if (lanes == 16 && HasAvx2()) return BlendStampRowsAvx2(&row, 1, paint, bad, abandonAbove);
  return BlendStampRowSse2(row, paint, bad, abandonAbove);
}

bool BlendStampRowSse2(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove) {
  const Constants k(paint);
  for (int i = 0; i < row.count; i += 8) {
    const int lanes = std::min(8, row.count - i);
    // When the stroke ends inside these pixels, find where one at a time.
    if (!Blend8(row, i, lanes, paint, k, bad, abandonAbove) &&
        !BlendStampRowPlain(Advanced(row, i, lanes), paint, bad, abandonAbove))
      return false;
  }
  return true;
}

#else

bool BlendStampRows(const StampRow* rows, int rowCount, const StampPaint& paint, std::int64_t& bad,
                    std::int64_t abandonAbove) {
  for (int r = 0; r < rowCount; ++r)
    if (!BlendStampRowPlain(rows[r], paint, bad, abandonAbove)) return false;
  return true;
}

bool BlendStampRowSse2(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove) {
  return BlendStampRowPlain(row, paint, bad, abandonAbove);
}

bool BlendStampRowWide(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove, int) {
  return BlendStampRowPlain(row, paint, bad, abandonAbove);
}

#endif

bool BlendStampRow(const StampRow& row, const StampPaint& paint, std::int64_t& bad, std::int64_t abandonAbove) {
  return BlendStampRows(&row, 1, paint, bad, abandonAbove);
}

}  // namespace brumeleaf
