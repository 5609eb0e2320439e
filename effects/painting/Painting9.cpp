#include "effects/painting/Painting9.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "effects/painting/EdgeStrokes.h"
#include "imaging/Canvas.h"
#include "imaging/Colour.h"
#include "imaging/ParallelRows.h"
#include "resources/PaintingTextures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brumeleaf {

// Four interleaved generators, each a fourth of the sequence ahead
// (seed <- A^4 seed + C (A^3 + A^2 + A + 1)), so the multiplications do not wait on one
// another; the generator is left where the last draw left it.
void BlotDrawsOfFive(Random& random, int* draws, int count) {
  constexpr std::uint32_t A = 134775813u;
  constexpr std::uint32_t A2 = A * A, A4 = A2 * A2;
  constexpr std::uint32_t C4 = A * A2 + A2 + A + 1u;
  const auto five = [](std::uint32_t seed) { return static_cast<int>((static_cast<std::uint64_t>(seed) * 5u) >> 32); };
  std::uint32_t seed = random.Seed();
  int i = 0;
  if (count >= 4) {
    std::uint32_t s0 = seed * A + 1u, s1 = s0 * A + 1u, s2 = s1 * A + 1u, s3 = s2 * A + 1u;
    for (; i + 4 <= count; i += 4) {
      draws[i] = five(s0), draws[i + 1] = five(s1), draws[i + 2] = five(s2), draws[i + 3] = five(s3);
      seed = s3;
      s0 = s0 * A4 + C4, s1 = s1 * A4 + C4, s2 = s2 * A4 + C4, s3 = s3 * A4 + C4;
    }
  }
  for (; i < count; ++i) {
    seed = seed * A + 1u;
    draws[i] = five(seed);
  }
  random.SetSeed(seed);
}

// w d + (100 - w) b is at most 25500, so 16-bit lanes hold it, and x / 100 = (x * 5243) >> 19
// for every x up to 25500.
void BlendBlotRow(std::uint8_t* d, const std::uint8_t* b, const std::uint8_t* weights, std::size_t n) {
  std::size_t j = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), hundred = _mm_set1_epi16(100), magic = _mm_set1_epi16(5243);
  const auto half = [&](__m128i w, __m128i dd, __m128i bb) {
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(w, dd), _mm_mullo_epi16(_mm_sub_epi16(hundred, w), bb));
    return _mm_srli_epi16(_mm_mulhi_epu16(x, magic), 3);
  };
  for (; j + 16 <= n; j += 16) {
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + j));
    const __m128i dd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j));
    const __m128i bb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + j));
    const __m128i low = half(_mm_unpacklo_epi8(w, zero), _mm_unpacklo_epi8(dd, zero), _mm_unpacklo_epi8(bb, zero));
    const __m128i high = half(_mm_unpackhi_epi8(w, zero), _mm_unpackhi_epi8(dd, zero), _mm_unpackhi_epi8(bb, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), _mm_packus_epi16(low, high));
  }
#endif
  for (; j < n; ++j) {
    const int w = weights[j];
    d[j] = static_cast<std::uint8_t>((w * d[j] + (100 - w) * b[j]) / 100);
  }
}

