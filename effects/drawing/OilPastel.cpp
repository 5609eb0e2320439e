#include "effects/drawing/OilPastel.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/Frames.h"
#include "imaging/ParallelRows.h"
#include "effects/drawing/PastelStampRows.h"
#include "effects/drawing/StampLookahead.h"
#include "effects/drawing/StampSearchTargets.h"
#include "effects/painting/EdgeStrokes.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "resources/OilPastelStamp.h"

namespace brumeleaf {

namespace {

constexpr Colour kPaper = MakeColour(255, 255, 240);
constexpr int kInkBelow = kPastelInkBelow;
constexpr std::int64_t kBudgetCap = 5000000000LL;
// Stamps up to this size first ask the distance bytes whether any error can be removed at all;
// larger ones nearly always can.
constexpr int kQuickRejectSize = 24;
// Stamps whose counted ink spans at most this many columns and rows first ask the tiles'
// largest distances (one to four tiles for the smallest, which are nearly all turned down).
constexpr int kTileBoundSpan = 16;
// Positions of small stamps found ahead of the one being tried (deeper measured no faster:
// the fetches then compete with those of the attempts in between).
constexpr int kSmallStampsAhead = 4;
// Draws between two looks at the stop flag while searching for a stamp position.
constexpr std::uint32_t kSearchStopCheck = 1u << 20;

struct InkPixel {
  std::int16_t i, j;
  std::uint8_t level;  // red level of the stamp: 0 takes all the colour, 249 almost none
};

struct Levels {
  int c[3] = {0, 0, 0};  // blue, green, red
};

// Everything derived from the sliders once at the start.
struct Plan {
  int acceptance = 0;       // k: a stamp is kept when its error falls below k / 1024 of before
  int tolerance = 0;        // q: a position needs this much red difference
  int largest = 0;          // Smax
  std::int64_t budget = 0;  // M: attempts at size s are M div s^2
};

Plan PlanFor(const OilPastelSettings& s, int width, int height) {
  Plan plan;
  plan.acceptance = s.precision * 150 / 100 + 640;
  plan.tolerance = (255 - s.precision) / 10;
  plan.largest = s.maximumSize + 6;
  const std::int64_t half = static_cast<std::int64_t>(width) * height / 2;
  const std::int64_t spread = (s.maximumSize - s.minimumSize) / 100 + 1;
  plan.budget = std::min(half * s.iterations / spread * 2, kBudgetCap);
  return plan;
}

class PastelRun {
 public:
  PastelRun(const Bitmap& source, Bitmap& drawing, const OilPastelSettings& settings, RunContext& ctx)
      : source_(source), drawing_(drawing), settings_(settings), ctx_(ctx), random_(ctx.Rand()),
        width_(source.Width()), height_(source.Height()), plan_(PlanFor(settings, width_, height_)),
        targets_(source, drawing, plan_.tolerance, plan_.largest <= kQuickRejectSize),
        lookahead_(targets_, width_, height_) {}

  // The stamp loop, from the largest size down. Returns false when the run was stopped.
  bool Run();
  int LargestSize() const { return plan_.largest; }

 private:
  void BuildRowTables();
  void StartStamp();
  void Shrink();
  void RefreshStamp();
  void CollectInk();
  bool FindPosition(int& x, int& y);
  bool StrictlyInside(int X, int Y) const { return X >= 1 && X <= width_ - 2 && Y >= 1 && Y <= height_ - 2; }
  // Ink laid in the stamp's colour: all but the stamp's outermost rows and columns.
  bool Laid(const InkPixel& p) const { return p.i > 0 && p.i < size_ - 1 && p.j > 0 && p.j < size_ - 1; }
  static std::uint8_t Blend(int level, int ink, int mean) {
    return static_cast<std::uint8_t>((level * ink + mean * (255 - ink)) >> 8);
  }
  void MapWindow(int x, int y);
  void Try(int x, int y);
  void TryCovered(int x, int y);
  bool SurelyTooClose(int left, int top) const;
  bool BoundedTooClose(int left, int top) const;
  void SetDistanceBound();
  template <bool inside>
  int RingError(int left, int top) const;
  void Keep(int x, int y, const Levels& mean);
  void Prefetch(int left, int top) const;
  void PrefetchNext();
  void LayInPlace(int left, int top, const Levels& mean);
  void RefreshAfterLaying(int left, int top);
  void BuildCandidate(const Levels& mean);
  void Accept(int x, int y);
  void ShowInPreview(std::int64_t attempt);
  std::int64_t Quota() const { return plan_.budget / (static_cast<std::int64_t>(size_) * size_); }

