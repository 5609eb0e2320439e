#pragma once
// Painting the chosen effect onto parts of the result with the mouse.
//
// A stroke: Begin at the press (coverage mask sized to the result, a clean copy of the result,
// the stamp), Stamp at every move and once more at the release, then Finish gives a
// StrokeJob: the effect computed on the source under the painted rectangle and blended into
// the clean result through the mask. The job copies everything it reads, so it can run on a
// worker while the panels stay free; ApplyStroke puts its outcome into the session as one
// history step. Nothing here knows a window.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "brush/BrushStamp.h"
#include "imaging/Bitmap.h"
#include "imaging/Random.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

class Session;
struct JobOutcome;

// A rectangle of picture pixels, right and bottom exclusive.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const PixelRect&) const = default;
};

// How far the painted rectangle is grown on every side before the effect runs on it, so that
// effects that look at neighbours see some of them.
inline constexpr int kStrokeMargin = 10;

// One byte per result pixel: 255 untouched, 0 fully painted.
class CoverageMask {
 public:
  // Sized to width x height and filled with 255; a mask of that size already is only refilled.
  void Allocate(int width, int height);
  void Release();
  void Refill();
  bool Fits(int width, int height) const { return width_ == width && height_ == height && !Empty(); }
  bool Empty() const { return values_.empty(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint8_t At(int x, int y) const {
    return values_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
  }
  std::uint8_t* Row(int y) { return values_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
  const std::uint8_t* Row(int y) const {
    return values_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }
  // The smallest rectangle holding every value below 255 (empty when there is none).
  PixelRect Painted() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> values_;
};

// The painted rectangle grown by kStrokeMargin on each side and clipped to width x height.
PixelRect GrowAndClip(const PixelRect& painted, int width, int height);

// Lays the stamp centred on (x, y) (left = x - side div 2): every stamp pixel inside the mask
// lowers the mask to at most its coverage. With `display` (the shown result), pixels whose
// stamp level is at most 249 are tinted there so that the stroke shows as a magenta veil.
// Stamp pixels off the picture are skipped.
void StampAt(const Bitmap& stamp, int strength, int x, int y, CoverageMask& mask, Bitmap* display);

// m = 0 takes B, m = 255 keeps A: A := (B (255 - m) + A m) div 255 in every channel, over the
// rectangle `where` of `a` (whose top-left pixel matches B's and mask row/column `where`).
void BlendThroughMask(Bitmap& a, const Bitmap& b, const CoverageMask& mask, const PixelRect& where);

// The effect `code` computed on patch A of the source into B, as the brush paints it: the
// effect's algorithm alone from the effect table, followed by the surface finish where the
// effect's result normally gets one. `resultPatch` is the same rectangle of the result (the
// merge effect mixes it in). Throws ImageError when the effect has no brush patch.
void ProcessManualBrush(int code, const Bitmap& a, const Bitmap& resultPatch, Bitmap& b, RunContext& ctx);

// Whether the brush can paint with `code` (its patch routine exists).
bool BrushCanPaint(int code);

// The computation of one finished stroke, with everything it reads copied in.
class StrokeJob {
 public:
  StrokeJob(int code, const ParameterSnapshot& params, std::shared_ptr<const Bitmap> source,
            Bitmap cleanResult, CoverageMask mask, PixelRect rect, const SourceMean& mean);

  int Code() const { return code_; }
  // The rectangle of the result that the stroke changes.
  const PixelRect& Rect() const { return resultRect_; }
  // The blended result after a completed run; the clean result otherwise.
  const Bitmap& Result() const { return result_; }
  Bitmap TakeResult() { return std::move(result_); }
  // The clean result the stroke started from (shown again when the stroke fails).
  const Bitmap& Clean() const { return clean_; }

  // Never throws for a failing effect: the failure is the outcome. A stopped stroke is not
  // blended (a half-computed patch would show as a hole in the painting).
  JobOutcome Run(Random& random, ProgressSink* sink = nullptr, std::atomic<bool>* stop = nullptr);

 private:
  int code_;
  ParameterSnapshot params_;
  std::shared_ptr<const Bitmap> source_;
  Bitmap clean_;
  Bitmap result_;
  CoverageMask mask_;
  PixelRect resultRect_;
  PixelRect sourceRect_;
  SourceMean mean_;
};

// The state of the brush between strokes and during one.
class ManualBrush {
 public:
  // Mouse down: the mask is (re)made when missing or of another size than the result (the
  // result may have changed size since the last stroke: undo, a frame, a new picture), a clean
  // copy of the result is kept and the stamp is made.
  void Begin(const Bitmap& result, const Bitmap& brushPicture, const BrushSettings& settings);
  bool InStroke() const { return inStroke_; }
  // Mouse move and release: a stamp at image point (x, y), tinting `display` when given.
  void Stamp(int x, int y, Bitmap* display);
  // Mouse up: ends the stroke. Nothing when nothing was painted on the picture (a stamp fully
  // off it); otherwise the job for `code`. The mask is refilled and the stamp released either
  // way, so the next stroke starts clean.
  std::optional<StrokeJob> Finish(int code, const ParameterSnapshot& params,
                                  std::shared_ptr<const Bitmap> source, const SourceMean& mean);
  // Ends a stroke without computing anything.
  void Cancel();
  // Brush off: the mask is released.
  void Release();

  const CoverageMask& Mask() const { return mask_; }
  const Bitmap& StampPicture() const { return stamp_; }
  const Bitmap& CleanResult() const { return clean_; }

 private:
  CoverageMask mask_;
  Bitmap stamp_;
  Bitmap clean_;
  int strength_ = kBrushStrengthMax;
  bool inStroke_ = false;
};

// Puts a stroke's outcome into the session: a completed stroke's result becomes the right
// panel and one history step named after the effect; anything else leaves the panel as it was
// before the stroke and records nothing.
void ApplyStroke(Session& session, StrokeJob& job, const JobOutcome& outcome);

}  // namespace brumeleaf
