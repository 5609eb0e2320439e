#include "effects/painting/RandomStrokes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "effects/painting/StrokeCanvas.h"
#include "effects/painting/StrokeGeometry.h"
#include "effects/painting/StrokeRunBlend.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintBrushes.h"

namespace brumeleaf {

namespace {

constexpr int kOutside = 250;           // brush levels from here up are not part of the brush
constexpr std::int64_t kBudgetCap = 700000000;
constexpr int kWarmUpBias = 300000;     // the first coat accepts almost every stamp
constexpr int kBrushChange = 500;       // a fresh tile, turned anew, every 500 stamps
constexpr int kPreviewRefresh = 25000;
constexpr int kBrushTiles = 38;         // tiles of the brush sheet that are drawn from

// A stretch of consecutive paint-carrying pixels on one brush row.
struct BrushRun {
  int v, first, last;  // brush row, first and last column
  int offset;          // where its pixels start in the brush's blend values
};

constexpr int kLanes = kStrokeBrushLanes;

// The brush at its current size: its paint-carrying pixels (level below 250) as runs along the
// rows, and for the blend, per pixel of the runs, the level and 255 - level in the lanes of
// the colour bytes (zero in the fourth).
struct StrokeBrush {
  int size = 0;
  int version = 0;  // changes with every new brush
  std::vector<BrushRun> runs;
  std::vector<std::uint16_t> level, paint;
  std::int64_t pixelCount = 0;

  void Take(const Bitmap& image) {
    ++version;
    size = image.Width();
    runs.clear();
    level.clear();
    paint.clear();
    pixelCount = 0;
    for (int v = 0; v < image.Height(); ++v) {
      const std::uint8_t* row = image.ScanLine(v);
      for (int u = 0; u < image.Width(); ++u) {
        const int value = row[3 * u + 2];
        if (value >= kOutside) continue;
        if (runs.empty() || runs.back().v != v || runs.back().last != u - 1)
          runs.push_back({v, u, u, static_cast<int>(kLanes * pixelCount)});
        runs.back().last = u;
        ++pixelCount;
        for (int c = 0; c < kLanes; ++c) {
          level.push_back(static_cast<std::uint16_t>(c < 3 ? value : 0));
          paint.push_back(static_cast<std::uint16_t>(c < 3 ? 255 - value : 0));
        }
      }
    }
  }
};

Bitmap Stretched(const Bitmap& from, int size) {
  Bitmap out(size, size);
  StretchBilinear(from, out);
  return out;
}

// The brush tiles (and the user's brush) stretched to the current size, made when first
// picked: a brush is picked every 500 stamps, at the smallest sizes thousands of times a size,
// from 38 tiles.
class StretchedTiles {
 public:
  const Bitmap& Get(int index, int brushSize, const Bitmap* own) {
    if (brushSize != size_) {
      for (Bitmap& tile : tiles_) tile = Bitmap();
      size_ = brushSize;
    }
    Bitmap& tile = tiles_[static_cast<std::size_t>(index)];
    if (tile.Empty())
      tile = Stretched(index == kBrushTiles ? *own : BrushTile(index % kBrushSheetColumns, index / kBrushSheetColumns),
                       brushSize);
    return tile;
  }

 private:
  int size_ = -1;
  std::array<Bitmap, kBrushTiles + 1> tiles_;  // the last one is the user's brush
};

// The brush for the next 500 stamps: the user's brush or a random tile, stretched to the size
// and turned by a random angle about its centre (draws: the tile, then the angle).
void PickBrush(StrokeBrush& brush, int size, const RandomStrokesSettings& s, StretchedTiles& cache, RunContext& ctx) {
  const bool own = s.customBrush && !s.customBrush->Empty();
  const int index = own ? kBrushTiles : ctx.Rand().NextInt(kBrushTiles);
  const Bitmap& stretched = cache.Get(index, size, s.customBrush);
  const int angle = ctx.Rand().NextInt(360);
  Bitmap turned;
  // The turn reports progress of its own for the drawing effects' 40-degree turns; here it
  // is a small step of the painting and stays quiet.
  RunContext quiet = ctx;
  quiet.silent = true;
  RotateBitmapAngle(stretched, turned, angle, quiet);
  if (turned.Empty()) {
    brush.Take(stretched);  // the turn failed (the run is being stopped): keep it unturned
    return;
  }
  // A turn by 40 degrees comes back enlarged to its bounding box; the brush is its centre.
  if (turned.Width() != size || turned.Height() != size) CutCentre(turned, size, size);
  brush.Take(turned);
}

class Painter {
 public:
  Painter(StrokeCanvas& canvas, int tolerance)
      : canvas_(canvas), w_(canvas.Width()), h_(canvas.Height()), tolerance_(tolerance) {
    openBits_.assign((static_cast<std::size_t>(w_) * static_cast<std::size_t>(h_) + 63) / 64, 0);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        const std::uint8_t* pixel = canvas_.At(x, y);
        const bool open = std::abs(pixel[kPhotoRed] - pixel[kCanvasRed]) >= tolerance_;
        open_ += open ? 1 : 0;
        SetOpen(Index(x, y), open);
      }
  }

