#include "effects/drawing/PencilSketch4.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/Frames.h"
#include "effects/drawing/PencilStrokeTiles.h"
#include "finishing/SurfaceFinish.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

// Samples planned before their strokes are laid tile by tile (PencilStrokeTiles.h): enough
// for every tile to receive a good number of strokes, few enough to keep the plan small.
constexpr std::size_t kPlannedStrokes = 1 << 18;

// Edge strokes: weight m, tint ((CI p + (255 - CI) m) div 255 - 130) div 3.
StrokeMix EdgeMix(const std::uint8_t* centre, int m, int ci) {
  StrokeMix mix;
  mix.weight = m;
  mix.edge = true;
  for (int c = 0; c < 3; ++c) mix.offset[c] = ((ci * centre[c] + (255 - ci) * m) / 255 - 130) / 3;
  return mix;
}

// Shading strokes: weight m' (which may exceed 255), tint (... - 115) div 4.
StrokeMix FlatMix(const std::uint8_t* centre, int mPrime, int ci) {
  StrokeMix mix;
  mix.weight = mPrime;
  mix.edge = false;
  for (int c = 0; c < 3; ++c) mix.offset[c] = ((ci * centre[c] + (255 - ci) * mPrime) / 255 - 115) / 4;
  return mix;
}

struct Gradient {
  int gx = 0;
  int gy = 0;
  int magnitude = 0;
};

// Sobel-like gradient of the mean grey g (and g2, the doubled grey) around (x, y).
Gradient GradientAt(const std::vector<const std::uint8_t*>& rows, int x, int y) {
  auto sum = [&](int u, int v) {
    const std::uint8_t* p = rows[static_cast<std::size_t>(v)] + 3 * u;
    return p[0] + p[1] + p[2];
  };
  auto g = [&](int u, int v) { return sum(u, v) / 3; };
  auto g2 = [&](int u, int v) { return (2 * sum(u, v)) / 3; };
  Gradient r;
  r.gx = (g(x - 1, y - 1) + g2(x - 1, y) + g(x - 1, y + 1)) - (g(x + 1, y - 1) + g2(x + 1, y) + g(x + 1, y + 1));
  r.gy = (g(x - 1, y - 1) + g2(x, y - 1) + g(x + 1, y - 1)) - (g(x - 1, y + 1) + g2(x, y + 1) + g(x + 1, y + 1));
  r.magnitude = (std::abs(r.gx) + std::abs(r.gy)) / 8;
  return r;
}

// Table entry of an edge stroke: across the gradient, 0..180, with a random half-degree.
int EdgeEntry(const Gradient& g, Random& random) {
  const double theta = g.gx != 0 ? std::atan(static_cast<double>(g.gy) / g.gx) + 1.5708 : 0.0;
  const int r = static_cast<int>(random.Next(2));
  return static_cast<int>(std::floor(57.0 * theta + r));
}

// Table entry of a shading stroke: mostly the two hatching directions (38-39 on every fifth
// row, 325-326 elsewhere), sometimes an angle that follows the sample's red.
int ShadingEntry(int y, int red, Random& random) {
  const int r = static_cast<int>(random.Next(100));
  if (r >= 15) {
    if (y % 5 == 0) return 38 + static_cast<int>(random.Next(2));
    return 325 + static_cast<int>(random.Next(2));
  }
  return static_cast<int>(random.Next(5)) + red * 138 / 100;
}

class SketchRun {
 public:
  SketchRun(const Bitmap& source, Bitmap& destination, const PencilSketch4Settings& settings, RunContext& ctx)
      : source_(source), destination_(destination), settings_(settings), ctx_(ctx), random_(ctx.Rand()),
        width_(source.Width()), height_(source.Height()) {}

  void Run();

 private:
  void BuildRowTables();
  // Plans one sample, adding its stroke (if any) to planned_.
  void Sample();
  void ReportNow(std::int64_t count);
  void PrefetchNextSample() const;
  void FetchNeighbourhood(Random& random) const;

  const Bitmap& source_;
  Bitmap& destination_;
  const PencilSketch4Settings settings_;
  RunContext& ctx_;
  Random& random_;
  const int width_;
  const int height_;
  int length_ = 0;
  std::int64_t samples_ = 0;  // N: the last sample number
  std::int64_t period_ = 1;   // samples between two shrinks of the stroke length
  std::int64_t previewUnits_ = 1;
  std::vector<const std::uint8_t*> sourceRows_;
  StampCache stamps_;
  std::vector<PlannedStroke> planned_;
};

void SketchRun::BuildRowTables() {
  sourceRows_ = source_.RowTable();
}

