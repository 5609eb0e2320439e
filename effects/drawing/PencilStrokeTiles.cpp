#include "effects/drawing/PencilStrokeTiles.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define BRUMELEAF_STROKE_AVX512 1
#endif

#include "effects/drawing/PencilStampTable.h"
#include "imaging/Colour.h"
#include "imaging/CpuFeatures.h"
#include "imaging/Geometry.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

// Stamp pixels lighter than this in any channel are the white around the stroke and never
// touch the drawing.
constexpr int kStrokeLightest = 240;
// A tile of the drawing: 256 x 64 pixels are 48 KB, which stay in the cache while the strokes
// over them are laid.
constexpr int kTileWidth = 256;
constexpr int kTileHeight = 64;

// Below this many strokes a tile in a batch, the batch is laid in its own order, unsorted.
constexpr std::size_t kStrokesPerTileToSort = 128;

// The part of the drawing a tile covers, within the drawable area (all but the last column and
// row).
struct Clip {
  int x0, y0, x1, y1;
};

// Where a stroke's stamp lies: its top-left corner and the stamp rows inside `clip`.
struct StampPlace {
  int left, top, firstRow, endRow;
};
StampPlace PlaceOf(const PlannedStroke& stroke, const Clip& clip) {
  const int left = stroke.x - stroke.stamp->size / 2, top = stroke.y - stroke.stamp->size / 2;
  return {left, top, std::max(0, clip.y0 - top), std::min(stroke.stamp->size, clip.y1 - top)};
}

// A run of stamp row `row` (of the drawing) cut to the clip's columns: the drawing bytes it
// covers, the stamp's levels for them and their count. False when nothing of it is left.
struct ClippedRun {
  std::uint8_t* drawing;
  const std::uint8_t* levels;
  int bytes;
};
inline bool ClipRun(const PreparedStamp& stamp, const StampRun& run, int left, std::uint8_t* row, const Clip& clip,
                    ClippedRun& out) {
  const int x0 = std::max(left + run.i, clip.x0);
  const int x1 = std::min(left + run.i + run.length, clip.x1);
  if (x0 >= x1) return false;
  out = {row + 3 * x0, stamp.levels.data() + run.first + 3 * (x0 - left - run.i), 3 * (x1 - x0)};
  return true;
}

// Lays one stroke inside `clip`. `Keep` is a template argument so that the divisions by 5 and
// 6 compile to multiplications. With a weight w of at most 256 (every edge stroke, most shading
// strokes) no term can be negative, so both truncating divisions are floors and fold into one:
// (keep d + (w d + (256 - w) s) div 256) div (keep + 1)
//   = ((256 keep + w) d + (256 - w) s) div (256 (keep + 1)).
template <int Keep, bool Unsigned>
void LayClipped(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip);

