#include "effects/drawing/PastelStampRows.h"
#include "imaging/CpuFeatures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the compiler can target AVX2 for one function, the first pass takes 32 bytes at a time
// on processors that have it (chosen once, at run time).
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRUMELEAF_PASTEL_WIDE 1
#endif

namespace brumeleaf {

void PastelStampRows::Build(const Bitmap& stamp) {
  size_ = stamp.Width();
  // Rows of an even number of blocks, so that the passes can take them two at a time.
  blocks_ = (3 * size_ + 2 * kBlock - 1) / (2 * kBlock) * 2;
  stride_ = blocks_ * kBlock;
  const std::size_t bytes = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(size_);
  ink_.assign(bytes, 0);
  before_.assign(bytes, 0);
  laid_.assign(bytes, 0);
  level_.assign(bytes, 0);
  inside_.assign(static_cast<std::size_t>(stride_), 0);
  scratch_.assign(3 * static_cast<std::size_t>(stride_), 0);
  std::fill(inside_.begin(), inside_.begin() + 3 * size_, std::uint8_t{0xFF});
  inkCount_ = 0;
  countedInkCount_ = 0;
  firstBlock_.assign(static_cast<std::size_t>(size_), 0);
  endBlock_.assign(static_cast<std::size_t>(size_), 0);
  firstPhase_.assign(static_cast<std::size_t>(size_), 0);
  laidFirst_.assign(static_cast<std::size_t>(size_), size_);
  laidEnd_.assign(static_cast<std::size_t>(size_), 0);
  // The error before reaches 2cx columns and 2cy rows: all of an even stamp, all but the last
  // row and column of an odd one.
  const int span = 2 * (size_ >> 1);
  for (int j = 0; j < size_; ++j) {
    const std::uint8_t* row = stamp.ScanLine(j);
    const std::size_t at = static_cast<std::size_t>(j) * static_cast<std::size_t>(stride_);
    for (int i = 0; i < size_; ++i) {
      const std::uint8_t red = row[3 * i + 2];
      if (red >= kPastelInkBelow) continue;
      ++inkCount_;
      const bool counted = i < span && j < span;
      countedInkCount_ += counted;
      const bool laid = i > 0 && i < size_ - 1 && j > 0 && j < size_ - 1;
      for (int c = 0; c < 3; ++c) {
        const std::size_t k = at + static_cast<std::size_t>(3 * i + c);
        ink_[k] = 0xFF;
        before_[k] = counted ? 0xFF : 0;
        laid_[k] = laid ? 0xFF : 0;
        level_[k] = red;
      }
      int& first = firstBlock_[static_cast<std::size_t>(j)];
      int& end = endBlock_[static_cast<std::size_t>(j)];
      if (first == end) first = 3 * i / kBlock;
      end = (3 * i + 2) / kBlock + 1;
      if (laid) {
        laidFirst_[static_cast<std::size_t>(j)] = std::min(laidFirst_[static_cast<std::size_t>(j)], i);
        laidEnd_[static_cast<std::size_t>(j)] = i + 1;
      }
    }
    // An odd count of ink blocks takes in the block after (or, at the row's end, before) them:
    // its masks are 0, so it adds nothing, and the passes need no single-block tail.
    int& first = firstBlock_[static_cast<std::size_t>(j)];
    int& end = endBlock_[static_cast<std::size_t>(j)];
    if ((end - first) % 2 != 0) {
      if (end < blocks_)
        ++end;
      else
        --first;
    }
    firstPhase_[static_cast<std::size_t>(j)] = first % 3;
  }
}

PastelStampRows::PartBytes PastelStampRows::MarkColumns(const Part& part) const {
  const int from = 3 * part.firstColumn, bytes = 3 * (part.endColumn - part.firstColumn);
  std::uint8_t* columns = Scratch(0);
  std::fill(columns, columns + stride_, std::uint8_t{0});
  std::fill(columns + from, columns + from + bytes, std::uint8_t{0xFF});
  return {from, bytes, from / kBlock, (from + bytes + kBlock - 1) / kBlock};
}

PastelStampRows::LayRow PastelStampRows::RowToLay(std::uint8_t* const* drawing, int left, int top, int shift,
                                                   int j) const {
  LayRow row;
  row.d = drawing[top + j] + 3 * left;
  row.r = drawing[top + j - shift] + 3 * (left - shift);
  // The first pixel of a shifted row reads the window's first column, not the one before.
  std::copy(row.r + 3 * shift, row.r + 3 * shift + 3, row.first);
  // A shifted row changes whole; otherwise only the laid ink, within the row's ink blocks.
  row.firstBlock = shift ? 0 : firstBlock_[static_cast<std::size_t>(j)];
  row.endBlock = shift ? blocks_ : endBlock_[static_cast<std::size_t>(j)];
  return row;
}

void PastelStampRows::FinishLay(std::uint8_t* const* drawing, int left, int top, int shift) const {
  if (!shift) return;
  // Row 0 reads itself one pixel back, its first pixel staying.
  std::uint8_t* d = drawing[top] + 3 * left;
  std::memmove(d + 3, d, 3 * static_cast<std::size_t>(size_ - 1));
}

void PastelStampRows::FetchFirstRows(const std::uint8_t* const* source, const std::uint8_t* const* drawing,
                                     int left, int top, int width, int height) const {
  // The first kAhead stamp rows with ink, each over its ink's blocks, clipped to the picture.
  for (int j = std::max(-top, 0), fetched = 0; j < size_ && top + j < height && fetched < kAhead; ++j) {
    const int first = firstBlock_[static_cast<std::size_t>(j)], end = endBlock_[static_cast<std::size_t>(j)];
    if (first == end) continue;
    ++fetched;
    const int from = std::clamp(3 * left + kBlock * first, 0, 3 * width);
    const int to = std::clamp(3 * left + kBlock * end, 0, 3 * width);
    const std::uint8_t* s = source[top + j];
    const std::uint8_t* d = drawing[top + j];
    for (int k = from; k < to; k += 64) {
      __builtin_prefetch(s + k);
      __builtin_prefetch(d + k);
    }
    if (to > from) {
      __builtin_prefetch(s + to - 1);
      __builtin_prefetch(d + to - 1);
    }
  }
}

void PastelStampRows::FetchSquare(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left,
                                  int top) const {
  // Bytes [from, to) of a row relative to the stamp's first byte, skipping the ink's blocks.
  const auto fetch = [](const std::uint8_t* row, int from, int to, int inkFrom, int inkTo) {
    for (int k = from; k < to; k += 64) {
      if (k >= inkFrom && k + 64 <= inkTo) continue;
      __builtin_prefetch(row + k);
    }
    __builtin_prefetch(row + to - 1);
  };
  // The lay of a shifted row reads the row above from one pixel before the stamp, and writes
  // whole padded blocks.
  const int from = -3, to = stride_;
  fetch(drawing[top - 1] + 3 * left, from, to, 0, 0);
  for (int j = 0; j < size_; ++j) {
    const int inkFrom = kBlock * firstBlock_[static_cast<std::size_t>(j)];
    const int inkTo = kBlock * endBlock_[static_cast<std::size_t>(j)];
    fetch(drawing[top + j] + 3 * left, from, to, inkFrom, inkTo);
    fetch(source[top + j] + 3 * left, 0, 3 * size_, inkFrom, inkTo);
  }
}

#if defined(__SSE2__)

// Asks for a whole stamp row of the source and the drawing: the stamp lands at a random place,
// so its rows are not in the cache, and a row read one block after another would wait for
// each of its cache lines in turn.
inline __attribute__((always_inline)) void PastelStampRows::Fetch(const std::uint8_t* const* source,
                                                                  const std::uint8_t* const* drawing, int left, int y,
                                                                  int j) const {
  const int from = kBlock * firstBlock_[static_cast<std::size_t>(j)], to = kBlock * endBlock_[static_cast<std::size_t>(j)];
  if (from == to) return;
  const std::uint8_t* s = source[y] + 3 * left;
  const std::uint8_t* d = drawing[y] + 3 * left;
  for (int k = from; k < to; k += 64) {
    __builtin_prefetch(s + k);
    __builtin_prefetch(d + k);
  }
  __builtin_prefetch(s + to - 1);
  __builtin_prefetch(d + to - 1);
}

namespace {

__m128i Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// The phase (block number mod 3) two blocks on, without a division in the loops.
inline int TwoBlocksOn(int phase) { return phase == 0 ? 2 : phase - 1; }

// The mean colour and 255 times it repeated channel after channel, 40 lanes: the lanes of a
// block at phase p start at lane p.
struct RepeatedMean {
  alignas(16) std::uint16_t mean[40];
  alignas(16) std::uint16_t scaled[40];
  explicit RepeatedMean(const int m[3]) {
    // The pattern repeats every 24 lanes: three vectors of eight, each stored where it recurs
    // (every stamp attempt builds these, so no loop over the lanes).
    const auto a = static_cast<short>(m[0]), b = static_cast<short>(m[1]), c = static_cast<short>(m[2]);
    const __m128i part[3] = {_mm_setr_epi16(a, b, c, a, b, c, a, b), _mm_setr_epi16(c, a, b, c, a, b, c, a),
                             _mm_setr_epi16(b, c, a, b, c, a, b, c)};
    const __m128i full = _mm_set1_epi16(255);
    for (int k = 0; k < 5; ++k) {
      _mm_store_si128(reinterpret_cast<__m128i*>(mean + 8 * k), part[k % 3]);
      _mm_store_si128(reinterpret_cast<__m128i*>(scaled + 8 * k), _mm_mullo_epi16(part[k % 3], full));
    }
  }
};

// The mean colour in 16-bit lanes for each phase of a 16-byte block (blocks start on a pixel,
// so the channel order repeats every three blocks): low and high halves of the mean, then of
// 255 times the mean.
void MeanLanes(const int mean[3], __m128i means[3][4]) {
  const RepeatedMean repeated(mean);
  for (int p = 0; p < 3; ++p)
    for (int half = 0; half < 2; ++half) {
      means[p][half] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(repeated.mean + p + 8 * half));
      means[p][2 + half] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(repeated.scaled + p + 8 * half));
    }
}

