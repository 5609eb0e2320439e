#include "effects/painting/BlockAveraging.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

// The passes run on rows rearranged in place: each row's bytes become six planes, the blue,
// green and red of its even columns, then those of its odd columns (same bytes, same row
// length). A block's four pixels then sit at the same index of four planes whatever the grid
// offset, so a row of blocks is a few straight loops over bytes that the compiler and SSE2 can
// take eight or sixteen at a time, with no data-dependent branch. The row is put back after
// the last pass.
struct RowPlanes {
  int evens = 0;  // (W + 1) div 2 even columns
  int odds = 0;   // W div 2 odd columns

  explicit RowPlanes(int width) : evens((width + 1) / 2), odds(width / 2) {}
  // Channel ch of the even (parity 0) or odd (parity 1) columns.
  std::uint8_t* Plane(std::uint8_t* row, int parity, int ch) const {
    return row + (parity == 0 ? ch * evens : 3 * evens + ch * odds);
  }
};

void ToPlanes(std::uint8_t* row, const RowPlanes& planes, std::vector<std::uint8_t>& scratch) {
  const int width = planes.evens + planes.odds;
  scratch.resize(static_cast<std::size_t>(3) * width);
  for (int parity = 0; parity < 2; ++parity)
    for (int ch = 0; ch < 3; ++ch) {
      std::uint8_t* to = planes.Plane(scratch.data(), parity, ch);
      const int count = parity == 0 ? planes.evens : planes.odds;
      const std::uint8_t* from = row + 3 * parity + ch;
      for (int i = 0; i < count; ++i) to[i] = from[6 * i];
    }
  std::memcpy(row, scratch.data(), scratch.size());
}

void FromPlanes(std::uint8_t* row, const RowPlanes& planes, std::vector<std::uint8_t>& scratch) {
  const int width = planes.evens + planes.odds;
  scratch.assign(row, row + static_cast<std::size_t>(3) * width);
  for (int parity = 0; parity < 2; ++parity)
    for (int ch = 0; ch < 3; ++ch) {
      const std::uint8_t* from = planes.Plane(scratch.data(), parity, ch);
      const int count = parity == 0 ? planes.evens : planes.odds;
      std::uint8_t* to = row + 3 * parity + ch;
      for (int i = 0; i < count; ++i) to[6 * i] = from[i];
    }
}

void RearrangeRows(Bitmap& image, bool toPlanes) {
  const RowPlanes planes(image.Width());
  const auto rows = image.RowTable();
  ForEachRowBand(0, image.Height(), 32, [&](int first, int last) {
    std::vector<std::uint8_t> scratch;
    for (int y = first; y < last; ++y) {
      if (toPlanes)
        ToPlanes(rows[static_cast<std::size_t>(y)], planes, scratch);
      else
        FromPlanes(rows[static_cast<std::size_t>(y)], planes, scratch);
    }
  });
}

// The four pixels of a run of blocks, channel by channel (blue, green, red): A the top-left
// pixel, then its right, lower and diagonal neighbours.
struct BlockRun {
  std::uint8_t* a[3];
  std::uint8_t* n[3][3];  // [neighbour][channel]
};

// The mean of `count` levels summing to `sum`, rounded up when the remainder exceeds half the
// count: for counts 1 to 4 that is sum, sum div 2, (sum + 1) div 3 and (sum + 1) div 4, each
// of which equals (2 (sum + [count >= 3]) M) shr 16 with M = 32768, 16384, 10923, 8192.
constexpr int kMeanFactor[5] = {0, 32768, 16384, 10923, 8192};
constexpr int MeanByFactor(int sum, int count) {
  return (2 * (sum + (count >= 3 ? 1 : 0)) * kMeanFactor[count]) >> 16;
}
constexpr int LiteralMean(int sum, int count) {
  int m = sum / count;
  if (sum % count > count / 2) ++m;
  return m;
}
// The brightness term (R + G + B) div 30 as (sum 2185) shr 16.
constexpr int ThirtiethByFactor(int sum) { return (sum * 2185) >> 16; }
constexpr bool FactorsExact() {
  for (int count = 1; count <= 4; ++count)
    for (int sum = 0; sum <= 255 * count; ++sum)
      if (MeanByFactor(sum, count) != LiteralMean(sum, count)) return false;
  for (int sum = 0; sum <= 765; ++sum)
    if (ThirtiethByFactor(sum) != sum / 30) return false;
  return true;
}
static_assert(FactorsExact(), "the multiplications must give the literal quotients for every reachable sum");

