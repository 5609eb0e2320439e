// Nearest-neighbour rotation about the centre, used by the drawing effects to lay strokes at
// a slant and turn them back. Positions are taken on a doubled grid (2v+1 is the centre of
// column v) so that the centre of an even-sized picture falls between pixels; the products
// with sine and cosine are the same doubles whether taken per pixel or once per column, so
// they are taken once per column.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "imaging/Geometry.h"
#include "imaging/Round.h"

namespace brumeleaf {

namespace {

constexpr double kPi = 3.141592653589793;

int RoundToInt(double v) { return static_cast<int>(RoundHalfEven(v)); }

struct Rotation {
  double sine = 0, cosine = 0;
  int sourceWidth = 0, sourceHeight = 0;
  int width = 0, height = 0;  // destination
  int halfX = 0, halfY = 0;   // source centre
  int offsetX = 0, offsetY = 0;
};

Rotation MakeRotation(int angle, const Bitmap& source, bool enlarge) {
  Rotation r;
  const double f = -static_cast<double>(angle) * kPi / 180.0;
  r.sine = std::sin(f);
  r.cosine = std::cos(f);
  r.sourceWidth = source.Width();
  r.sourceHeight = source.Height();
  r.width = r.sourceWidth;
  r.height = r.sourceHeight;
  if (enlarge) {
    r.width = std::abs(RoundToInt(r.sourceHeight * r.sine)) + std::abs(RoundToInt(r.sourceWidth * r.cosine));
    r.height = std::abs(RoundToInt(r.sourceWidth * r.sine)) + std::abs(RoundToInt(r.sourceHeight * r.cosine));
  }
  r.halfX = r.sourceWidth / 2;
  r.halfY = r.sourceHeight / 2;
  r.offsetX = (r.width - r.sourceWidth) / 2;
  r.offsetY = (r.height - r.sourceHeight) / 2;
  return r;
}

// The part of the rotation's destination grid that is made: `width` x `height` pixels from
// (left, top). Positions outside the grid come out white.
struct Window {
  int left = 0, top = 0, width = 0, height = 0;
};

// Fills destination rows from the source through the rotation; the per-row bookkeeping
// (progress, stop) is the caller's, through `beforeRow`, which returns false to stop. With
// `keepPixels` the destination is resized keeping its pixels (rows not reached before a stop
// keep them), otherwise it starts from white.
template <class BeforeRow>
void Rotate(const Bitmap& source, Bitmap& destination, const Rotation& r, const Window& window, bool keepPixels,
            BeforeRow&& beforeRow) {
  std::vector<const std::uint8_t*> sourceRows(static_cast<std::size_t>(r.sourceHeight));
  for (int y = 0; y < r.sourceHeight; ++y) sourceRows[static_cast<std::size_t>(y)] = source.ScanLine(y);
  // Columns of the window that lie on the grid: [firstColumn, endColumn).
  const int firstColumn = std::clamp(-window.left, 0, window.width);
  const int endColumn = std::clamp(r.width - window.left, firstColumn, window.width);
  std::vector<double> xCos(static_cast<std::size_t>(window.width)), xSin(static_cast<std::size_t>(window.width));
  for (int u = firstColumn; u < endColumn; ++u) {
    const int wx = 2 * (window.left + u - r.offsetX - r.halfX) + 1;
    xCos[static_cast<std::size_t>(u)] = wx * r.cosine;
    xSin[static_cast<std::size_t>(u)] = wx * r.sine;
  }
  // Sized last, so that a failure above leaves the destination as it was.
  if (keepPixels) {
    destination.Resize(window.width, window.height);
  } else {
    destination.SetSize(window.width, window.height);
  }
  const int firstRow = std::max(window.top, 0);
  const int endRow = std::min(window.top + window.height, r.height);
  for (int m = endRow - 1; m >= firstRow; --m) {
    if (!beforeRow(m)) return;
    const int wy = 2 * (m - r.offsetY - r.halfY) + 1;
    const double ySin = wy * r.sine;
    const double yCos = wy * r.cosine;
    std::uint8_t* out = destination.ScanLine(m - window.top) + static_cast<std::size_t>(firstColumn) * 3;
    for (int u = firstColumn; u < endColumn; ++u, out += 3) {
      const auto v = static_cast<std::size_t>(u);
      const int e = RoundToInt(xCos[v] - ySin);
      const int f = RoundToInt(xSin[v] + yCos);
      const int sx = r.halfX + (e - 1) / 2;
      const int sy = r.halfY + (f - 1) / 2;
      if (sx >= 0 && sx < r.sourceWidth && sy >= 0 && sy < r.sourceHeight) {
        const std::uint8_t* in = sourceRows[static_cast<std::size_t>(sy)] + static_cast<std::size_t>(sx) * 3;
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
      } else {
        out[0] = out[1] = out[2] = 255;
      }
    }
  }
}

Window WholeGrid(const Rotation& r) { return {0, 0, r.width, r.height}; }

// The expanding rotation's row bookkeeping: events every 50 rows, progress as pass 1 of 3 for a
// forward turn and pass 3 for a backward one, the stop check, and in the live preview the
// progress line (the forward turn fills its first 100 pixels, the backward turn the next 100).
void RotateExpanding(const Bitmap& source, Bitmap& destination, int angle, const Rotation& r,
                     const Window& window, bool keepPixels, RunContext& ctx) {
  const bool forward = angle >= 1;
  Rotate(source, destination, r, window, keepPixels, [&](int m) {
    if (m % 50 == 0) {
      ctx.ProcessEvents();
      if (!ctx.preview) {
        if (forward) {
          ctx.ShowProgress(r.height - 1 - m, r.height - 1, 1, 3);
        } else {
          ctx.ShowProgress((r.height - m - 1) * 95 / 100, r.height - 1, 3, 3);
        }
      }
    }
    if (ctx.StopRequested()) return false;
    if (ctx.preview && m % 10 == 0) {
      ctx.PreviewProgressLine((forward ? 100 : 200) - m * 100 / r.height);
    }
    return true;
  });
}

void RotateAngleRows(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx) {
  const Rotation r = MakeRotation(angle, source, angle == 40);
  Rotate(source, destination, r, WholeGrid(r), true, [&](int m) {
    if (!ctx.preview && m % 50 == 0) {
      // The drawing effects turn by 40 in their first pass and back by -40 in their third.
      if (angle == 40) ctx.ShowProgress(r.height - m * 6 / 10, r.height, 1, 3);
      if (angle == -40) ctx.ShowProgress(r.height - m * 6 / 10, r.height, 3, 3);
      ctx.ProcessEvents();
    }
    return !ctx.StopRequested();
  });
}

}  // namespace

void RotateBitmapAngle(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx) {
  try {
    if (&source == &destination) {
      // Rotating onto itself would read pixels this pass has already replaced.
      const Bitmap entry(source);
      RotateAngleRows(entry, destination, angle, ctx);
    } else {
      RotateAngleRows(source, destination, angle, ctx);
    }
  } catch (const ImageError&) {
    destination.SetSize(0, 0);
    ctx.FailRun();
  } catch (const std::bad_alloc&) {
    destination.SetSize(0, 0);
    ctx.FailRun();
  }
}

void RotateBitmapExpand(const Bitmap& source, Bitmap& destination, int angle, RunContext& ctx) {
  if (&source == &destination) {
    const Bitmap entry(source);
    RotateBitmapExpand(entry, destination, angle, ctx);
    return;
  }
  const Rotation r = MakeRotation(angle, source, true);
  RotateExpanding(source, destination, angle, r, WholeGrid(r), true, ctx);
}

void RotateBitmapExpandCentre(const Bitmap& source, Bitmap& destination, int angle, int width,
                              int height, RunContext& ctx) {
  if (&source == &destination) {
    const Bitmap entry(source);
    RotateBitmapExpandCentre(entry, destination, angle, width, height, ctx);
    return;
  }
  const Rotation r = MakeRotation(angle, source, true);
  // The offset CutCentre takes.
  const Window centre{(r.width - width) / 2, (r.height - height) / 2, width, height};
  RotateExpanding(source, destination, angle, r, centre, false, ctx);
}

}  // namespace brumeleaf