// (r * level + mean * (255 - level)) >> 8 for sixteen bytes, as 255 * mean + level * (r - mean)
// in 16-bit lanes: the sum is at most 255 * 255, so working modulo 2^16 (r - mean may be
// negative, the product wraps) still gives it exactly, with one multiplication instead of two.
__m128i MixWithMean(__m128i rv, __m128i lv, const __m128i m[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_srli_epi16(
      _mm_add_epi16(m[2], _mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(rv, zero), m[0]), _mm_unpacklo_epi8(lv, zero))), 8);
  const __m128i hi = _mm_srli_epi16(
      _mm_add_epi16(m[3], _mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(rv, zero), m[1]), _mm_unpackhi_epi8(lv, zero))), 8);
  return _mm_packus_epi16(lo, hi);
}

#if defined(BRUMELEAF_PASTEL_WIDE)
// The mean colour for blocks b and b + 1 in the two 128-bit lanes, 32 bytes at a time;
// unpacking works within each lane, so the low and high lanes of each half take the mean
// colour at the phases of b and of b + 1 (16 = 1 mod 3). As MeanLanes, the mean's halves, then
// those of 255 times the mean.
__attribute__((target("avx2"))) inline void MeanLanesWide(const int mean[3], __m256i means[3][4]) {
  const RepeatedMean repeated(mean);
  for (int p = 0; p < 3; ++p)
    for (int half = 0; half < 2; ++half) {
      // Block b's lanes, then block b + 1's, which start one lane on.
      const std::uint16_t* m = repeated.mean + p + 8 * half;
      const std::uint16_t* scaled = repeated.scaled + p + 8 * half;
      means[p][half] = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(m + 1), reinterpret_cast<const __m128i*>(m));
      means[p][2 + half] =
          _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(scaled + 1), reinterpret_cast<const __m128i*>(scaled));
    }
}