void SketchRun::Run() {
  destination_.SetSize(width_, height_);
  destination_.Fill(kWhite);
  ctx_.ShowInPreview(destination_);
  random_.SetSeed(kEffectSeed);
  const std::int64_t pixels = static_cast<std::int64_t>(width_) * height_;
  if (!ctx_.preview) ctx_.ShowProgress(0, static_cast<int>(pixels / 200 * settings_.iterations), 1, 1);

  length_ = settings_.strokeLength;
  const std::int64_t iterations = settings_.iterations + length_ / 2;
  samples_ = pixels / 200 * iterations;
  // With fewer than 20 samples every sample is at least a twentieth of the run.
  period_ = std::max<std::int64_t>(samples_ / 20, 1);
  previewUnits_ = std::max<std::int64_t>(pixels * iterations / 200, 1);

  // A sample needs its 3 x 3 neighbourhood inside the picture.
  if (width_ >= 3 && height_ >= 3) {
    BuildRowTables();
    // The samples are planned in batches and each batch is laid at once. The drawing has the
    // strokes of every planned sample whenever the stop flag has been seen or progress is
    // shown: a preview shows the drawing at each of its random moments, so there a batch ends
    // at each of them; the progress bar of a full run is shown after its batch.
    planned_.reserve(std::min<std::int64_t>(kPlannedStrokes, samples_ + 1));
    std::int64_t count = 0;
    while (count <= samples_) {
      planned_.clear();
      std::int64_t report = -1;
      bool stop = false;
      for (; count <= samples_ && planned_.size() < kPlannedStrokes; ++count) {
        if (count % period_ == 0 && length_ > 10) length_ = length_ * 95 / 100;
        Sample();
        if (ctx_.StopRequested()) {
          stop = true;
          break;
        }
        if (random_.Next(1000) >= 998) {
          report = count;
          if (ctx_.preview) {
            ++count;
            break;
          }
        }
        PrefetchNextSample();
      }
      LayStrokes(planned_, destination_);
      stamps_.Release();
      if (stop) {
        ctx_.ShowProgress(101, 100, 1, 1);
        return;
      }
      if (report >= 0) ReportNow(report);
    }
  }
  ctx_.ShowProgress(101, 100, 1, 1);
  ctx_.ShowInPreview(destination_);
}

void SketchRun::Sample() {
  const int x = static_cast<int>(random_.Next(static_cast<std::uint32_t>(width_ - 2))) + 1;
  const int y = static_cast<int>(random_.Next(static_cast<std::uint32_t>(height_ - 2))) + 1;
  const Gradient g = GradientAt(sourceRows_, x, y);
  const int entry = EdgeEntry(g, random_);
  const std::uint8_t* centre = sourceRows_[static_cast<std::size_t>(y)] + 3 * x;
  const int m = (centre[0] + centre[1] + centre[2]) / 3;

  if (g.magnitude >= settings_.edgeThreshold) {
    const int q = random_.NextInt(length_);
    const int size = (length_ * g.magnitude) / 170 + 7 + q / 2;
    planned_.push_back({&stamps_.Get(entry, size), x, y, size, EdgeMix(centre, m, settings_.colourIntensity)});
  } else if (settings_.abstraction < 255) {
    // Light samples and a high abstraction skip more shading strokes.
    const int e = random_.NextInt(256 - m);
    const int f = random_.NextInt(8 * settings_.abstraction);
    if (e >= f) {
      const int mPrime = m * 108 / 100;
      const int size = random_.NextInt(length_) + 7;
      const int shading = ShadingEntry(y, centre[2], random_);
      planned_.push_back({&stamps_.Get(shading, size), x, y, size, FlatMix(centre, mPrime, settings_.colourIntensity)});
    }
  }
}

// The next sample's position is the next two draws: peeking at them on a copy of the generator
// (the sequence itself is untouched) lets its neighbourhood load while this sample finishes.
// The sample after it is one of a few: its position follows the 3 further draws of an edge
// stroke, the 4 of a skipped shading stroke or the 7 of a laid one (2 with no shading at all),
// so each of those neighbourhoods is asked for too, two samples ahead.
void SketchRun::PrefetchNextSample() const {
  Random peek = random_;
  FetchNeighbourhood(peek);
  const bool shading = settings_.abstraction < 255;
  for (const int draws : {3, shading ? 4 : 2, shading ? 7 : 0}) {
    if (draws == 0) continue;
    Random further = peek;
    for (int k = 0; k < draws; ++k) further.Next(1);
    FetchNeighbourhood(further);
  }
}

// Fetches the 3 x 3 neighbourhood of the sample position drawn next from `random`.
void SketchRun::FetchNeighbourhood(Random& random) const {
  const int x = static_cast<int>(random.Next(static_cast<std::uint32_t>(width_ - 2))) + 1;
  const int y = static_cast<int>(random.Next(static_cast<std::uint32_t>(height_ - 2))) + 1;
  for (int v = y - 1; v <= y + 1; ++v) __builtin_prefetch(sourceRows_[static_cast<std::size_t>(v)] + 3 * (x - 1));
}

void SketchRun::ReportNow(std::int64_t count) {
  if (!ctx_.preview) {
    if (count % 2 == 0) ctx_.ShowProgress(static_cast<int>(count), static_cast<int>(samples_), 1, 1);
    ctx_.ProcessEvents();
    return;
  }
  ctx_.ShowInPreview(destination_);
  ctx_.PreviewProgressLine(static_cast<int>(count * 200 / previewUnits_));
  ctx_.ProcessEvents();
}

}  // namespace

PencilSketch4Settings PencilSketch4SettingsFrom(const RunContext& ctx) {
  PencilSketch4Settings settings;
  settings.edgeThreshold = ctx.S(1);
  settings.iterations = ctx.S(2) + 1;
  settings.strokeLength = ctx.S(3);
  settings.abstraction = ctx.S(4);
  settings.colourIntensity = ctx.S(5);
  return settings;
}

void DrawNewPencilSketch(const Bitmap& source, Bitmap& destination, const PencilSketch4Settings& settings,
                         RunContext& ctx) {
  if (&source == &destination) throw ImageError("Pencil sketch 4 cannot draw over its own source picture.");
  ctx.MutableParams().code = 23;
  SketchRun(source, destination, settings, ctx).Run();
}

// Code 23: the result starts as a white picture of the source's size; the drawing passes
// through the surface finish from a copy.
void FrameNewPencilSketch(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  R.SetSize(S.Width(), S.Height());
  DrawNewPencilSketch(S, R, PencilSketch4SettingsFrom(ctx), ctx);
  ApplySurfaceFinish(R, R, ctx);  // in place: a copy of a large drawing costs its size again
}

}  // namespace brumeleaf
