#include "effects/drawing/PencilStrokeTiles.h"

#include <algorithm>

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
// 6 compile to multiplications.
template <int Keep>
void LayClipped(const PlannedStroke& stroke, std::uint8_t* const* rows, const Clip& clip) {
  const PreparedStamp& stamp = *stroke.stamp;
  const int left = stroke.x - stamp.size / 2;
  const int top = stroke.y - stamp.size / 2;
  const int weight = stroke.mix.weight;
  const int* offset = stroke.mix.offset;
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
        const int v = (Keep * dc + (weight * dc + (256 - weight) * px->level[c]) / 256) / (Keep + 1);
        d[c] = ClampLevel(v + offset[c]);
      }
    }
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
      stamp.pixels.push_back({static_cast<std::int16_t>(i), static_cast<std::int16_t>(j), {p[0], p[1], p[2]}});
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
          const PlannedStroke& stroke = strokes[order[k]];
          if (stroke.mix.edge)
            LayClipped<4>(stroke, rows.data(), clip);
          else
            LayClipped<5>(stroke, rows.data(), clip);
        }
      }
  });
}

}  // namespace brumeleaf
