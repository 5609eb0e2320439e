#pragma once
// Laying one Painting 10 stroke: the brush stamped at each of its centres in turn, every row
// of every stamp blended by StampBlend. Stamp after stamp is the definition; but a stamp's
// blend reads nothing of the canvas except the pixel it changes, and the bad pixels that
// may end the stroke depend on the photograph and the brush alone. So once it is known how
// many stamps are laid, every canvas pixel may take its stamps in their order on its own: the
// sweep goes over the canvas row by row, keeps 32 pixels of the canvas and the photograph in
// registers and applies to them every stamp over them, instead of reading and writing the
// canvas again for each stamp (a stroke of the high levels lays some fifty stamps over each
// pixel it crosses). The paint each brush pixel mixes is worked out once per stroke.

#include <cstdint>
#include <vector>

#include "effects/painting/StampBlend.h"

namespace brumeleaf {

struct StrokeStamps {
  // The picture as planes (blue, green, red) of width x height levels, each readable (and the
  // canvas writable) kStampPadding levels past its end.
  int width = 0;
  int height = 0;
  const std::uint8_t* photo[3] = {nullptr, nullptr, nullptr};
  std::uint8_t* canvas[3] = {nullptr, nullptr, nullptr};
  // The brush: alpha, the strength of each alpha for this stroke and the paint share, each
  // brushWidth x brushHeight and readable kStampPadding elements past the end.
  int brushWidth = 0;
  int brushHeight = 0;
  const std::uint8_t* alpha = nullptr;
  const std::uint16_t* strength = nullptr;
  const std::uint16_t* paint = nullptr;
  // The stamps' centres in their order. Row r (-hh <= r < hh, hh at most brushHeight / 2) of a
  // stamp paints the columns lo[r + hh] .. hi[r + hh] around its centre (none where lo > hi),
  // which must lie within the brush's columns when its centre column brushWidth / 2 is put on
  // the stamp's centre, and brush row r + brushHeight / 2.
  const int* cx = nullptr;
  const int* cy = nullptr;
  int count = 0;
  int hh = 0;
  const int* lo = nullptr;
  const int* hi = nullptr;
  // A stamp is laid only while the bad pixels so far are at most the budget. With
  // abandonAtOnce the stroke also ends at the pixel that takes them above it.
  std::int64_t budget = 0;
  bool abandonAtOnce = false;
  // Per canvas row, the first and last column a stamp has reached, widened by the stroke
  // (null: not kept).
  int* changedFirst = nullptr;
  int* changedLast = nullptr;
};

// Buffers of the sweep, kept from stroke to stroke.
struct StrokeSweepScratch {
  // The stroke's table of the brush pixels its stamp rows paint: the paint each mixes (blue
  // and green, red and the strength, two bytes to a word), the paint share times each channel
  // of that paint, and whether the pixel paints at all (alpha at least 15, within its row's
  // columns).
  std::vector<std::uint16_t> blueGreen, redStrength, shareMix[3];
  std::vector<std::uint8_t> painting;
  std::vector<std::int64_t> badOfStamp;
  // The stamp rows over each canvas row of the stroke ("entries"), side by side: their first
  // and last canvas columns, their stamp's index and the table index of canvas column 0.
  std::vector<int> entryLeft, entryRight, entryStamp, entryAt;
  std::vector<int> stampAt;  // per stamp, its part of entryAt
  std::vector<int> rowEntries;  // per canvas row of the stroke, where its entries start
  std::vector<int> rowSpan;     // per canvas row, the first and last column of its entries
};

// Lays the stroke; returns whether it ended with at most `budget` bad pixels. The sweep where
// the processor has AVX-512 and the stroke does not end inside a stamp, else stamp by stamp.
bool LayStrokeStamps(const StrokeStamps& stroke, const StampPaint& paint, StrokeSweepScratch& scratch);

// Stamp after stamp, each row by BlendStampRows (`plain`: one pixel at a time), as defined.
bool LayStrokeStampByStamp(const StrokeStamps& stroke, const StampPaint& paint, bool plain = false);

// The sweep on its own, for the tests; false from `available` where the processor lacks
// AVX-512, a strength or paint share exceeds 255, or the stroke abandons at once and does
// reach its budget (nothing is laid then).
bool LayStrokeSweep(const StrokeStamps& stroke, const StampPaint& paint, StrokeSweepScratch& scratch,
                    bool& available);

}  // namespace brumeleaf
