#pragma once
// The pixels where the oil pastel may still place a stamp: those whose red differs from the
// source's by at least the search tolerance. The stamp loop draws random positions until it
// meets one; the count tells it beforehand whether one exists at all, so the search cannot
// run forever on a picture the drawing already matches (a white one, for instance).
//
// The answer for every pixel is kept as one bit: the search makes several draws per stamp,
// and reading two 24-bit pictures at random places costs two cache misses per draw, while
// the bits of a 12-megapixel picture (1.5 MB) stay in the cache.
//
// Alongside, one byte per pixel holds the distance of the drawing from the source, the sum of
// |source - drawing| over the three channels, capped at 255. Late in the run the drawing is
// close to the source almost everywhere and nearly every small stamp is rejected for want of
// error to remove; these bytes tell so without reading the two pictures.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/BitGrid.h"
#include "imaging/Bitmap.h"
#include "imaging/LargePageBuffer.h"

namespace brumeleaf {

class StampSearchTargets {
 public:
  StampSearchTargets(const Bitmap& source, const Bitmap& drawing, int tolerance, bool trackDistances = true);

  bool Any() const { return count_ > 0; }
  std::int64_t Count() const { return count_; }
  bool Qualifies(int x, int y) const {
    return bits_.Test(x, y);
  }
  // Starts loading the word that holds the answer for (x, y).
  void FetchBit(int x, int y) const { __builtin_prefetch(bits_.Row(y) + (x >> 6)); }

  // |source - drawing| summed over the channels at (x, y), or kDistanceCap when that is more.
  // Only while the distances are tracked (they are from the start).
  int Distance(int x, int y) const { return distance_.Data()[TileRow(y) + TileColumn(x)]; }
  static constexpr int kDistanceCap = 255;
  // The sum of the distances of `rows` rows from (left, top) under a mask (0xFF where a pixel
  // counts, 0 elsewhere) of up to kMaskColumns columns, or -1 when a counted distance is capped.
  // The mask's rows are kMaskStride bytes apart, column i of row j at MaskIndex(i, j); the
  // other bytes stay 0, and so do its columns from `columns` (at most kMaskColumns) on.
  // Needs 0 <= left < width, 0 <= top, top + rows <= height.
  static constexpr int kMaskColumns = 24;
  static constexpr int kMaskStride = 40;
  static constexpr std::size_t MaskIndex(int i, int j) {
    return static_cast<std::size_t>(j * kMaskStride + kTile + i);
  }
  int MaskedDistance(const std::uint8_t* mask, int columns, int rows, int left, int top) const;
  // The largest distance byte in the 16 x 16 squares that the rectangle of `columns` x `rows`
  // pixels at (left, top) reaches, clipped to the picture (0 when it lies outside). One byte a
  // square, so those of a whole picture stay in the cache where the distances would not: a
  // small stamp is often turned down on this bound alone. Only while the distances are tracked.
  int MostDistant(int left, int top, int columns, int rows) const {
    // Inside the picture, up to kMaxTile columns and rows reach at most two squares each way:
    // four loads.
    if (left >= 0 && top >= 0 && columns > 0 && rows > 0 && columns <= kMaxTile && rows <= kMaxTile &&
        left + columns <= width_ && top + rows <= height_) {
      const auto square = [](int at) { return static_cast<std::size_t>(static_cast<unsigned>(at) / kMaxTile); };
      const std::size_t across = static_cast<std::size_t>(tilesAcross_);
      const std::uint8_t* first = tileMax_.data() + square(top) * across;
      const std::uint8_t* last = tileMax_.data() + square(top + rows - 1) * across;
      const std::size_t a = square(left), b = square(left + columns - 1);
      return std::max(std::max(first[a], first[b]), std::max(last[a], last[b]));
    }
    return MostDistantClipped(left, top, columns, rows);
  }
  // Starts loading the distances of the size x size square at (left, top), clipped.
  void FetchDistances(int left, int top, int size) const;