  // Whether some pixel still differs in red by the tolerance: without one the position search
  // could never end.
  bool AnyOpen() const { return open_ > 0; }

  // Asks for what a stamp of `brush` centred on (x, y) reads ahead of time: a stamp lands on a
  // random spot, far from the last one, and waiting for its memory one piece after another
  // would cost more than its arithmetic. That is every pixel under its runs.
  void Prefetch(const StrokeBrush& brush, int x, int y) {
    const int half = brush.size / 2;
    const int left = x - half, top = y - half;
    fetchedBefore_ = fetched_;
    fetched_ = {x, y, brush.version};
    for (const BrushRun& run : brush.runs) {
      const int sy = top + run.v;
      if (sy < 0 || sy >= h_) continue;
      const int first = std::max(left + run.first, 0), last = std::min(left + run.last, w_ - 1);
      if (first > last) continue;
      const std::uint8_t* end = canvas_.At(last, sy) + kPixel - 1;
      for (const std::uint8_t* at = canvas_.At(first, sy); at < end; at += 64) __builtin_prefetch(at);
      __builtin_prefetch(end);
    }
  }
  // Whether the canvas still differs from the photograph in red by the tolerance at (x, y).
  // Kept as one bit per pixel: the position search tries spot after spot at random, and the
  // bits of a camera picture fit in the cache where the pictures do not.
  bool Open(int x, int y) const {
    const std::size_t i = Index(x, y);
    return (openBits_[i >> 6] >> (i & 63)) & 1;
  }

  // Asks ahead of time for the open bits that the stroke after next will most likely look at:
  // the pairs a copy of the generator draws from where the next stroke's search left it. A
  // bit lookup waits on memory otherwise, one batch of pairs after another. Only a guess: a
  // new brush or a kept stamp can change what is drawn or open.
  void PrefetchSearch(Random random, bool warmUp) const {
    if (warmUp) random.NextInt(100);
    for (int k = 0; k < kSearchAhead; ++k) {
      const int x = random.NextInt(w_), y = random.NextInt(h_);
      __builtin_prefetch(&openBits_[Index(x, y) >> 6]);
    }
  }

  // The position search: pairs (x, y) := (Random(width), Random(height)) until the canvas is
  // open there. Several pairs are drawn on a copy of the generator and their bits looked at
  // together, so that their memory is fetched side by side; the generator is then left right
  // after the first open pair, as if they had been drawn one after another. Needs AnyOpen().
  void FindOpen(Random& random, int& x, int& y) const {
    constexpr int kPairs = 4;
    for (;;) {
      Random ahead = random;
      int xs[kPairs], ys[kPairs];
      std::uint32_t seeds[kPairs];
      for (int k = 0; k < kPairs; ++k) {
        xs[k] = ahead.NextInt(w_);
        ys[k] = ahead.NextInt(h_);
        seeds[k] = ahead.Seed();
      }
      bool open[kPairs];
      for (int k = 0; k < kPairs; ++k) open[k] = Open(xs[k], ys[k]);
      for (int k = 0; k < kPairs; ++k)
        if (open[k]) {
          random.SetSeed(seeds[k]);
          x = xs[k], y = ys[k];
          return;
        }
      random = ahead;
    }
  }

