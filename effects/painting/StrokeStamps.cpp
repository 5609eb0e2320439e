#include "effects/painting/StrokeStamps.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "imaging/CpuFeatures.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRUMELEAF_SWEEP_AVX512 1
#endif

namespace brumeleaf {

namespace {

constexpr int kMinimumAlpha = 15;
constexpr int kBadDifference = 500;

// Adds a stamp row's columns to its canvas row's changed span.
inline void Widen(const StrokeStamps& st, int py, int left, int right) {
  if (!st.changedFirst) return;
  st.changedFirst[py] = std::min(st.changedFirst[py], left);
  st.changedLast[py] = std::max(st.changedLast[py], right);
}

}  // namespace

bool LayStrokeStampByStamp(const StrokeStamps& st, const StampPaint& paint, bool plain) {
  std::int64_t bad = 0;
  const std::int64_t abandonAbove = st.abandonAtOnce ? st.budget : -1;
  const int halfW = st.brushWidth / 2, halfH = st.brushHeight / 2;
  thread_local std::vector<StampRow> rows;
  for (int s = 0; s < st.count && bad <= st.budget; ++s) {
    const int cx = st.cx[s], cy = st.cy[s];
    const int top = std::max(0, cy - st.hh), bottom = std::min(st.height - 1, cy + st.hh - 1);
    rows.clear();
    for (int py = top; py <= bottom; ++py) {
      const int r = py - cy;
      const int lo = st.lo[r + st.hh], hi = st.hi[r + st.hh];
      if (lo > hi) continue;
      const int left = std::max(0, cx + lo), right = std::min(st.width - 1, cx + hi);
      if (left > right) continue;
      Widen(st, py, left, right);
      const std::size_t brushAt = static_cast<std::size_t>(r + halfH) * static_cast<std::size_t>(st.brushWidth) +
                                  static_cast<std::size_t>(left - cx + halfW);
      const std::size_t at = static_cast<std::size_t>(py) * static_cast<std::size_t>(st.width) + static_cast<std::size_t>(left);
      rows.push_back(StampRow{st.alpha + brushAt,
                              st.strength + brushAt,
                              st.paint + brushAt,
                              {st.photo[0] + at, st.photo[1] + at, st.photo[2] + at},
                              {st.canvas[0] + at, st.canvas[1] + at, st.canvas[2] + at},
                              right - left + 1});
    }
    if (plain) {
      for (const StampRow& row : rows)
        if (!BlendStampRowPlain(row, paint, bad, abandonAbove)) return false;
    } else if (!BlendStampRows(rows.data(), static_cast<int>(rows.size()), paint, bad, abandonAbove)) {
      return false;
    }
  }
  return bad <= st.budget;
}

#if defined(BRUMELEAF_SWEEP_AVX512)

namespace {

#define BRUMELEAF_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,bmi2,popcnt")))

// The stroke's table has this many zero columns on either side of the columns its stamps
// paint, so that 32 lanes starting up to 31 columns left of a stamp row, or ending as far
// right of it, read only the table's own row.
constexpr int kTableMargin = 32;

inline __mmask32 Lanes(int count) { return count >= 32 ? ~__mmask32{0} : (__mmask32{1} << count) - 1; }

BRUMELEAF_AVX512 inline __m512i Load32(const std::uint8_t* p, __mmask32 live) {
  return _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, p));
}

BRUMELEAF_AVX512 inline __m512i Words(const std::uint16_t* p) { return _mm512_loadu_si512(p); }

// The photograph's 32 pixels of a canvas row: blue and green as the two bytes of a word (blue
// high), and red.
struct PhotoPixels {
  __m512i blueGreen, red;
};

BRUMELEAF_AVX512 inline PhotoPixels PhotoAt(const StrokeStamps& st, std::size_t at, __mmask32 live) {
  PhotoPixels p;
  p.blueGreen = _mm512_or_si512(_mm512_slli_epi16(Load32(st.photo[0] + at, live), 8), Load32(st.photo[1] + at, live));
  p.red = Load32(st.photo[2] + at, live);
  return p;
}

