#include "effects/drawing/Halftone.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "imaging/Canvas.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

struct HalftoneSettings {
  int cell;             // s = A div 2 + 4
  int colourIntensity;  // CI
};

// The thickness of the line swells towards the darkness of the cell, with a step that grows
// by 0.07 per column up to 2.5 and falls back to 0.2 once the thickness has arrived.
struct Thickness {
  double t = 0;
  double u = 0.2;

  void Restart() {
    t = 0;
    u = 0.2;
  }
  void Step(int target, int cell) {
    double v = u + 0.07;
    if (target - u > std::floor(t)) {
      t += u;
    } else if (std::floor(t) > target + u) {
      t -= u;
    } else {
      v = 0.2;
    }
    if (cell > 15) t = std::min(t, cell - 1.5);
    t = std::max(t, 1.1);
    u = std::min(v, 2.5);
  }
};

// Writes one pixel if it lies inside the picture: the end pixels of a thick line near the
// bottom of the picture would otherwise land below it.
void PutPixel(Bitmap& picture, int x, int y, const std::array<int, 3>& bgr) {
  if (x < 0 || x >= picture.Width() || y < 0 || y >= picture.Height()) return;
  std::uint8_t* p = picture.ScanLine(y) + 3 * x;
  for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(bgr[static_cast<std::size_t>(c)]);
}

// The pen line from (x, top) down to (x, bottom), the end point itself not painted, clipped.
void VerticalLine(Bitmap& picture, int x, int top, int bottom, const std::array<int, 3>& bgr) {
  if (x < 0 || x >= picture.Width()) return;
  top = std::max(top, 0);
  bottom = std::min(bottom, picture.Height());
  if (top >= bottom) return;
  const std::ptrdiff_t step = picture.RowDistance();
  std::uint8_t* p = picture.ScanLine(top) + 3 * x;
  for (int y = top; y < bottom; ++y, p += step) {
    p[0] = static_cast<std::uint8_t>(bgr[0]);
    p[1] = static_cast<std::uint8_t>(bgr[1]);
    p[2] = static_cast<std::uint8_t>(bgr[2]);
  }
}

// Mean luminance (2R + G + B) / 4 of the s x s block at (left, top). Columns beyond the
// picture repeat its last column: a picture narrower than one cell and a half would otherwise
// be read past its rows.
int CellLuminance(const Bitmap& source, int left, int top, int cell) {
  const int lastColumn = source.Width() - 1;
  long long sum = 0;
  for (int y = top; y < top + cell; ++y) {
    const std::uint8_t* row = source.ScanLine(y);
    for (int x = left; x < left + cell; ++x) {
      const std::uint8_t* p = row + 3 * std::min(x, lastColumn);
      sum += 2 * p[2] + p[1] + p[0];
    }
  }
  return static_cast<int>(sum / (4LL * cell * cell));
}

std::array<int, 3> LineColour(const Bitmap& source, int x, int y, int luminance, int ci) {
  const std::uint8_t* p = source.ScanLine(y) + 3 * std::min(x, source.Width() - 1);
  std::array<int, 3> bgr{};
  for (int c = 0; c < 3; ++c) bgr[static_cast<std::size_t>(c)] = (p[c] * ci) / 100 + (luminance * (100 - ci)) / 165;
  return bgr;
}

// One cell: s columns of vertical strokes centred on the cell's line row.
void DrawCell(const Bitmap& source, Bitmap& destination, int x0, int y0, const HalftoneSettings& s,
              Thickness& thickness, std::array<int, 3>& previousEnd) {
  const int cell = s.cell;
  const int luminance = CellLuminance(source, x0 + cell / 2, y0 + cell / 2, cell);
  // Cells wider than 255 pixels only come from out-of-range settings: one level per step then.
  const int target = (255 - luminance) / std::max(255 / cell, 1);
  const std::array<int, 3> line = LineColour(source, x0 + cell, y0 + cell, luminance, s.colourIntensity);
  const int lineRow = y0 + cell + cell / 2;
  for (int i = 0; i < cell; ++i) {
    const int x = x0 + i;
    const double t = thickness.t;
    const int half = static_cast<int>(std::floor(t / 2));
    VerticalLine(destination, x, lineRow - half, lineRow + half, line);
    // The fractional part of the thickness fades the end pixels towards white.
    const int f = static_cast<int>(std::floor((t - std::floor(t)) * 255));
    std::array<int, 3> end{};
    std::array<int, 3> faded{};
    for (int c = 0; c < 3; ++c) {
      const auto k = static_cast<std::size_t>(c);
      faded[k] = (f * line[k] + (255 - f) * 255) / 255;
      end[k] = (line[k] + faded[k] + previousEnd[k]) / 3;
    }
    const int reach = static_cast<int>(std::ceil(t / 2));
    PutPixel(destination, x, lineRow - reach, end);
    PutPixel(destination, x, lineRow + reach - 1, end);
    previousEnd = faded;
    thickness.Step(target, cell);
  }
}

HalftoneSettings ReadSettings(const RunContext& ctx) { return {ctx.S(1) / 2 + 4, ctx.S(3)}; }

}  // namespace

void DrawHalftoneLines(const Bitmap& source, Bitmap& destination, RunContext& ctx) {
  const int width = source.Width();
  const int height = source.Height();
  if (!ctx.preview) ctx.ShowProgress(0, std::max(height, 1), 2, 3);
  const HalftoneSettings s = ReadSettings(ctx);
  if (s.cell <= 0) return;
  const int cell = s.cell;
  Thickness thickness;
  std::array<int, 3> previousEnd{255, 255, 255};  // carried across cells and rows
  int x0 = 0;
  int y0 = 0;
  for (;;) {
    if (y0 >= height - cell - cell / 2 - 1) return;
    DrawCell(source, destination, x0, y0, s, thickness, previousEnd);
    x0 += cell;
    if (x0 > width - cell - cell / 2) {
      x0 = 0;
      y0 += cell;
      thickness.Restart();
    }
    if (y0 % 50 == 0 && !ctx.preview) ctx.ShowProgress(y0, height, 2, 3);
    if (y0 % 100 == 0) ctx.ProcessEvents();
  }
}

}  // namespace brumeleaf
