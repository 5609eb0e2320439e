#include "effects/stylised/Vintage.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "effects/FrameSteps.h"
#include "effects/Frames.h"
#include "imaging/Canvas.h"
#include "imaging/DivideBy.h"
#include "resources/OldPaper.h"

namespace brumeleaf {

namespace {

// The toning is reported column by column; columns are walked in blocks of this many, row by
// row inside a block, and the reports of a block's columns follow the block.
constexpr int kColumnBlock = 16;

// Border pixel (x, y) of `image` softened with the neighbours that lie inside the picture.
void SoftenBorderPixel(Bitmap& image, int x, int y, int w) {
  int sum[3] = {0, 0, 0};
  int count = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    const int ny = y + dy;
    if (ny < 0 || ny >= image.Height()) continue;
    const std::uint8_t* row = image.ScanLine(ny);
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx;
      if ((dx == 0 && dy == 0) || nx < 0 || nx >= image.Width()) continue;
      for (int c = 0; c < 3; ++c) sum[c] += row[3 * nx + c];
      ++count;
    }
  }
  std::uint8_t* p = image.ScanLine(y) + 3 * x;
  for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((sum[c] + p[c] * w) / (w + count));
}

// The toning of one block of columns [x0, x1).
void ToneColumns(const Bitmap& source, Bitmap& output, const VintageSettings& st,
                 const std::array<std::array<int, kOldPaperWidth - 1>, kOldPaperHeight - 1>& paper, int x0, int x1) {
  const int t1 = st.strength, t3 = st.sepia, shift = st.darkenLighten - 127;
  for (int y = 0; y < source.Height(); ++y) {
    const std::uint8_t* s = source.ScanLine(y);
    std::uint8_t* d = output.ScanLine(y);
    const auto& offsets = paper[static_cast<std::size_t>(y % (kOldPaperHeight - 1))];
    for (int x = x0; x < x1; ++x) {
      const std::uint8_t* p = s + 3 * x;
      const int k = offsets[static_cast<std::size_t>(x % (kOldPaperWidth - 1))];
      const int sb = p[0], sg = p[1], sr = p[2];
      const int r = ClampLevel(sr + k), g = ClampLevel(sg + k), b = ClampLevel(sb + k);
      // The red row starts with 420, not the 393 of the usual sepia matrix: a warmer tone.
      const int tr = ClampLevel((420 * r + 769 * g + 189 * b) / 1000);
      const int tg = ClampLevel((349 * r + 686 * g + 168 * b) / 1000);
      const int tb = ClampLevel((272 * r + 534 * g + 131 * b) / 1000);
      // Strength: mixed with the photograph without the paper.
      const int mr = tr * t1 / 255 + sr * (255 - t1) / 255;
      const int mg = tg * t1 / 255 + sg * (255 - t1) / 255;
      const int mb = tb * t1 / 255 + sb * (255 - t1) / 255;
      // Colouring: mixed with the grey of the papered pixel, then brightened or darkened.
      const int a = (r + g + b) / 3;
      const int grey = a * (255 - t3) / 255;
      std::uint8_t* q = d + 3 * x;
      q[2] = ClampLevel(shift + mr * t3 / 255 + grey);
      q[1] = ClampLevel(shift + mg * t3 / 255 + grey);
      q[0] = ClampLevel(shift + mb * t3 / 255 + grey);
    }
  }
}

}  // namespace

VintageSettings VintageSettingsFrom(const RunContext& ctx) {
  VintageSettings settings;
  settings.strength = ctx.S(1);
  settings.blur = ctx.S(2);
  settings.paperDefects = ctx.S(3);
  settings.sepia = ctx.S(4);
  settings.darkenLighten = ctx.S(5);
  return settings;
}

void ApplyVignette(Bitmap& image) {
  const int w = image.Width(), h = image.Height();
  if (image.Empty()) return;
  Bitmap mask(w, h);
  Canvas canvas(mask);
  canvas.penWidth = 2;
  canvas.brushClear = true;
  const int half = std::max(w, h) / 2;
  for (int i = 0; i <= half; ++i) {
    // A picture one pixel on its longer side has a single ring at the full level (the formula
    // would divide by a half side of 0).
    const int v = half == 0 ? 255 : ((half - (i * 16) / 10) * 255) / half;
    canvas.penColor = v < 0 ? kBlack : MakeColour(v, v, v);
    // Ellipse rings: the pixels of the inscribed ellipse of the bounds (right and bottom
    // exclusive) that touch its outside, with the 2-pixel pen disc stamped along them; each
    // larger ring overwrites what the smaller ones left.
    canvas.Ellipse({-i, -i, w + i, h + i});
  }
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = image.ScanLine(y);
    const std::uint8_t* m = mask.ScanLine(y);
    for (int i = 0; i < 3 * w; ++i) p[i] = static_cast<std::uint8_t>((p[i] * m[i]) >> 8);
  }
}

