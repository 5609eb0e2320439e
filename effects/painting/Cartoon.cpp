#include "effects/painting/Cartoon.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/BlockAveraging.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/ParallelRows.h"

namespace brumeleaf {

namespace {

constexpr int kSeedAttempts = 151;
constexpr int kAveragingPasses = 36;
constexpr int kAveragingBlending = 40;
constexpr int kTileContrastStrength = 50;

bool IsWhite(const std::uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

// The marker in byte order (blue, green, red). Only this exact colour counts as a marker, in
// the measuring and in the hole filling alike: a region that stopped growing below radius 4
// leaves its seed colour in the scratch picture, and such a leftover with green 127 belongs to
// no patch, so matching on the green level alone would pull it into the next patch's holes.
bool IsMarker(const std::uint8_t* p) { return p[0] == 0 && p[1] == 127 && p[2] == 255; }

// Whether any of the 48 bytes from p is 0.
bool HasZeroByte48(const std::uint8_t* p) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i a = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), zero);
  const __m128i b = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), zero);
  const __m128i c = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)), zero);
  return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), c)) != 0;
#else
  for (int i = 0; i < 48; ++i)
    if (p[i] == 0) return true;
  return false;
#endif
}

int ColourDistance(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

class PatchPainter {
 public:
  PatchPainter(const Bitmap& source, Bitmap& destination, const CartoonSettings& settings, RunContext& ctx)
      : source_(source.RowTable()),
        width_(source.Width()),
        height_(source.Height()),
        settings_(settings),
        ctx_(ctx),
        scratch_(source.Width(), source.Height()),
        destination_(destination) {
    destination_.SetSize(width_, height_);
    dest_ = destination_.RowTable();
    marks_ = scratch_.RowTable();
    BuildColumns();
    // Pictures under 140 (100) pixels would divide by zero: their divisors count as 1.
    coverageUnit_ = std::max<std::int64_t>(1, static_cast<std::int64_t>(width_) * height_ / 140);
    progressUnit_ = std::max<std::int64_t>(1, static_cast<std::int64_t>(width_) * height_ / 100);
  }

  bool Run() {
    const std::int64_t cycles = static_cast<std::int64_t>(width_ + height_) * 100;
    for (std::int64_t q = 0; q <= cycles; ++q) {
      int x = 0, y = 0;
      if (!FindSeed(x, y)) break;
      if (painted_ / coverageUnit_ > (settings_.coverage >> 1)) break;
      const int k = Grow(x, y, q);
      if (ctx_.StopRequested()) return false;
      if (k >= 4) {
        PaintPatch(x, y, k);
      } else if (grown_.left < grown_.right) {
        leftovers_.push_back(grown_);  // a region too small to paint keeps its marks
      }
      if (q % 33 == 0) ctx_.ShowProgress(static_cast<int>(painted_ / progressUnit_), 85, 1, 3);
    }
    return true;
  }

 private:
  const std::uint8_t* Src(int x, int y) const { return source_[static_cast<std::size_t>(y)] + 3 * x; }
  std::uint8_t* Column(int x, int y) { return &columns_[4 * (static_cast<std::size_t>(x) * height_ + y)]; }

  // The source column by column, each pixel's blue, green and red followed by 1 while the
  // destination pixel is still white (unpainted), so that the left and right sides of the
  // growth rings read consecutive bytes instead of one row of each picture per pixel. A
  // painted pixel takes a colour of at most 254 and never turns white again.
  void BuildColumns() {
    columns_.resize(4 * static_cast<std::size_t>(width_) * height_);
    // Sixteen columns at a time, so that each source row is read a cache line at a time.
    constexpr int kBlock = 16;
    ForEachRowBand(0, width_, 64, [&](int first, int last) {
      for (int left = first; left < last; left += kBlock) {
        const int right = std::min(last, left + kBlock);
        for (int y = 0; y < height_; ++y) {
          const std::uint8_t* s = source_[static_cast<std::size_t>(y)];
          const std::uint8_t* d = dest_[static_cast<std::size_t>(y)];
          for (int x = left; x < right; ++x) {
            std::uint8_t* c = Column(x, y);
            c[0] = s[3 * x], c[1] = s[3 * x + 1], c[2] = s[3 * x + 2], c[3] = IsWhite(d + 3 * x) ? 1 : 0;
          }
        }
      }
    });
  }
  // Paints destination pixel (x, y) in `colour`.
  void Paint(int x, int y, const std::uint8_t* colour) {
    std::uint8_t* d = Dst(x, y);
    d[0] = colour[0], d[1] = colour[1], d[2] = colour[2];
    Column(x, y)[3] = IsWhite(d) ? 1 : 0;
  }
  std::uint8_t* Dst(int x, int y) { return dest_[static_cast<std::size_t>(y)] + 3 * x; }
  std::uint8_t* Mark(int x, int y) { return marks_[static_cast<std::size_t>(y)] + 3 * x; }

  bool FindSeed(int& x, int& y) {
    Random& random = ctx_.Rand();
    for (int attempt = 0; attempt < kSeedAttempts; ++attempt) {
      x = random.NextInt(width_ - 1);
      y = random.NextInt(height_ - 1);
      const std::uint8_t* s = Src(x, y);
      if (IsWhite(Dst(x, y)) && (s[0] < 250 || s[1] < 250 || s[2] < 250)) return true;
    }
    return false;
  }

  // Square rings around the seed; returns the ring at which the growth stopped (or the
  // largest ring plus one).
  int Grow(int x, int y, std::int64_t q) {
    const std::uint8_t* seed = Src(x, y);
    seed_[0] = seed[0], seed_[1] = seed[1], seed_[2] = seed[2];
    const int s2 = settings_.simplification;
    const int largest = std::max({width_ - x, x, height_ - y, y});
    grown_ = Rect{x, y, x, y};  // empty
    int k = 1;
    for (; k <= largest; ++k) {
      // The cartoon always runs as a processing run (its preview raises the flag too).
      const int u = std::max(s2 >> 3, s2 - k) + 1 + static_cast<int>((q * (s2 + 1)) >> 9);
      int longest[4] = {0, 0, 0, 0};
      if (y - k >= 0) Side(x - k, y - k, 1, 0, k, u, longest[0]);
      if (y + k < height_) Side(x - k, y + k, 1, 0, k, u, longest[1]);
      if (x - k >= 0) Side(x - k, y - k, 0, 1, k, u, longest[2]);
      if (x + k < width_) Side(x + k, y - k, 0, 1, k, u, longest[3]);
      const int runs = longest[0] + longest[1] + longest[2] + longest[3];
      if (runs < (k < 20 ? 4 : 11)) break;
    }
    return k;
  }

  // One side of ring k from (x0, y0) in 2k + 1 steps of (dx, dy); steps outside the picture
  // change nothing, so only the part inside is walked.
  void Side(int x0, int y0, int dx, int dy, int k, int u, int& longest) {
    int run = 0;
    const int start = dx ? std::max(0, -x0) : std::max(0, -y0);
    const int end = dx ? std::min(2 * k, width_ - 1 - x0) : std::min(2 * k, height_ - 1 - y0);
    if (dy) {
      // Down a column: the same steps on the column copy.
      const std::uint8_t* c = Column(x0, y0 + start);
      for (int i = start; i <= end; ++i, c += 4) {
        if (!c[3]) continue;
        if (ColourDistance(c, seed_) < u) {
          SetMark(x0, y0 + i);
          longest = std::max(longest, ++run);
        } else {
          run = 0;
        }
      }
      return;
    }
    for (int i = start; i <= end; ++i) {
      const int px = x0 + i * dx, py = y0 + i * dy;
      if (!IsWhite(Dst(px, py))) continue;
      if (ColourDistance(Src(px, py), seed_) < u) {
        SetMark(px, py);
        longest = std::max(longest, ++run);
      } else {
        run = 0;
      }
    }
  }

  // Paints the seed colour into the scratch picture and widens the growth's box.
  void SetMark(int px, int py) {
    std::uint8_t* m = Mark(px, py);
    m[0] = seed_[0], m[1] = seed_[1], m[2] = seed_[2];
    grown_.left = std::min(grown_.left, px), grown_.right = std::max(grown_.right, px + 1);
    grown_.top = std::min(grown_.top, py), grown_.bottom = std::max(grown_.bottom, py + 1);
  }

  // Where the scratch picture can be other than white inside `area`: the pixels this growth
  // marked, and the leftovers of earlier regions too small to paint (their seed colours may
  // join this region's flood fill, and the marker may spread through them beyond the square
  // that is cleared afterwards, so they are kept until a clearing covers them whole).
  template <class Visit>
  void ForEachDirtyRect(const Rect& area, Visit&& visit) const {
    auto clip = [&](const Rect& r) {
      const Rect c{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
                   std::min(r.bottom, area.bottom)};
      if (c.left < c.right && c.top < c.bottom) visit(c);
    };
    clip(grown_);
    for (const Rect& r : leftovers_) clip(r);
  }

  void PaintPatch(int x, int y, int k) {
    SetMark(x, y);
    Canvas canvas(scratch_);
    canvas.brushColor = kPatchMarker;
    // A seed of exactly the marker colour is already "filled"; the canvas does nothing then.
    canvas.FloodFill(x, y, MakeColour(seed_[2], seed_[1], seed_[0]), FloodFillStyle::Surface);
    // The flood fill may have turned leftovers outside the growth's box into markers.
    const Rect square{std::max(0, x - k), std::max(0, y - k), std::min(width_, x + k + 1), std::min(height_, y + k + 1)};

    // 64-bit sums: a patch of many million bright pixels overflows 32 bits.
    std::int64_t sum[3] = {0, 0, 0};
    std::int64_t count = 1;
    Rect box{square.right, square.bottom, square.left, square.top};
    markerRuns_.clear();
    ForEachDirtyRect(square, [&](const Rect& r) {
      for (int py = r.top; py < r.bottom; ++py) {
        const std::uint8_t* row = marks_[static_cast<std::size_t>(py)];
        for (int px = r.left; px < r.right; ++px) {
          // A marker has a zero byte; sixteen pixels (48 bytes) without one are passed over.
          while (px + 16 <= r.right && !HasZeroByte48(row + 3 * px)) px += 16;
          if (px >= r.right) break;
          if (!IsMarker(Mark(px, py))) continue;
          // A pixel inside two dirty rectangles is met twice; the mark is undone on the first
          // meeting so that it counts once, and restored below.
          std::uint8_t* m = Mark(px, py);
          m[1] = 128;
          markerRuns_.push_back({px, py});
          const std::uint8_t* s = Src(px, py);
          for (int c = 0; c < 3; ++c) sum[c] += s[c];
          ++count;
          box.left = std::min(box.left, px), box.right = std::max(box.right, px + 1);
          box.top = std::min(box.top, py), box.bottom = std::max(box.bottom, py + 1);
        }
      }
    });
    for (const Point& p : markerRuns_) Mark(p.x, p.y)[1] = 127;

    std::uint8_t colour[3];
    for (int c = 0; c < 3; ++c) colour[c] = static_cast<std::uint8_t>(std::min<std::int64_t>(sum[c] / count, 254));
    if (count > 1) {
      for (const Point& p : markerRuns_) Paint(p.x, p.y, colour);
      painted_ += count - 1;
      FillHoles(box.left, box.top, box.right - 1, box.bottom - 1, colour);
    }
    // Clear the scratch rectangle (x - k - 1, y - k - 1) .. (x + k, y + k); only its dirty parts
    // can hold anything but white.
    const Rect cleared{std::max(0, x - k - 1), std::max(0, y - k - 1), std::min(width_, x + k + 1),
                       std::min(height_, y + k + 1)};
    ForEachDirtyRect(cleared, [&](const Rect& r) { scratch_.FillRect(r.left, r.top, r.right, r.bottom, kWhite); });
    std::erase_if(leftovers_, [&](const Rect& r) {
      return r.left >= cleared.left && r.top >= cleared.top && r.right <= cleared.right && r.bottom <= cleared.bottom;
    });
  }

  // Pixels of the box shrunk by 2 that are white in the scratch picture and have at least 8
  // marker pixels in their 5 x 5 neighbourhood take the patch colour too (not counted).
  void FillHoles(int left, int top, int right, int bottom, const std::uint8_t* colour) {
    if (right - left < 4 || bottom - top < 4) return;
    // Marker counts by summed-area table over the box.
    const int w = right - left + 1, h = bottom - top + 1;
    std::vector<int>& table = holeTable_;
    table.assign(static_cast<std::size_t>(w + 1) * (h + 1), 0);
    auto at = [&](int i, int j) -> int& { return table[static_cast<std::size_t>(j) * (w + 1) + i]; };
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        at(i + 1, j + 1) = at(i, j + 1) + at(i + 1, j) - at(i, j) + (IsMarker(Mark(left + i, top + j)) ? 1 : 0);
    for (int py = top + 2; py <= bottom - 2; ++py) {
      for (int px = left + 2; px <= right - 2; ++px) {
        if (!IsWhite(Mark(px, py))) continue;
        const int i = px - left, j = py - top;
        const int markers = at(i + 3, j + 3) - at(i - 2, j + 3) - at(i + 3, j - 2) + at(i - 2, j - 2);
        if (markers >= 8) Paint(px, py, colour);
      }
    }
  }

  std::vector<const std::uint8_t*> source_;
  int width_, height_;
  const CartoonSettings& settings_;
  RunContext& ctx_;
  Bitmap scratch_;
  Bitmap& destination_;
  std::vector<std::uint8_t*> dest_;
  std::vector<std::uint8_t*> marks_;
  std::vector<int> holeTable_;
  std::vector<std::uint8_t> columns_;
  std::vector<Point> markerRuns_;
  std::vector<Rect> leftovers_;
  Rect grown_;
  std::uint8_t seed_[3] = {0, 0, 0};
  std::int64_t painted_ = 0;
  std::int64_t coverageUnit_ = 1;
  std::int64_t progressUnit_ = 1;
};

// The 3 x 3 mean walked in place row by row, so each window already holds the blurred values
// of the pixels above and to the left: a deliberately stronger, directional smoothing.
void RunningBlur(Bitmap& image) {
  const int width = image.Width(), height = image.Height();
  for (int y = 1; y < height - 1; ++y) {
    const std::uint8_t* up = image.ScanLine(y - 1);
    std::uint8_t* mid = image.ScanLine(y);
    const std::uint8_t* down = image.ScanLine(y + 1);
    for (int x = 1; x < width - 1; ++x) {
      for (int c = 0; c < 3; ++c) {
        const int i = 3 * x + c;
        const int sum = up[i - 3] + up[i] + up[i + 3] + mid[i - 3] + mid[i] + mid[i + 3] + down[i - 3] + down[i] +
                        down[i + 3];
        mid[i] = static_cast<std::uint8_t>(sum / 9);
      }
    }
  }
}

void DrawOutlines(const Bitmap& blurred, Bitmap& destination, int edgeIntensity, RunContext& ctx) {
  const int width = blurred.Width(), height = blurred.Height();
  if (width < 3 || height < 3) return;
  const int threshold = 255 - edgeIntensity;
  const auto rows = blurred.RowTable();
  if (!ctx.preview) ctx.ShowProgress(1, width, 3, 3);
  ForEachRowBand(1, height - 1, 32, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      const std::uint8_t* up = rows[static_cast<std::size_t>(y - 1)];
      const std::uint8_t* mid = rows[static_cast<std::size_t>(y)];
      const std::uint8_t* down = rows[static_cast<std::size_t>(y + 1)];
      std::uint8_t* d = destination.ScanLine(y);
      for (int x = 1; x < width - 1; ++x) {
        const int i = 3 * x;
        int e = 0;
        for (int c = 0; c < 3; ++c) e += std::abs(up[i + c] - down[i + c]) + std::abs(mid[i + c - 3] - mid[i + c + 3]);
        e = std::min(e / 3, 255);
        if (e > threshold)
          for (int c = 0; c < 3; ++c) d[i + c] = ClampLevel(d[i + c] + 1 - 2 * e);
      }
    }
  });
  if (!ctx.preview) ctx.ShowProgress(width - 2, width, 3, 3);
}

