#pragma once
// The oil pastel's stamp laid out for its two error passes over whole rows. Every attempt
// sums the source under the stamp's ink, the error before and the error after laying the
// stamp; by far most attempts are rejected, so these sums are nearly all of the effect's work.
// Walking a list of ink pixels costs a dozen instructions per pixel; here each stamp row is
// a run of 3 * size bytes with byte masks (0xFF under an ink pixel), and the sums take 16
// bytes at a time. The sums are of integers, so their order does not change them.
//
// The passes read whole padded 16-byte blocks: a stamp qualifies for them only where those
// reads stay inside the picture's rows (see Covers).

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kPastelInkBelow = 250;  // a stamp pixel is ink when its red is below this

class PastelStampRows {
 public:
  // Lays out `stamp` (square, ink where its red is below kPastelInkBelow).
  void Build(const Bitmap& stamp);

  int Size() const { return size_; }
  int InkCount() const { return inkCount_; }
  // The ink counted in the error before (the first 2cx columns and 2cy rows).
  int CountedInkCount() const { return countedInkCount_; }
  // The columns [first, end) of stamp row j from its first to its last laid ink pixel (the
  // pixels an even stamp changes), first >= end when it has none.
  void LaidColumns(int j, int& first, int& end) const {
    first = laidFirst_[static_cast<std::size_t>(j)];
    end = laidEnd_[static_cast<std::size_t>(j)];
  }

  // Whether the passes may read the stamp at top-left (left, top) in a width x height picture:
  // every stamp pixel strictly inside the picture's outer frame, the shifted candidate window
  // (one up and left) inside, and the padded stamp rows short of each picture row's end.
  bool Covers(int left, int top, int width, int height) const {
    return left >= 1 && top >= 1 && top + size_ <= height - 1 && 3 * left + stride_ <= 3 * width;
  }

  // Starts loading the first rows under the stamp at top-left (left, top), clipped to the
  // picture: the position of the next attempt is known while this one is summed.
  void FetchFirstRows(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                      int width, int height) const;

  // Starts loading what laying an odd stamp at a covered position (left, top) and refreshing
  // its square read besides the ink the passes read: each row's bytes around its ink, in the
  // source and the drawing, and the drawing's row above the stamp.
  void FetchSquare(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top) const;

  struct Under {
    std::int64_t sum[3] = {0, 0, 0};  // source levels under the ink, blue, green, red
    int before = 0;                   // |source - drawing| under the ink of the first 2cx x 2cy
  };
  // Pass 1 at a covered position. `source` and `drawing` are row tables. `firstRowsFetched`:
  // FetchFirstRows was called for this position, so its first rows are not asked for again.
  Under SumUnder(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                 bool firstRowsFetched = false) const;

  // Pass 2 over the laid ink (the stamp without its outermost rows and columns) at a covered
  // position: the sum of |source - blend| where blend = (r * level + mean * (255 - level)) >> 8
  // and r is the drawing `shift` pixels up and left of the stamp pixel. Stops adding once the
  // sum reaches `limit` (the stamp is then rejected whatever follows) and returns it.
  int LaidError(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                int shift, const int mean[3], int start, int limit) const;

  // A stamp partly outside the picture's inner frame: only its rows [firstRow, endRow) and
  // columns [firstColumn, endColumn) count (the clamped reach of the inner frame). Each row's
  // part is copied into a scratch row, so nothing outside the picture is read.
  struct Part {
    int firstRow = 0, endRow = 0, firstColumn = 0, endColumn = 0;
  };
  // Pass 1 over the part: the sums of SumUnder restricted to it, and in `count` the ink pixels
  // it holds.
  Under SumUnderPart(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                     const Part& part, int& count) const;
  // Pass 2 (LaidError) restricted to the part.
  int LaidErrorPart(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                    int shift, const Part& part, const int mean[3], int start, int limit) const;

  // Whether SumUnder, LaidError and Lay may take 32 bytes at a time where the processor can
  // (the default); the tests turn it off to compare the 16-byte form with it.
  static void AllowWide(bool allow) { allowWide_ = allow; }

