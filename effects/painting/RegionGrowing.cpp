#include "effects/painting/RegionGrowing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/Colour.h"
#include "resources/PaintingTextures.h"

namespace brumeleaf {

namespace {

constexpr int kSeedAttempts = 151;
constexpr int kTextureColumns = 1023;  // the map repeats after 1023 columns and 767 rows
constexpr int kTextureRows = 767;

bool IsWhite(const std::uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

class RegionPainter {
 public:
  RegionPainter(const Bitmap& source, Bitmap& destination, const TextureMap& map, int depth)
      : w_(source.Width()), h_(source.Height()), map_(map), depth_(depth), scratch_(w_, h_),
        marked_(static_cast<std::size_t>(w_) * h_, 0), src_(source.RowTable()), dst_(destination.RowTable()),
        scr_(scratch_.RowTable()) {}

  std::int64_t painted = 0;  // P: pixels painted by patches

  // A pixel still unpainted whose source is not near white.
  bool SeedAt(int x, int y) const {
    const std::uint8_t* s = src_[y] + 3 * x;
    return IsWhite(dst_[y] + 3 * x) && (s[0] < 250 || s[1] < 250 || s[2] < 250);
  }

  // Grows square rings around (x, y) while their pixels of similar colour form runs long enough;
  // returns the ring at which growth stopped (or the largest ring plus one).
  int Grow(int x, int y, int tolerance, int slope, std::int64_t shifted) {
    const std::uint8_t* seed = src_[y] + 3 * x;
    const int largest = std::max({w_ - x, x, h_ - y, y});
    int k = 1;
    for (; k <= largest; ++k) {
      const int u = static_cast<int>(std::max(tolerance, slope - k) + 1 + shifted);
      int longest[4] = {0, 0, 0, 0};
      auto visit = [&](int side, int px, int py, int& run) {
        if (px < 0 || py < 0 || px >= w_ || py >= h_) return;
        if (!IsWhite(dst_[py] + 3 * px)) return;
        const std::uint8_t* s = src_[py] + 3 * px;
        const int d = std::abs(s[2] - seed[2]) + std::abs(s[1] - seed[1]) + std::abs(s[0] - seed[0]);
        if (d < u) {
          std::uint8_t* m = scr_[py] + 3 * px;
          m[0] = seed[0], m[1] = seed[1], m[2] = seed[2];
          longest[side] = std::max(longest[side], ++run);
        } else {
          run = 0;
        }
      };
      if (y - k >= 0) {
        int run = 0;
        for (int o = -k; o <= k; ++o) visit(0, x + o, y - k, run);
      }
      if (y + k < h_) {
        int run = 0;
        for (int o = -k; o <= k; ++o) visit(1, x + o, y + k, run);
      }
      if (x - k >= 0) {
        int run = 0;
        for (int o = -k; o <= k; ++o) visit(2, x - k, y + o, run);
      }
      if (x + k < w_) {
        int run = 0;
        for (int o = -k; o <= k; ++o) visit(3, x + k, y + o, run);
      }
      const int total = longest[0] + longest[1] + longest[2] + longest[3];
      if (total < (k < 20 ? 4 : 11)) break;
    }
    return k;
  }

  // Paints the region grown to ring k around the seed (x, y).
  void PaintRegion(int x, int y, int k, Random& random) {
    const std::uint8_t* seed = src_[y] + 3 * x;
    std::uint8_t* s0 = scr_[y] + 3 * x;
    s0[0] = seed[0], s0[1] = seed[1], s0[2] = seed[2];
    Mark(x, y, seed);
    // The marked pixels inside the square: source sum, count (from 1) and bounding box.
    const int left = std::max(0, x - k), right = std::min(w_ - 1, x + k);
    const int top = std::max(0, y - k), bottom = std::min(h_ - 1, y + k);
    std::int64_t sum[3] = {0, 0, 0};
    std::int64_t count = 1;
    int bl = w_, br = -1, bt = h_, bb = -1;
    // The marked pixels are those the fill took (it may have run beyond the square).
    inSquare_.clear();
    for (std::size_t i : filled_) {
      const int px = static_cast<int>(i % static_cast<std::size_t>(w_)), py = static_cast<int>(i / static_cast<std::size_t>(w_));
      if (px < left || px > right || py < top || py > bottom) continue;
      inSquare_.push_back({px, py});
      const std::uint8_t* s = src_[py] + 3 * px;
      for (int c = 0; c < 3; ++c) sum[c] += s[c];
      ++count;
      bl = std::min(bl, px), br = std::max(br, px), bt = std::min(bt, py), bb = std::max(bb, py);
    }
    const int shift = random.NextInt(24) - 8;
    int colour[3];
    for (int c = 0; c < 3; ++c) colour[c] = std::clamp(static_cast<int>(sum[c] / count) + shift, 0, 255);
    const int cr = colour[2];
    for (const Spot& spot : inSquare_) {
      Print(spot.x, spot.y, x, y, cr, colour);
      ++painted;
    }
    // Holes: unreached pixels mostly surrounded by the region take its paint too.
    for (int py = bt + 2; py <= bb - 2; ++py)
      for (int px = bl + 2; px <= br - 2; ++px) {
        if (!IsWhite(scr_[py] + 3 * px)) continue;
        int around = 0;
        for (int v = -2; v <= 2; ++v)
          for (int u = -2; u <= 2; ++u) around += Marked(px + u, py + v) ? 1 : 0;
        if (around >= 8) Print(px, py, x, y, cr, colour);
      }
    scratch_.FillRect(x - k - 1, y - k - 1, x + k + 1, y + k + 1, kWhite);
    // The marks live apart from the colours, so no later region can mistake them for its own
    // pixels, whatever colour its seed has.
    for (std::size_t i : filled_) marked_[i] = 0;
  }

  // Unpainted pixels: the source with the texture pressed in.
  void FillUnpainted() {
    for (int y = 0; y < h_; ++y) {
      const int ty = y % kTextureRows;
      for (int x = 0; x < w_; ++x) {
        std::uint8_t* d = dst_[y] + 3 * x;
        if (!IsWhite(d)) continue;
        const std::uint8_t* s = src_[y] + 3 * x;
        const int shift = ((map_.mean - map_.At(x % kTextureColumns, ty)) * depth_) / 255;
        for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(std::clamp(s[c] + shift, 0, 254));
      }
    }
  }

 private:
  bool Marked(int x, int y) const { return marked_[static_cast<std::size_t>(y) * w_ + x] != 0; }

  // The connected (4-neighbour) area of exactly the seed colour in the scratch picture around
  // (x, y) is marked and recoloured with the marker colour.
  void Mark(int x, int y, const std::uint8_t* seed) {
    const std::uint8_t colour[3] = {seed[0], seed[1], seed[2]};
    filled_.clear();
    stack_.clear();
    auto takes = [&](int px, int py) {
      if (px < 0 || py < 0 || px >= w_ || py >= h_ || Marked(px, py)) return false;
      const std::uint8_t* m = scr_[py] + 3 * px;
      return m[0] == colour[0] && m[1] == colour[1] && m[2] == colour[2];
    };
    auto take = [&](int px, int py) {
      const std::size_t i = static_cast<std::size_t>(py) * w_ + px;
      marked_[i] = 1;
      filled_.push_back(i);
      std::uint8_t* m = scr_[py] + 3 * px;
      m[0] = 0, m[1] = 127, m[2] = 255;  // the marker colour: red 255, green 127, blue 0
      stack_.push_back({px, py});
    };
    take(x, y);
    while (!stack_.empty()) {
      const auto [px, py] = stack_.back();
      stack_.pop_back();
      if (takes(px - 1, py)) take(px - 1, py);
      if (takes(px + 1, py)) take(px + 1, py);
      if (takes(px, py - 1)) take(px, py - 1);
      if (takes(px, py + 1)) take(px, py + 1);
    }
  }

  // The patch colour with the texture pressed in, shifted by the seed and the patch's red so
  // that neighbouring patches do not share the grain; at most 254, never the unpainted white.
  void Print(int px, int py, int x, int y, int cr, const int colour[3]) {
    const int t = map_.At((x + cr + px) % kTextureColumns, (y + cr + py) % kTextureRows);
    const int shift = ((map_.mean - t) * depth_) / 255;
    std::uint8_t* d = dst_[py] + 3 * px;
    for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(std::clamp(colour[c] + shift, 0, 254));
  }

  struct Spot {
    int x, y;
  };
  int w_, h_;
  const TextureMap& map_;
  int depth_;
  Bitmap scratch_;
  std::vector<std::uint8_t> marked_;
  std::vector<std::size_t> filled_;
  std::vector<Spot> stack_, inSquare_;
  std::vector<const std::uint8_t*> src_;
  std::vector<std::uint8_t*> dst_;
  std::vector<std::uint8_t*> scr_;
};

void Brighten(Bitmap& image, bool glow, int darkenLighten, Random& random) {
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, p += 3) {
      const int g = glow ? (p[0] + p[1] + p[2]) >> 5 : 0;
      const int h = g + random.NextInt(g >> 2);  // drawn for every pixel, even when g is 0
      for (int c = 0; c < 3; ++c) p[c] = ClampLevel(p[c] + h - (127 - darkenLighten));
    }
  }
}

// Dark edges in dark areas of the source darken the painting most.
void DarkenEdges(const Bitmap& source, Bitmap& image) {
  for (int y = 0; y + 1 < image.Height(); ++y) {
    const std::uint8_t* s = source.ScanLine(y);
    const std::uint8_t* below = source.ScanLine(y + 1);
    std::uint8_t* d = image.ScanLine(y);
    for (int x = 0; x + 1 < image.Width(); ++x) {
      int e = 0;
      for (int c = 0; c < 3; ++c) e += std::abs(s[3 * x + c] - s[3 * x + 3 + c]) + std::abs(s[3 * x + c] - below[3 * x + c]);
      e /= 4;
      const int o = std::min(65, e * (356 - (s[3 * x] + s[3 * x + 1] + s[3 * x + 2]) / 3) / 256);
      if (o < 5) continue;
      for (int c = 0; c < 3; ++c) d[3 * x + c] = ClampLevel(d[3 * x + c] - o);
    }
  }
}

}  // namespace