// Blocks i = first..last-1 of a run, one at a time, exactly as the blocks are described.
void AverageBlocksScalar(const BlockRun& run, int first, int last, int blending) {
  for (int i = first; i < last; ++i) {
    const std::uint8_t a[3] = {run.a[0][i], run.a[1][i], run.a[2][i]};
    const int t = BlockThreshold(a, blending);
    int sum[3] = {a[0], a[1], a[2]};
    int count = 1;
    bool added[3] = {false, false, false};
    for (int k = 0; k < 3; ++k) {
      const std::uint8_t n[3] = {run.n[k][0][i], run.n[k][1][i], run.n[k][2][i]};
      if (BlockDifference(a, n) < t) {
        added[k] = true;
        ++count;
        for (int ch = 0; ch < 3; ++ch) sum[ch] += n[ch];
      }
    }
    if (count == 1) continue;
    for (int ch = 0; ch < 3; ++ch) {
      const auto mean = static_cast<std::uint8_t>(std::min(LiteralMean(sum[ch], count), 255));
      run.a[ch][i] = mean;
      for (int k = 0; k < 3; ++k)
        if (added[k]) run.n[k][ch][i] = mean;
    }
  }
}

#if defined(__SSE2__)
// Eight blocks at once in 16-bit lanes; every value stays below 2^15 (a difference at most
// 510, a sum at most 1021 before doubling).
void AverageBlocksSse2(const BlockRun& run, int count, int blending) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i thirtieth = _mm_set1_epi16(2185);
  const __m128i thresholdShift = _mm_set1_epi16(static_cast<short>(blending - 25));
  const __m128i one = _mm_set1_epi16(1);
  const __m128i minusOne = _mm_set1_epi16(-1);
  const __m128i minusTwo = _mm_set1_epi16(-2);
  const __m128i minusThree = _mm_set1_epi16(-3);
  auto load = [&](const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
  };
  auto store = [](std::uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v)); };
  auto absDiff = [](__m128i x, __m128i y) { return _mm_max_epi16(_mm_sub_epi16(x, y), _mm_sub_epi16(y, x)); };
  for (int i = 0; i + 8 <= count; i += 8) {
    __m128i a[3], n[3][3];
    for (int ch = 0; ch < 3; ++ch) a[ch] = load(run.a[ch] + i);
    for (int k = 0; k < 3; ++k)
      for (int ch = 0; ch < 3; ++ch) n[k][ch] = load(run.n[k][ch] + i);
    const __m128i t = _mm_add_epi16(_mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(a[0], a[1]), a[2]), thirtieth), thresholdShift);
    __m128i sum[3] = {a[0], a[1], a[2]};
    __m128i added[3];
    __m128i negativeCount = zero;  // minus the number of merged neighbours
    for (int k = 0; k < 3; ++k) {
      const __m128i red = absDiff(n[k][2], a[2]);
      const __m128i difference = _mm_max_epi16(_mm_add_epi16(red, red), _mm_max_epi16(absDiff(n[k][1], a[1]), absDiff(n[k][0], a[0])));
      added[k] = _mm_cmplt_epi16(difference, t);
      negativeCount = _mm_add_epi16(negativeCount, added[k]);
      for (int ch = 0; ch < 3; ++ch) sum[ch] = _mm_add_epi16(sum[ch], _mm_and_si128(added[k], n[k][ch]));
    }
    // The factor of the count (see kMeanFactor) and the +1 of counts 3 and 4.
    const __m128i two = _mm_cmpeq_epi16(negativeCount, minusOne);
    const __m128i three = _mm_cmpeq_epi16(negativeCount, minusTwo);
    const __m128i four = _mm_cmpeq_epi16(negativeCount, minusThree);
    __m128i factor = _mm_set1_epi16(static_cast<short>(kMeanFactor[1]));
    factor = _mm_or_si128(_mm_andnot_si128(two, factor), _mm_and_si128(two, _mm_set1_epi16(static_cast<short>(kMeanFactor[2]))));
    factor = _mm_or_si128(_mm_andnot_si128(three, factor), _mm_and_si128(three, _mm_set1_epi16(static_cast<short>(kMeanFactor[3]))));
    factor = _mm_or_si128(_mm_andnot_si128(four, factor), _mm_and_si128(four, _mm_set1_epi16(static_cast<short>(kMeanFactor[4]))));
    const __m128i plus = _mm_and_si128(_mm_or_si128(three, four), one);
    for (int ch = 0; ch < 3; ++ch) {
      const __m128i s = _mm_add_epi16(sum[ch], plus);
      const __m128i mean = _mm_mulhi_epu16(_mm_add_epi16(s, s), factor);
      store(run.a[ch] + i, mean);  // a block without merges keeps A: its mean is A itself
      for (int k = 0; k < 3; ++k)
        store(run.n[k][ch] + i, _mm_or_si128(_mm_and_si128(added[k], mean), _mm_andnot_si128(added[k], n[k][ch])));
    }
  }
}
#endif

