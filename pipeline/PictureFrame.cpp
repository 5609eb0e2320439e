#include "pipeline/PictureFrame.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "effects/FrameSteps.h"
#include "effects/painting/RandomStrokes.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "resources/FramePhotographs.h"

namespace brumeleaf {
namespace {

// Outline of the rectangle with inclusive corners (x0, y0)-(x1, y1), one pixel wide, clipped.
void Outline(Bitmap& picture, int x0, int y0, int x1, int y1, Colour colour) {
  if (x1 < x0 || y1 < y0) return;
  picture.FillRect(x0, y0, x1 + 1, y0 + 1, colour);
  picture.FillRect(x0, y1, x1 + 1, y1 + 1, colour);
  picture.FillRect(x0, y0, x0 + 1, y1 + 1, colour);
  picture.FillRect(x1, y0, x1 + 1, y1 + 1, colour);
}

// Copies the w x h block at (sx, sy) of `from` to (dx, dy) of `to`, clipped to both pictures.
void CopyBlock(const Bitmap& from, int sx, int sy, int w, int h, Bitmap& to, int dx, int dy) {
  if (sx < 0) w += sx, dx -= sx, sx = 0;
  if (sy < 0) h += sy, dy -= sy, sy = 0;
  if (dx < 0) w += dx, sx -= dx, dx = 0;
  if (dy < 0) h += dy, sy -= dy, dy = 0;
  w = std::min({w, from.Width() - sx, to.Width() - dx});
  h = std::min({h, from.Height() - sy, to.Height() - dy});
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) {
    std::copy_n(from.ScanLine(sy + j) + 3 * sx, 3 * static_cast<std::size_t>(w), to.ScanLine(dy + j) + 3 * dx);
  }
}

// Both frame photographs' framed sizes and the margin canvas may pass the size limits; they
// are checked before anything is allocated so that the result can be kept.
bool FitsLimits(long long width, long long height) {
  return width >= 1 && height >= 1 && width <= kMaxWidth && height <= kMaxHeight;
}

void ShadowAndSmooth(Bitmap& picture) {
  AddInnerShadow(picture, 0, 0, picture.Width(), picture.Height());
  SmoothShadowCorner(picture);
}

// Blends the band canvas into the picture: `painted(i)` says whether band line i takes the
// canvas outright, `blendDistance(i)` the distance d of a blended line (21 or more keeps the
// picture). Lines are rows for a horizontal band and columns for a vertical one.
struct Band {
  bool horizontal;
  int first;  // first picture row (or column) of the band; may be negative for a short picture
  int size;   // s
};

void BlendBand(Bitmap& picture, const Bitmap& canvas, const Band& band, bool paintedSideFirst) {
  const int half = band.size / 2;
  const int lines = band.horizontal ? picture.Height() : picture.Width();
  for (int i = 0; i < band.size; ++i) {
    const int line = band.first + i;
    if (line < 0 || line >= lines) continue;
    int d;
    bool take;
    if (paintedSideFirst) {
      take = i <= half + 1;
      d = i - half;
    } else {
      take = i > half;
      d = half - i;
    }
    if (!take && d >= 21) continue;
    const int weight = 5 * d;
    auto mix = [&](std::uint8_t& p, std::uint8_t c) {
      p = take ? c : static_cast<std::uint8_t>((p * weight + c * (100 - weight)) / 100);
    };
    if (band.horizontal) {
      std::uint8_t* row = picture.ScanLine(line);
      const std::uint8_t* from = canvas.ScanLine(line - band.first);
      for (int k = 0; k < 3 * picture.Width(); ++k) mix(row[k], from[k]);
    } else {
      for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* px = picture.ScanLine(y) + 3 * line;
        const std::uint8_t* from = canvas.ScanLine(y) + 3 * (line - band.first);
        for (int k = 0; k < 3; ++k) mix(px[k], from[k]);
      }
    }
  }
}

void PaintBand(Bitmap& picture, const Band& band, bool paintedSideFirst, const RandomStrokesSettings& strokes,
               RunContext& ctx) {
  const int width = band.horizontal ? picture.Width() : band.size;
  const int height = band.horizontal ? band.size : picture.Height();
  Bitmap bandSource(width, height);
  bandSource.Fill(strokes.canvas);
  // A picture smaller than the band gives only the lines it has.
  if (band.horizontal) {
    CopyBlock(picture, 0, band.first, width, height, bandSource, 0, 0);
  } else {
    CopyBlock(picture, band.first, 0, width, height, bandSource, 0, 0);
  }
  Bitmap bandCanvas;
  RandomStrokesPainting(std::move(bandSource), bandCanvas, strokes, ctx);
  BlendBand(picture, bandCanvas, band, paintedSideFirst);
}

}  // namespace

