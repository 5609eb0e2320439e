#include "effects/drawing/StampSearchTargets.h"
#include "imaging/CpuFeatures.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the compiler can target AVX2 for one function, rows are refreshed 16 pixels at a time
// on processors that have it (chosen once, at run time).
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRUMELEAF_TARGETS_WIDE 1
#endif

namespace brumeleaf {

StampSearchTargets::StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance,
                                       bool trackDistances)
    : width_(source.Width()), height_(source.Height()), tolerance_(tolerance), trackDistances_(trackDistances) {
  if (drawing.Width() != width_ || drawing.Height() != height_)
    throw ImageError("The drawing and its source differ in size.");
  sourceRows_ = source.RowTable();
  drawingRows_ = drawing.RowTable();
  bits_ = BitGrid(width_, height_, false, PixelPages::kLarge);  // tested at every draw of the search
  // Each row of tiles has room for the masked reads past its last tile (see MaskedDistance).
  const std::size_t tilesAcross = static_cast<std::size_t>((width_ + kTile - 1) / kTile) + 4;
  tileRowBytes_ = tilesAcross * kTileBytes;
  tilesAcross_ = (width_ + kMaxTile - 1) / kMaxTile;
  tileMax_.assign(static_cast<std::size_t>(tilesAcross_) * static_cast<std::size_t>((height_ + kMaxTile - 1) / kMaxTile), 0);
  const std::size_t distanceBytes = tileRowBytes_ * static_cast<std::size_t>((height_ + kTile - 1) / kTile);
  distance_ = LargePageBuffer(distanceBytes);
  std::memset(distance_.Data(), 0, distanceBytes);
  fresh_.assign(static_cast<std::size_t>(width_) / 64 + 2, 0);
  Refresh(0, 0, width_, height_);
}

void StampSearchTargets::FetchDistances(int left, int top, int size) const {
  const int first = std::max(top, 0), last = std::min(top + size, height_) - 1;
  const int from = std::clamp(left, 0, width_ - 1), to = std::clamp(left + size - 1, 0, width_ - 1);
  for (int ty = first / kTile; ty <= last / kTile; ++ty)
    for (int tx = from / kTile; tx <= to / kTile; ++tx)
      __builtin_prefetch(distance_.Data() + static_cast<std::size_t>(ty) * tileRowBytes_ +
                         static_cast<std::size_t>(tx) * kTileBytes);
}

#if defined(__SSE2__)
// Row by row, the 32 distances from the tile holding `left` (four tiles' rows of 8), masked by
// the mask shifted by left's place in its tile: the 8 zero bytes before each mask row give the
// shifted mask its leading zeros, and its 24 columns end before the 32nd byte. Tiles the
// counted columns do not reach are not read: each is a cache line of its own, and small stamps
// (most of the attempts) reach only one or two.
int StampSearchTargets::MaskedDistance(const std::uint8_t* mask, int columns, int rows, int left, int top) const {
  static_assert(kMaskColumns + kTile - 1 <= 32 && kMaskStride >= kTile + 32);
  const __m128i cap = _mm_set1_epi8(static_cast<char>(kDistanceCap));
  const __m128i zero = _mm_setzero_si128();
  __m128i sum = zero, capped = zero;
  const int phase = left % kTile;
  const std::uint8_t* shifted = mask + kTile - phase;
  const std::uint8_t* at = distance_.Data() + TileColumn(left - phase);
  const auto add = [&](__m128i a) {
    capped = _mm_or_si128(capped, _mm_cmpeq_epi8(a, cap));
    sum = _mm_add_epi64(sum, _mm_sad_epu8(a, zero));
  };
  const auto low = [](const std::uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
  const auto whole = [](const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  // The distances of row top + j, one tile row (kTile bytes) after another within a row of
  // tiles, then on to the next row of tiles.
  const std::uint8_t* row = at + TileRow(top);
  int inTile = top % kTile;
  const auto next = [&] {
    row += ++inTile < kTile ? kTile : tileRowBytes_ - (kTile - 1) * kTile;
    if (inTile == kTile) inTile = 0;
  };
  if (phase + columns <= kTile) {
    for (int j = 0; j < rows; ++j, shifted += kMaskStride, next()) add(_mm_and_si128(low(row), low(shifted)));
  } else if (phase + columns <= 2 * kTile) {
    for (int j = 0; j < rows; ++j, shifted += kMaskStride, next())
      add(_mm_and_si128(_mm_unpacklo_epi64(low(row), low(row + kTileBytes)), whole(shifted)));
  } else {
    for (int j = 0; j < rows; ++j, shifted += kMaskStride, next()) {
      add(_mm_and_si128(_mm_unpacklo_epi64(low(row), low(row + kTileBytes)), whole(shifted)));
      add(_mm_and_si128(_mm_unpacklo_epi64(low(row + 2 * kTileBytes), low(row + 3 * kTileBytes)), whole(shifted + 16)));
    }
  }
  if (_mm_movemask_epi8(capped)) return -1;
  return static_cast<int>(_mm_cvtsi128_si64(sum) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sum, sum)));
}
#else
int StampSearchTargets::MaskedDistance(const std::uint8_t* mask, int columns, int rows, int left, int top) const {
  int sum = 0;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      if (!mask[MaskIndex(i, j)]) continue;
      const int d = Distance(left + i, top + j);
      if (d == kDistanceCap) return -1;
      sum += d;
    }
  return sum;
}
#endif