  // Call after every change of the drawing inside the rectangle [left, right) x [top, bottom)
  // (clipped to the picture): its bits and the count follow the drawing again.
  void Refresh(int left, int top, int right, int bottom);
  // The same over a stamp whose change differs from row to row: row top + j (j < rows) changed
  // over the columns [left + first, left + end) that span(j, first, end) sets, and nowhere when
  // first >= end. Changed pixels beyond the picture are left out.
  template <typename Span>
  void RefreshRows(int left, int top, int rows, Span&& span) {
    ++version_;
    const auto clipped = [&](int j, int& from, int& to) {
      span(j, from, to);
      from = std::max(left + from, 0);
      to = std::min(left + to, width_);
      return top + j >= 0 && top + j < height_ && from < to;
    };
    // The bits of a stamp's rows lie a row of the picture apart: ask for them all at once.
    int from = 0, to = 0;
    for (int j = 0; j < rows; ++j)
      if (clipped(j, from, to)) FetchBitRow(top + j, from, to);
    int first = width_, end = 0;
    for (int j = 0; j < rows; ++j)
      if (clipped(j, from, to)) {
        RefreshRow(top + j, from, to);
        first = std::min(first, from);
        end = std::max(end, to);
      }
    RefreshTileMaxima(first, top, end, top + rows);
  }
  // Counts the calls to Refresh: while it stays the same, so do the bits.
  std::uint64_t Version() const { return version_; }

  // Whether Refresh keeps the distances up to date. Turning it on brings them up to date for
  // the whole picture.
  void TrackDistances(bool on);
  bool TracksDistances() const { return trackDistances_; }

 private:
  static constexpr int kTile = 8;  // the distances' tiles are kTile x kTile bytes
  static constexpr int kTileBytes = kTile * kTile;
  // The largest distances are kept per kMaxTile x kMaxTile pixels: at 16, those of a
  // 12-megapixel picture take 47 KB.
  static constexpr int kMaxTile = 16;
  // Where the distances of row y start, and where column x lies from there.
  std::size_t TileRow(int y) const {
    return static_cast<std::size_t>(y / kTile) * tileRowBytes_ + static_cast<std::size_t>(y % kTile) * kTile;
  }
  static std::size_t TileColumn(int x) {
    return static_cast<std::size_t>(x / kTile) * kTileBytes + static_cast<std::size_t>(x % kTile);
  }
  // The bits (and distances when `distances`, the start of the row's distances, is not null)
  // of pixels [left, right) of one row, written into `fresh`, whose word 0 holds the bits of
  // pixels 64 * (left / 64) onwards.
  static void FreshRow(const std::uint8_t* source, const std::uint8_t* drawn, std::uint8_t* distances, int left,
                       int right, int tolerance, std::uint64_t* fresh);
  // The same 16 pixels at a time; blocks may read past `right` up to the row's end, `width`.
  static void FreshRowWide(const std::uint8_t* source, const std::uint8_t* drawn, std::uint8_t* distances,
                           int left, int right, int width, int tolerance, std::uint64_t* fresh);

  void FetchBitRow(int y, int left, int right) const {
    __builtin_prefetch(bits_.Row(y) + (left >> 6));
    __builtin_prefetch(bits_.Row(y) + ((right - 1) >> 6));
  }
  // MostDistant for any rectangle.
  int MostDistantClipped(int left, int top, int columns, int rows) const;
  // Brings the tiles' largest distances up to date over the rectangle [left, right) x
  // [top, bottom) (clipped), once its rows are refreshed.
  void RefreshTileMaxima(int left, int top, int right, int bottom);
  // Refresh of row y over [left, right), which lies inside the picture and is not empty.
  void RefreshRow(int y, int left, int right);
  // Merges one row's new bits (as FreshRow leaves them) into its words over [left, right) and
  // returns the change of the count.
  static int MergeRow(std::uint64_t* row, const std::uint64_t* fresh, int left, int right);

  std::vector<const std::uint8_t*> sourceRows_;
  std::vector<const std::uint8_t*> drawingRows_;
  BitGrid bits_;
  // In tiles, a row of tiles after another; in large pages, since small stamps read them at
  // random places millions of times.
  LargePageBuffer distance_;
  std::size_t tileRowBytes_ = 0;
  std::vector<std::uint8_t> tileMax_;  // the largest distance in each kMaxTile square, row after row
  int tilesAcross_ = 0;
  int width_;
  int height_;
  int tolerance_;
  std::int64_t count_ = 0;
  std::uint64_t version_ = 0;
  bool trackDistances_ = true;
  std::vector<std::uint64_t> fresh_;  // one row's new bits
};

}  // namespace brumeleaf