// The squares are whole numbers far below 2^53, exact in doubles, and the root is not negative,
// so truncating it is flooring.
void BlotRowWeights(int dy, int dx0, int v, const int* draws, int width, std::uint8_t* out) {
  const double dy2 = static_cast<double>(dy) * dy;
  int i = 0;
#if defined(__SSE2__)
  // A blot's box reaches at most a ray's length from its seed, so distances stay far below
  // 32771, up to which x / 6 = (x * 10923) >> 16; larger ones take the plain form.
  if (std::abs(dy) < 16384 && std::abs(dx0) < 16384 && std::abs(dx0 + width) < 16384) {
    const __m128i offset = _mm_set1_epi16(static_cast<short>(v + 5)), sixth = _mm_set1_epi16(10923);
    const __m128i zero = _mm_setzero_si128(), most = _mm_set1_epi16(90);
    const __m128d dySquared = _mm_set1_pd(dy2);
    alignas(16) std::int16_t w[8];
    for (; i + 8 <= width; i += 8) {
      __m128i roots[4];
      for (int k = 0; k < 4; ++k) {
        const __m128d dx = _mm_set_pd(dx0 + i + 2 * k + 1, dx0 + i + 2 * k);
        roots[k] = _mm_cvttpd_epi32(_mm_sqrt_pd(_mm_add_pd(dySquared, _mm_mul_pd(dx, dx))));
      }
      const __m128i low = _mm_unpacklo_epi64(roots[0], roots[1]), high = _mm_unpacklo_epi64(roots[2], roots[3]);
      const __m128i dist = _mm_packs_epi32(low, high);
      const __m128i drawn = _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(draws + i)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(draws + i + 4)));
      __m128i weight = _mm_add_epi16(_mm_add_epi16(_mm_mulhi_epu16(dist, sixth), offset), drawn);
      weight = _mm_min_epi16(_mm_max_epi16(weight, zero), most);
      _mm_store_si128(reinterpret_cast<__m128i*>(w), weight);
      for (int k = 0; k < 8; ++k) {
        std::uint8_t* o = out + 3 * static_cast<std::size_t>(i + k);
        o[0] = o[1] = o[2] = static_cast<std::uint8_t>(w[k]);
      }
    }
  }
#endif
  for (; i < width; ++i) {
    const double dx = dx0 + i;
    const int dist = static_cast<int>(std::sqrt(dy2 + dx * dx));
    const int w = std::clamp(v + dist / 6 + 5 + draws[i], 0, 90);
    std::uint8_t* o = out + 3 * static_cast<std::size_t>(i);
    o[0] = o[1] = o[2] = static_cast<std::uint8_t>(w);
  }
}


namespace {

constexpr int kRays = 150;
constexpr double kRayStep = 0.0419;  // radians between neighbouring rays

// A ray's budget is at most 185000 / 100 and every step costs at least 1, so no ray walks
// further than this many steps.
constexpr int kLongestRay = 1850;

struct Directions {
  std::array<float, kRays> cosine{};
  std::array<float, kRays> sine{};
  // floor(cosine t) and floor(sine t) of every ray for t = 0 .. kLongestRay, the offsets of the
  // pixels a ray walks over.
  std::vector<std::int16_t> across, down;
  Directions() : across(static_cast<std::size_t>(kRays) * (kLongestRay + 1)), down(across.size()) {
    for (int i = 0; i < kRays; ++i) {
      cosine[static_cast<std::size_t>(i)] = static_cast<float>(std::cos(i * kRayStep));
      sine[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * kRayStep));
      const double c = cosine[static_cast<std::size_t>(i)], s = sine[static_cast<std::size_t>(i)];
      for (int t = 0; t <= kLongestRay; ++t) {
        const std::size_t at = static_cast<std::size_t>(i) * (kLongestRay + 1) + static_cast<std::size_t>(t);
        across[at] = static_cast<std::int16_t>(std::floor(c * t));
        down[at] = static_cast<std::int16_t>(std::floor(s * t));
      }
    }
  }
};