  const Bitmap& source_;
  Bitmap& drawing_;
  const OilPastelSettings settings_;
  RunContext& ctx_;
  Random& random_;
  const int width_;
  const int height_;
  const Plan plan_;
  StampSearchTargets targets_;
  StampLookahead lookahead_;
  std::vector<const std::uint8_t*> sourceRows_;
  std::vector<std::uint8_t*> drawingRows_;
  Bitmap stamp_;      // the current stamp, size x size
  Bitmap resampled_;  // the pastel picture at the current size, unrotated
  Bitmap candidate_;  // the drawing under the stamp with the stamp laid on it
  std::vector<InkPixel> laidInk_;  // the ink laid in the stamp's colour, row by row
  // The ink on the stamp's outermost rows and columns, as the rows and columns (from the
  // stamp's top-left corner) of its own pixel and of the window pixel it is compared with.
  struct RingPixel {
    int row, column, windowRow, windowColumn;
  };
  std::vector<RingPixel> ringPixels_;
  // The ink inside the first 2cx columns and 2cy rows, as byte masks of the distance rows
  // (for stamps up to kQuickRejectSize).
  std::vector<std::uint8_t> countedMask_;
  int boundBelow_ = 0;  // see SetDistanceBound
  PastelStampRows rows_;        // the stamp for the passes over whole rows
  std::vector<int> columnMap_;  // byte offset of the column each stamp column reads
  std::vector<int> rowMap_;     // row each stamp row reads
  // Top-left corners whose first rows FetchFirstRows asked for: the next attempt's (queued)
  // and the current one's (fetched).
  static constexpr int kNoPosition = -1000000;
  int queuedLeft_ = kNoPosition, queuedTop_ = kNoPosition;
  int fetchedLeft_ = kNoPosition, fetchedTop_ = kNoPosition;
  int size_ = 0;
  int cx_ = 0;
  int cy_ = 0;
  bool stopped_ = false;
};

void PastelRun::BuildRowTables() {
  sourceRows_ = source_.RowTable();
  drawingRows_ = drawing_.RowTable();
}

// The first stamp is the pastel picture scaled to the largest size, unrotated.
void PastelRun::StartStamp() {
  size_ = plan_.largest;
  stamp_.SetSize(size_, size_);
  Canvas(stamp_).StretchDraw(Rect{0, 0, size_, size_}, OilPastelStamp());
  candidate_.SetSize(size_, size_);
  cx_ = stamp_.Width() >> 1;
  cy_ = stamp_.Height() >> 1;
  CollectInk();
}

void PastelRun::Shrink() {
  size_ = size_ * 90 / 100;
  targets_.TrackDistances(size_ <= kQuickRejectSize);
  stamp_.Resize(size_, size_);
  candidate_.Resize(size_, size_);
  cx_ = stamp_.Width() >> 1;
  cy_ = stamp_.Height() >> 1;
  queuedLeft_ = queuedTop_ = kNoPosition;  // its first rows were fetched for the old size
}

// A fresh stamp at a random angle: the pastel picture resampled to the current size, rotated,
// and the centre of the rotation copied back (the rotation by 40 degrees enlarges its canvas).
// The copy leaves the stamp's last row and column as resampled.
void PastelRun::RefreshStamp() {
  // The resampled pastel picture is the same for every stamp of a size: made once per size.
  if (resampled_.Width() != stamp_.Width()) {
    resampled_.SetSize(stamp_.Width(), stamp_.Height());
    StretchBilinearFast(OilPastelStamp(), resampled_);
  }
  stamp_.Assign(resampled_);
  RotateBitmapAngle(stamp_, candidate_, static_cast<int>(random_.Next(360)), ctx_);
  const int bw = stamp_.Width(), bh = stamp_.Height();
  const int rw = candidate_.Width(), rh = candidate_.Height();
  // A failed rotation leaves an empty picture and has already stopped the run.
  if (!candidate_.Empty())
    Canvas(stamp_).CopyRect(Rect{0, 0, bw - 1, bh - 1}, candidate_,
                            Rect{(rw - bw) >> 1, (rh - bh) >> 1, (rw + bw) >> 1, (rh + bh) >> 1});
  candidate_.SetSize(bw, bh);
  CollectInk();
}

void PastelRun::CollectInk() {
  laidInk_.clear();
  ringPixels_.clear();
  const int shift = stamp_.Width() % 2;
  static_assert(kQuickRejectSize <= StampSearchTargets::kMaskColumns);
  const bool quick = stamp_.Width() <= kQuickRejectSize;
  countedMask_.assign(quick ? StampSearchTargets::MaskIndex(0, stamp_.Height()) : 0, 0);
  const int span = 2 * (stamp_.Width() >> 1);
  for (int j = 0; j < stamp_.Height(); ++j) {
    const std::uint8_t* row = stamp_.ScanLine(j);
    for (int i = 0; i < stamp_.Width(); ++i) {
      const std::uint8_t red = row[3 * i + 2];
      if (red >= kInkBelow) continue;
      const InkPixel p{static_cast<std::int16_t>(i), static_cast<std::int16_t>(j), red};
      if (Laid(p)) {
        laidInk_.push_back(p);
      } else {
        const int rowBack = j > 0 ? shift : 0, columnBack = i > 0 ? shift : 0;
        ringPixels_.push_back(RingPixel{j, i, j - rowBack, i - columnBack});
      }
      if (quick && i < span && j < span) countedMask_[StampSearchTargets::MaskIndex(i, j)] = 0xFF;
    }
  }
  rows_.Build(stamp_);
  SetDistanceBound();
}

bool PastelRun::FindPosition(int& x, int& y) {
  // Without a qualifying pixel the drawing already matches the source wherever the search
  // could look, and the search would never end: the stamping is finished. While one exists
  // the draws are exactly those of an unbounded search.
  if (!targets_.Any()) return false;
  if (lookahead_.Take(random_, x, y)) return true;
  for (std::uint32_t draws = 1;; ++draws) {
    x = static_cast<int>(random_.Next(static_cast<std::uint32_t>(width_)));
    y = static_cast<int>(random_.Next(static_cast<std::uint32_t>(height_)));
    if (targets_.Qualifies(x, y)) return true;
    // Few qualifying pixels in a large picture can take many draws: stay stoppable.
    if (draws % kSearchStopCheck == 0 && ctx_.StopRequested()) {
      stopped_ = true;
      return false;
    }
  }
}

// Where each stamp position reads the drawing in the candidate: the rectangle (x - cx, y - cy,
// x + cx, y + cy) scaled to the stamp's full size by repeating pixels, so for an odd size it is
// one pixel smaller and shifted by one. Positions beyond the picture repeat its edge; they
// only reach places that are clipped away or lie on the picture's outer frame.
void PastelRun::MapWindow(int x, int y) {
  const int spanX = 2 * cx_, spanY = 2 * cy_;
  columnMap_.resize(static_cast<std::size_t>(size_));
  rowMap_.resize(static_cast<std::size_t>(size_));
  for (int i = 0; i < size_; ++i) {
    columnMap_[static_cast<std::size_t>(i)] = 3 * std::clamp(x - cx_ + i * spanX / size_, 0, width_ - 1);
    rowMap_[static_cast<std::size_t>(i)] = std::clamp(y - cy_ + i * spanY / size_, 0, height_ - 1);
  }
}

// One attempt: the mean source colour under the ink (inside the picture's inner frame), then
// the error against the source under the ink before and after laying the stamp. The candidate
// is only built when the stamp is kept; an even-sized stamp, whose candidate equals the drawing
// except under its ink, is then laid in place.
//
// Only ink strictly inside the picture counts, and there the window map (see MapWindow) needs
// no clamping: an even stamp reads the drawing under each pixel, an odd one one pixel up and
// left except on its first row and column. So a stamp over the picture's edge is summed as a
// covered one, over the part of its rows and columns inside the inner frame.
void PastelRun::Try(int x, int y) {
  const int left = x - cx_, top = y - cy_;
  if (rows_.Covers(left, top, width_, height_)) {
    TryCovered(x, y);
    return;
  }
  Prefetch(left, top);
  PastelStampRows::Part part;
  part.firstRow = std::clamp(1 - top, 0, size_);
  part.endRow = std::clamp(height_ - 1 - top, 0, size_);
  part.firstColumn = std::clamp(1 - left, 0, size_);
  part.endColumn = std::clamp(width_ - 1 - left, 0, size_);
  int count = 0;
  const PastelStampRows::Under under =
      rows_.SumUnderPart(sourceRows_.data(), drawingRows_.data(), left, top, part, count);
  // Nothing under the ink: the mean is black and both error sums are 0, so it is not kept.
  if (count == 0) return;
  Levels mean;
  for (int c = 0; c < 3; ++c) mean.c[c] = static_cast<int>(under.sum[c] / count);

  // The error after only grows: once at the limit (at once when the limit is not above 0),
  // the stamp is not kept whatever follows.
  const int limit = (under.before >> 10) * plan_.acceptance;
  if (limit <= 0) return;
  const int shift = size_ % 2;
  int after = RingError<false>(left, top);
  after = rows_.LaidErrorPart(sourceRows_.data(), drawingRows_.data(), left, top, shift, part, mean.c, after, limit);
  if (after >= limit) return;
  MapWindow(x, y);
  Keep(x, y, mean);
}

// The same attempt where the whole stamp lies inside the picture's inner frame (so every ink
// pixel counts), with the passes over whole rows. The candidate of an even stamp is the drawing
// itself; that of an odd stamp is the drawing one pixel down and right, except on its first
// row and column, which belong to the ring and are read through the window map.
void PastelRun::TryCovered(int x, int y) {
  const int left = x - cx_, top = y - cy_;
  if (size_ <= kQuickRejectSize && (BoundedTooClose(left, top) || SurelyTooClose(left, top))) return;
  const bool fetched = left == fetchedLeft_ && top == fetchedTop_;
  const PastelStampRows::Under under = rows_.SumUnder(sourceRows_.data(), drawingRows_.data(), left, top, fetched);
  const int count = rows_.InkCount();
  if (count == 0) return;
  Levels mean;
  for (int c = 0; c < 3; ++c) mean.c[c] = static_cast<int>(under.sum[c] / count);
  // The error after is never negative: below 1024 before, nothing can be kept.
  const int limit = (under.before >> 10) * plan_.acceptance;
  if (limit <= 0) return;

  // Inside the picture the window map (see MapWindow) needs no clamping: the identity for an
  // even stamp, one pixel back (but never before the first) for an odd one.
  const int shift = size_ % 2;
  int after = RingError<true>(left, top);
  after = rows_.LaidError(sourceRows_.data(), drawingRows_.data(), left, top, shift, mean.c, after, limit);
  if (after >= limit) return;
  if (shift) rows_.FetchSquare(sourceRows_.data(), drawingRows_.data(), left, top);
  rows_.Lay(drawingRows_.data(), left, top, shift, mean.c);
  RefreshAfterLaying(left, top);
}

// The error after over the ring's ink inside the picture's inner frame: the ring is not laid,
// so it is |source - window| there, the window being the drawing (shift 0) or, off the first
// row and column, the drawing one pixel up and left (shift 1). A stamp whose every pixel lies
// strictly inside the picture (`inside`) skips the test of each pixel against the frame.
template <bool inside>
int PastelRun::RingError(int left, int top) const {
  int error = 0;
  for (const RingPixel& p : ringPixels_) {
    if (!inside && !StrictlyInside(left + p.column, top + p.row)) continue;
    const std::uint8_t* s = sourceRows_[static_cast<std::size_t>(top + p.row)] + 3 * (left + p.column);
    const std::uint8_t* r = drawingRows_[static_cast<std::size_t>(top + p.windowRow)] + 3 * (left + p.windowColumn);
    error += std::abs(s[0] - r[0]) + std::abs(s[1] - r[1]) + std::abs(s[2] - r[2]);
  }
  return error;
}

// Whether the error before, summed from the distance bytes, is below 1024: then nothing can be
// kept (see TryCovered). A capped byte leaves the answer to the full passes.
bool PastelRun::SurelyTooClose(int left, int top) const {
  const int before = targets_.MaskedDistance(countedMask_.data(), 2 * cx_, 2 * cy_, left, top);
  return before >= 0 && before < 1024;
}

// Whether the error before is below 1024 by the tiles' largest distances alone: no counted
// pixel is further from the source than the largest distance of its tile (a capped one, 255,
// stands for up to 3 x 255).
bool PastelRun::BoundedTooClose(int left, int top) const {
  return targets_.MostDistant(left, top, 2 * cx_, 2 * cy_) < boundBelow_;
}

// The bound above as a threshold on the largest distance: below it, the counted ink times it
// (or 3 x 255 for a capped byte) stays under 1024. None for stamps beyond kTileBoundSpan.
void PastelRun::SetDistanceBound() {
  const int counted = rows_.CountedInkCount();
  if (2 * cx_ > kTileBoundSpan) {
    boundBelow_ = 0;
  } else if (counted * 3 * 255 < 1024) {
    boundBelow_ = StampSearchTargets::kDistanceCap + 1;  // every byte, a capped one too
  } else {
    boundBelow_ = std::min(1023 / counted + 1, static_cast<int>(StampSearchTargets::kDistanceCap));
  }
}

// The stamp is kept: an even-sized one, whose candidate equals the drawing except under its
// ink, is laid in place; an odd one goes through its candidate picture.
void PastelRun::Keep(int x, int y, const Levels& mean) {
  if (size_ % 2 == 0) {
    LayInPlace(x - cx_, y - cy_, mean);
  } else {
    BuildCandidate(mean);
    Accept(x, y);
  }
}

// The stamp lands at a random place, so every one of its rows starts with a cache miss; asking
// for all of them at once lets the misses overlap instead of following one another.
void PastelRun::Prefetch(int left, int top) const {
  const int first = std::max(top, 0), last = std::min(top + size_, height_);
  const int column = 3 * std::clamp(left, 0, std::max(width_ - 1, 0));
  for (int y = first; y < last; ++y) {
    __builtin_prefetch(sourceRows_[static_cast<std::size_t>(y)] + column);
    __builtin_prefetch(drawingRows_[static_cast<std::size_t>(y)] + column);
  }
}

// The next attempts' positions are decided by the next draws and the search bits: finding
// them ahead (see StampLookahead) lets what they read load while this attempt is summed.
// Small stamps take so little time that the loads need several attempts to arrive.
void PastelRun::PrefetchNext() {
  if (size_ <= kQuickRejectSize) {
    // Those the tiles' bound will turn down need no distances.
    lookahead_.Follow(random_, kSmallStampsAhead, [&](int x, int y) {
      if (!BoundedTooClose(x - cx_, y - cy_)) targets_.FetchDistances(x - cx_, y - cy_, size_);
    });
  } else {
    // The position found now is the one after this attempt's; this attempt's own first rows
    // were asked for when its position was found.
    fetchedLeft_ = queuedLeft_;
    fetchedTop_ = queuedTop_;
    queuedLeft_ = queuedTop_ = kNoPosition;
    lookahead_.Follow(random_, 1, [&](int x, int y) {
      rows_.FetchFirstRows(sourceRows_.data(), drawingRows_.data(), x - cx_, y - cy_, width_, height_);
      queuedLeft_ = x - cx_;
      queuedTop_ = y - cy_;
    });
  }
}

void PastelRun::LayInPlace(int left, int top, const Levels& mean) {
  for (const InkPixel& p : laidInk_) {
    const int X = left + p.i, Y = top + p.j;
    if (X < 0 || X >= width_ || Y < 0 || Y >= height_) continue;
    std::uint8_t* d = drawingRows_[static_cast<std::size_t>(Y)] + 3 * X;
    for (int c = 0; c < 3; ++c) d[c] = Blend(d[c], p.level, mean.c[c]);
  }
  RefreshAfterLaying(left, top);
}

// An even stamp changes the drawing only under its laid ink: the search bits need refreshing
// only from each row's first to its last laid pixel (the patch is round, and the pictures'
// bytes around a row's ink were never fetched); an odd one moves its whole square.
void PastelRun::RefreshAfterLaying(int left, int top) {
  if (size_ % 2 != 0) {
    targets_.Refresh(left, top, left + size_, top + size_);
    return;
  }
  targets_.RefreshRows(left, top, size_, [&](int j, int& first, int& end) { rows_.LaidColumns(j, first, end); });
}

// The candidate picture: the mapped window of the drawing with the ink laid on it.
void PastelRun::BuildCandidate(const Levels& mean) {
  // Away from the picture's edges the columns after the first are one run of the drawing.
  const bool run = size_ > 2 && columnMap_[static_cast<std::size_t>(size_ - 1)] - columnMap_[1] == 3 * (size_ - 2);
  for (int j = 0; j < size_; ++j) {
    const std::uint8_t* from = drawingRows_[static_cast<std::size_t>(rowMap_[static_cast<std::size_t>(j)])];
    std::uint8_t* to = candidate_.ScanLine(j);
    if (run) {
      std::memcpy(to, from + columnMap_[0], 3);
      std::memcpy(to + 3, from + columnMap_[1], 3 * static_cast<std::size_t>(size_ - 1));
      continue;
    }
    for (int i = 0; i < size_; ++i) {
      const std::uint8_t* p = from + columnMap_[static_cast<std::size_t>(i)];
      to[3 * i] = p[0];
      to[3 * i + 1] = p[1];
      to[3 * i + 2] = p[2];
    }
  }
  std::uint8_t* row = nullptr;
  int rowNumber = -1;
  for (const InkPixel& p : laidInk_) {  // rows in order: each row's address is taken once
    if (p.j != rowNumber) row = candidate_.ScanLine(rowNumber = p.j);
    std::uint8_t* r = row + 3 * p.i;
    for (int c = 0; c < 3; ++c) r[c] = Blend(r[c], p.level, mean.c[c]);
  }
}

void PastelRun::Accept(int x, int y) {
  const int left = x - cx_, top = y - cy_;
  drawing_.Draw(left, top, candidate_);
  targets_.Refresh(left, top, left + size_, top + size_);
}

void PastelRun::ShowInPreview(std::int64_t attempt) {
  if (ctx_.preview && attempt % 25000 == 0) {
    ctx_.ShowInPreview(drawing_);
    ctx_.PreviewProgressLine(200 - (size_ - settings_.minimumSize));
  }
  ctx_.ProcessEvents();
}

bool PastelRun::Run() {
  BuildRowTables();
  StartStamp();
  std::int64_t quota = Quota();
  std::int64_t attempt = 0;  // attempts at the current size
  while (size_ >= settings_.minimumSize + 5) {
    ++attempt;
    if (ctx_.StopRequested()) return false;
    int x = 0, y = 0;
    if (!FindPosition(x, y)) {
      if (stopped_) return false;
      break;
    }
    if (attempt >= quota) {
      Shrink();
      quota = Quota();
      attempt = 0;
    }
    if (attempt % 500 == 0) {
      RefreshStamp();
      ctx_.ProcessEvents();
      if (!ctx_.preview) ctx_.ShowProgress(plan_.largest - size_, plan_.largest - settings_.minimumSize, 2, 2);
    }
    PrefetchNext();
    Try(x, y);
    if (attempt % 10000 == 0) ShowInPreview(attempt);
  }
  return true;
}

// Presses the edge layer into the drawing where the drawing strays from the source; the last
// column and row keep their stamped colours.
void PressEdges(Bitmap& drawing, const Bitmap& source, const Bitmap& edges, int intensity) {
  ForEachRowBand(0, drawing.Height() - 1, 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* d = drawing.ScanLine(y);
      const std::uint8_t* s = source.ScanLine(y);
      const std::uint8_t* e = edges.ScanLine(y);
      for (int x = 0; x < drawing.Width() - 1; ++x, d += 3, s += 3, e += 3) {
        int sum = 0;
        for (int c = 0; c < 3; ++c) sum += (std::abs(d[c] - s[c]) + 2 * (255 - e[c])) / 3;
        const int darken = sum / 3 * intensity / 300;
        for (int c = 0; c < 3; ++c) d[c] = ClampLevel(d[c] - darken);
      }
    }
  });
}

}  // namespace