#if defined(__SSE2__)
// The stroke's runs inside `clip`, eight bytes of the drawing at a time: with a weight w of at
// most 256 the middle term w d + (256 - w) s is at most 256 * 255 and fits 16 bits unsigned, so
// the formula runs as written in 16-bit lanes, (keep d + (w d + (256 - w) s) shr 8) div
// (keep + 1), the quotient by keep + 1 as a multiplication: x div 5 = (x 52429) shr 18 and
// x div 6 = (x 43691) shr 18 for 0 <= x < 2^13 (the dividend is at most 1530), and packing
// with unsigned saturation is the clamp to 0..255.
// A run's bytes are blue, green, red from a pixel boundary, so the tint offsets repeat every
// three vectors. Bytes past the clipped run are neither read nor written; the last few are
// laid one by one.
template <int Keep>
void LayRunsSse2(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  static_assert(Keep == 4 || Keep == 5);
  const PreparedStamp& stamp = *stroke.stamp;
  const auto [left, top, firstRow, endRow] = PlaceOf(stroke, clip);
  const int weight = stroke.mix.weight;
  const int* o = stroke.mix.offset;
  const __m128i ofDrawing = _mm_set1_epi16(static_cast<short>(weight));
  const __m128i ofStamp = _mm_set1_epi16(static_cast<short>(256 - weight));
  const __m128i keep = _mm_set1_epi16(Keep);
  const __m128i magic = _mm_set1_epi16(static_cast<short>(Keep == 4 ? 52429 : 43691));
  const __m128i zero = _mm_setzero_si128();
  __m128i offsets[3];
  for (int v = 0; v < 3; ++v) {
    alignas(16) short lanes[8];
    for (int l = 0; l < 8; ++l) lanes[l] = static_cast<short>(o[(8 * v + l) % 3]);
    offsets[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
  }
  for (int j = firstRow; j < endRow; ++j) {
    std::uint8_t* row = rows[top + j];
    const StampRun* run = stamp.runs.data() + stamp.runStart[static_cast<std::size_t>(j)];
    const StampRun* end = stamp.runs.data() + stamp.runStart[static_cast<std::size_t>(j) + 1];
    for (; run != end; ++run) {
      ClippedRun clipped;
      if (!ClipRun(stamp, *run, left, row, clip, clipped)) continue;
      std::uint8_t* d = clipped.drawing;
      const std::uint8_t* s = clipped.levels;
      const int bytes = clipped.bytes;
      int b = 0;
      for (int v = 0; b + 8 <= bytes; b += 8, v = v == 2 ? 0 : v + 1) {
        const __m128i drawn = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + b)), zero);
        const __m128i level = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + b)), zero);
        const __m128i middle = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(drawn, ofDrawing), _mm_mullo_epi16(level, ofStamp)), 8);
        const __m128i kept = _mm_add_epi16(_mm_mullo_epi16(drawn, keep), middle);
        const __m128i value = _mm_add_epi16(_mm_srli_epi16(_mm_mulhi_epu16(kept, magic), 2), offsets[v]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + b), _mm_packus_epi16(value, value));
      }
      for (; b < bytes; ++b) {
        const int dc = d[b];
        const int v = (Keep * dc + (weight * dc + (256 - weight) * s[b]) / 256) / (Keep + 1);
        d[b] = ClampLevel(v + o[b % 3]);
      }
    }
  }
}
#endif

#if defined(BRUMELEAF_STROKE_AVX512)

