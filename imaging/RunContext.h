#pragma once
// What an effect may read and call while it runs. Effects never touch a window: they read the
// parameter snapshot taken when the run started, draw from the session's Random, report
// progress through the sink and poll StopRequested() at their check points.
// The generated picture resources (paper textures, tone strips, ...) are immutable constants
// reached through their own functions in resources/, like lookup tables.

#include <array>
#include <atomic>
#include <cstdint>

#include "imaging/AlphaPicture.h"
#include "imaging/Bitmap.h"
#include "imaging/Random.h"

namespace brumeleaf {

// The slider positions and options of the drawing-parameters window at the start of a run.
// s1..s5 are the five slider rows in display order (rows 1 to 5).
struct ParameterSnapshot {
  int code = 0;                       // effect code 0..29
  std::array<int, 5> s{0, 0, 0, 0, 0};  // s[0] = s1 (row 1) ... s[4] = s5 (row 5)
  bool softenEdges = false;           // CheckBox2
  bool texture = false;               // CheckBox3
  int textureNumber = 0;              // 0..9, tile of the paper texture sheet
  int textureStrength = 1;            // 0 light, 1 normal, 2 strong
  bool addFrame = false;              // CheckBox1
  bool addText = false;               // CheckBox4
  bool customBrush = false;           // CheckBox5 (codes 15 and 20)
  bool doubleRow2 = false;            // CheckBox6 "X 2" beside row 2 (code 15)
  bool doubleRow1 = false;            // CheckBox8 "X 2" beside row 1 (code 28)
  bool maxRow2 = false;               // "MAX" shown on row 2 (codes 22, 25)
  bool maxRow3 = false;               // "MAX" shown on row 3 (code 15)
  const Bitmap* customBrushPicture = nullptr;  // CustomBrush, when customBrush is set
  // The Painting 10 brush with its transparency, as loaded from a PNG (null: the standard one).
  const AlphaPicture* paintBrush3DAlpha = nullptr;
};

// Mean red, green and blue of the current source picture.
struct SourceMean {
  std::int64_t red = 116;
  std::int64_t green = 149;
  std::int64_t blue = 69;
};

// Receives what a run reports. The default does nothing (headless tests).
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void ShowProgress(int step, int total, int pass, int passes) {
    (void)step, (void)total, (void)pass, (void)passes;
  }
  // An intermediate picture for the live preview.
  virtual void ShowInPreview(const Bitmap& image) { (void)image; }
  // Draws the preview progress line (x pixels long on rows 198 and 199 of the preview).
  virtual void PreviewProgressLine(int x) { (void)x; }
  // Whether the front end shows the drawing as it grows (see RunContext::Drawing).
  virtual bool ShowsDrawing() const { return false; }
};

class RunContext {
 public:
  RunContext(ParameterSnapshot params, Random& random) : params_(params), random_(random) {}

  const ParameterSnapshot& Params() const { return params_; }
  ParameterSnapshot& MutableParams() { return params_; }
  int S(int row) const { return params_.s[static_cast<std::size_t>(row - 1)]; }  // S(1) = s1
  Random& Rand() { return random_; }

  SourceMean mean;
  // Width of the left panel's picture when the effect is handed only part of it (the live
  // preview's crop, a manual-brush patch), so that shapes keep their size there; 0 when the
  // picture the effect reads is the left panel's picture itself.
  int sourcePanelWidth = 0;
  bool preview = false;     // a live-preview run (parameters window visible)
  bool processing = true;   // a processing run of the main window is in progress
  bool silent = false;      // progress must not be shown
  // The manual brush is painting a patch. The watercolour, region-growing and blot paintings
  // show no intermediate pictures then (their patch would flash over the result panel); the
  // brush also sets sourcePanelWidth to the source's width.
  bool brush = false;

  void SetSink(ProgressSink* sink) { sink_ = sink; }
  void SetStopFlag(std::atomic<bool>* flag) { stop_ = flag; }
  void SetCancelFlag(std::atomic<bool>* flag) { cancelled_ = flag; }
  std::atomic<bool>* StopFlag() const { return stop_; }
  std::atomic<bool>* CancelFlag() const { return cancelled_; }

  void ShowProgress(int step, int total, int pass, int passes) {
    if (sink_ && processing && !silent && passes != 0) sink_->ShowProgress(step, total, pass, passes);
  }
  void ShowInPreview(const Bitmap& image) {
    if (sink_ && preview) sink_->ShowInPreview(image);
  }
  void PreviewProgressLine(int x) {
    if (sink_ && preview) sink_->PreviewProgressLine(x);
  }
  // Computations run on a worker thread; pending events are handled by the interface thread.
  void ProcessEvents() {}

  // The picture the run is drawing into, for a front end that shows the drawing as it grows
  // and saves it in the middle of a run; read only at progress reports, on the run's own
  // thread (null: nothing to show). Frames point it at their working picture while their
  // algorithm draws into it (DrawingShown).
  void SetDrawing(const Bitmap* picture) { drawing_ = picture; }
  const Bitmap* Drawing() const { return drawing_; }
  // An algorithm that draws somewhere else than its destination for speed copies its work
  // back at its progress reports only when someone looks at it.
  bool ShowsDrawing() const { return sink_ && sink_->ShowsDrawing() && processing && !preview && !brush; }

  bool StopRequested() const { return stop_ && stop_->load(std::memory_order_relaxed); }
  void RequestStop() {
    if (stop_) stop_->store(true);
  }
  // A failure caught inside an algorithm: stop, mark the run as cancelled and end the display.
  void FailRun() {
    RequestStop();
    if (cancelled_) cancelled_->store(true);
    ShowProgress(101, 100, 1, 1);
  }

 private:
  ParameterSnapshot params_;
  Random& random_;
  ProgressSink* sink_ = nullptr;
  std::atomic<bool>* stop_ = nullptr;
  std::atomic<bool>* cancelled_ = nullptr;
  const Bitmap* drawing_ = nullptr;
};

// Points a run's drawing at `picture` for as long as it lives, then back at what it was.
class DrawingShown {
 public:
  DrawingShown(RunContext& ctx, const Bitmap* picture) : ctx_(ctx), previous_(ctx.Drawing()) {
    ctx.SetDrawing(picture);
  }
  ~DrawingShown() { ctx_.SetDrawing(previous_); }
  DrawingShown(const DrawingShown&) = delete;
  DrawingShown& operator=(const DrawingShown&) = delete;

 private:
  RunContext& ctx_;
  const Bitmap* previous_;
};

}  // namespace brumeleaf