  // One stamp of `brush` centred on (x, y); returns whether it was kept.
  //
  // The mean colour and the error before the stamp count the brush pixels inside the
  // picture's one-pixel rim; the patch mixes the mean into the canvas on the brush pixels off
  // the brush's own one-pixel rim that lie in the picture; the error after it counts the same
  // pixels as the error before, with the patch where there is one. The stamp is kept when the
  // error after stays below the limit; as the error only grows, it is checked after every
  // run of pixels rather than every pixel.
  bool Stamp(const StrokeBrush& brush, int x, int y, std::int64_t bias, std::int64_t factor) {
    const int size = brush.size, half = size / 2;
    const int left = x - half, top = y - half;
    // The main loop fetched this stamp's memory one stamp ago, unless it guessed the place wrong.
    const Place here{x, y, brush.version};
    if (!(here == fetched_) && !(here == fetchedBefore_)) Prefetch(brush, x, y);

    // The photograph's colour and the error under the brush, over its pixels inside the rim.
    RunMeasure under;
    std::int64_t count = 0;
    const bool inside = left >= 1 && top >= 1 && left + size <= w_ - 1 && top + size <= h_ - 1;
    measured_.clear();
    for (const BrushRun& run : brush.runs) {
      const int sy = top + run.v;
      if (!inside && (sy < 1 || sy > h_ - 2)) continue;
      const int first = inside ? run.first : std::max(run.first, 1 - left);
      const int last = inside ? run.last : std::min(run.last, w_ - 2 - left);
      if (first > last) continue;
      measured_.push_back({canvas_.At(left + first, sy), last - first + 1});
      count += last - first + 1;
    }
    MeasureSpans(measured_.data(), measured_.size(), under);
    const std::int64_t limit = (std::max<std::int64_t>(bias + under.error, 0) >> 10) * factor;
    // The error after the stamp is never negative: with no room below the limit the stamp is
    // turned down at once.
    if (limit <= 0) return false;

    std::uint8_t mean[3];
    if (count > 0) {
      for (int c = 0; c < 3; ++c) mean[c] = static_cast<std::uint8_t>(under.colour[c] / count);
    } else {
      // No brush pixel inside the rim (a picture 1 or 2 pixels wide or high): the colour of
      // the spot itself instead of a mean over nothing.
      const std::uint8_t* s = canvas_.At(x, y) + StrokeCanvas::kPhotograph;
      for (int c = 0; c < 3; ++c) mean[c] = s[c];
    }

    // The error after the stamp: the blend is measured without being written anywhere, since
    // most stamps are turned down; a kept stamp blends again into the canvas. The pixels left
    // as they are (the brush's rim, and the whole of its rim rows) are summed first, then the
    // blended runs until the limit is reached.
    std::int64_t after = 0;
    blended_.clear();
    for (const BrushRun& run : brush.runs) {
      const RunSpans spans = Spans(run, left, top, size);
      if (!spans.counted || spans.countFirst > spans.countLast) continue;
      if (!spans.blended) {
        after += canvas_.ErrorSum(spans.y, left + spans.countFirst, left + spans.countLast);
        continue;
      }
      const int first = std::max(spans.countFirst, spans.blendFirst), last = std::min(spans.countLast, spans.blendLast);
      if (first <= last) {
        const std::size_t at = static_cast<std::size_t>(run.offset + kLanes * (first - run.first));
        blended_.push_back({canvas_.At(left + first, spans.y), brush.level.data() + at, brush.paint.data() + at, last - first + 1});
      }
      const int beforeBlend = std::min(spans.countLast, spans.blendFirst - 1);
      if (spans.countFirst <= beforeBlend) after += canvas_.ErrorSum(spans.y, left + spans.countFirst, left + beforeBlend);
      const int afterBlend = std::max(spans.countFirst, spans.blendLast + 1);
      if (afterBlend <= spans.countLast) after += canvas_.ErrorSum(spans.y, left + afterBlend, left + spans.countLast);
    }
    if (after >= limit) return false;
    after += static_cast<std::int64_t>(
        BlendedRunsError(blended_.data(), blended_.size(), mean, static_cast<std::uint64_t>(limit - after)));
    if (after >= limit) return false;  // also a brush without pixels
    for (const BrushRun& run : brush.runs) {
      const RunSpans spans = Spans(run, left, top, size);
      if (spans.inPicture && spans.blended) Lay(brush, run, left + spans.blendFirst, spans.y, spans.blendFirst - run.first,
                                                 spans.blendLast - spans.blendFirst + 1, mean);
    }
    return true;
  }