void AddInnerShadow(Bitmap& picture, int left, int top, int right, int bottom) {
  const int x1 = std::min(right, picture.Width());
  const int y1 = std::min({bottom, picture.Height(), top + 10});
  for (int y = std::max(top, 0); y < y1; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = std::max(left, 0); x < x1; ++x) {
      const int k = std::min(x - left, y - top);
      if (k >= 10) continue;
      const int lower = 8 * (10 - k);
      for (int c = 0; c < 3; ++c) row[3 * x + c] = ClampLevel(row[3 * x + c] - lower);
    }
  }
  // The left band below the first ten rows.
  const int xEnd = std::min({right, picture.Width(), left + 10});
  for (int y = std::max(top + 10, 0); y < std::min(bottom, picture.Height()); ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = std::max(left, 0); x < xEnd; ++x) {
      const int lower = 8 * (10 - (x - left));
      for (int c = 0; c < 3; ++c) row[3 * x + c] = ClampLevel(row[3 * x + c] - lower);
    }
  }
}

void SmoothShadowCorner(Bitmap& picture) {
  const int w = std::min(10, picture.Width()), h = std::min(10, picture.Height());
  if (w <= 0 || h <= 0) return;
  Bitmap corner(w, h);
  CopyBlock(picture, 0, 0, w, h, corner, 0, 0);
  BoxBlur3(corner);
  picture.Draw(0, 0, corner);
}

int RealisticFramePhotograph(int number) {
  static constexpr int kPhotographs[13] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14};
  return number >= 2 && number <= 12 ? kPhotographs[number] : 1;
}

int ColouredFramePhotograph(int number) {
  static constexpr int kPhotographs[6] = {0, 1, 2, 8, 6, 7};
  return number >= 2 && number <= 5 ? kPhotographs[number] : 1;
}

FrameOpening FindFrameOpening(const Bitmap& f) {
  FrameOpening o;
  const int wf = f.Width(), hf = f.Height();
  if (wf < 1 || hf < 1) return o;
  const int midRow = hf / 2, midColumn = wf / 2;
  for (int x = wf / 4; x >= 1 && IsFrameOpening(f.Pixel(x, midRow)); --x) o.left = x;
  for (int x = wf - wf / 4; x < wf - 1 && IsFrameOpening(f.Pixel(x, midRow)); ++x) o.right = wf - x - 3;
  for (int y = hf / 4; y >= 1 && IsFrameOpening(f.Pixel(midColumn, y)); --y) o.top = y;
  for (int y = hf - hf / 4; y < hf - 1 && IsFrameOpening(f.Pixel(midColumn, y)); ++y) o.bottom = hf - y - 3;
  return o;
}

bool AddPhotographFrame(Bitmap& picture, const Bitmap& photograph, bool tint, int tintRed, int tintGreen,
                        int tintBlue) {
  const int wp = picture.Width(), hp = picture.Height();
  if (wp < 1 || hp < 1 || photograph.Empty()) return false;
  // Work out the framed size on the photograph's own numbers before copying anything.
  const bool turn = wp < hp && photograph.Height() < photograph.Width();
  Bitmap f = photograph;
  if (turn) RotateBitmap90(f, 90);
  const FrameOpening o = FindFrameOpening(f);
  const long long wf = f.Width(), hf = f.Height();
  const long long ow = std::max<long long>(1, wf - (o.left + o.right));
  const long long oh = std::max<long long>(1, hf - (o.top + o.bottom));
  const long long sx = wp * 20000LL / ow, sy = hp * 20000LL / oh;
  const long long nw = wf * sx / 20000, nh = hf * sy / 20000 - 1;
  if (!FitsLimits(nw, nh)) return false;
  if (tint) {
    for (int y = 0; y < f.Height(); ++y) {
      std::uint8_t* row = f.ScanLine(y);
      for (int x = 0; x < f.Width(); ++x) {
        row[3 * x] = ClampLevel(row[3 * x] + tintBlue);
        row[3 * x + 1] = ClampLevel(row[3 * x + 1] + tintGreen);
        row[3 * x + 2] = ClampLevel(row[3 * x + 2] + tintRed);
      }
    }
  }
  Bitmap framed(static_cast<int>(nw), static_cast<int>(nh));
  StretchBilinear(f, framed);
  framed.Draw(static_cast<int>(o.left * sx / 20000), static_cast<int>(o.top * sy / 20000), picture);
  picture = std::move(framed);
  return true;
}