int StampSearchTargets::MostDistantClipped(int left, int top, int columns, int rows) const {
  const int fromX = std::max(left, 0), toX = std::min(left + columns, width_) - 1;
  const int fromY = std::max(top, 0), toY = std::min(top + rows, height_) - 1;
  int most = 0;
  if (fromX > toX || fromY > toY) return most;
  for (int ty = fromY / kMaxTile; ty <= toY / kMaxTile; ++ty) {
    const std::uint8_t* row = tileMax_.data() + static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesAcross_);
    for (int tx = fromX / kMaxTile; tx <= toX / kMaxTile; ++tx) most = std::max<int>(most, row[tx]);
  }
  return most;
}

void StampSearchTargets::RefreshTileMaxima(int left, int top, int right, int bottom) {
  if (!trackDistances_) return;
  const int fromX = std::max(left, 0), toX = std::min(right, width_) - 1;
  const int fromY = std::max(top, 0), toY = std::min(bottom, height_) - 1;
  if (fromX > toX || fromY > toY) return;
  constexpr int kTilesPerSide = kMaxTile / kTile;
  const int lastTileRow = (height_ - 1) / kTile, lastTileColumn = (width_ - 1) / kTile;
  for (int ty = fromY / kMaxTile; ty <= toY / kMaxTile; ++ty)
    for (int tx = fromX / kMaxTile; tx <= toX / kMaxTile; ++tx) {
      // A distance tile's 64 bytes are one block; those of pixels beyond the picture stay 0.
      std::uint8_t most = 0;
      for (int v = ty * kTilesPerSide; v < (ty + 1) * kTilesPerSide && v <= lastTileRow; ++v)
        for (int u = tx * kTilesPerSide; u < (tx + 1) * kTilesPerSide && u <= lastTileColumn; ++u) {
          const std::uint8_t* tile =
              distance_.Data() + static_cast<std::size_t>(v) * tileRowBytes_ + static_cast<std::size_t>(u) * kTileBytes;
          for (int k = 0; k < kTileBytes; ++k) most = std::max(most, tile[k]);
        }
      tileMax_[static_cast<std::size_t>(ty) * static_cast<std::size_t>(tilesAcross_) + static_cast<std::size_t>(tx)] = most;
    }
}

void StampSearchTargets::TrackDistances(bool on) {
  if (on == trackDistances_) return;
  trackDistances_ = on;
  if (on) Refresh(0, 0, width_, height_);
}

void StampSearchTargets::FreshRow(const std::uint8_t* source, const std::uint8_t* drawn, std::uint8_t* distances,
                                  int left, int right, int tolerance, std::uint64_t* fresh) {
  const int base = left & ~63;
  for (int u = left; u < right; ++u) {
    const std::uint8_t* s = source + 3 * u;
    const std::uint8_t* d = drawn + 3 * u;
    const int red = std::abs(s[2] - d[2]);
    if (distances) {
      const int sum = std::abs(s[0] - d[0]) + std::abs(s[1] - d[1]) + red;
      distances[TileColumn(u)] = static_cast<std::uint8_t>(std::min(sum, kDistanceCap));
    }
    if (red >= tolerance) fresh[(u - base) >> 6] |= std::uint64_t{1} << (u & 63);
  }
}

#if defined(BRUMELEAF_TARGETS_WIDE)
namespace {

// Picks the bytes of one channel out of 48 bytes of 16 pixels: shuffle masks for the three
// 16-byte parts, for blue, green and red.
struct Deinterleave {
  __m128i pick[3][3];  // [channel][part]
  Deinterleave() {
    for (int c = 0; c < 3; ++c)
      for (int part = 0; part < 3; ++part) {
        alignas(16) std::int8_t bytes[16];
        for (int k = 0; k < 16; ++k) {
          const int from = 3 * k + c - 16 * part;  // byte of pixel k's channel c within this part
          bytes[k] = static_cast<std::int8_t>(from >= 0 && from < 16 ? from : -1);
        }
        pick[c][part] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
      }
  }
};

__attribute__((target("avx2"))) inline __m128i Channel(const Deinterleave& d, int c, __m128i p0, __m128i p1,
                                                       __m128i p2) {
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(p0, d.pick[c][0]), _mm_shuffle_epi8(p1, d.pick[c][1])),
                      _mm_shuffle_epi8(p2, d.pick[c][2]));
}

__attribute__((target("avx2"))) inline __m128i AbsoluteDifference(const std::uint8_t* a, const std::uint8_t* b) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
  const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
  return _mm_or_si128(_mm_subs_epu8(x, y), _mm_subs_epu8(y, x));
}

}  // namespace

