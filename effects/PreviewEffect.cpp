#include "effects/PreviewEffect.h"

#include <algorithm>

#include "effects/EffectTable.h"
#include "imaging/Canvas.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"

namespace brumeleaf {

namespace {

// An outline one pixel wide through the corners (left, top) and (right, bottom), inclusive.
void Outline(Bitmap& picture, int left, int top, int right, int bottom) {
  picture.FillRect(left, top, right + 1, top + 1, kBlack);
  picture.FillRect(left, bottom, right + 1, bottom + 1, kBlack);
  picture.FillRect(left, top, left + 1, bottom + 1, kBlack);
  picture.FillRect(right, top, right + 1, bottom + 1, kBlack);
}

// Copies the rectangle (left, top)..(right, bottom) inclusive of `from` into the same place of
// `to`, as far as both pictures reach.
void CopyInner(const Bitmap& from, Bitmap& to, int left, int top, int right, int bottom) {
  right = std::min({right, from.Width() - 1, to.Width() - 1});
  bottom = std::min({bottom, from.Height() - 1, to.Height() - 1});
  if (right < left) return;
  const std::size_t bytes = static_cast<std::size_t>(right - left + 1) * 3;
  for (int y = top; y <= bottom; ++y) {
    std::copy_n(from.ScanLine(y) + left * 3, bytes, to.ScanLine(y) + left * 3);
  }
}

}  // namespace

void PreviewCrop::Drag(int dx, int dy, int sourceWidth, int sourceHeight) {
  x0 = std::max(0, x0 - dx * 100 / zoom);
  y0 = std::max(0, y0 - dy * 100 / zoom);
  const int size = Size();
  x0 = sourceWidth < size ? 0 : std::min(x0, sourceWidth - size);
  y0 = sourceHeight < size ? 0 : std::min(y0, sourceHeight - size);
}

void PreviewCrop::SetZoom(int newZoom, int sourceWidth, int sourceHeight) {
  newZoom = std::clamp(newZoom, 25, 100);
  const int oldSize = Size();
  zoom = newZoom;
  x0 += (oldSize - Size()) / 2;
  y0 += (oldSize - Size()) / 2;
  Drag(0, 0, sourceWidth, sourceHeight);
}

void PreviewCrop::Reset(int sourceWidth, int sourceHeight) {
  x0 = sourceWidth <= kPreviewSize ? 0 : sourceWidth / 2 - 100;
  y0 = sourceHeight <= kPreviewSize ? 0 : sourceHeight / 2 - 100;
}

Bitmap CropForPreview(const Bitmap& source, int x0, int y0, int size) {
  Bitmap crop(size, size);
  const int left = std::max(0, x0);
  const int top = std::max(0, y0);
  const int right = std::min(source.Width(), x0 + size);
  const int bottom = std::min(source.Height(), y0 + size);
  if (right <= left || bottom <= top) return crop;
  const std::size_t bytes = static_cast<std::size_t>(right - left) * 3;
  for (int y = top; y < bottom; ++y) {
    std::copy_n(source.ScanLine(y) + left * 3, bytes, crop.ScanLine(y - y0) + (left - x0) * 3);
  }
  return crop;
}

void ShowRawCrop(const Bitmap& crop, Bitmap& preview) {
  if (preview.Width() != kPreviewSize || preview.Height() != kPreviewSize) {
    preview.SetSize(kPreviewSize, kPreviewSize);
  }
  if (!crop.Empty()) {
    Canvas canvas(preview);
    canvas.StretchDraw({1, 1, kPreviewSize - 1, kPreviewSize - 1}, crop);
  }
  Outline(preview, 0, 0, kPreviewSize - 1, kPreviewSize - 1);
}

bool PreviewAvailable(int code) {
  return code >= 0 && code < kEffectCount && (EffectRowOf(code).preview || EffectRowOf(code).Built());
}

void ComputePreview(int code, const Bitmap& K, const Bitmap& resultCrop, Bitmap& O,
                    RunContext& ctx) {
  ctx.MutableParams().code = code;
  if (code < 0 || code >= kEffectCount) {
    O.SetSize(K.Width(), K.Height());
    return;
  }
  const EffectRow& effect = EffectRowOf(code);
  if (effect.preview) {
    effect.preview(K, resultCrop, O, ctx);
  } else if (effect.Built()) {
    // An effect that blends with the result starts from the same rectangle of the result.
    O = effect.extras.blendsWithResult ? resultCrop : K;
    effect.frame(K, O, ctx);
  } else {
    O = K;
  }
}

Bitmap PreviewDisplay(const Bitmap& O, int zoom, int code) {
  Bitmap preview(kPreviewSize, kPreviewSize);
  if (zoom >= 100) {
    CopyInner(O, preview, 1, 1, kPreviewSize - 2, kPreviewSize - 2);
  } else if (!O.Empty()) {
    StretchBilinearFast(O, preview);
    Sharpen(preview);
  }
  if (code >= 0 && code < kEffectCount && EffectRowOf(code).extras.softenedPreview) SoftBlur(preview);
  Outline(preview, 1, 1, kPreviewSize - 2, kPreviewSize - 2);
  Outline(preview, 0, 0, kPreviewSize - 1, kPreviewSize - 1);
  return preview;
}

}  // namespace brumeleaf