int Distance(const std::uint8_t* a, const std::uint8_t* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

bool PureWhite(const std::uint8_t* p) { return p[0] + p[1] + p[2] > 764; }

class BlotPainter {
 public:
  BlotPainter(const Bitmap& source, Bitmap& destination, const Painting9Settings& settings, RunContext& ctx)
      : source_(source),
        destination_(destination),
        settings_(settings),
        random_(ctx.Rand()),
        width_(source.Width()),
        height_(source.Height()),
        src_(source.RowTable()),
        dst_(destination.RowTable()),
        texture_(WatercolourTextureMap()) {
    costFactor_ = (255 - settings.brushSize) / 20 + 1;
  }

  void Blot(int k) {
    int x = 0, y = 0, d0 = 0;
    if (!Place(k, x, y, d0)) return;
    const std::uint8_t* s = Src(x, y);
    seed_[0] = s[0], seed_[1] = s[1], seed_[2] = s[2];
    Rays(k, x, y);
    FillBlot();
    if ((box_.right - box_.left) + (box_.bottom - box_.top) > 19) Grain();
    Lay(x, y, d0);
  }

 private:
  const std::uint8_t* Src(int x, int y) const { return src_[static_cast<std::size_t>(y)] + 3 * x; }
  std::uint8_t* Dst(int x, int y) { return dst_[static_cast<std::size_t>(y)] + 3 * x; }

  // Up to ten picks. A pick is taken at once when it lies on untouched paper and its colour is
  // not nearly white; a pick whose canvas differs from its colour by more than the limit is
  // taken when the next pick would start, so the tenth pick can only be taken the first way.
  bool Place(int k, int& x, int& y, int& d0) {
    const int margin = 105 - settings_.precision;
    const int limit = random_.NextInt(6 * margin) + 2 * margin;
    const bool early = k < settings_.iterations * 12;
    for (int pick = 0; pick < 10; ++pick) {
      if (pick > 0 && d0 > limit) return true;
      x = random_.NextInt(width_ - 1);
      y = random_.NextInt(height_ - 1);
      for (int again = 0; early && again < 4 && !PureWhite(Dst(x, y)); ++again) {
        x = random_.NextInt(width_ - 1);
        y = random_.NextInt(height_ - 1);
      }
      const std::uint8_t* seed = Src(x, y);
      d0 = Distance(Dst(x, y), seed);
      if (PureWhite(Dst(x, y)) && seed[0] + seed[1] + seed[2] < 700) return true;
    }
    return false;
  }

  void Rays(int k, int x, int y) {
    static const Directions directions;
    const int budgetPerRay = (185000 - 2 * k) / 100;
    box_ = Rect{x, y, x, y};  // extreme coordinates reached, both ends inclusive
    int previous = 0;
    const std::uint8_t* const sourceBase = src_[0];
    const std::uint8_t* const destinationBase = dst_[0];
    const std::ptrdiff_t sourceRows = source_.RowDistance(), destinationRows = destination_.RowDistance();
    for (int i = 0; i < kRays; ++i) {
      const double c = directions.cosine[static_cast<std::size_t>(i)];
      const double s = directions.sine[static_cast<std::size_t>(i)];
      const std::int16_t* across = directions.across.data() + static_cast<std::size_t>(i) * (kLongestRay + 1);
      const std::int16_t* down = directions.down.data() + static_cast<std::size_t>(i) * (kLongestRay + 1);
      int budget = budgetPerRay;
      int t = 1;
      // floor(c t) and floor(s t) only move one way along a ray, so the ray's last pixel is its
      // furthest in both directions: only that one can widen the box.
      int lastX = x, lastY = y;
      for (;; ++t) {
        const int px = x + (t <= kLongestRay ? across[t] : static_cast<int>(std::floor(c * t)));
        const int py = y + (t <= kLongestRay ? down[t] : static_cast<int>(std::floor(s * t)));
        if (px < 0 || py < 0 || px >= width_ || py >= height_) break;
        lastX = px, lastY = py;
        const int e = Distance(sourceBase + sourceRows * py + 3 * px, seed_);
        const int g = Distance(destinationBase + destinationRows * py + 3 * px, seed_);
        budget -= BlotStepCost(e, g) * costFactor_;
        if (budget <= 0) break;
      }
      box_.left = std::min(box_.left, lastX), box_.right = std::max(box_.right, lastX);
      box_.top = std::min(box_.top, lastY), box_.bottom = std::max(box_.bottom, lastY);
      if (previous > 0) t = (4 * t + 7 * previous) / 11;
      t = t * (100 - random_.NextInt(6)) / 100;
      previous = t;
      vertices_[static_cast<std::size_t>(i)] = Point{x + static_cast<int>(std::floor(c * t)),
                                                     y + static_cast<int>(std::floor(s * t))};
    }
  }

  // The destination's box copied into the blot picture (which holds just the box) and the
  // polygon filled there in the seed colour, pen and brush alike.
  void FillBlot() {
    const int w = box_.right - box_.left + 1, h = box_.bottom - box_.top + 1;
    blot_.SetSize(w, h);
    for (int py = 0; py < h; ++py)
      std::copy_n(Dst(box_.left, box_.top + py), 3 * w, blot_.ScanLine(py));
    shifted_.resize(kRays);
    for (int i = 0; i < kRays; ++i)
      shifted_[static_cast<std::size_t>(i)] = Point{vertices_[static_cast<std::size_t>(i)].x - box_.left,
                                                    vertices_[static_cast<std::size_t>(i)].y - box_.top};
    Canvas canvas(blot_);
    canvas.penColor = canvas.brushColor = MakeColour(seed_[2], seed_[1], seed_[0]);
    canvas.Polygon(shifted_);
  }

  // Pixels of the seed colour take the paper grain, shifted by the seed's red level so that
  // neighbouring blots do not share it.
  void Grain() {
    // The levels a texture value gives each channel of the seed colour.
    std::uint8_t level[3][256];
    for (int v = 0; v < 256; ++v) {
      const int shift = ((texture_.mean - v) * 64) / 255;
      for (int c = 0; c < 3; ++c) level[c][v] = ClampLevel(seed_[c] + shift);
    }
    const int firstColumn = (box_.left + seed_[2]) % 1023;
    for (int py = 0; py < blot_.Height(); ++py) {
      std::uint8_t* b = blot_.ScanLine(py);
      const std::uint8_t* texture = texture_.values.data() + static_cast<std::size_t>((box_.top + py) % 767) * TextureMap::kWidth;
      int tx = firstColumn;  // (box left + i + seed red) mod 1023
      for (int i = 0; i < blot_.Width(); ++i, b += 3, tx = tx == 1022 ? 0 : tx + 1) {
        if (b[0] != seed_[0] || b[1] != seed_[1] || b[2] != seed_[2]) continue;
        const int v = texture[tx];
        b[0] = level[0][v], b[1] = level[1][v], b[2] = level[2][v];
      }
    }
  }

  // Most opaque near the seed, fading by a sixth of a level per pixel of distance, with noise.
  // A row's draws come first, then its weights, then the blend, so each of these runs as a
  // plain loop over the row.
  void Lay(int x, int y, int d0) {
    const int v = random_.NextInt(30 - d0 * 30 / 765);
    const int width = blot_.Width();
    draws_.resize(static_cast<std::size_t>(width));
    weights_.resize(3 * static_cast<std::size_t>(width));
    for (int py = 0; py < blot_.Height(); ++py) {
      BlotDrawsOfFive(random_, draws_.data(), width);
      const std::uint8_t* b = blot_.ScanLine(py);
      std::uint8_t* d = Dst(box_.left, box_.top + py);
      BlotRowWeights(box_.top + py - y, box_.left - x, v, draws_.data(), width, weights_.data());
      BlendBlotRow(d, b, weights_.data(), 3 * static_cast<std::size_t>(width));
    }
  }

  const Bitmap& source_;
  Bitmap& destination_;
  const Painting9Settings& settings_;
  Random& random_;
  int width_, height_;
  std::vector<const std::uint8_t*> src_;
  std::vector<std::uint8_t*> dst_;
  const TextureMap& texture_;
  int costFactor_ = 1;
  std::uint8_t seed_[3] = {0, 0, 0};
  Rect box_;
  std::array<Point, kRays> vertices_{};
  std::vector<Point> shifted_;
  Bitmap blot_;
  std::vector<int> draws_;
  std::vector<std::uint8_t> weights_;
};

// Dull and light areas are lifted most; s5 div 5 is added to every channel afterwards.
Colour Lightened(Colour rgb, int s5) {
  Hls hls = ColorRGBToHLS(rgb);
  if (s5 > 0) {
    const int u = ((240 - hls.saturation) * 2 + (hls.luminance - 128) / 2) * 255 / ((255 - s5) * 32 + 2);
    hls.luminance = std::min(240, hls.luminance + std::max(0, u));
  }
  const Colour c = ColorHLSToRGB(hls.hue, hls.luminance, hls.saturation);
  return MakeColour(std::min(255, RedOf(c) + s5 / 5), std::min(255, GreenOf(c) + s5 / 5), std::min(255, BlueOf(c) + s5 / 5));
}

void Lighten(Bitmap& image, int s5) {
  ForEachRowBand(0, image.Height(), 32, [&](int first, int last) {
    // The blots repeat their colours; a small table of the colours met recently, each in the
    // slot its bits pick, skips both conversions for most pixels.
    constexpr std::uint32_t kSlots = 1u << 12;
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // no colour has its top byte set
    std::vector<std::uint32_t> seen(kSlots, kEmpty), result(kSlots, 0);
    for (int y = first; y < last; ++y) {
      std::uint8_t* p = image.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x, p += 3) {
        const Colour in = MakeColour(p[2], p[1], p[0]);
        const std::uint32_t slot = ((in * 2654435761u) >> 20) & (kSlots - 1);
        if (seen[slot] != in) {
          seen[slot] = in;
          result[slot] = Lightened(in, s5);
        }
        const Colour c = result[slot];
        p[0] = static_cast<std::uint8_t>(BlueOf(c));
        p[1] = static_cast<std::uint8_t>(GreenOf(c));
        p[2] = static_cast<std::uint8_t>(RedOf(c));
      }
    }
  });
}

