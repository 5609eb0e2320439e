#include "brush/ManualBrush.h"

#include <algorithm>
#include <new>

#include "effects/Catalogue.h"
#include "effects/EffectTable.h"
#include "effects/FrameSteps.h"
#include "effects/stylised/Merge.h"
#include "finishing/SurfaceFinish.h"
#include "pipeline/Session.h"

namespace brumeleaf {

namespace {

constexpr int kMergeCode = 13;
constexpr int kFinishingOnlyCode = 14;
constexpr int kHalftoneCode = 26;
// The halftone lines are drawn on a turned picture; white around the patch keeps their ends
// from fraying at the patch's border.
constexpr int kHalftonePadding = 25;

// What follows the algorithm on a patch.
enum class PatchFinish { None, SurfaceFinish };

PatchFinish FinishOf(int code) {
  return EffectExtrasOf(code).patchFinishesItself ? PatchFinish::None : PatchFinish::SurfaceFinish;
}

Bitmap CopyRect(const Bitmap& from, const PixelRect& r) {
  Bitmap patch(r.Width(), r.Height());
  const std::size_t bytes = static_cast<std::size_t>(r.Width()) * 3;
  for (int y = 0; y < r.Height(); ++y)
    std::copy_n(from.ScanLine(r.top + y) + static_cast<std::size_t>(r.left) * 3, bytes, patch.ScanLine(y));
  return patch;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

PixelRect Shifted(const PixelRect& r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

// ---- mask

void CoverageMask::Allocate(int width, int height) {
  if (width <= 0 || height <= 0) {
    Release();
    return;
  }
  if (!Fits(width, height)) {
    values_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
    width_ = width;
    height_ = height;
  } else {
    Refill();
  }
}

void CoverageMask::Release() {
  values_.clear();
  values_.shrink_to_fit();
  width_ = height_ = 0;
}

void CoverageMask::Refill() { std::fill(values_.begin(), values_.end(), std::uint8_t{255}); }

PixelRect CoverageMask::Painted() const {
  int left = width_, top = height_, right = -1, bottom = -1;
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* row = Row(y);
    const auto first = std::find_if(row, row + width_, [](std::uint8_t v) { return v < 255; });
    if (first == row + width_) continue;
    const auto last = std::find_if(std::make_reverse_iterator(row + width_), std::make_reverse_iterator(row),
                                   [](std::uint8_t v) { return v < 255; });
    left = std::min(left, static_cast<int>(first - row));
    right = std::max(right, static_cast<int>(last.base() - row) - 1);
    top = std::min(top, y);
    bottom = y;
  }
  if (right < 0) return {};
  return {left, top, right + 1, bottom + 1};
}

PixelRect GrowAndClip(const PixelRect& painted, int width, int height) {
  if (painted.Empty()) return {};
  // The outermost painted column and row themselves (inclusive) move 10 pixels out; the far
  // edges are then used as exclusive bounds, capped at the picture's size.
  return {std::max(0, painted.left - kStrokeMargin), std::max(0, painted.top - kStrokeMargin),
          std::min(width, painted.right - 1 + kStrokeMargin), std::min(height, painted.bottom - 1 + kStrokeMargin)};
}

// ---- stamping and blending

void StampAt(const Bitmap& stamp, int strength, int x, int y, CoverageMask& mask, Bitmap* display) {
  if (stamp.Empty() || mask.Empty()) return;
  const int left = x - stamp.Width() / 2;
  const int top = y - stamp.Height() / 2;
  const int j0 = std::max(0, -left), j1 = std::min(stamp.Width(), mask.Width() - left);
  const int i0 = std::max(0, -top), i1 = std::min(stamp.Height(), mask.Height() - top);
  if (j0 >= j1 || i0 >= i1) return;
  const bool tint = display && display->Width() == mask.Width() && display->Height() == mask.Height();
  std::uint8_t coverage[256];
  for (int c = 0; c < 256; ++c) coverage[c] = static_cast<std::uint8_t>(std::clamp(Coverage(c, strength), 0, 255));
  // Pointers start at the first stamp column inside the picture, never before a row.
  for (int i = i0; i < i1; ++i) {
    const std::uint8_t* s = stamp.ScanLine(i) + static_cast<std::ptrdiff_t>(j0) * 3;
    std::uint8_t* m = mask.Row(top + i) + (left + j0);
    std::uint8_t* p = tint ? display->ScanLine(top + i) + static_cast<std::ptrdiff_t>(left + j0) * 3 : nullptr;
    for (int j = 0; j < j1 - j0; ++j) {
      const int sB = s[3 * j], sG = s[3 * j + 1], sR = s[3 * j + 2];
      if (p && sR <= 249) {
        std::uint8_t* q = p + 3 * j;
        q[2] = static_cast<std::uint8_t>(std::max<int>(q[2], 150 - sR));
        q[1] = static_cast<std::uint8_t>(std::min<int>(q[1], 3 * sG));
        q[0] = static_cast<std::uint8_t>(std::max<int>(q[0], 150 - sB));
      }
      m[j] = std::min(m[j], coverage[sR]);
    }
  }
}

void BlendThroughMask(Bitmap& a, const Bitmap& b, const CoverageMask& mask, const PixelRect& where) {
  const PixelRect r = Intersect(where, {0, 0, std::min(a.Width(), mask.Width()), std::min(a.Height(), mask.Height())});
  if (r.Empty()) return;
  const int w = std::min(r.Width(), b.Width() - (r.left - where.left));
  const int h = std::min(r.Height(), b.Height() - (r.top - where.top));
  for (int y = 0; y < h; ++y) {
    std::uint8_t* pa = a.ScanLine(r.top + y) + static_cast<std::ptrdiff_t>(r.left) * 3;
    const std::uint8_t* pb = b.ScanLine(r.top - where.top + y) + static_cast<std::ptrdiff_t>(r.left - where.left) * 3;
    const std::uint8_t* m = mask.Row(r.top + y) + r.left;
    for (int x = 0; x < w; ++x) {
      const int mv = m[x];
      for (int c = 0; c < 3; ++c) {
        const int k = 3 * x + c;
        pa[k] = static_cast<std::uint8_t>((pb[k] * (255 - mv) + pa[k] * mv) / 255);
      }
    }
  }
}

// ---- the effect on a patch

bool BrushCanPaint(int code) {
  if (code < 0 || code >= kEffectCount) return false;
  if (code == kMergeCode || code == kFinishingOnlyCode) return true;
  return EffectRowOf(code).brushPatch != nullptr;
}

void ProcessManualBrush(int code, const Bitmap& a, const Bitmap& resultPatch, Bitmap& b, RunContext& ctx) {
  if (!BrushCanPaint(code))
    throw ImageError("The manual brush cannot paint with " + EffectNameForCode(code) + " yet.");
  if (code == kFinishingOnlyCode) {
    ApplySurfaceFinish(a, b, ctx);
    return;
  }
  if (code == kMergeCode) {
    b = resultPatch;
    PatchAlphaBlend(a, resultPatch, b, ctx);
  } else if (code == kHalftoneCode) {
    Bitmap padded(a.Width() + 2 * kHalftonePadding, a.Height() + 2 * kHalftonePadding);
    padded.Fill(kWhite);
    padded.Draw(kHalftonePadding, kHalftonePadding, a);
    Bitmap out = padded;
    EffectRowOf(code).brushPatch(padded, out, ctx);
    CutCentre(out, a.Width(), a.Height());
    b = std::move(out);
  } else {
    b = a;
    EffectRowOf(code).brushPatch(a, b, ctx);
  }
  if (FinishOf(code) == PatchFinish::SurfaceFinish && !ctx.StopRequested()) {
    const Bitmap drawn = b;
    ApplySurfaceFinish(drawn, b, ctx);
  }
}

// ---- the stroke's computation

StrokeJob::StrokeJob(int code, const ParameterSnapshot& params, std::shared_ptr<const Bitmap> source,
                     Bitmap cleanResult, CoverageMask mask, PixelRect rect, const SourceMean& mean)
    : code_(code),
      params_(params),
      source_(source ? std::move(source) : std::make_shared<const Bitmap>()),
      clean_(std::move(cleanResult)),
      mask_(std::move(mask)),
      mean_(mean) {
  params_.code = code;
  result_ = clean_;
  // A result larger than the source in both directions carries a frame's margins: the source
  // lies centred in it. Otherwise the two share their top-left corner. Only the part of the
  // rectangle with source under it can be painted (a result larger in one direction only
  // would otherwise read beyond the source).
  const Bitmap& s = *source_;
  const bool framed = clean_.Width() > s.Width() && clean_.Height() > s.Height();
  const int dx = framed ? (clean_.Width() - s.Width()) / 2 : 0;
  const int dy = framed ? (clean_.Height() - s.Height()) / 2 : 0;
  const PixelRect inResult = Intersect(rect, {0, 0, clean_.Width(), clean_.Height()});
  sourceRect_ = Intersect(Shifted(inResult, -dx, -dy), {0, 0, s.Width(), s.Height()});
  if (sourceRect_.Empty()) sourceRect_ = {};
  resultRect_ = sourceRect_.Empty() ? PixelRect{} : Shifted(sourceRect_, dx, dy);
}

JobOutcome StrokeJob::Run(Random& random, ProgressSink* sink, std::atomic<bool>* stop) {
  std::atomic<bool> localStop{false};
  std::atomic<bool> cancelled{false};
  RunContext ctx(params_, random);
  ctx.SetSink(sink);
  ctx.SetStopFlag(stop ? stop : &localStop);
  ctx.SetCancelFlag(&cancelled);
  ctx.mean = mean_;
  ctx.brush = true;
  ctx.sourcePanelWidth = source_->Width();

  JobOutcome outcome;
  if (resultRect_.Empty()) return {JobOutcome::Kind::Failed, "Nothing was painted on the picture."};
  try {
    const Bitmap a = CopyRect(*source_, sourceRect_);
    const Bitmap resultPatch = CopyRect(clean_, resultRect_);
    Bitmap b;
    ProcessManualBrush(code_, a, resultPatch, b, ctx);
    if (cancelled.load()) {
      outcome = {JobOutcome::Kind::Failed, EffectNameForCode(code_) + " failed."};
    } else if (ctx.StopRequested()) {
      outcome = {JobOutcome::Kind::Stopped, {}};
    } else if (b.Width() != a.Width() || b.Height() != a.Height()) {
      outcome = {JobOutcome::Kind::Failed, EffectNameForCode(code_) + " gave a patch of the wrong size."};
    } else {
      BlendThroughMask(result_, b, mask_, resultRect_);
    }
  } catch (const std::bad_alloc&) {
    outcome = {JobOutcome::Kind::Failed, kNotEnoughMemoryMessage};
  } catch (const std::exception& e) {
    outcome = {JobOutcome::Kind::Failed, e.what()};
  }
  if (!outcome.Completed()) result_ = clean_;
  if (stop && cancelled.load()) stop->store(false);
  return outcome;
}

// ---- the brush between strokes

void ManualBrush::Begin(const Bitmap& result, const Bitmap& brushPicture, const BrushSettings& settings) {
  if (!mask_.Fits(result.Width(), result.Height())) mask_.Allocate(result.Width(), result.Height());
  else mask_.Refill();
  clean_ = result;
  stamp_ = MakeStamp(brushPicture, settings);
  strength_ = Clamped(settings).strength;
  inStroke_ = true;
}

void ManualBrush::Stamp(int x, int y, Bitmap* display) {
  if (!inStroke_) return;
  StampAt(stamp_, strength_, x, y, mask_, display);
}

std::optional<StrokeJob> ManualBrush::Finish(int code, const ParameterSnapshot& params,
                                             std::shared_ptr<const Bitmap> source, const SourceMean& mean) {
  if (!inStroke_) return std::nullopt;
  inStroke_ = false;
  stamp_ = Bitmap();
  const PixelRect rect = GrowAndClip(mask_.Painted(), mask_.Width(), mask_.Height());
  std::optional<StrokeJob> job;
  if (!rect.Empty() && source && !source->Empty()) {
    job.emplace(code, params, std::move(source), std::move(clean_), mask_, rect, mean);
    if (job->Rect().Empty()) job.reset();
  }
  clean_ = Bitmap();
  mask_.Refill();
  return job;
}

void ManualBrush::Cancel() {
  inStroke_ = false;
  stamp_ = Bitmap();
  clean_ = Bitmap();
  mask_.Refill();
}

void ManualBrush::Release() {
  Cancel();
  mask_.Release();
}

void ApplyStroke(Session& session, StrokeJob& job, const JobOutcome& outcome) {
  if (outcome.Completed()) {
    session.SetResult(job.TakeResult(), EffectNameForCode(job.Code()));
  } else {
    session.ResultPanel() = job.Clean();
  }
}

}  // namespace brumeleaf