// d = 1 + the sum of |photo - mix| over the channels, for the table's 32 pixels from `at`:
// blue and green as bytes side by side (larger less smaller, then the two added), red as a word.
BRUMELEAF_AVX512 inline __m512i Difference(const StrokeSweepScratch& sc, const PhotoPixels& p, int at,
                                           __m512i& redStrength, __m512i lowByte, __m512i one) {
  const __m512i blueGreen = Words(sc.blueGreen.data() + at);
  redStrength = Words(sc.redStrength.data() + at);
  const __m512i apart = _mm512_sub_epi8(_mm512_max_epu8(p.blueGreen, blueGreen), _mm512_min_epu8(p.blueGreen, blueGreen));
  const __m512i blueAndGreen = _mm512_maddubs_epi16(apart, _mm512_set1_epi8(1));
  const __m512i red = _mm512_abs_epi16(_mm512_sub_epi16(p.red, _mm512_and_si512(redStrength, lowByte)));
  return _mm512_add_epi16(_mm512_add_epi16(blueAndGreen, red), one);
}

// Fills the stroke's table: per stamp row, every column from kTableMargin left of the widest
// row to as far right of it; zero (no strength, so never blended) where the row does not paint.
// False where a strength or paint share does not fit a byte.
BRUMELEAF_AVX512 bool FillTable(const StrokeStamps& st, const StampPaint& paint, StrokeSweepScratch& sc, int rowFirst,
                                int rowLast, int columnFirst, int stride) {
  const int halfW = st.brushWidth / 2, halfH = st.brushHeight / 2;
  const std::size_t size = static_cast<std::size_t>(rowLast - rowFirst + 1) * static_cast<std::size_t>(stride);
  sc.blueGreen.assign(size, 0);
  sc.redStrength.assign(size, 0);
  for (auto& plane : sc.shareMix) plane.assign(size, 0);
  sc.painting.assign(size, 0);
  const __m512i full = _mm512_set1_epi16(256);
  const __m512i minimum = _mm512_set1_epi16(kMinimumAlpha - 1);
  const __m512i byteTop = _mm512_set1_epi16(static_cast<short>(0xFF00));
  // The paint mixed at alpha a: (a K + K2 (256 - a)) shr 8, below 65536 before the shift.
  __m512i k[3], light[3];
  for (int c = 0; c < 3; ++c) {
    k[c] = _mm512_set1_epi16(static_cast<short>(paint.k[c]));
    light[c] = _mm512_set1_epi16(static_cast<short>(paint.light[c]));
  }
  for (int r = rowFirst; r <= rowLast; ++r) {
    const int lo = st.lo[r + st.hh], hi = st.hi[r + st.hh];
    if (lo > hi) continue;
    const std::size_t brushRow = static_cast<std::size_t>(r + halfH) * static_cast<std::size_t>(st.brushWidth);
    const std::size_t tableRow = static_cast<std::size_t>(r - rowFirst) * static_cast<std::size_t>(stride);
    for (int col = lo; col <= hi; col += 32) {
      const __mmask32 live = Lanes(hi - col + 1);
      const std::size_t from = brushRow + static_cast<std::size_t>(halfW + col);
      const std::size_t to = tableRow + static_cast<std::size_t>(col - columnFirst + kTableMargin);
      const __m512i a = Load32(st.alpha + from, live);
      const __mmask32 paints = _mm512_mask_cmpgt_epi16_mask(live, a, minimum);
      const __m512i strength = _mm512_maskz_loadu_epi16(paints, st.strength + from);
      const __m512i share = _mm512_maskz_loadu_epi16(paints, st.paint + from);
      if (_mm512_test_epi16_mask(_mm512_or_si512(strength, share), byteTop) != 0) return false;
      const __m512i rest = _mm512_sub_epi16(full, a);
      __m512i mix[3];
      for (int c = 0; c < 3; ++c)
        mix[c] = _mm512_maskz_srli_epi16(paints, _mm512_add_epi16(_mm512_mullo_epi16(a, k[c]), _mm512_mullo_epi16(light[c], rest)), 8);
      _mm512_mask_storeu_epi16(sc.blueGreen.data() + to, live, _mm512_or_si512(_mm512_slli_epi16(mix[0], 8), mix[1]));
      _mm512_mask_storeu_epi16(sc.redStrength.data() + to, live, _mm512_or_si512(mix[2], _mm512_slli_epi16(strength, 8)));
      // share * mix <= 255 * 255 fits a word.
      for (int c = 0; c < 3; ++c) _mm512_mask_storeu_epi16(sc.shareMix[c].data() + to, live, _mm512_mullo_epi16(share, mix[c]));
      _mm256_mask_storeu_epi8(sc.painting.data() + to, live, _mm256_maskz_set1_epi8(paints, 1));
    }
  }
  return true;
}