__attribute__((target("avx2"))) void StampSearchTargets::FreshRowWide(const std::uint8_t* source,
                                                                     const std::uint8_t* drawn,
                                                                     std::uint8_t* distances, int left, int right,
                                                                     int width, int tolerance,
                                                                     std::uint64_t* fresh) {
  static const Deinterleave pick;
  const int base = left & ~63;
  // A red difference qualifies when it is at least the tolerance (0 to 25): max(red, t) == red.
  const __m128i least = _mm_set1_epi8(static_cast<char>(std::clamp(tolerance, 0, 255)));
  const __m128i places = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  // Whole blocks of 16 pixels: from the start of the tile holding `left` when the distances are
  // kept, so that each block fills two tiles' rows, else from `left`. A block may begin before
  // `left` and end after `right` (a kept stamp's rows are rarely a multiple of 16 long); only
  // the pixels in [left, right) are written, the rest of the block is read and left as it was.
  int u = distances ? left & ~(kTile - 1) : left;
  for (; u < right && u + 16 <= width; u += 16) {
    const std::uint8_t* s = source + 3 * u;
    const std::uint8_t* d = drawn + 3 * u;
    const __m128i p0 = AbsoluteDifference(s, d), p1 = AbsoluteDifference(s + 16, d + 16),
                  p2 = AbsoluteDifference(s + 32, d + 32);
    const __m128i red = Channel(pick, 2, p0, p1, p2);
    const int from = std::max(left - u, 0), to = std::min(right - u, 16);
    if (distances) {
      // The three differences added in 16-bit lanes; packing back saturates at 255, the cap.
      const __m256i sum = _mm256_add_epi16(
          _mm256_add_epi16(_mm256_cvtepu8_epi16(Channel(pick, 0, p0, p1, p2)),
                           _mm256_cvtepu8_epi16(Channel(pick, 1, p0, p1, p2))),
          _mm256_cvtepu8_epi16(red));
      const __m128i capped = _mm_packus_epi16(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
      std::uint8_t* tile = distances + TileColumn(u);
      const __m128i inside = _mm_andnot_si128(_mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(from)), places),
                                              _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(to)), places));
      const __m128i old = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(tile)),
                                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tile + kTileBytes)));
      const __m128i fresh16 = _mm_blendv_epi8(old, capped, inside);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(tile), fresh16);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(tile + kTileBytes), _mm_unpackhi_epi64(fresh16, fresh16));
    }
    const std::uint32_t inside = ((1u << to) - 1) & ~((1u << from) - 1);
    const std::uint64_t mask =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(red, least), red))) & inside;
    const int at = u - base;
    fresh[at >> 6] |= mask << (at & 63);
    if ((at & 63) > 48) fresh[(at >> 6) + 1] |= mask >> (64 - (at & 63));
  }
  // Near the row's end, one by one.
  u = std::max(u, left);
  if (u < right) FreshRow(source, drawn, distances, u, right, tolerance, fresh + ((u - base) >> 6));
}
#endif

void StampSearchTargets::Refresh(int left, int top, int right, int bottom) {
  RefreshRows(left, top, bottom - top, [&](int, int& first, int& end) {
    first = 0;
    end = right - left;
  });
}

void StampSearchTargets::RefreshRow(int y, int left, int right) {
#if defined(BRUMELEAF_TARGETS_WIDE)
  const bool wide = HasAvx2();
#else
  constexpr bool wide = false;
#endif
  const std::uint8_t* source = sourceRows_[static_cast<std::size_t>(y)];
  const std::uint8_t* drawn = drawingRows_[static_cast<std::size_t>(y)];
  std::uint8_t* distance = trackDistances_ ? distance_.Data() + TileRow(y) : nullptr;
  std::fill(fresh_.begin(), fresh_.begin() + ((right - 1) >> 6) - (left >> 6) + 1, 0);
#if defined(BRUMELEAF_TARGETS_WIDE)
  if (wide)
    FreshRowWide(source, drawn, distance, left, right, width_, tolerance_, fresh_.data());
  else
#endif
    FreshRow(source, drawn, distance, left, right, tolerance_, fresh_.data());
  count_ += MergeRow(bits_.Row(y), fresh_.data(), left, right);
}

// Where the processor counts bits in one instruction, that instruction (a kept large stamp
// merges hundreds of words).
__attribute__((target_clones("popcnt", "default"))) int StampSearchTargets::MergeRow(std::uint64_t* row,
                                                                                   const std::uint64_t* fresh,
                                                                                   int left, int right) {
  const int firstWord = left >> 6, lastWord = (right - 1) >> 6;
  int change = 0;
  for (int word = firstWord; word <= lastWord; ++word) {
    const int from = std::max(left, 64 * word) & 63, to = std::min(right, 64 * word + 64) - 64 * word;
    const std::uint64_t span =
        (to == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1) & ~((std::uint64_t{1} << from) - 1);
    const std::uint64_t bits = fresh[word - firstWord];
    std::uint64_t& old = row[word];
    change += std::popcount(bits) - std::popcount(old & span);
    old = (old & ~span) | bits;
  }
  return change;
}

}  // namespace brumeleaf