 private:
  // Where a brush run at top-left (left, top) lies in the picture: the brush columns counted
  // in the errors (those inside the picture's one-pixel rim) and those blended (in the
  // picture, off the brush's own one-pixel rim).
  struct RunSpans {
    int y;
    bool inPicture, counted, blended;
    int countFirst, countLast, blendFirst, blendLast;
  };
  RunSpans Spans(const BrushRun& run, int left, int top, int size) const {
    RunSpans s;
    s.y = top + run.v;
    s.inPicture = s.y >= 0 && s.y < h_;
    s.counted = s.y >= 1 && s.y <= h_ - 2;
    const bool rimRow = run.v == 0 || run.v == size - 1;
    s.countFirst = std::max(run.first, 1 - left), s.countLast = std::min(run.last, w_ - 2 - left);
    s.blendFirst = rimRow ? 1 : std::max({run.first, 1, -left});
    s.blendLast = rimRow ? 0 : std::min({run.last, size - 2, w_ - 1 - left});
    s.blended = s.blendFirst <= s.blendLast;
    return s;
  }

  // Blends `pixels` pixels of a kept stamp's run, from its pixel `skip` on, into the canvas at
  // (x, y), keeping the open bits up to date.
  void Lay(const StrokeBrush& brush, const BrushRun& run, int x, int y, int skip, int pixels, const std::uint8_t mean[3]) {
    const std::size_t at = static_cast<std::size_t>(run.offset + kLanes * skip);
    std::uint8_t* pixel = canvas_.At(x, y);
    const std::size_t index = Index(x, y);
    laid_.resize(static_cast<std::size_t>(4 * pixels));
    BlendRun({pixel, brush.level.data() + at, brush.paint.data() + at, pixels}, mean, laid_.data());
    const std::uint8_t* blended = laid_.data();
    std::int64_t opened = 0;
    for (int i = 0; i < pixels; ++i, pixel += kPixel, blended += 4) {
      const int photoRed = pixel[kPhotoRed];
      const bool wasOpen = std::abs(photoRed - pixel[kCanvasRed]) >= tolerance_;
      const bool isOpen = std::abs(photoRed - blended[2]) >= tolerance_;
      if (isOpen != wasOpen) {
        opened += isOpen ? 1 : -1;
        SetOpen(index + static_cast<std::size_t>(i), isOpen);
      }
      std::memcpy(pixel + StrokeCanvas::kCanvas, blended, 3);
    }
    open_ += opened;
  }

  static constexpr int kPixel = StrokeCanvas::kPixelBytes;
  static constexpr int kSearchAhead = 6;  // pairs whose open bits are fetched ahead
  static constexpr int kPhotoRed = StrokeCanvas::kPhotograph + 2, kCanvasRed = StrokeCanvas::kCanvas + 2;
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x);
  }
  void SetOpen(std::size_t i, bool open) {
    const std::uint64_t bit = std::uint64_t{1} << (i & 63);
    openBits_[i >> 6] = open ? (openBits_[i >> 6] | bit) : (openBits_[i >> 6] & ~bit);
  }
  struct Place {
    int x = -1, y = -1, version = -1;
    bool operator==(const Place&) const = default;
  };

  StrokeCanvas& canvas_;
  int w_, h_, tolerance_;
  std::int64_t open_ = 0;
  std::vector<std::uint64_t> openBits_;
  Place fetched_, fetchedBefore_;  // the last two places whose memory was fetched
  std::vector<std::uint8_t> laid_;  // a kept stamp's blend of one run
  std::vector<PixelSpan> measured_;   // a stamp's runs inside the picture's rim
  std::vector<StrokeRun> blended_;    // and those of them it blends
};

// The draws that start a stroke: during warm-up the counter moves on only when Random(100) is
// at most 15; then the position search, unless no spot is open.
struct StrokeDraws {
  bool counted = false;
  Random afterCounter;  // the generator after the counter's draw
  bool positioned = false;
  int x = 0, y = 0;
  Random afterPosition;  // and after the position search
};