// MixWithMean for 32 bytes.
__attribute__((target("avx2"))) inline __m256i MixWithMeanWide(__m256i rv, __m256i lv, const __m256i m[4]) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = _mm256_srli_epi16(
      _mm256_add_epi16(m[2], _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(rv, zero), m[0]),
                                                _mm256_unpacklo_epi8(lv, zero))),
      8);
  const __m256i hi = _mm256_srli_epi16(
      _mm256_add_epi16(m[3], _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(rv, zero), m[1]),
                                                _mm256_unpackhi_epi8(lv, zero))),
      8);
  return _mm256_packus_epi16(lo, hi);
}
#endif

std::int64_t Total(__m128i sums) {
  return static_cast<std::int64_t>(_mm_cvtsi128_si64(sums)) +
         static_cast<std::int64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

// Byte k of a stamp row belongs to channel k mod 3; a 16-byte block starting at byte 16b
// starts at channel b mod 3, its phase. A block at phase p takes the first half of mask [p][c];
// two blocks b and b + 1 take the whole 32 bytes, block b + 1 being at phase p + 1 (16 = 1 mod 3).
struct ChannelMasks {
  alignas(32) std::uint8_t bytes[3][3][32];  // [phase][channel]
  ChannelMasks() {
    for (int p = 0; p < 3; ++p)
      for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 32; ++k) bytes[p][c][k] = (p + k) % 3 == c ? 0xFF : 0;
  }
  __m128i Narrow(int phase, int channel) const {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes[phase][channel]));
  }
