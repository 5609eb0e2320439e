#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/drawing/PencilSketch5Stages.h"

namespace brumeleaf {

namespace {

std::vector<std::uint8_t*> RowTable(Bitmap& image) {
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(image.Height()));
  for (int y = 0; y < image.Height(); ++y) rows[static_cast<std::size_t>(y)] = image.ScanLine(y);
  return rows;
}

std::vector<const std::uint8_t*> RowTable(const Bitmap& image) {
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(image.Height()));
  for (int y = 0; y < image.Height(); ++y) rows[static_cast<std::size_t>(y)] = image.ScanLine(y);
  return rows;
}

int Darkness(const std::uint8_t* pixel) { return 255 - (pixel[0] + pixel[1] + pixel[2]) / 3; }

// Darkens single pixels of the drawing; positions outside are moved to the nearest edge.
class Darkener {
 public:
  explicit Darkener(Bitmap& drawing)
      : rows_(RowTable(drawing)), width_(drawing.Width()), height_(drawing.Height()) {}

  void Darken(int x, int y, int w) {
    x = std::clamp(x, 0, width_ - 1);
    y = std::clamp(y, 0, height_ - 1);
    std::uint8_t* p = rows_[static_cast<std::size_t>(y)] + 3 * x;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::max(0, p[c] - w));
  }

  // Step s of a stroke centred on (x0, y0): the two points at +-Floor(s f1), +-Floor(s f2).
  // At s = 0 both are the centre, which is darkened twice.
  void Step(int x0, int y0, int s, double f1, double f2, int w) {
    const int ox = static_cast<int>(std::floor(s * f1));
    const int oy = static_cast<int>(std::floor(s * f2));
    Darken(x0 + ox, y0 + oy, w);
    Darken(x0 - ox, y0 - oy, w);
  }

 private:
  std::vector<std::uint8_t*> rows_;
  int width_;
  int height_;
};

// The hatching directions take few values: -(r + 700) / 1000 for r = 0..99, the same plus
// 1.8, and -0.65. Their sines and cosines are computed once from exactly those doubles.
struct HatchAngle {
  double sine = 0;
  double cosine = 0;
};

class HatchAngles {
 public:
  HatchAngles() {
    for (int r = 0; r < 100; ++r) {
      const double a = -static_cast<double>(r + 700) / 1000.0;
      base_[static_cast<std::size_t>(r)] = {std::sin(a), std::cos(a)};
      turned_[static_cast<std::size_t>(r)] = {std::sin(a + 1.8), std::cos(a + 1.8)};
    }
    fixed_ = {std::sin(-0.65), std::cos(-0.65)};
  }
  const HatchAngle& Base(int r) const { return base_[static_cast<std::size_t>(r)]; }
  const HatchAngle& Turned(int r) const { return turned_[static_cast<std::size_t>(r)]; }
  const HatchAngle& Fixed() const { return fixed_; }

 private:
  std::array<HatchAngle, 100> base_;
  std::array<HatchAngle, 100> turned_;
  HatchAngle fixed_;
};

// One hatching stroke of strength k at (x, y). The second draw is only made when k >= 1.
void HatchStroke(Darkener& darkener, Random& random, int x, int y, int d, int k, const HatchAngle& a) {
  if (k < 1 || random.NextInt(256 - d / 2) > 150) return;
  const int n = random.NextInt(d / 35);
  for (int s = 0; s <= n; ++s) {
    k = std::max(k - 1, 1);
    darkener.Step(x, y, s, a.sine, a.cosine, k);
  }
}

struct KGradient {
  int horizontal = 0;  // Hh
  int vertical = 0;    // V
};