// Multiplies the outline layer in with strength s4; the last row and column keep their levels.
void OverlayOutlines(Bitmap& image, const Bitmap& layer, int s4) {
  ForEachRowBand(0, image.Height() - 1, 32, [&](int first, int last) {
    for (int y = first; y < last; ++y) {
      std::uint8_t* p = image.ScanLine(y);
      const std::uint8_t* l = layer.ScanLine(y);
      for (int x = 0; x < image.Width() - 1; ++x, p += 3, l += 3) {
        const int lambda = (std::max(20, int{l[2]}) + std::max(20, int{l[1]}) + std::max(20, int{l[0]})) / 3;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * (255 - s4) + s4 * (lambda * p[c] / 255)) / 255);
      }
    }
  });
}

}  // namespace

Painting9Settings Painting9SettingsFrom(const RunContext& ctx) {
  Painting9Settings settings;
  settings.iterations = ctx.S(1);
  settings.brushSize = ctx.S(2);
  settings.precision = ctx.S(3);
  settings.edgeIntensity = ctx.S(4);
  settings.lighten = ctx.S(5);
  return settings;
}

void BlotPainting(const Bitmap& source, Bitmap& destination, const Painting9Settings& settings, RunContext& ctx) {
  if (&source == &destination) throw ImageError("Painting 9 cannot paint over its own source picture.");
  destination.SetSize(source.Width(), source.Height());
  ctx.Rand().SetSeed(kEffectSeed);
  ctx.ShowProgress(0, 100, 1, 2);
  if (ctx.preview) ctx.ShowInPreview(destination);

  Bitmap outlines(source.Width(), source.Height());
  if (settings.edgeIntensity > 0)
    DrawEdgeStrokes(source, outlines, 50 - settings.edgeIntensity / 8, 210, 15, ctx);

  const std::int64_t area = static_cast<std::int64_t>(source.Width()) * source.Height();
  const int blots = static_cast<int>(std::clamp<std::int64_t>(area / 40000, 1, 100));
  const int passes = settings.iterations * 75;
  BlotPainter painter(source, destination, settings, ctx);
  for (int k = 0; k <= passes; ++k) {
    if (k % 25 == 0) {
      ctx.ShowProgress(k, settings.iterations * 100, 2, 2);
      if (k % 50 == 0) ctx.ShowInPreview(destination);
    }
    for (int blot = 0; blot <= blots; ++blot) {
      painter.Blot(k);
      if (ctx.StopRequested()) {
        ctx.ShowProgress(101, 100, 2, 2);
        return;
      }
    }
  }
  Lighten(destination, settings.lighten);
  OverlayOutlines(destination, outlines, settings.edgeIntensity);
  ctx.ShowProgress(101, 100, 2, 2);
}

void PatchPainting9(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  BlotPainting(source, output, Painting9SettingsFrom(ctx), ctx);
}

// Code 27: W1 := copy of S, W2 := the same drawn on a new picture; the painting in W2 goes
// through the surface stage into W1, which becomes the result.
void FramePainting9(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  ctx.ShowProgress(0, 100, 1, 1);
  Bitmap painted;
  {
    const DrawingShown shown(ctx, &painted);
    BlotPainting(S, painted, Painting9SettingsFrom(ctx), ctx);
  }
  Bitmap finished;
  Deliver(painted, finished, ctx, Delivery::SurfaceFinish);
  R = std::move(finished);
  ctx.ShowProgress(101, 100, 1, 1);
}

}  // namespace brumeleaf