#if defined(BRUMELEAF_PASTEL_WIDE)
  __attribute__((target("avx2"))) __m256i Wide(int phase, int channel) const {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes[phase][channel]));
  }
#endif
};

// One 16-byte block of the first pass at `phase`: the sum of |s - d| over the counted ink
// (psadbw of masked bytes) into `before`, and the ink's source bytes channel by channel into `sum`.
inline void AddBlockUnder(const std::uint8_t* s, const std::uint8_t* d, const std::uint8_t* ink,
                          const std::uint8_t* counted, const ChannelMasks& channels, int phase, __m128i sum[3],
                          __m128i& before) {
  const __m128i sv = _mm_and_si128(Load(s), Load(ink));
  const __m128i cm = Load(counted);
  before = _mm_add_epi64(before, _mm_sad_epu8(_mm_and_si128(sv, cm), _mm_and_si128(Load(d), cm)));
  for (int c = 0; c < 3; ++c)
    sum[c] = _mm_add_epi64(sum[c], _mm_sad_epu8(_mm_and_si128(sv, channels.Narrow(phase, c)), _mm_setzero_si128()));
}
}  // namespace

#if defined(BRUMELEAF_PASTEL_WIDE)
__attribute__((target("avx2"))) PastelStampRows::Under PastelStampRows::SumUnderWide(
    const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
    bool firstRowsFetched) const {
  static const ChannelMasks channels;
  const __m256i zero = _mm256_setzero_si256();
  __m256i sum[3] = {zero, zero, zero};
  __m256i before = zero;
  if (!firstRowsFetched)
    for (int j = 0; j < kAhead && j < size_; ++j) Fetch(source, drawing, left, top + j, j);
  for (int j = 0; j < size_; ++j) {
    if (j + kAhead < size_) Fetch(source, drawing, left, top + j + kAhead, j + kAhead);
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* d = drawing[top + j] + 3 * left;
    const std::uint8_t* ink = Row(ink_, j);
    const std::uint8_t* counted = Row(before_, j);
    const int end = endBlock_[static_cast<std::size_t>(j)];
    int b = firstBlock_[static_cast<std::size_t>(j)];
    for (int phase = firstPhase_[static_cast<std::size_t>(j)]; b < end; b += 2, phase = TwoBlocksOn(phase)) {
      const int k = b * kBlock;
      const __m256i sv = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + k)),
                                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ink + k)));
      const __m256i cm = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(counted + k));
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + k));
      before = _mm256_add_epi64(before, _mm256_sad_epu8(_mm256_and_si256(sv, cm), _mm256_and_si256(dv, cm)));
      for (int c = 0; c < 3; ++c)
        sum[c] = _mm256_add_epi64(sum[c], _mm256_sad_epu8(_mm256_and_si256(sv, channels.Wide(phase, c)), zero));
    }
  }
  // Both halves of each sum.
  Under under;
  for (int c = 0; c < 3; ++c)
    under.sum[c] = Total(_mm_add_epi64(_mm256_castsi256_si128(sum[c]), _mm256_extracti128_si256(sum[c], 1)));
  under.before =
      static_cast<int>(Total(_mm_add_epi64(_mm256_castsi256_si128(before), _mm256_extracti128_si256(before, 1))));
  return under;
}
#endif