// The largest of the three channels' 3-10-3 gradients, each divided by 4.
KGradient GradientAt(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below, int x) {
  int largestV = 0, largestH = 0;
  for (int c = 0; c < 3; ++c) {
    auto p = [c](const std::uint8_t* r, int u) { return static_cast<int>(r[3 * u + c]); };
    const int v = 3 * p(above, x - 1) + 10 * p(above, x) + 3 * p(above, x + 1) - 3 * p(below, x - 1) -
                  10 * p(below, x) - 3 * p(below, x + 1);
    const int h = 3 * p(above, x - 1) + 10 * p(row, x - 1) + 3 * p(below, x - 1) - 3 * p(above, x + 1) -
                  10 * p(row, x + 1) - 3 * p(below, x + 1);
    if (c == 0 || v > largestV) largestV = v;
    if (c == 0 || h > largestH) largestH = h;
  }
  return {largestH / 4, largestV / 4};
}

}  // namespace

bool RowReporter::RowDone(int row, int pass) {
  // Events (and the intermediate display of the drawing) only every 200 rows: doing them on
  // every row made the run quadratic in the picture size.
  if (row % 200 == 0) ctx_.ProcessEvents();
  // A picture one pixel high has no rows to count through; it is finished at once.
  ctx_.ShowProgress(row, std::max(height_ - 1, 1), pass, 3);
  return !ctx_.StopRequested();
}

bool HatchDarkness(const Bitmap& source, Bitmap& drawing, int darkenLighten, RunContext& ctx,
                   RowReporter& reporter) {
  static const HatchAngles angles;
  Random& random = ctx.Rand();
  Darkener darkener(drawing);
  const int width = source.Width();
  for (int i = 0; i < source.Height(); ++i) {
    const std::uint8_t* row = source.ScanLine(i);
    for (int j = 0; j < width; ++j) {
      const int d = Darkness(row + 3 * j);
      const int r = random.NextInt(100);
      const bool turned = random.NextInt(d / 20 + 100) >= 95;
      const HatchAngle* a = turned ? &angles.Turned(r) : &angles.Base(r);
      int k = d / 6 - random.NextInt(10) - darkenLighten / 8;
      HatchStroke(darkener, random, j, i, d, k, *a);
      if (random.NextInt(d / 20 + 100) >= 99) a = &angles.Fixed();
      k = d / 6 - random.NextInt(10) - darkenLighten / 8;
      HatchStroke(darkener, random, j, i, d, k, *a);
    }
    if (!reporter.RowDone(i, 1)) return false;
  }
  return true;
}

bool DrawEdgePass(const Bitmap& source, Bitmap& drawing, const PencilSketch5Settings& settings,
                  const EdgePass& edgePass, RowReporter& reporter) {
  const int g = 255 - settings.edgeIntensity;
  const int bias = (g - 120) / 8;
  const std::vector<const std::uint8_t*> rows = RowTable(source);
  Darkener darkener(drawing);
  for (int y = 1; y <= source.Height() - 2; ++y) {
    const std::uint8_t* above = rows[static_cast<std::size_t>(y - 1)];
    const std::uint8_t* row = rows[static_cast<std::size_t>(y)];
    const std::uint8_t* below = rows[static_cast<std::size_t>(y + 1)];
    for (int x = 1; x <= source.Width() - 2; ++x) {
      const KGradient k = GradientAt(above, row, below, x);
      const int magnitude = (std::abs(k.horizontal) + std::abs(k.vertical)) / edgePass.magnitudeDivisor;
      if (magnitude < settings.edgeThreshold) continue;
      const int n = magnitude / edgePass.lengthDivisor;
      const float angle = static_cast<float>(std::atan2(static_cast<double>(k.vertical), k.horizontal));
      const double theta = static_cast<double>(angle) + 1.5707;
      const double cosine = std::cos(theta);
      const double sine = std::sin(theta);
      const int d = Darkness(row + 3 * x);
      // Strokes fade towards their ends; an edge intensity of 143 or more adds darkness to every
      // point.
      for (int s = 0; s <= n; ++s) {
        const int w = std::max(std::min(255, (n - s) / 8 + d / 20) - bias, 1);
        darkener.Step(x, y, s, cosine, sine, w);
      }
    }
    if (!reporter.RowDone(y, edgePass.pass)) return false;
  }
  return true;
}

}  // namespace brumeleaf