// Each canvas row of the stroke, 32 pixels at a time: every laid stamp over them in turn,
// the pixels held in registers meanwhile.
template <StampDivisor Divisor>
BRUMELEAF_AVX512 void PaintRows(const StrokeStamps& st, const StampPaint& paint, const StrokeSweepScratch& sc,
                                int rowTop, int rowBottom, int laid) {
  const __m512i one = _mm512_set1_epi16(1);
  const __m512i four = _mm512_set1_epi16(4);
  const __m512i full = _mm512_set1_epi16(256);
  const __m512i lowByte = _mm512_set1_epi16(0xFF);
  // Multipliers whose high half of the product equals d * 10 div 12, 18 or 22 for every d up
  // to 766 (as in the row blend); the one for 18 serves colours closer than `close`.
  const __m512i closeLimit = _mm512_set1_epi16(static_cast<short>(paint.close));
  const __m512i q12 = _mm512_set1_epi16(static_cast<short>(54614));
  const __m512i q18 = _mm512_set1_epi16(static_cast<short>(36409));
  const __m512i q22 = _mm512_set1_epi16(static_cast<short>(29790));
  const int* entryLeft = sc.entryLeft.data();
  const int* entryRight = sc.entryRight.data();
  const int* entryStamp = sc.entryStamp.data();
  const int* entryAt = sc.entryAt.data();
  for (int py = rowTop; py <= rowBottom; ++py) {
    const int e0 = sc.rowEntries[static_cast<std::size_t>(py - rowTop)];
    const int e1 = sc.rowEntries[static_cast<std::size_t>(py - rowTop) + 1];
    int u0 = sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop)];
    int u1 = sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop) + 1];
    if (laid < st.count) {
      u0 = st.width, u1 = -1;
      for (int e = e0; e < e1; ++e)
        if (entryStamp[e] < laid) u0 = std::min(u0, entryLeft[e]), u1 = std::max(u1, entryRight[e]);
    }
    if (u0 > u1) continue;
    Widen(st, py, u0, u1);
    const std::size_t rowAt = static_cast<std::size_t>(py) * static_cast<std::size_t>(st.width);
    for (int x = u0; x <= u1; x += 32) {
      const __mmask32 live = Lanes(u1 - x + 1);
      const PhotoPixels photo = PhotoAt(st, rowAt + static_cast<std::size_t>(x), live);
      __m512i level[3];
      for (int c = 0; c < 3; ++c) level[c] = Load32(st.canvas[c] + rowAt + x, live);
      for (int k = e0; k < e1; ++k) {
        if (entryRight[k] < x || entryLeft[k] > x + 31 || entryStamp[k] >= laid) continue;
        const int at = entryAt[k] + x;
        __m512i redStrength;
        const __m512i d = Difference(sc, photo, at, redStrength, lowByte, one);
        __m512i drop;
        if constexpr (Divisor == StampDivisor::Fine) {
          drop = _mm512_mulhi_epu16(d, q22);
        } else if constexpr (Divisor == StampDivisor::Tiny) {
          drop = _mm512_mulhi_epu16(d, q18);
        } else {
          drop = _mm512_mulhi_epu16(d, _mm512_mask_blend_epi16(_mm512_cmpgt_epi16_mask(closeLimit, d), q12, q18));
        }
        const __m512i e = _mm512_sub_epi16(_mm512_srli_epi16(redStrength, 8), drop);
        const __mmask32 blend = _mm512_mask_cmpgt_epi16_mask(live, e, four);
        // (e share mix) div 256 as the high half of (e shl 8) (share mix); e is 5..255 where
        // it is blended.
        const __m512i eHigh = _mm512_slli_epi16(e, 8);
        const __m512i keep = _mm512_sub_epi16(full, e);
        for (int c = 0; c < 3; ++c) {
          const __m512i added = _mm512_mulhi_epu16(eHigh, Words(sc.shareMix[c].data() + at));
          level[c] = _mm512_mask_srli_epi16(level[c], blend, _mm512_add_epi16(_mm512_mullo_epi16(keep, level[c]), added), 8);
        }
      }
      // Blended levels never exceed 255, so keeping the low byte of each lane is exact.
      for (int c = 0; c < 3; ++c) _mm512_mask_cvtepi16_storeu_epi8(st.canvas[c] + rowAt + x, live, level[c]);
    }
  }
}