StrokeDraws DrawStroke(Random random, bool warmUp, const Painter& painter) {
  StrokeDraws d;
  d.counted = !warmUp || random.NextInt(100) <= 15;
  d.afterCounter = random;
  d.positioned = painter.AnyOpen();
  if (d.positioned) painter.FindOpen(random, d.x, d.y);
  d.afterPosition = random;
  return d;
}

// Darkens the painting along the outline layer and where it departs from the photograph. The
// result is written over the layer (each pixel of it is read once, before it is written), which
// saves a picture's worth of memory at the end of a run; the last row and column keep the canvas.
void OverlayOutlinesOnLayer(const StrokeCanvas& canvas, Bitmap& layer, int strength) {
  const int width = layer.Width(), height = layer.Height();
  ForEachRowBand(0, height, 64, [&](int begin, int end) {
    for (int y = begin; y < end; ++y) {
      std::uint8_t* l = layer.ScanLine(y);
      const int overlaid = y == height - 1 ? 0 : width - 1;
      for (int x = 0; x < overlaid; ++x) {
        const std::uint8_t* s = canvas.At(x, y) + StrokeCanvas::kPhotograph;
        const std::uint8_t* d = canvas.At(x, y) + StrokeCanvas::kCanvas;
        int a[3];
        for (int c = 0; c < 3; ++c) a[c] = (std::abs(d[c] - s[c]) - 2 * l[3 * x + c] + 510) / 3;
        // Blue counts a third as much as red and green.
        int w = (a[2] + a[1] + a[0] / 3) / 3;
        w = strength * w / 300;
        for (int c = 0; c < 3; ++c) l[3 * x + c] = ClampLevel(d[c] - w);
      }
      for (int x = overlaid; x < width; ++x) std::memcpy(l + 3 * x, canvas.At(x, y) + StrokeCanvas::kCanvas, 3);
    }
  });
}

}  // namespace

RandomStrokesSettings RandomStrokesSettingsFrom(const RunContext& ctx) {
  const ParameterSnapshot& p = ctx.Params();
  RandomStrokesSettings s;
  s.minimumBrush = ctx.S(1);
  s.maximumBrush = ctx.S(2);
  s.strokes = ctx.S(3);
  s.edgeIntensity = ctx.S(4);
  s.precision = ctx.S(5);
  s.doubleSize = p.doubleRow2;
  s.maxStrokes = p.maxRow3;
  s.customBrush = p.customBrush ? p.customBrushPicture : nullptr;
  s.warmUp = p.code == 15;
  return s;
}

std::int64_t RandomStrokesBudget(int width, int height, const RandomStrokesSettings& settings) {
  const int hi = settings.maximumBrush;
  const int sizeMin = std::min(settings.minimumBrush, hi);
  // 64-bit: W * H div 2 * n passes 2^31 on camera pictures and would turn negative.
  std::int64_t budget = (static_cast<std::int64_t>(width) * height / 2) * settings.strokes;
  budget = budget / ((hi - sizeMin) / 100 + 1) * 4;
  budget = std::min(budget, kBudgetCap);
  if (settings.maxStrokes) budget *= 3;
  return budget;
}