// The same as LayRunsSse2, thirty-two bytes at a time with AVX-512: loads and stores are
// masked to the clipped run, so a run of any length takes whole vectors and nothing past it is
// read or written. The clamp to 0..255 is a signed maximum with 0 and an unsigned saturating
// store.
template <int Keep>
__attribute__((target("avx2,avx512f,avx512bw,avx512vl"))) void LayRunsAvx512(const PlannedStroke& stroke,
                                                                              std::uint8_t* const* rows,
                                                                              const Clip& clip) {
  static_assert(Keep == 4 || Keep == 5);
  const PreparedStamp& stamp = *stroke.stamp;
  const auto [left, top, firstRow, endRow] = PlaceOf(stroke, clip);
  const int weight = stroke.mix.weight;
  const int* o = stroke.mix.offset;
  const __m512i ofDrawing = _mm512_set1_epi16(static_cast<short>(weight));
  const __m512i ofStamp = _mm512_set1_epi16(static_cast<short>(256 - weight));
  const __m512i keep = _mm512_set1_epi16(Keep);
  const __m512i magic = _mm512_set1_epi16(static_cast<short>(Keep == 4 ? 52429 : 43691));
  const __m512i zero = _mm512_setzero_si512();
  // The three tint offsets repeat blue, green, red over 96 bytes: each of the three vectors
  // picks them from one register by lane (a stroke is short, so building the vectors lane by
  // lane in memory cost as much as laying it).
  alignas(64) static constexpr std::array<std::array<short, 32>, 3> kChannelOfLane = [] {
    std::array<std::array<short, 32>, 3> lanes{};
    for (int v = 0; v < 3; ++v)
      for (int l = 0; l < 32; ++l) lanes[static_cast<std::size_t>(v)][static_cast<std::size_t>(l)] = static_cast<short>((32 * v + l) % 3);
    return lanes;
  }();
  const __m512i tint = _mm512_castsi128_si512(
      _mm_setr_epi16(static_cast<short>(o[0]), static_cast<short>(o[1]), static_cast<short>(o[2]), 0, 0, 0, 0, 0));
  __m512i offsets[3];
  for (int v = 0; v < 3; ++v)
    offsets[v] = _mm512_permutexvar_epi16(_mm512_load_si512(kChannelOfLane[static_cast<std::size_t>(v)].data()), tint);
  for (int j = firstRow; j < endRow; ++j) {
    std::uint8_t* row = rows[top + j];
    const StampRun* run = stamp.runs.data() + stamp.runStart[static_cast<std::size_t>(j)];
    const StampRun* end = stamp.runs.data() + stamp.runStart[static_cast<std::size_t>(j) + 1];
    for (; run != end; ++run) {
      ClippedRun clipped;
      if (!ClipRun(stamp, *run, left, row, clip, clipped)) continue;
      std::uint8_t* d = clipped.drawing;
      const std::uint8_t* s = clipped.levels;
      const int bytes = clipped.bytes;
      for (int b = 0, v = 0; b < bytes; b += 32, v = v == 2 ? 0 : v + 1) {
        const int lanes = std::min(32, bytes - b);
        const __mmask32 live = lanes == 32 ? ~__mmask32{0} : (__mmask32{1} << lanes) - 1;
        const __m512i drawn = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, d + b));
        const __m512i level = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(live, s + b));
        const __m512i middle =
            _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(drawn, ofDrawing), _mm512_mullo_epi16(level, ofStamp)), 8);
        const __m512i kept = _mm512_add_epi16(_mm512_mullo_epi16(drawn, keep), middle);
        const __m512i value = _mm512_add_epi16(_mm512_srli_epi16(_mm512_mulhi_epu16(kept, magic), 2), offsets[v]);
        _mm512_mask_cvtusepi16_storeu_epi8(d + b, live, _mm512_max_epi16(value, zero));
      }
    }
  }
}

#endif


template <int Keep, bool Unsigned>
void LayClipped(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  const PreparedStamp& stamp = *stroke.stamp;
  const auto [left, top, firstRow, endRow] = PlaceOf(stroke, clip);
  const int weight = stroke.mix.weight;
  const int* offset = stroke.mix.offset;
  const unsigned ofDrawing = static_cast<unsigned>(256 * Keep + weight);
  const unsigned ofStamp = static_cast<unsigned>(256 - weight);
  for (int j = firstRow; j < endRow; ++j) {
    std::uint8_t* row = rows[top + j];
    const StampPixel* px = stamp.pixels.data() + stamp.rowStart[static_cast<std::size_t>(j)];
    const StampPixel* end = stamp.pixels.data() + stamp.rowStart[static_cast<std::size_t>(j) + 1];
    for (; px != end; ++px) {
      const int tx = left + px->i;
      if (tx < clip.x0 || tx >= clip.x1) continue;
      std::uint8_t* d = row + 3 * tx;
      for (int c = 0; c < 3; ++c) {
        const int dc = d[c];
        int v;
        if constexpr (Unsigned) {
          v = static_cast<int>((ofDrawing * static_cast<unsigned>(dc) + ofStamp * px->level[c]) / (256u * (Keep + 1)));
        } else {
          v = (Keep * dc + (weight * dc + (256 - weight) * px->level[c]) / 256) / (Keep + 1);
        }
        d[c] = ClampLevel(v + offset[c]);
      }
    }
  }
}

void Lay(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip, bool wide) {
  const bool unsignedTerms = stroke.mix.weight >= 0 && stroke.mix.weight <= 256;
#if defined(BRUMELEAF_STROKE_AVX512)
  if (unsignedTerms && wide) {
    if (stroke.mix.edge)
      LayRunsAvx512<4>(stroke, rows, clip);
    else
      LayRunsAvx512<5>(stroke, rows, clip);
    return;
  }
#else
  (void)wide;
#endif
#if defined(__SSE2__)
  if (unsignedTerms) {
    if (stroke.mix.edge)
      LayRunsSse2<4>(stroke, rows, clip);
    else
      LayRunsSse2<5>(stroke, rows, clip);
    return;
  }
#endif
  if (stroke.mix.edge) {
    if (unsignedTerms)
      LayClipped<4, true>(stroke, rows, clip);
    else
      LayClipped<4, false>(stroke, rows, clip);
  } else {
    if (unsignedTerms)
      LayClipped<5, true>(stroke, rows, clip);
    else
      LayClipped<5, false>(stroke, rows, clip);
  }
}

}  // namespace