OilPastelSettings OilPastelSettingsFrom(const RunContext& ctx) {
  OilPastelSettings settings;
  settings.minimumSize = ctx.S(1);
  settings.maximumSize = ctx.S(2);
  settings.iterations = ctx.S(3);
  settings.edgeIntensity = ctx.S(4);
  settings.precision = ctx.S(5);
  return settings;
}

void DrawOilPastel(const Bitmap& source, Bitmap& destination, OilPastelSettings settings, RunContext& ctx) {
  if (source.Empty()) throw ImageError("There is no picture to draw.");
  if (&source == &destination) throw ImageError("The oil pastel cannot draw over its own source picture.");
  // The stamps read the source and the drawing at random places: both in large pages.
  Bitmap work(source, PixelPages::kLarge);
  EnhanceLocalContrast(work, 10, ctx.mean);
  if (settings.minimumSize >= settings.maximumSize) {
    settings.minimumSize = settings.maximumSize;
    ctx.MutableParams().s[0] = settings.maximumSize;
  }
  destination.SetSize(source.Width(), source.Height(), PixelPages::kLarge);
  destination.Fill(kPaper);
  Bitmap edges(source.Width(), source.Height());
  DrawEdgeStrokes(work, edges, 4, 180, 20, ctx);

  PastelRun run(work, destination, settings, ctx);
  if (!run.Run()) {
    ctx.ShowProgress(101, 100, 1, 1);
    return;
  }
  ctx.ShowProgress(run.LargestSize(), run.LargestSize(), 2, 2);
  PressEdges(destination, work, edges, settings.edgeIntensity);
  AdjustSaturation(destination, 10, &ctx);
  EnhanceLocalContrast(destination, 10, ctx.mean);
}

// Code 16: the pastel is drawn straight into the result, then finished from a copy.
// The brush paints with the drawing alone; it finishes the surface itself.
void PatchOilPastel(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  DrawOilPastel(source, output, OilPastelSettingsFrom(ctx), ctx);
}

void FramePencilStrokes(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  DrawOilPastel(S, R, OilPastelSettingsFrom(ctx), ctx);
  ApplySurfaceFinish(R, R, ctx);  // in place: a copy of a large drawing costs its size again
}

}  // namespace brumeleaf