// One pass of tiles whose top-left corners are (offset + 10 j, offset + 10 i).
bool TileContrastPass(Bitmap& image, int percent, int offset, int pass, int strength, RunContext& ctx) {
  constexpr int kTile = 10;
  const int width = image.Width(), height = image.Height();
  if (width < kTile + offset || height < kTile + offset) return true;
  const int tileRows = (height - kTile - offset) / kTile + 1;
  const int tileColumns = (width - kTile - offset) / kTile + 1;
  const auto rows = image.RowTable();
  constexpr int kRowsPerCheck = 16;
  for (int block = 0; block < tileRows; block += kRowsPerCheck) {
    const int end = std::min(tileRows, block + kRowsPerCheck);
    ForEachRowBand(block, end, 2, [&](int first, int last) {
      for (int i = first; i < last; ++i) {
        int pivot = 127;
        const int top = offset + kTile * i;
        for (int j = 0; j < tileColumns; ++j) {
          const int left = 3 * (offset + kTile * j);
          int sum = 0;
          for (int y = top; y < top + kTile; ++y) {
            const std::uint8_t* p = rows[static_cast<std::size_t>(y)] + left;
            for (int b = 0; b < 3 * kTile; ++b) sum += p[b];
          }
          pivot += (sum / 300 - pivot) / 2;
          for (int y = top; y < top + kTile; ++y) {
            std::uint8_t* p = rows[static_cast<std::size_t>(y)] + left;
            for (int b = 0; b < 3 * kTile; ++b) p[b] = ClampLevel(p[b] + percent * (p[b] - pivot) / 100);
          }
        }
      }
    });
    if (!ctx.preview) {
      if (strength == 20) ctx.ShowProgress(end - 1, std::max(1, tileRows - 1), pass, 2);
      if (ctx.StopRequested()) return false;
    }
  }
  return true;
}

}  // namespace