PreparedStamp PrepareStamp(int entry, int size) {
  Bitmap scaled(size, size);
  StretchBilinear(PencilStamp(entry), scaled);
  PreparedStamp stamp;
  stamp.size = size;
  stamp.rowStart.reserve(static_cast<std::size_t>(size) + 1);
  stamp.runStart.reserve(static_cast<std::size_t>(size) + 1);
  for (int j = 0; j < size; ++j) {
    stamp.rowStart.push_back(static_cast<int>(stamp.pixels.size()));
    stamp.runStart.push_back(static_cast<int>(stamp.runs.size()));
    const std::uint8_t* row = scaled.ScanLine(j);
    for (int i = 0; i < size; ++i) {
      const std::uint8_t* p = row + 3 * i;
      if (p[0] > kStrokeLightest || p[1] > kStrokeLightest || p[2] > kStrokeLightest) continue;
      stamp.pixels.push_back({static_cast<std::int16_t>(i), static_cast<std::int16_t>(j), {p[0], p[1], p[2], 0}});
      StampRun* last = stamp.runs.size() > static_cast<std::size_t>(stamp.runStart.back()) ? &stamp.runs.back() : nullptr;
      if (last && last->i + last->length == i) {
        ++last->length;
      } else {
        stamp.runs.push_back({static_cast<std::int16_t>(i), 1, static_cast<std::int32_t>(stamp.levels.size())});
      }
      stamp.levels.insert(stamp.levels.end(), p, p + 3);
    }
  }
  stamp.rowStart.push_back(static_cast<int>(stamp.pixels.size()));
  stamp.runStart.push_back(static_cast<int>(stamp.runs.size()));
  stamp.levels.resize(stamp.levels.size() + 8, 0);
  return stamp;
}

const PreparedStamp& StampCache::Get(int entry, int size) {
  if (entry < 0 || entry >= kPencilStampAngles)
    throw ImageError("There is no pencil stroke at table entry " + std::to_string(entry) + ".");
  if (size > kLargestSharedSize) {
    large_.push_back(std::make_unique<PreparedStamp>(PrepareStamp(entry, size)));
    return *large_.back();
  }
  // One slot per (entry, size); a stamp never changes once prepared, so a slot is filled once
  // and read without a lock. Two runs preparing the same stamp at once keep the first.
  static std::array<std::atomic<const PreparedStamp*>, static_cast<std::size_t>(kPencilStampAngles) * (kLargestSharedSize + 1)> shared{};
  std::atomic<const PreparedStamp*>& slot =
      shared[static_cast<std::size_t>(entry) * (kLargestSharedSize + 1) + static_cast<std::size_t>(std::max(size, 0))];
  const PreparedStamp* ready = slot.load(std::memory_order_acquire);
  if (ready) return *ready;
  auto fresh = std::make_unique<PreparedStamp>(PrepareStamp(entry, size));
  if (slot.compare_exchange_strong(ready, fresh.get(), std::memory_order_acq_rel, std::memory_order_acquire))
    return *fresh.release();
  return *ready;
}