// 1 when the stroke ended with at most its budget of bad pixels, 0 when not, -1 when the
// brush's tables are out of the sweep's range or the stroke would end inside a stamp
// (nothing is laid then).
BRUMELEAF_AVX512 int SweepAvx512(const StrokeStamps& st, const StampPaint& paint, StrokeSweepScratch& sc) {
  const int n = st.count, hh = st.hh;
  if (n <= 0 || hh <= 0) return st.budget >= 0;
  const int H = st.height, W = st.width;

  // The stamp rows that paint, and the columns around the centre they reach.
  int rowFirst = hh, rowLast = -hh - 1, columnFirst = 0, columnLast = -1;
  for (int r = -hh; r < hh; ++r) {
    const int lo = st.lo[r + hh], hi = st.hi[r + hh];
    if (lo > hi) continue;
    if (rowFirst > rowLast) columnFirst = lo, columnLast = hi;
    rowFirst = std::min(rowFirst, r), rowLast = r;
    columnFirst = std::min(columnFirst, lo), columnLast = std::max(columnLast, hi);
  }
  if (rowFirst > rowLast) return st.budget >= 0;  // the stamps paint nothing
  const int stride = columnLast - columnFirst + 1 + 2 * kTableMargin;
  if (!FillTable(st, paint, sc, rowFirst, rowLast, columnFirst, stride)) return -1;

  // The canvas rows the stamps reach and, per row, the stamps over it in their order: the
  // centres' rows never turn back, so those are one stretch of the stamps.
  const bool down = st.cy[n - 1] >= st.cy[0];
  const int rowTop = std::max(0, std::min(st.cy[0], st.cy[n - 1]) + rowFirst);
  const int rowBottom = std::min(H - 1, std::max(st.cy[0], st.cy[n - 1]) + rowLast);
  if (rowTop > rowBottom) return st.budget >= 0;  // every stamp misses the picture
  // At most one entry per stamp and stamp row (and a vector's worth to spare, as whole
  // vectors are written); each canvas row's span, the union of its entries, kept on the way.
  // Sixteen stamps at a time: their rows' columns, then the ones that reach the picture packed
  // to the front.
  const std::size_t most = static_cast<std::size_t>(n) * static_cast<std::size_t>(rowLast - rowFirst + 1) + 16;
  for (auto* v : {&sc.entryLeft, &sc.entryRight, &sc.entryStamp, &sc.entryAt})
    if (v->size() < most) v->resize(most);
  sc.stampAt.resize(static_cast<std::size_t>(n) + 16);
  for (int s = 0; s < n; ++s) sc.stampAt[static_cast<std::size_t>(s)] = -((st.cy[s] - rowTop) * stride + st.cx[s]);
  sc.rowEntries.assign(static_cast<std::size_t>(rowBottom - rowTop + 2), 0);
  sc.rowSpan.resize(2 * static_cast<std::size_t>(rowBottom - rowTop + 1));
  {
    const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i zero = _mm512_setzero_si512();
    const __m512i lastColumn = _mm512_set1_epi32(W - 1);
    int count = 0;
    for (int py = rowTop; py <= rowBottom; ++py) {
      sc.rowEntries[static_cast<std::size_t>(py - rowTop)] = count;
      // Stamps whose row py - cy lies in rowFirst .. rowLast.
      int first, end;
      if (down) {
        first = static_cast<int>(std::lower_bound(st.cy, st.cy + n, py - rowLast) - st.cy);
        end = static_cast<int>(std::upper_bound(st.cy, st.cy + n, py - rowFirst) - st.cy);
      } else {
        first = static_cast<int>(std::lower_bound(st.cy, st.cy + n, py - rowFirst, std::greater<int>()) - st.cy);
        end = static_cast<int>(std::upper_bound(st.cy, st.cy + n, py - rowLast, std::greater<int>()) - st.cy);
      }
      const __m512i rowIndex = _mm512_set1_epi32(py + hh);  // less cy: the stamp row's index r + hh
      const __m512i rowAt = _mm512_set1_epi32((py - rowTop - rowFirst) * stride + kTableMargin - columnFirst);
      __m512i u0 = _mm512_set1_epi32(W), u1 = _mm512_set1_epi32(-1);
      for (int s = first; s < end; s += 16) {
        const __mmask16 live = end - s >= 16 ? __mmask16{0xFFFF} : static_cast<__mmask16>((1u << (end - s)) - 1);
        const __m512i cy = _mm512_maskz_loadu_epi32(live, st.cy + s);
        const __m512i cx = _mm512_maskz_loadu_epi32(live, st.cx + s);
        const __m512i index = _mm512_sub_epi32(rowIndex, cy);
        const __m512i lo = _mm512_mask_i32gather_epi32(zero, live, index, st.lo, 4);
        const __m512i hi = _mm512_mask_i32gather_epi32(zero, live, index, st.hi, 4);
        const __m512i left = _mm512_maskz_max_epi32(live, zero, _mm512_add_epi32(cx, lo));
        const __m512i right = _mm512_maskz_min_epi32(live, lastColumn, _mm512_add_epi32(cx, hi));
        // None where the stamp's row misses the picture or paints nothing (lo > hi).
        const __mmask16 kept = _mm512_mask_cmple_epi32_mask(live, left, right);
        const __m512i at = _mm512_add_epi32(rowAt, _mm512_maskz_loadu_epi32(live, sc.stampAt.data() + s));
        const std::size_t to = static_cast<std::size_t>(count);
        _mm512_storeu_si512(sc.entryLeft.data() + to, _mm512_maskz_compress_epi32(kept, left));
        _mm512_storeu_si512(sc.entryRight.data() + to, _mm512_maskz_compress_epi32(kept, right));
        _mm512_storeu_si512(sc.entryStamp.data() + to,
                            _mm512_maskz_compress_epi32(kept, _mm512_add_epi32(_mm512_set1_epi32(s), lane)));
        _mm512_storeu_si512(sc.entryAt.data() + to, _mm512_maskz_compress_epi32(kept, at));
        count += __builtin_popcount(kept);
        u0 = _mm512_mask_min_epi32(u0, kept, u0, left);
        u1 = _mm512_mask_max_epi32(u1, kept, u1, right);
      }
      alignas(64) int lefts[16], rights[16];
      _mm512_store_si512(lefts, u0);
      _mm512_store_si512(rights, u1);
      sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop)] = *std::min_element(lefts, lefts + 16);
      sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop) + 1] = *std::max_element(rights, rights + 16);
    }
    sc.rowEntries[static_cast<std::size_t>(rowBottom - rowTop + 1)] = count;
  }

  // How many stamps are laid: only pixels whose photograph lies 500 or more from some paint
  // of the stroke can be bad, and a stroke seldom has any. Where it has, the bad pixels of
  // each stamp are counted there first.
  const __m512i one = _mm512_set1_epi16(1);
  const __m512i badLimit = _mm512_set1_epi16(kBadDifference - 1);
  const __m512i lowByte = _mm512_set1_epi16(0xFF);
  const int* entryLeft = sc.entryLeft.data();
  const int* entryRight = sc.entryRight.data();
  const int* entryAt = sc.entryAt.data();
  int laid = n;
  bool whole = st.budget >= 0;
  {
    __m512i nearest[3], farthest[3];
    for (int c = 0; c < 3; ++c) {
      const int m15 = (kMinimumAlpha * paint.k[c] + paint.light[c] * (256 - kMinimumAlpha)) >> 8;
      const int m255 = (255 * paint.k[c] + paint.light[c]) >> 8;
      nearest[c] = _mm512_set1_epi16(static_cast<short>(std::min(m15, m255)));
      farthest[c] = _mm512_set1_epi16(static_cast<short>(std::max(m15, m255)));
    }
    bool counted = false;
    for (int py = rowTop; py <= rowBottom; ++py) {
      const int e0 = sc.rowEntries[static_cast<std::size_t>(py - rowTop)];
      const int e1 = sc.rowEntries[static_cast<std::size_t>(py - rowTop) + 1];
      if (e0 == e1) continue;
      const int u0 = sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop)];
      const int u1 = sc.rowSpan[2 * static_cast<std::size_t>(py - rowTop) + 1];
      const std::size_t rowAt = static_cast<std::size_t>(py) * static_cast<std::size_t>(W);
      for (int x = u0; x <= u1; x += 32) {
        const __mmask32 live = Lanes(u1 - x + 1);
        __m512i dMax = one;
        for (int c = 0; c < 3; ++c) {
          const __m512i level = Load32(st.photo[c] + rowAt + x, live);
          dMax = _mm512_add_epi16(dMax, _mm512_max_epi16(_mm512_sub_epi16(level, nearest[c]),
                                                         _mm512_sub_epi16(farthest[c], level)));
        }
        const __mmask32 risky = _mm512_mask_cmpgt_epi16_mask(live, dMax, badLimit);
        if (risky == 0) continue;
        PhotoPixels photo;
        bool photoRead = false;
        if (!counted) {
          sc.badOfStamp.assign(static_cast<std::size_t>(n), 0);
          counted = true;
        }
        for (int e = e0; e < e1; ++e) {
          if (entryRight[e] < x || entryLeft[e] > x + 31) continue;
          const int at = entryAt[e] + x;
          const __mmask32 lanes =
              _mm256_test_epi8_mask(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(sc.painting.data() + at)),
                                    _mm256_set1_epi8(1)) & risky;
          if (lanes == 0) continue;
          if (!photoRead) photo = PhotoAt(st, rowAt + static_cast<std::size_t>(x), live), photoRead = true;
          __m512i redStrength;
          const __m512i d = Difference(sc, photo, at, redStrength, lowByte, one);
          sc.badOfStamp[static_cast<std::size_t>(sc.entryStamp[static_cast<std::size_t>(e)])] +=
              __builtin_popcount(_mm512_mask_cmpgt_epi16_mask(lanes, d, badLimit));
        }
      }
    }
    if (counted) {
      std::int64_t bad = 0;
      laid = 0;
      while (laid < n && bad <= st.budget) bad += sc.badOfStamp[static_cast<std::size_t>(laid++)];
      whole = bad <= st.budget;
      // A stroke that ends at its bad pixel would end inside a stamp: left to the stamps.
      if (st.abandonAtOnce && !whole) return -1;
    }
  }

  switch (paint.divisor) {
    case StampDivisor::Fine:
      PaintRows<StampDivisor::Fine>(st, paint, sc, rowTop, rowBottom, laid);
      break;
    case StampDivisor::Tiny:
      PaintRows<StampDivisor::Tiny>(st, paint, sc, rowTop, rowBottom, laid);
      break;
    case StampDivisor::Normal:
      PaintRows<StampDivisor::Normal>(st, paint, sc, rowTop, rowBottom, laid);
      break;
  }
  return whole;
}

}  // namespace