PastelStampRows::Under PastelStampRows::SumUnder(const std::uint8_t* const* source,
                                                 const std::uint8_t* const* drawing, int left,
                                                 int top, bool firstRowsFetched) const {
#if defined(BRUMELEAF_PASTEL_WIDE)
  const bool wide = allowWide_ && HasAvx2();
  if (wide) return SumUnderWide(source, drawing, left, top, firstRowsFetched);
#endif
  static const ChannelMasks channels;
  const __m128i zero = _mm_setzero_si128();
  __m128i sum[3] = {zero, zero, zero};
  __m128i before = zero;
  if (!firstRowsFetched)
    for (int j = 0; j < kAhead && j < size_; ++j) Fetch(source, drawing, left, top + j, j);
  for (int j = 0; j < size_; ++j) {
    if (j + kAhead < size_) Fetch(source, drawing, left, top + j + kAhead, j + kAhead);
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* d = drawing[top + j] + 3 * left;
    const std::uint8_t* ink = Row(ink_, j);
    const std::uint8_t* counted = Row(before_, j);
    for (int b = firstBlock_[static_cast<std::size_t>(j)]; b < endBlock_[static_cast<std::size_t>(j)]; ++b) {
      const int k = b * kBlock;
      AddBlockUnder(s + k, d + k, ink + k, counted + k, channels, b % 3, sum, before);
    }
  }
  Under under;
  for (int c = 0; c < 3; ++c) under.sum[c] = Total(sum[c]);
  under.before = static_cast<int>(Total(before));
  return under;
}

#if defined(BRUMELEAF_PASTEL_WIDE)
__attribute__((target("avx2"))) int PastelStampRows::LaidErrorWide(const std::uint8_t* const* source,
                                                                  const std::uint8_t* const* drawing, int left,
                                                                  int top, int shift, const int mean[3], int start,
                                                                  int limit) const {
  __m256i means[3][4];
  MeanLanesWide(mean, means);
  const __m256i zero = _mm256_setzero_si256();
  int after = start;
  for (int j = 1; j < size_ - 1 && after < limit; ++j) {
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* r = drawing[top + j - shift] + 3 * (left - shift);
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    __m256i row = zero;
    const int end = endBlock_[static_cast<std::size_t>(j)];
    int b = firstBlock_[static_cast<std::size_t>(j)];
    for (int phase = firstPhase_[static_cast<std::size_t>(j)]; b < end; b += 2, phase = TwoBlocksOn(phase)) {
      const int k = b * kBlock;
      const __m256i rv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + k));
      const __m256i lv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(level + k));
      const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(laid + k));
      const __m256i blended = _mm256_and_si256(MixWithMeanWide(rv, lv, means[phase]), mask);
      const __m256i sv = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + k)), mask);
      row = _mm256_add_epi64(row, _mm256_sad_epu8(sv, blended));
    }
    const __m128i sum = _mm_add_epi64(_mm256_castsi256_si128(row), _mm256_extracti128_si256(row, 1));
    after += static_cast<int>(Total(sum));
  }
  return after;
}
#endif