// One pass over rows already rearranged into planes.
void PassOnPlanes(const std::vector<std::uint8_t*>& rows, const RowPlanes& planes, int height, int width, int k,
                  int blending) {
  const int offset = k % 2;
  const int blockRows = height / 2 - 1;  // r = 0 .. H div 2 - 2
  const int blockColumns = width / 2 - 1;
  if (blockRows <= 0 || blockColumns <= 0) return;
  ForEachRowBand(0, blockRows, 32, [&](int first, int last) {
    for (int r = first; r < last; ++r) {
      const int y = 2 * r + offset;
      std::uint8_t* top = rows[static_cast<std::size_t>(y)];
      std::uint8_t* bottom = rows[static_cast<std::size_t>(y + 1)];
      // At offset 0, A is even column 2c and its right neighbour odd column 2c + 1; at offset
      // 1, A is odd column 2c + 1 and its right neighbour even column 2c + 2.
      const int aParity = offset, rightParity = 1 - offset, rightShift = offset;
      BlockRun run;
      for (int ch = 0; ch < 3; ++ch) {
        run.a[ch] = planes.Plane(top, aParity, ch);
        run.n[0][ch] = planes.Plane(top, rightParity, ch) + rightShift;
        run.n[1][ch] = planes.Plane(bottom, aParity, ch);
        run.n[2][ch] = planes.Plane(bottom, rightParity, ch) + rightShift;
      }
      int done = 0;
#if defined(__SSE2__)
      AverageBlocksSse2(run, blockColumns, blending);
      done = blockColumns - blockColumns % 8;
#endif
      AverageBlocksScalar(run, done, blockColumns, blending);
    }
  });
}

bool HasBlocks(const Bitmap& image) { return image.Height() / 2 - 1 > 0 && image.Width() / 2 - 1 > 0; }

}  // namespace

void BlockAveragingPass(Bitmap& image, int k, int blending) {
  if (!HasBlocks(image)) return;
  RearrangeRows(image, true);
  PassOnPlanes(image.RowTable(), RowPlanes(image.Width()), image.Height(), image.Width(), k, blending);
  RearrangeRows(image, false);
}

bool BlockAveraging(Bitmap& image, int passes, int blending, const std::function<bool(int k)>& beforePass) {
  const bool blocks = HasBlocks(image);
  const RowPlanes planes(image.Width());
  const auto rows = image.RowTable();
  bool planar = false;
  bool finished = true;
  try {
    for (int k = 0; k < passes; ++k) {
      if (beforePass && !beforePass(k)) {
        finished = false;
        break;
      }
      if (!blocks) continue;
      if (!planar) RearrangeRows(image, true);
      planar = true;
      PassOnPlanes(rows, planes, image.Height(), image.Width(), k, blending);
    }
  } catch (...) {
    if (planar) RearrangeRows(image, false);
    throw;
  }
  if (planar) RearrangeRows(image, false);
  return finished;
}

}  // namespace brumeleaf