#endif

bool LayStrokeSweep(const StrokeStamps& stroke, const StampPaint& paint, StrokeSweepScratch& scratch, bool& available) {
#if defined(BRUMELEAF_SWEEP_AVX512)
  available = HasAvx512();
  if (available) {
    const int whole = SweepAvx512(stroke, paint, scratch);
    available = whole >= 0;
    return whole > 0;
  }
#else
  (void)stroke, (void)paint, (void)scratch;
  available = false;
#endif
  return true;
}

namespace {

// Whether the centres' rows go one way only, as those of a straight stroke do.
bool RowsNeverTurnBack(const StrokeStamps& st) {
  const bool down = st.cy[st.count - 1] >= st.cy[0];
  for (int s = 1; s < st.count; ++s)
    if (down ? st.cy[s] < st.cy[s - 1] : st.cy[s] > st.cy[s - 1]) return false;
  return true;
}

}  // namespace

bool LayStrokeStamps(const StrokeStamps& stroke, const StampPaint& paint, StrokeSweepScratch& scratch) {
  // The sweep needs the number of laid stamps before it starts; it declines a stroke that ends
  // inside a stamp. It is for strokes of several stamps, on processors that have AVX-512 (the
  // centres are not looked at otherwise).
  if (stroke.count > 1 && HasAvx512() && RowsNeverTurnBack(stroke)) {
    bool available = false;
    const bool whole = LayStrokeSweep(stroke, paint, scratch, available);
    if (available) return whole;
  }
  return LayStrokeStampByStamp(stroke, paint);
}

}  // namespace brumeleaf