bool MakeTriptych(Bitmap& picture, int margin, int spacing, Colour fill) {
  const long long w = picture.Width(), h = picture.Height();
  const long long tw = w + 2LL * spacing + margin - 1, th = h + margin;
  if (!FitsLimits(tw, th)) return false;
  Bitmap t(static_cast<int>(tw), static_cast<int>(th));
  t.Fill(fill);
  const int half = margin / 2, w3 = static_cast<int>(w / 3), height = static_cast<int>(h);
  for (int k = 0; k < 3; ++k) {
    const int xk = half + k * (w3 + spacing);
    // The last source row and the columns beyond three panel widths are left out; the third
    // panel is cut where the triptych ends.
    CopyBlock(picture, k * w3, 0, w3, height - 1, t, xk, half);
    AddInnerShadow(t, xk, half, xk + w3, half + height);
  }
  picture = std::move(t);
  return true;
}

namespace {

void PaintBands(Bitmap& picture, int margin, Colour fill, RunContext& ctx, bool topAndLeftOnly) {
  const int s = std::max(10, 2 * (margin / 2));
  const int ws = picture.Width(), hs = picture.Height();
  const bool wasSilent = ctx.silent;
  ctx.silent = true;  // the bands paint without outlines or progress of their own
  RandomStrokesSettings across;
  across.minimumBrush = std::min(120, s / 3 + 20);
  across.maximumBrush = 150;
  across.strokes = 40;
  across.edgeIntensity = 0;
  across.precision = 190;
  across.warmUp = false;
  across.canvas = fill;
  RandomStrokesSettings down = across;
  down.minimumBrush = std::min(100, s / 3 + 18);
  down.strokes = 55;
  down.precision = 230;
  try {
    PaintBand(picture, {true, 0, s}, true, across, ctx);
    if (!topAndLeftOnly && !ctx.StopRequested()) PaintBand(picture, {true, hs - s, s}, false, across, ctx);
    if (!ctx.StopRequested()) PaintBand(picture, {false, 0, s}, true, down, ctx);
    if (!topAndLeftOnly && !ctx.StopRequested()) PaintBand(picture, {false, ws - s, s}, false, down, ctx);
  } catch (...) {
    ctx.silent = wasSilent;
    throw;
  }
  ctx.silent = wasSilent;
}

// A grey or white 200 x 200 background with the fill colour bands of the margin's corner and
// the source's top-left corner in it.
Bitmap MarginPreview(const Bitmap& source, int m, Colour fill, Colour background) {
  Bitmap preview(kFramePreviewSize, kFramePreviewSize);
  preview.Fill(background);
  preview.FillRect(2, 2, kFramePreviewSize, m / 2 + 2, fill);
  preview.FillRect(2, 2, m / 2 + 2, kFramePreviewSize, fill);
  CopyBlock(source, 0, 0, kFramePreviewSize, kFramePreviewSize, preview, m / 2, m / 2);
  return preview;
}

}  // namespace

void AddBrushstrokeFrame(Bitmap& picture, int margin, Colour fill, RunContext& ctx) {
  PaintBands(picture, margin, fill, ctx, false);
}

