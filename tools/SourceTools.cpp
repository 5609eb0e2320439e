#include "tools/SourceTools.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "imaging/MedianFilter.h"

namespace brumeleaf {

namespace {

bool Stopped(RunContext* ctx) { return ctx != nullptr && ctx->StopRequested(); }

// Blur/Sharpen: n > 0 sharpens n times; n < 0 counts i from n up to -1 and blurs with the box
// blur while i < -3 and the softening blur after, so the strongest settings start coarse and
// end soft (-5: two box blurs, three softenings).
bool BlurOrSharpen(Bitmap& picture, int n, RunContext* ctx) {
  for (int i = 0; i < n; ++i) {
    if (Stopped(ctx)) return false;
    Sharpen(picture);
  }
  for (int i = n; i <= -1; ++i) {
    if (Stopped(ctx)) return false;
    if (i < -3) {
      BoxBlur3(picture);
    } else {
      SoftBlur(picture);
    }
  }
  return true;
}

// The chain on `work` itself; false when a stop cut it short (work is then partial).
bool RunChain(Bitmap& work, const ModifySettings& s, const SourceMean& mean, RunContext* ctx) {
  if (s.simplify > 0) {
    if (ctx != nullptr) {
      Bitmap filtered;
      if (!MedianFilter(work, SimplifyMedianSize(s.simplify), filtered, *ctx)) return false;
      work = std::move(filtered);
    } else {
      work = MedianFilter(work, SimplifyMedianSize(s.simplify));
    }
  }
  if (Stopped(ctx)) return false;
  AdjustBrightness(work, s.luminosity);
  if (Stopped(ctx)) return false;
  if (s.contrast < 0) {
    AdjustContrast(work, 127, s.contrast);
  } else if (s.contrast > 0) {
    EnhanceLocalContrast(work, 2 * s.contrast, mean);
  }
  if (Stopped(ctx)) return false;
  AdjustSaturation(work, s.saturation, ctx);
  if (Stopped(ctx)) return false;
  return BlurOrSharpen(work, s.blurSharpen, ctx);
}

}  // namespace

ModifySettings ModifySettings::Clamped() const {
  ModifySettings c;
  c.luminosity = std::clamp(luminosity, -100, 100);
  c.contrast = std::clamp(contrast, -100, 100);
  c.saturation = std::clamp(saturation, -100, 100);
  c.blurSharpen = std::clamp(blurSharpen, -5, 5);
  c.simplify = std::clamp(simplify, 0, 9);
  return c;
}

bool ModifySourceImage(Bitmap& picture, const ModifySettings& settings, const SourceMean& mean, RunContext* ctx) {
  const ModifySettings s = settings.Clamped();
  // Every stage is the identity at 0, so neutral settings leave the picture as it is.
  if (s.Neutral() || picture.Empty()) return !Stopped(ctx);
  Bitmap work = picture;
  if (!RunChain(work, s, mean, ctx)) return false;
  picture = std::move(work);
  return true;
}

int ClampPreviewOffset(int offset, int sourceExtent) {
  return std::clamp(offset, 0, std::max(0, sourceExtent - kModifyPreviewSize));
}

Bitmap ModifyPreview(const Bitmap& source, int ox, int oy, const ModifySettings& settings, const SourceMean& mean) {
  Bitmap preview(kModifyPreviewSize, kModifyPreviewSize);
  preview.Fill(MakeColour(128, 128, 128));
  if (source.Empty()) return preview;
  const int x0 = ClampPreviewOffset(ox, source.Width());
  const int y0 = ClampPreviewOffset(oy, source.Height());
  const int w = std::min(kModifyPreviewSize, source.Width() - x0);
  const int h = std::min(kModifyPreviewSize, source.Height() - y0);
  Bitmap crop(w, h);
  for (int y = 0; y < h; ++y)
    std::memcpy(crop.ScanLine(y), source.ScanLine(y0 + y) + 3 * static_cast<std::size_t>(x0),
                3 * static_cast<std::size_t>(w));
  ModifySourceImage(crop, settings, mean);
  for (int y = 0; y < h; ++y)
    std::memcpy(preview.ScanLine(y), crop.ScanLine(y), 3 * static_cast<std::size_t>(w));
  return preview;
}

void AutomaticContrast(Bitmap& picture) {
  if (picture.Empty()) return;
  EqualizeHistogram(picture, 0.2f);
  EnhanceDetail(picture, picture, 20);
  BoostSaturationHLS(picture, picture);
}

void ScriptAutomaticContrast(Bitmap& picture) {
  if (picture.Empty()) return;
  EqualizeHistogram(picture, 0.23f);
  EnhanceDetail(picture, picture, 25);
}

Bitmap ResizePicture(const Bitmap& picture, int width, int height) {
  if (picture.Empty()) throw ImageError("There is no picture to resize.");
  if (width < 1 || height < 1) {
    throw ImageError("A picture of " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels has no pixels to resample into.");
  }
  Bitmap resized(width, height);  // beyond the largest picture the bitmap refuses with its size
  StretchBilinear(picture, resized);
  return resized;
}

int KeptRatioSide(int changed, int changedOriginal, int otherOriginal) {
  if (changedOriginal <= 0) return 0;
  const long long side = static_cast<long long>(changed) * 1000 / changedOriginal * otherOriginal / 1000;
  return static_cast<int>(std::clamp<long long>(side, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

ResizeOutcome ResizeSource(Bitmap& source, Bitmap& result, int width, int height) {
  if (source.Empty()) throw ImageError("There is no picture to resize.");
  if (width < 2 || height < 2) return ResizeOutcome::TooSmall;
  Bitmap newSource = ResizePicture(source, width, height);
  Bitmap newResult = result.Empty() ? newSource : ResizePicture(result, width, height);
  source = std::move(newSource);
  result = std::move(newResult);
  return ResizeOutcome::Resized;
}

}  // namespace brumeleaf