  // Lays a kept stamp into the drawing at a covered position. With shift 0 the laid ink
  // becomes (d * level + mean * (255 - level)) >> 8 and nothing else changes. With shift 1
  // (an odd stamp) the whole size x size square first takes the drawing one pixel up and left
  // of it, its first row and column repeating the square's own first row and column (the
  // candidate's window), and the laid ink is blended onto that.
  void Lay(std::uint8_t* const* drawing, int left, int top, int shift, const int mean[3]) const;

 private:
  static constexpr int kBlock = 16;
  // Rows fetched ahead of the one being summed.
  static constexpr int kAhead = 8;

  // Starts loading the part of stamp row j's picture rows (at row y) that holds its ink.
  static inline bool allowWide_ = true;
  void Fetch(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int y, int j) const;
  // SumUnder 32 bytes at a time, on processors with AVX2.
  Under SumUnderWide(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                     bool firstRowsFetched) const;
  // Lay 32 bytes at a time, on processors with AVX2.
  void LayWide(std::uint8_t* const* drawing, int left, int top, int shift, const int mean[3]) const;
  // LaidError 32 bytes at a time, on processors with AVX2.
  int LaidErrorWide(const std::uint8_t* const* source, const std::uint8_t* const* drawing, int left, int top,
                    int shift, const int mean[3], int start, int limit) const;

  const std::uint8_t* Row(const std::vector<std::uint8_t>& plane, int j) const {
    return plane.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(stride_);
  }

  int size_ = 0;
  int blocks_ = 0;  // 16-byte blocks per row, an even number
  int stride_ = 0;  // blocks_ * 16
  int inkCount_ = 0;
  int countedInkCount_ = 0;
  std::vector<std::uint8_t> ink_;     // 0xFF under every ink pixel
  std::vector<std::uint8_t> before_;  // ink counted in the error before (i < 2cx, j < 2cy)
  std::vector<std::uint8_t> laid_;    // ink laid in the mean colour (0 < i, j < size - 1)
  std::vector<std::uint8_t> level_;   // the ink's red level, repeated on its three bytes
  std::vector<std::uint8_t> inside_;  // one row: 0xFF on the 3 * size bytes of a stamp row
  // The blocks [firstBlock_[j], endBlock_[j]) of stamp row j, an even number, hold all its ink
  // (none when they are equal): the patch is round, so its rows near the top and bottom are
  // short or empty, and the passes neither read nor fetch the blocks around them.
  std::vector<int> firstBlock_, endBlock_;
  std::vector<int> firstPhase_;  // firstBlock_ mod 3, the channel phase the row's blocks start at
  std::vector<int> laidFirst_, laidEnd_;
  // For the passes over a part: its columns' bytes (0xFF) and the rows copied from the source
  // and the drawing, one stride each.
  mutable std::vector<std::uint8_t> scratch_;
  std::uint8_t* Scratch(int k) const { return scratch_.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(stride_); }
  // The bytes of a part's columns within a stamp row, and the 16-byte blocks they reach.
  struct PartBytes {
    int from, bytes, firstBlock, endBlock;
  };
  // Marks the part's columns in Scratch(0) (0xFF under them, zero elsewhere).
  PartBytes MarkColumns(const Part& part) const;

  // Lay works from the bottom row up, so that with shift 1 row j reads row j - 1 still as it
  // was; its last row is the stamp's last (shift 1) or the one before (shift 0).
  int LastLaidRow(int shift) const { return shift ? size_ - 1 : size_ - 2; }
  // Stamp row j of a lay: the drawing row it writes at `d`, the window row it reads at `r`, the
  // window's first pixel (which a shifted row keeps), and the blocks it changes.
  struct LayRow {
    std::uint8_t* d;
    const std::uint8_t* r;
    std::uint8_t first[3];
    int firstBlock, endBlock;
  };
  LayRow RowToLay(std::uint8_t* const* drawing, int left, int top, int shift, int j) const;
  // Lay's row 0, which with shift 1 takes itself one pixel back.
  void FinishLay(std::uint8_t* const* drawing, int left, int top, int shift) const;
};

}  // namespace brumeleaf