bool IsPatchMarker(Colour c) {
  const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                                 static_cast<std::uint8_t>(RedOf(c))};
  return IsMarker(bytes);
}

CartoonSettings CartoonSettingsFrom(const RunContext& ctx) {
  CartoonSettings settings;
  settings.coverage = ctx.S(1);
  settings.simplification = ctx.S(2);
  settings.darkenLighten = ctx.S(3);
  settings.edgeIntensity = ctx.S(4);
  settings.colourIntensity = ctx.S(5);
  return settings;
}

bool PaintCartoonPatches(const Bitmap& source, Bitmap& destination, const CartoonSettings& settings, RunContext& ctx) {
  if (&source == &destination) throw ImageError("Cartoon 1 cannot paint over its own source picture.");
  PatchPainter painter(source, destination, settings, ctx);
  ctx.ShowProgress(0, 85, 1, 3);
  return painter.Run();
}

void TileContrast(Bitmap& image, int strength, RunContext& ctx) {
  if (!TileContrastPass(image, strength >> 1, 0, 1, strength, ctx)) return;
  TileContrastPass(image, strength >> 1, 5, 2, strength, ctx);
}

void CartoonPainting(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  const CartoonSettings settings = CartoonSettingsFrom(ctx);
  if (!PaintCartoonPatches(source, destination, settings, ctx)) return;

  // Unpainted pixels take the photograph, then every level is brightened by 12/11.
  ForEachRowBand(0, destination.Height(), 64, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      const std::uint8_t* s = source.ScanLine(y);
      std::uint8_t* d = destination.ScanLine(y);
      for (int x = 0; x < destination.Width(); ++x) {
        std::uint8_t* p = d + 3 * x;
        if (IsWhite(p))
          for (int c = 0; c < 3; ++c) p[c] = std::min<std::uint8_t>(s[3 * x + c], 254);
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::min(255, (p[c] / 11) * 12));
      }
    }
  });
  ctx.ShowProgress(100, 100, 1, 3);

  BlockAveraging(destination, kAveragingPasses, kAveragingBlending, [&](int k) {
    if (!ctx.preview) ctx.ShowProgress(k, kAveragingPasses - 1, 2, 3);
    return true;
  });
  if (!ctx.preview) ctx.ShowProgress(100, 100, 2, 3);

  AdjustBrightness(destination, settings.darkenLighten * 2 - 100);

  Bitmap blurred = source;
  RunningBlur(blurred);
  DrawOutlines(blurred, destination, settings.edgeIntensity, ctx);

  TileContrast(destination, kTileContrastStrength, ctx);
  AdjustSaturation(destination, (settings.colourIntensity * 100 - 12700) / 127);
  ctx.ShowProgress(101, 100, 3, 3);
}

void PatchCartoonify(const Bitmap& source, Bitmap& output, RunContext& ctx) { CartoonPainting(source, output, ctx); }

// Code 17: W1 := the source drawn on a new picture, W2 new; the cartoon goes through the
// surface stage.
void FrameCartoonify(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnSourceAndSecond(S, R, ctx, WorkingPair{}, [&](const Bitmap& w1, Bitmap& w2) { CartoonPainting(w1, w2, ctx); });
}

}  // namespace brumeleaf