int PastelStampRows::LaidError(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left,
                               int top, int shift, const int mean[3], int start, int limit) const {
#if defined(BRUMELEAF_PASTEL_WIDE)
  const bool wide = allowWide_ && HasAvx2();
  if (wide) return LaidErrorWide(source, drawing, left, top, shift, mean, start, limit);
#endif
  __m128i means[3][4];
  MeanLanes(mean, means);
  int after = start;
  for (int j = 1; j < size_ - 1 && after < limit; ++j) {
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* r = drawing[top + j - shift] + 3 * (left - shift);
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    __m128i row = _mm_setzero_si128();
    for (int b = firstBlock_[static_cast<std::size_t>(j)]; b < endBlock_[static_cast<std::size_t>(j)]; ++b) {
      const int k = b * kBlock;
      const __m128i rv = Load(r + k);
      const __m128i lv = Load(level + k);
      const __m128i mixed = MixWithMean(rv, lv, means[b % 3]);
      const __m128i mask = Load(laid + k);
      const __m128i blended = _mm_and_si128(mixed, mask);
      row = _mm_add_epi64(row, _mm_sad_epu8(_mm_and_si128(Load(s + k), mask), blended));
    }
    after += static_cast<int>(Total(row));
  }
  return after;
}

PastelStampRows::Under PastelStampRows::SumUnderPart(const std::uint8_t* const* source,
                                                     const std::uint8_t* const* drawing, int left, int top,
                                                     const Part& part, int& count) const {
  count = 0;
  Under under;
  if (part.firstRow >= part.endRow || part.firstColumn >= part.endColumn) return under;
  static const ChannelMasks channels;
  const auto [from, bytes, firstBlock, endBlock] = MarkColumns(part);
  const std::uint8_t* columns = Scratch(0);
  std::uint8_t* s = Scratch(1);
  std::uint8_t* d = Scratch(2);
  const __m128i zero = _mm_setzero_si128();
  __m128i sum[3] = {zero, zero, zero};
  __m128i before = zero, inked = zero;
  for (int j = part.firstRow; j < part.endRow; ++j) {
    std::memcpy(s + from, source[top + j] + 3 * (left + part.firstColumn), static_cast<std::size_t>(bytes));
    std::memcpy(d + from, drawing[top + j] + 3 * (left + part.firstColumn), static_cast<std::size_t>(bytes));
    const std::uint8_t* ink = Row(ink_, j);
    const std::uint8_t* counted = Row(before_, j);
    for (int b = firstBlock; b < endBlock; ++b) {
      const int k = b * kBlock;
      const __m128i inside = Load(columns + k);
      const __m128i inkHere = _mm_and_si128(Load(ink + k), inside);
      const __m128i cm = _mm_and_si128(Load(counted + k), inside);
      const __m128i sv = _mm_and_si128(Load(s + k), inkHere);
      before = _mm_add_epi64(before, _mm_sad_epu8(_mm_and_si128(sv, cm), _mm_and_si128(Load(d + k), cm)));
      for (int c = 0; c < 3; ++c)
        sum[c] = _mm_add_epi64(sum[c], _mm_sad_epu8(_mm_and_si128(sv, channels.Narrow(b % 3, c)), zero));
      inked = _mm_add_epi64(inked, _mm_sad_epu8(inkHere, zero));
    }
  }
  for (int c = 0; c < 3; ++c) under.sum[c] = Total(sum[c]);
  under.before = static_cast<int>(Total(before));
  count = static_cast<int>(Total(inked) / (3 * 255));  // three 0xFF bytes per ink pixel
  return under;
}