void SoftenInPlace(Bitmap& image, int w) {
  w = std::clamp(w, 0, 255);
  const int width = image.Width(), height = image.Height();
  const DivideBy divide(static_cast<std::uint32_t>(w + 8));
  std::vector<std::uint16_t> vertical(static_cast<std::size_t>(3) * width);
  for (int y = 1; y + 1 < height; ++y) {
    const std::uint8_t* above = image.ScanLine(y - 1);  // already softened in this pass
    const std::uint8_t* below = image.ScanLine(y + 1);
    std::uint8_t* row = image.ScanLine(y);
    for (int i = 0; i < 3 * width; ++i) vertical[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(above[i] + below[i]);
    const std::uint16_t* v = vertical.data();
    // In place: row[i - 3] already holds this pass's value, row[i + 3] the previous one.
    for (int i = 3; i < 3 * (width - 1); ++i) {
      const std::uint32_t n = static_cast<std::uint32_t>(v[i - 3] + v[i] + v[i + 3] + row[i - 3] + row[i + 3] + row[i] * w);
      row[i] = static_cast<std::uint8_t>(divide(n));
    }
  }
  // Border order (open in the description, kept from here on): along the columns the top and
  // then the bottom pixel of each column, then down the rows the left and then the right pixel.
  for (int x = 1; x + 1 < width; ++x) {
    SoftenBorderPixel(image, x, 0, w);
    if (height > 1) SoftenBorderPixel(image, x, height - 1, w);
  }
  for (int y = 1; y + 1 < height; ++y) {
    SoftenBorderPixel(image, 0, y, w);
    if (width > 1) SoftenBorderPixel(image, width - 1, y, w);
  }
}

void VintagePhoto(Bitmap& source, Bitmap& output, const VintageSettings& settings, RunContext& ctx) {
  if (&source == &output) throw ImageError("Vintage photo cannot draw over its own source picture.");
  const bool report = !ctx.preview;
  if (!ctx.preview) ApplyVignette(source);
  const Bitmap& tile = OldPaperTile();
  const int w = source.Width(), h = source.Height();
  output.SetSize(w, h);

  const int blur = std::clamp(settings.blur, 0, 255);  // the centre weight 255 - T2 stays >= 0
  const int passes = blur / 10 + 1;
  for (int pass = 1; pass <= passes; ++pass) {
    if (report) ctx.ShowProgress(pass, passes, 1, 2);
    if (ctx.StopRequested()) return;
    SoftenInPlace(source, 255 - blur);
  }

  // Paper offsets of the sampled part of the tile: ((190 - red) x T5) div 50, truncating.
  std::array<std::array<int, kOldPaperWidth - 1>, kOldPaperHeight - 1> paper{};
  for (int y = 0; y < kOldPaperHeight - 1; ++y) {
    const std::uint8_t* row = tile.ScanLine(y);
    for (int x = 0; x < kOldPaperWidth - 1; ++x)
      paper[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
          ((kOldPaperNeutralRed - row[3 * x + 2]) * settings.paperDefects) / 50;
  }
  for (int x0 = 0; x0 < w; x0 += kColumnBlock) {
    const int x1 = std::min(w, x0 + kColumnBlock);
    ToneColumns(source, output, settings, paper, x0, x1);
    if (report)
      for (int x = x0; x < x1; ++x) ctx.ShowProgress(x, w, 2, 2);
    if (ctx.StopRequested()) return;
  }
  if (report) ctx.ShowProgress(100, 100, 2, 2);
}

void PatchSepia(const Bitmap& source, Bitmap& output, RunContext& ctx) {
  Bitmap work = source;
  VintagePhoto(work, output, VintageSettingsFrom(ctx), ctx);
}

// Code 19: R := copy of S; W1 := S; W2; vintage (W1, W2); surface finish W2 into R.
void FrameSepia(const Bitmap& S, Bitmap& R, RunContext& ctx) {
  RunOnWorkingPair(S, R, ctx, WorkingPair{}, [&](Bitmap& w1, Bitmap& w2) {
    VintagePhoto(w1, w2, VintageSettingsFrom(ctx), ctx);
  });
}

}  // namespace brumeleaf