void RandomStrokesPainting(Bitmap source, Bitmap& destination, const RandomStrokesSettings& settings,
                           RunContext& ctx) {
  if (ctx.preview && ctx.silent) return;
  if (&source == &destination) throw ImageError("Painting 7 cannot paint over its own source picture.");
  if (source.Empty()) throw ImageError("There is no picture to paint.");
  const int width = source.Width(), height = source.Height();
  ctx.ShowProgress(0, 10, 1, 2);
  EnhanceLocalContrast(source, 10, ctx.mean);

  bool warmUp = settings.warmUp;
  ctx.Rand().SetSeed(kEffectSeed);
  const int hi = settings.maximumBrush, q = settings.precision;
  const int sizeMax = settings.doubleSize ? hi * 194 / 100 + 5 : hi + 6;
  const int sizeMin = std::min(settings.minimumBrush, hi);
  const std::int64_t budget = RandomStrokesBudget(width, height, settings);
  const int tolerance = (255 - q) / 10;
  const std::int64_t factor = 2 * q + 514;
  int size = sizeMax;
  std::int64_t perLevel = budget / (static_cast<std::int64_t>(size) * size);

  // The painting is done on the photograph and canvas side by side; the pictures give their
  // memory back meanwhile, and the canvas is written into the destination at the end. The
  // outline layer (only needed for an overlay) reads nothing but the photograph's grey, which
  // is kept at a byte a pixel so that the photograph can go before the layer is drawn.
  const bool outlined = settings.edgeIntensity != 0;
  std::optional<GreyPicture> grey;
  if (outlined && !ctx.silent) grey.emplace(source);
  destination = Bitmap();
  StrokeCanvas canvas(source, settings.canvas);
  source = Bitmap();
  Bitmap layer;
  const auto giveBack = [&] { canvas.CopyCanvas(destination); };
  // Whatever ends the painting, the destination gets the canvas as far as it got.
  try {
    if (outlined) {
      layer.SetSize(width, height);
      if (grey) DrawEdgeStrokes(*grey, layer, 4, 180, 20, ctx);
      grey.reset();
    }
    StrokeBrush brush;
    brush.Take(Stretched(BrushTile(0, 0), size));
    StretchedTiles tiles;
    Painter painter(canvas, tolerance);
    std::int64_t j = 1;
    // The draws that start a stroke, made for the next stroke while this one is stamped, so that
    // its memory can be fetched in the meantime. They stand unless the stamp changes the canvas
    // (the position search reads it), which few stamps do.
    StrokeDraws ahead;
    bool aheadValid = false;
    while (size >= sizeMin + 5) {
      const StrokeDraws draws = aheadValid ? ahead : DrawStroke(ctx.Rand(), warmUp, painter);
      aheadValid = false;
      if (draws.counted) ++j;
      if (ctx.StopRequested()) {
        ctx.Rand() = draws.afterCounter;
        giveBack();
        ctx.ShowProgress(101, 100, 1, 1);
        return;
      }
      ctx.Rand() = draws.afterPosition;
      // Once the canvas matches the photograph within the tolerance everywhere, no position is
      // left: the level ends instead of searching for ever.
      const bool positioned = draws.positioned;
      const int x = draws.x, y = draws.y;
      if (!positioned || j >= perLevel) {
        warmUp = false;
        size = size * 90 / 100;
        perLevel = budget / (static_cast<std::int64_t>(size) * size);
        j = 0;
      }
      if (j % kBrushChange == 0) {
        warmUp = false;
        PickBrush(brush, size, settings, tiles, ctx);
        if (!ctx.preview) ctx.ShowProgress(sizeMax - size, sizeMax - sizeMin, 2, 2);
      }
      if (!positioned) continue;
      const std::int64_t bias = warmUp ? kWarmUpBias : static_cast<std::int64_t>(q - 255) * (size / 2);
      ahead = DrawStroke(ctx.Rand(), warmUp, painter);
      if (ahead.positioned) {
        painter.PrefetchSearch(ahead.afterPosition, warmUp);
        painter.Prefetch(brush, ahead.x, ahead.y);
      }
      aheadValid = !painter.Stamp(brush, x, y, bias, factor);
      if (ctx.preview && j % kPreviewRefresh == 0) {
        canvas.CopyCanvas(destination);
        ctx.ShowInPreview(destination);
        ctx.PreviewProgressLine(200 - (size - sizeMin));
      }
    }
  } catch (...) {
    giveBack();
    throw;
  }
  ctx.ShowProgress(sizeMax, sizeMax, 2, 2);
  if (outlined) {
    OverlayOutlinesOnLayer(canvas, layer, settings.edgeIntensity);
    destination = std::move(layer);
  } else {
    canvas.CopyCanvas(destination);
  }
}

void PatchRandomStrokes(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  ParameterSnapshot& p = ctx.MutableParams();
  if (p.s[1] < p.s[0]) p.s[0] = p.s[1];
  RandomStrokesPainting(source, output, RandomStrokesSettingsFrom(ctx), ctx);
}

// Code 15: a minimum brush above the maximum is pulled down to it first (the window shows the
// corrected value); the painting goes into the result through the surface stage.
void FrameRandomStrokes(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  PatchRandomStrokes(S, R, ctx);
  Deliver(R, R, ctx, Delivery::SurfaceFinish);
}

}  // namespace brumeleaf