int PastelStampRows::LaidErrorPart(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left,
                                   int top, int shift, const Part& part, const int mean[3], int start,
                                   int limit) const {
  const int firstRow = std::max(part.firstRow, 1), endRow = std::min(part.endRow, size_ - 1);
  if (firstRow >= endRow || part.firstColumn >= part.endColumn) return start;
  __m128i means[3][4];
  MeanLanes(mean, means);
  const auto [from, bytes, firstBlock, endBlock] = MarkColumns(part);
  const std::uint8_t* columns = Scratch(0);
  std::uint8_t* s = Scratch(1);
  std::uint8_t* r = Scratch(2);
  int after = start;
  for (int j = firstRow; j < endRow && after < limit; ++j) {
    // Laid ink lies off the stamp's first row and column, so the drawing `shift` pixels up and
    // left of a counted pixel is inside the picture.
    std::memcpy(s + from, source[top + j] + 3 * (left + part.firstColumn), static_cast<std::size_t>(bytes));
    std::memcpy(r + from, drawing[top + j - shift] + 3 * (left + part.firstColumn - shift),
                static_cast<std::size_t>(bytes));
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    __m128i row = _mm_setzero_si128();
    for (int b = firstBlock; b < endBlock; ++b) {
      const int k = b * kBlock;
      const __m128i mixed = MixWithMean(Load(r + k), Load(level + k), means[b % 3]);
      const __m128i mask = _mm_and_si128(Load(laid + k), Load(columns + k));
      row = _mm_add_epi64(row, _mm_sad_epu8(_mm_and_si128(Load(s + k), mask), _mm_and_si128(mixed, mask)));
    }
    after += static_cast<int>(Total(row));
  }
  return after;
}

namespace {

// One 16-byte block of Lay: the laid ink blended; the rest of the stamp row the window (shift
// 1, `keep` the row's bytes) or as it is (shift 0, where the window is the drawing itself and
// `keep` the laid mask); past the row's end, as it is.
inline void LayBlock(std::uint8_t* d, const std::uint8_t* r, const std::uint8_t* level, const std::uint8_t* laid,
                     const std::uint8_t* inside, int shift, const __m128i means[4]) {
  const __m128i rv = Load(r);
  const __m128i mixed = MixWithMean(rv, Load(level), means);
  const __m128i mask = Load(laid);
  const __m128i keep = shift ? Load(inside) : mask;
  const __m128i laidOrWindow = _mm_or_si128(_mm_and_si128(mask, mixed), _mm_andnot_si128(mask, rv));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(_mm_and_si128(keep, laidOrWindow), _mm_andnot_si128(keep, Load(d))));
}

}  // namespace

#if defined(BRUMELEAF_PASTEL_WIDE)
__attribute__((target("avx2"))) void PastelStampRows::LayWide(std::uint8_t* const* drawing, int left, int top,
                                                             int shift, const int mean[3]) const {
  __m256i means[3][4];
  MeanLanesWide(mean, means);
  for (int j = LastLaidRow(shift); j >= 1; --j) {
    const LayRow row = RowToLay(drawing, left, top, shift, j);
    std::uint8_t* d = row.d;
    const std::uint8_t* r = row.r;
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    const int end = row.endBlock;
    int b = row.firstBlock;
    for (int phase = b % 3; b < end; b += 2, phase = TwoBlocksOn(phase)) {
      const int k = b * kBlock;
      const __m256i rv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + k));
      const __m256i lv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(level + k));
      const __m256i mixed = MixWithMeanWide(rv, lv, means[phase]);
      const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(laid + k));
      const __m256i keep = shift ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(inside_.data() + k)) : mask;
      const __m256i laidOrWindow = _mm256_blendv_epi8(rv, mixed, mask);
      const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + k));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + k), _mm256_blendv_epi8(dv, laidOrWindow, keep));
    }
    if (shift) std::copy(row.first, row.first + 3, d);
  }
  FinishLay(drawing, left, top, shift);
}
#endif

void PastelStampRows::Lay(std::uint8_t* const* drawing, int left, int top, int shift, const int mean[3]) const {
#if defined(BRUMELEAF_PASTEL_WIDE)
  if (allowWide_ && HasAvx2()) {
    LayWide(drawing, left, top, shift, mean);
    return;
  }
#endif
  __m128i means[3][4];
  MeanLanes(mean, means);
  for (int j = LastLaidRow(shift); j >= 1; --j) {
    const LayRow row = RowToLay(drawing, left, top, shift, j);
    for (int b = row.firstBlock; b < row.endBlock; ++b) {
      const int k = b * kBlock;
      LayBlock(row.d + k, row.r + k, Row(level_, j) + k, Row(laid_, j) + k, inside_.data() + k, shift, means[b % 3]);
    }
    if (shift) std::copy(row.first, row.first + 3, row.d);
  }
  FinishLay(drawing, left, top, shift);
}