Bitmap FramePreview(const Bitmap& source, const PictureFrameOptions& options, RunContext& ctx) {
  constexpr int n = kFramePreviewSize;
  constexpr Colour kGrey = 8421504;
  const int style = std::clamp(options.style, 0, 5);
  const int m = options.Margin(), p = options.Spacing();
  const Colour fill = static_cast<Colour>(options.fillColour) & 0xFFFFFF;
  const Colour line = static_cast<Colour>(options.lineColour) & 0xFFFFFF;
  if (style == 0 || style == 1) {
    Bitmap preview = MarginPreview(source, m, fill, kGrey);
    if (style == 1) {
      const int at = m / 2 - 2;
      preview.FillRect(at, at, n, at + 1, line);
      preview.FillRect(at, at, at + 1, n, line);
    }
    return preview;
  }
  if (style == 2 || style == 3) {
    const bool tinted = style == 3;
    const Bitmap& photo = FramePhotograph(tinted ? ColouredFramePhotograph(options.colouredFrame)
                                                 : RealisticFramePhotograph(options.realisticFrame));
    Bitmap stretched(700, 700);
    StretchBilinear(photo, stretched);
    Bitmap preview(n, n);
    CopyBlock(stretched, 0, 0, n, n, preview, 0, 0);
    // The opening's corner, found before the tint as in the real frame.
    int y0 = n - 1, x0 = n - 1;
    while (y0 > 0 && IsFrameOpening(stretched.Pixel(180, y0))) --y0;
    while (x0 > 0 && IsFrameOpening(stretched.Pixel(x0, 180))) --x0;
    if (tinted) {
      for (int y = 0; y < n; ++y) {
        std::uint8_t* row = preview.ScanLine(y);
        for (int x = 0; x < n; ++x) {
          row[3 * x] = ClampLevel(row[3 * x] + options.tintBlue);
          row[3 * x + 1] = ClampLevel(row[3 * x + 1] + options.tintGreen);
          row[3 * x + 2] = ClampLevel(row[3 * x + 2] + options.tintRed);
        }
      }
    }
    preview.FillRect(x0, y0, n, n, fill);
    CopyBlock(source, 0, 0, n, n, preview, x0 + m / 2, y0 + m / 2);
    return preview;
  }
  if (style == 4) {
    Bitmap preview(n, n);
    preview.Fill(fill > 10647999 ? kGrey : kWhite);
    Bitmap triptych = source;
    if (!MakeTriptych(triptych, m, p, fill)) return preview;
    const long long wt = static_cast<long long>(source.Width()) + 2LL * m + 2LL * p;
    const long long ht = static_cast<long long>(source.Height()) + 2LL * m;
    int left = 0, top = 0, right = n, bottom = n;
    if (wt >= ht) {
      const int k = static_cast<int>(200 * ht / wt) / 2;
      top = 100 - k, bottom = 100 + k;
    } else {
      const int k = static_cast<int>(200 * wt / ht) / 2;
      left = 100 - k, right = 100 + k;
    }
    preview.FillRect(left, top, right, bottom, fill);
    if (right > left && bottom > top) {
      Bitmap fitted(right - left, bottom - top);
      StretchBilinear(triptych, fitted);
      preview.Draw(left, top, fitted);
    }
    return preview;
  }
  Bitmap preview = MarginPreview(source, m, fill, kBlack);
  if (m < 350) PaintBands(preview, m, fill, ctx, true);
  return preview;
}

std::string AddPictureFrame(Bitmap& result, const PictureFrameOptions& options, RunContext& ctx) {
  if (result.Empty()) return {};
  const int style = std::clamp(options.style, 0, 5);
  const int m = options.Margin();
  const Colour fill = static_cast<Colour>(options.fillColour) & 0xFFFFFF;
  const Colour line = static_cast<Colour>(options.lineColour) & 0xFFFFFF;
  const bool photographed = style == 2 || style == 3;
  const int a = style == 4 ? 0 : m;
  const long long ws = static_cast<long long>(result.Width()) + a, hs = static_cast<long long>(result.Height()) + a;
  if (!FitsLimits(ws, hs)) return kNotEnoughMemoryMessage;

  // Everything is built on a copy, so that a failure part-way keeps the finished drawing.
  Bitmap work;
  try {
    Bitmap p = result;
    if (photographed) ShadowAndSmooth(p);
    Bitmap canvas(static_cast<int>(ws), static_cast<int>(hs));
    canvas.Fill(fill);
    canvas.Draw(a / 2, a / 2, p);
    if (a >= 1 && style != 4) {
      const int h = a / 2, wsi = static_cast<int>(ws), hsi = static_cast<int>(hs);
      Outline(canvas, h, h, wsi - h - 1, hsi - h - 1, fill);
      Outline(canvas, h + 1, h + 1, wsi - h - 2, hsi - h - 2, fill);
      if (style == 1) {
        const int e = (m - 5) / 2;
        Outline(canvas, e, e, wsi - e - 1, hsi - e - 1, line);
      }
    }
    if (photographed) ShadowAndSmooth(canvas);
    if (style == 5) AddBrushstrokeFrame(canvas, m, fill, ctx);
    if (style == 2 || style == 3) {
      const bool tinted = style == 3;
      const int number = tinted ? ColouredFramePhotograph(options.colouredFrame)
                                : RealisticFramePhotograph(options.realisticFrame);
      if (!AddPhotographFrame(canvas, FramePhotograph(number), tinted, options.tintRed, options.tintGreen,
                              options.tintBlue)) {
        return canvas.Height() < 2 ? "The picture is too small for this frame; it was left without one."
                                   : kNotEnoughMemoryMessage;
      }
    }
    if (style == 4 && !MakeTriptych(canvas, m, options.Spacing(), fill)) {
      return canvas.Width() < 3 ? "The picture is too small for a triptych; it was left without one."
                                : kNotEnoughMemoryMessage;
    }
    work = std::move(canvas);
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemoryMessage;
  } catch (const ImageError&) {
    return kNotEnoughMemoryMessage;
  }
  result = std::move(work);
  return {};
}

}  // namespace brumeleaf