void LayStrokes(const std::vector<PlannedStroke>& strokes, Bitmap& drawing, bool narrow) {
#if defined(BRUMELEAF_STROKE_AVX512)
  const bool wide = !narrow && HasAvx512();
#else
  const bool wide = false;
  (void)narrow;
#endif
  const int width = drawing.Width() - 1, height = drawing.Height() - 1;  // the drawable area
  if (width <= 0 || height <= 0 || strokes.empty()) return;
  const int tilesX = (width + kTileWidth - 1) / kTileWidth;
  const int tilesY = (height + kTileHeight - 1) / kTileHeight;
  const std::size_t tiles = static_cast<std::size_t>(tilesX) * static_cast<std::size_t>(tilesY);

  // A small batch (the live preview ends one at each of its hundreds of showings) gives each
  // tile a handful of strokes: sorting them gains no reuse of the cache, and handing the tiles
  // to another thread costs more than laying them. Its strokes are laid in their order here.
  if (strokes.size() < kStrokesPerTileToSort * tiles) {
    const std::vector<std::uint8_t*> rows = drawing.RowTable();
    const Clip all{0, 0, width, height};
    for (const PlannedStroke& stroke : strokes) Lay(stroke, rows.data(), all, wide);
    return;
  }

  // The tiles a stroke touches, or false when it misses the drawable area.
  auto span = [&](const PlannedStroke& s, int& tx0, int& ty0, int& tx1, int& ty1) {
    const int left = s.x - s.size / 2, top = s.y - s.size / 2;
    const int x0 = std::max(left, 0), y0 = std::max(top, 0);
    const int x1 = std::min(left + s.size, width), y1 = std::min(top + s.size, height);
    if (x0 >= x1 || y0 >= y1) return false;
    tx0 = x0 / kTileWidth;
    tx1 = (x1 - 1) / kTileWidth;
    ty0 = y0 / kTileHeight;
    ty1 = (y1 - 1) / kTileHeight;
    return true;
  };

  // A stable counting sort of the strokes by tile: each tile lists its strokes in their order.
  std::vector<std::uint32_t> first(tiles + 1, 0);
  for (const PlannedStroke& s : strokes) {
    int tx0, ty0, tx1, ty1;
    if (!span(s, tx0, ty0, tx1, ty1)) continue;
    for (int ty = ty0; ty <= ty1; ++ty)
      for (int tx = tx0; tx <= tx1; ++tx) ++first[static_cast<std::size_t>(ty) * tilesX + tx + 1];
  }
  for (std::size_t t = 0; t < tiles; ++t) first[t + 1] += first[t];
  std::vector<std::uint32_t> order(first[tiles]);
  std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
  for (std::size_t k = 0; k < strokes.size(); ++k) {
    int tx0, ty0, tx1, ty1;
    if (!span(strokes[k], tx0, ty0, tx1, ty1)) continue;
    for (int ty = ty0; ty <= ty1; ++ty)
      for (int tx = tx0; tx <= tx1; ++tx) order[next[static_cast<std::size_t>(ty) * tilesX + tx]++] = static_cast<std::uint32_t>(k);
  }

  const std::vector<std::uint8_t*> rows = drawing.RowTable();
  ForEachRowBand(0, tilesY, 1, [&](int begin, int end) {
    for (int ty = begin; ty < end; ++ty)
      for (int tx = 0; tx < tilesX; ++tx) {
        const std::size_t t = static_cast<std::size_t>(ty) * tilesX + tx;
        const Clip clip{tx * kTileWidth, ty * kTileHeight, std::min((tx + 1) * kTileWidth, width),
                        std::min((ty + 1) * kTileHeight, height)};
        // A tile's strokes lie far apart in the batch and their stamps anywhere in the shared
        // table, so each would wait for memory: the stroke, its stamp and the stamp's rows are
        // asked for 24, 16 and 8 strokes ahead.
        const std::uint32_t endStroke = first[t + 1];
        for (std::uint32_t k = first[t]; k < endStroke; ++k) {
          if (k + 24 < endStroke) __builtin_prefetch(&strokes[order[k + 24]]);
          if (k + 16 < endStroke) __builtin_prefetch(strokes[order[k + 16]].stamp);
          if (k + 8 < endStroke) {
            const PreparedStamp* ahead = strokes[order[k + 8]].stamp;
            __builtin_prefetch(ahead->runStart.data());
            __builtin_prefetch(ahead->runs.data());
            __builtin_prefetch(ahead->levels.data());
          }
          Lay(strokes[order[k]], rows.data(), clip, wide);
        }
      }
  });
}

}  // namespace brumeleaf
