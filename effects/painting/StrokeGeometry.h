#pragma once
// The pieces shared by every routine that lays short strokes along the edges of a picture:
// the 3x3 Sobel gradient on weighted grey rows and the stepping of one stroke that fades from
// its centre towards both ends.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/Grey.h"

namespace brumeleaf {

// The weighted grey of every pixel of one row.
inline void WeightedGreyRow(const Bitmap& picture, int y, std::vector<int>& grey) {
  const std::uint8_t* p = picture.ScanLine(y);
  grey.resize(static_cast<std::size_t>(picture.Width()));
  for (int x = 0; x < picture.Width(); ++x, p += 3) grey[static_cast<std::size_t>(x)] = WeightedGrey(p);
}

// The weighted grey of a whole picture, one byte a pixel (the formula gives 0..255): what
// the edge strokes read, kept for a painter that gives up the picture itself while it works.
class GreyPicture {
 public:
  explicit GreyPicture(const Bitmap& picture)
      : width_(picture.Width()), height_(picture.Height()),
        grey_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* p = picture.ScanLine(y);
      std::uint8_t* g = grey_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
      for (int x = 0; x < width_; ++x, p += 3) g[x] = static_cast<std::uint8_t>(WeightedGrey(p));
    }
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint8_t* Row(int y) const {
    return grey_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  }

 private:
  int width_, height_;
  std::vector<std::uint8_t> grey_;
};

inline void WeightedGreyRow(const GreyPicture& picture, int y, std::vector<int>& grey) {
  const std::uint8_t* g = picture.Row(y);
  grey.assign(g, g + picture.Width());
}

// The grey rows above, at and below the row being worked on.
struct GreyRows {
  const std::vector<int>& up;
  const std::vector<int>& mid;
  const std::vector<int>& down;
};

// Walks down a picture row by row, keeping three weighted grey rows so that each row of the
// picture is turned into grey once rather than three times.
template <class Picture>
class GreyRowWindow {
 public:
  // Reads the rows above and at `first`; the first Advance() centres the window on `first`.
  GreyRowWindow(const Picture& picture, int first) : picture_(picture), next_(first + 1) {
    WeightedGreyRow(picture, first - 1, mid_);
    WeightedGreyRow(picture, first, down_);
  }
  GreyRows Advance() {
    std::swap(up_, mid_);
    std::swap(mid_, down_);
    WeightedGreyRow(picture_, next_++, down_);
    return {up_, mid_, down_};
  }

 private:
  const Picture& picture_;
  int next_;
  std::vector<int> up_, mid_, down_;
};

struct Gradient {
  int a = 0;    // left minus right, -255..255
  int b = 0;    // top minus bottom, -255..255
  int mag = 0;  // (|a| + |b|) shr 1
  // Strokes are not laid where both components are nearly equal (diagonal edges).
  bool Directional() const { return std::abs(std::abs(a) - std::abs(b)) > 1; }
};

inline int ClampGradient(int v) { return v < -255 ? -255 : (v > 255 ? 255 : v); }

// Sobel gradient at column x (1..W-2) from the grey rows above, at and below the pixel.
inline Gradient SobelAt(const int* up, const int* mid, const int* down, int x) {
  const int t1 = up[x - 1], t2 = up[x], t3 = up[x + 1];
  const int m1 = mid[x - 1], m3 = mid[x + 1];
  const int d1 = down[x - 1], d2 = down[x], d3 = down[x + 1];
  Gradient g;
  g.a = ClampGradient((t1 + 2 * m1 + d1 - t3 - 2 * m3 - d3) / 4);
  g.b = ClampGradient((t1 + 2 * t2 + t3 - d1 - 2 * d2 - d3) / 4);
  g.mag = (std::abs(g.a) + std::abs(g.b)) >> 1;
  return g;
}

// A picture whose rows are reached through a table, darkened by subtracting from all three
// channels with a floor at 0. Only columns 0..W-2 and rows 0..H-2 are reachable by strokes:
// the last row and column are never darkened.
class StrokeTarget {
 public:
  explicit StrokeTarget(Bitmap& picture) : width_(picture.Width()), height_(picture.Height()) {
    rows_.reserve(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) rows_.push_back(picture.ScanLine(y));
  }
  void Darken(int x, int y, int amount) {
    if (x < 0 || x > width_ - 2 || y < 0 || y > height_ - 2) return;
    std::uint8_t* p = rows_[static_cast<std::size_t>(y)] + 3 * x;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(p[c] > amount ? p[c] - amount : 0);
  }
  const std::uint8_t* Pixel(int x, int y) const { return rows_[static_cast<std::size_t>(y)] + 3 * x; }

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t*> rows_;
};

// One stroke centred on (x, y) at angle theta: for count = 0..lastCount the two pixels
// (x -+ dx, y -+ dy), dx = Floor(count cos theta), dy = Floor(count sin theta), are darkened by
// startIntensity - count; the stroke ends at the first intensity <= 0. The centre is darkened
// twice at count 0.
template <class Target>
void LayStroke(Target& target, int x, int y, double theta, int startIntensity, int lastCount) {
  const double cosTheta = std::cos(theta);
  const double sinTheta = std::sin(theta);
  for (int count = 0; count <= lastCount; ++count) {
    const int intensity = startIntensity - count;
    if (intensity <= 0) return;
    const int dx = static_cast<int>(std::floor(count * cosTheta));
    const int dy = static_cast<int>(std::floor(count * sinTheta));
    target.Darken(x - dx, y - dy, intensity);
    target.Darken(x + dx, y + dy, intensity);
  }
}

}  // namespace brumeleaf