#else  // the same sums one byte at a time

PastelStampRows::Under PastelStampRows::SumUnder(const std::uint8_t* const* source,
                                                 const std::uint8_t* const* drawing, int left,
                                                 int top, bool) const {
  Under under;
  for (int j = 0; j < size_; ++j) {
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* d = drawing[top + j] + 3 * left;
    const std::uint8_t* ink = Row(ink_, j);
    const std::uint8_t* counted = Row(before_, j);
    for (int k = 0; k < 3 * size_; ++k) {
      if (ink[k]) under.sum[k % 3] += s[k];
      if (counted[k]) under.before += std::abs(s[k] - d[k]);
    }
  }
  return under;
}

int PastelStampRows::LaidError(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left,
                               int top, int shift, const int mean[3], int start, int limit) const {
  int after = start;
  for (int j = 1; j < size_ - 1 && after < limit; ++j) {
    const std::uint8_t* s = source[top + j] + 3 * left;
    const std::uint8_t* r = drawing[top + j - shift] + 3 * (left - shift);
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    for (int k = 0; k < 3 * size_; ++k) {
      if (!laid[k]) continue;
      const int blended = (r[k] * level[k] + mean[k % 3] * (255 - level[k])) >> 8;
      after += std::abs(s[k] - blended);
    }
  }
  return after;
}

PastelStampRows::Under PastelStampRows::SumUnderPart(const std::uint8_t* const* source,
                                                     const std::uint8_t* const* drawing, int left, int top,
                                                     const Part& part, int& count) const {
  count = 0;
  Under under;
  for (int j = part.firstRow; j < part.endRow; ++j) {
    // Byte k of the stamp row lies at k + at in the picture's rows (at may be negative).
    const std::uint8_t* s = source[top + j];
    const std::uint8_t* d = drawing[top + j];
    const int at = 3 * left;
    const std::uint8_t* ink = Row(ink_, j);
    const std::uint8_t* counted = Row(before_, j);
    for (int k = 3 * part.firstColumn; k < 3 * part.endColumn; ++k) {
      if (ink[k]) under.sum[k % 3] += s[k + at];
      if (counted[k]) under.before += std::abs(s[k + at] - d[k + at]);
      if (ink[k] && k % 3 == 0) ++count;
    }
  }
  return under;
}

int PastelStampRows::LaidErrorPart(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left,
                                   int top, int shift, const Part& part, const int mean[3], int start,
                                   int limit) const {
  int after = start;
  for (int j = std::max(part.firstRow, 1); j < std::min(part.endRow, size_ - 1) && after < limit; ++j) {
    const std::uint8_t* s = source[top + j];
    const std::uint8_t* r = drawing[top + j - shift];
    const int at = 3 * left, back = 3 * (left - shift);
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    for (int k = 3 * part.firstColumn; k < 3 * part.endColumn; ++k) {
      if (!laid[k]) continue;
      const int blended = (r[k + back] * level[k] + mean[k % 3] * (255 - level[k])) >> 8;
      after += std::abs(s[k + at] - blended);
    }
  }
  return after;
}

void PastelStampRows::Lay(std::uint8_t* const* drawing, int left, int top, int shift, const int mean[3]) const {
  for (int j = LastLaidRow(shift); j >= 1; --j) {
    const LayRow row = RowToLay(drawing, left, top, shift, j);
    const std::uint8_t* laid = Row(laid_, j);
    const std::uint8_t* level = Row(level_, j);
    for (int k = 0; k < 3 * size_; ++k) {
      if (laid[k])
        row.d[k] = static_cast<std::uint8_t>((row.r[k] * level[k] + mean[k % 3] * (255 - level[k])) >> 8);
      else if (shift)
        row.d[k] = row.r[k];
    }
    if (shift) std::copy(row.first, row.first + 3, row.d);
  }
  FinishLay(drawing, left, top, shift);
}

#endif

}  // namespace brumeleaf