RegionGrowingSettings RegionGrowingSettingsFrom(const RunContext& ctx) {
  return RegionGrowingSettings{ctx.S(1), ctx.S(2), ctx.S(3), ctx.S(4), ctx.S(5)};
}

void RegionGrowingPainting(const Bitmap& source, Bitmap& destination, std::string_view mode,
                           const RegionGrowingSettings& s, RunContext& ctx) {
  if (&source == &destination) throw ImageError("The region painting cannot paint over its own source picture.");
  if (source.Empty()) throw ImageError("There is no picture to paint.");
  const bool watercolour = mode == kWatercolourMode;
  const TextureMap& map = watercolour ? WatercolourTextureMap() : ImpastoTextureMap();
  const int w = source.Width(), h = source.Height();
  destination.SetSize(w, h);
  destination.Fill(kWhite);
  ctx.ShowProgress(0, 85, 1, 1);
  RegionPainter painter(source, destination, map, 2 * s.texture);
  Random& random = ctx.Rand();
  // The divisors W * H div 140 and div 100 are 0 on pictures of fewer than 140 (100) pixels.
  const std::int64_t area = static_cast<std::int64_t>(w) * h;
  const std::int64_t coverageUnit = std::max<std::int64_t>(1, area / 140);
  const std::int64_t percentUnit = std::max<std::int64_t>(1, area / 100);
  const std::int64_t cycles = static_cast<std::int64_t>(w + h) * 100;
  const int widen = ctx.processing ? 9 : 5;
  for (std::int64_t q = 0; q <= cycles; ++q) {
    int x = 0, y = 0;
    bool found = false;
    for (int attempt = 0; attempt < kSeedAttempts && !found; ++attempt) {
      x = random.NextInt(w - 1);
      y = random.NextInt(h - 1);
      found = painter.SeedAt(x, y);
    }
    if (!found) break;
    if (painter.painted / coverageUnit > (s.coverage >> 1)) break;
    const int k = painter.Grow(x, y, s.simplification >> 3, s.simplification, (q * (s.simplification + 1)) >> widen);
    if (ctx.StopRequested()) return;
    if (k >= 4) painter.PaintRegion(x, y, k, random);
    if (q % 33 == 0) ctx.ShowProgress(static_cast<int>(painter.painted / percentUnit), 85, 1, 1);
  }
  painter.FillUnpainted();
  ctx.ShowProgress(85, 85, 1, 1);
  Brighten(destination, watercolour, s.darkenLighten, random);
  DarkenEdges(source, destination);
  AdjustSaturation(destination, (s.colour - 50) * 2);
}

void PatchRegionGrowing(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  const std::string_view mode = ctx.Params().code == 8 ? kWatercolourMode : kImpastoMode;
  RegionGrowingPainting(source, output, mode, RegionGrowingSettingsFrom(ctx), ctx);
}

// Codes 8 and 9: the painting of a copy of the source goes through the surface stage.
void FrameRegionGrowing(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnSourceAndSecond(S, R, ctx, WorkingPair{}, [&](const Bitmap& w1, Bitmap& w2) { PatchRegionGrowing(w1, w2, ctx); });
}

}  // namespace brumeleaf
