#include "effects/drawing/PencilStrokeTiles.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effects/drawing/PencilStampTable.h"
#include "imaging/Colour.h"
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

// The part of the drawing a tile covers, within the drawable area (all but the last column and
// row).
struct Clip {
  int x0, y0, x1, y1;
};

// Lays one stroke inside `clip`. `Keep` is a template argument so that the divisions by 5 and
// 6 compile to multiplications. With a weight w of at most 256 (every edge stroke, most shading
// strokes) no term can be negative, so both truncating divisions are floors and fold into one:
// (keep d + (w d + (256 - w) s) div 256) div (keep + 1)
//   = ((256 keep + w) d + (256 - w) s) div (256 (keep + 1)).
template <int Keep, bool Unsigned>
void LayClipped(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip);

#if defined(__SSE2__)
// The folded formula of LayClipped for the three channels of a pixel at once: pmaddwd forms
// (256 keep + w) d + (256 - w) s in 32 bits; after the shift by 8 the quotient by keep + 1 is
// taken by a multiplication (exact for every reachable value, at most 2025), and packing with
// unsigned saturation is the clamp to 0..255. Only the pixel's own three bytes are read and
// written: its neighbour may belong to a tile another thread is laying.
template <int Keep>
void LayClippedFolded(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  static_assert(Keep == 4 || Keep == 5);
  const PreparedStamp& stamp = *stroke.stamp;
  const int left = stroke.x - stamp.size / 2;
  const int top = stroke.y - stamp.size / 2;
  const short ofDrawing = static_cast<short>(256 * Keep + stroke.mix.weight);
  const short ofStamp = static_cast<short>(256 - stroke.mix.weight);
  const __m128i coefficients = _mm_set_epi16(0, 0, ofStamp, ofDrawing, ofStamp, ofDrawing, ofStamp, ofDrawing);
  // x div 5 = (x * 52429) >> 18 and x div 6 = (x * 43691) >> 18 for 0 <= x < 2^16 / 8.
  const __m128i magic = _mm_set1_epi16(static_cast<short>(Keep == 4 ? 52429 : 43691));
  const int* o = stroke.mix.offset;
  const __m128i offsets = _mm_set_epi16(0, 0, 0, 0, 0, static_cast<short>(o[2]), static_cast<short>(o[1]),
                                        static_cast<short>(o[0]));
  const __m128i zero = _mm_setzero_si128();
  const int firstRow = std::max(0, clip.y0 - top), endRow = std::min(stamp.size, clip.y1 - top);
  for (int j = firstRow; j < endRow; ++j) {
    std::uint8_t* row = rows[top + j];
    const StampPixel* px = stamp.pixels.data() + stamp.rowStart[static_cast<std::size_t>(j)];
    const StampPixel* end = stamp.pixels.data() + stamp.rowStart[static_cast<std::size_t>(j) + 1];
    for (; px != end; ++px) {
      const int tx = left + px->i;
      if (tx < clip.x0 || tx >= clip.x1) continue;
      std::uint8_t* d = row + 3 * tx;
      std::uint32_t level;
      std::memcpy(&level, px->level, 4);
      const __m128i drawn = _mm_cvtsi32_si128(static_cast<int>(d[0] | (d[1] << 8) | (d[2] << 16)));
      const __m128i pairs = _mm_unpacklo_epi16(_mm_unpacklo_epi8(drawn, zero),
                                               _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(level)), zero));
      const __m128i sums = _mm_srli_epi32(_mm_madd_epi16(pairs, coefficients), 8);
      __m128i v = _mm_packs_epi32(sums, sums);
      v = _mm_add_epi16(_mm_srli_epi16(_mm_mulhi_epu16(v, magic), 2), offsets);
      const std::uint32_t out = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
      d[0] = static_cast<std::uint8_t>(out);
      d[1] = static_cast<std::uint8_t>(out >> 8);
      d[2] = static_cast<std::uint8_t>(out >> 16);
    }
  }
}
#endif

template <int Keep, bool Unsigned>
void LayClipped(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  const PreparedStamp& stamp = *stroke.stamp;
  const int left = stroke.x - stamp.size / 2;
  const int top = stroke.y - stamp.size / 2;
  const int weight = stroke.mix.weight;
  const int* offset = stroke.mix.offset;
  const unsigned ofDrawing = static_cast<unsigned>(256 * Keep + weight);
  const unsigned ofStamp = static_cast<unsigned>(256 - weight);
  const int firstRow = std::max(0, clip.y0 - top), endRow = std::min(stamp.size, clip.y1 - top);
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

void Lay(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  const bool unsignedTerms = stroke.mix.weight >= 0 && stroke.mix.weight <= 256;
#if defined(__SSE2__)
  if (unsignedTerms) {
    if (stroke.mix.edge)
      LayClippedFolded<4>(stroke, rows, clip);
    else
      LayClippedFolded<5>(stroke, rows, clip);
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
  for (int j = 0; j < size; ++j) {
    stamp.rowStart.push_back(static_cast<int>(stamp.pixels.size()));
    const std::uint8_t* row = scaled.ScanLine(j);
    for (int i = 0; i < size; ++i) {
      const std::uint8_t* p = row + 3 * i;
      if (p[0] > kStrokeLightest || p[1] > kStrokeLightest || p[2] > kStrokeLightest) continue;
      stamp.pixels.push_back({static_cast<std::int16_t>(i), static_cast<std::int16_t>(j), {p[0], p[1], p[2], 0}});
    }
  }
  stamp.rowStart.push_back(static_cast<int>(stamp.pixels.size()));
  return stamp;
}

const PreparedStamp& StampCache::Get(int entry, int size) {
  if (size > kLargestCachedSize) {
    large_.push_back(std::make_unique<PreparedStamp>(PrepareStamp(entry, size)));
    return *large_.back();
  }
  if (cache_.empty()) cache_.resize(static_cast<std::size_t>(kPencilStampAngles) * (kLargestCachedSize + 1));
  std::unique_ptr<PreparedStamp>& slot = cache_.at(static_cast<std::size_t>(entry) * (kLargestCachedSize + 1) +
                                                   static_cast<std::size_t>(size));
  if (!slot) slot = std::make_unique<PreparedStamp>(PrepareStamp(entry, size));
  return *slot;
}

void LayStrokes(const std::vector<PlannedStroke>& strokes, Bitmap& drawing) {
  const int width = drawing.Width() - 1, height = drawing.Height() - 1;  // the drawable area
  if (width <= 0 || height <= 0 || strokes.empty()) return;
  const int tilesX = (width + kTileWidth - 1) / kTileWidth;
  const int tilesY = (height + kTileHeight - 1) / kTileHeight;
  const std::size_t tiles = static_cast<std::size_t>(tilesX) * static_cast<std::size_t>(tilesY);

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
        for (std::uint32_t k = first[t]; k < first[t + 1]; ++k) {
          Lay(strokes[order[k]], rows.data(), clip);
        }
      }
  });
}

}  // namespace brumeleaf
