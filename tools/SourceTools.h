#pragma once
// The source tools: the five-slider modification chain of the source picture, automatic
// contrast (the menu command's and the script step's, which differ), and resizing both panels.
// The desktop program's windows, the command line and scripts all call these, so a setting
// gives the same bytes wherever it is applied.

#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

// The slider values of the modification window.
struct ModifySettings {
  int luminosity = 0;   // TrackBar1, -100..100: brightness percent
  int contrast = 0;     // TrackBar2, -100..100: contrast about 127 below 0, local contrast 2x above
  int saturation = 0;   // TrackBar3, -100..100: saturation percent
  int blurSharpen = 0;  // TrackBar4, -5..5: blur passes below 0, sharpen passes above
  int simplify = 0;     // TrackBar5, 0..9: median filter of size simplify + 2 when above 0

  bool Neutral() const {
    return luminosity == 0 && contrast == 0 && saturation == 0 && blurSharpen == 0 && simplify == 0;
  }
  // Each value kept within its slider's range.
  ModifySettings Clamped() const;
  bool operator==(const ModifySettings&) const = default;
};

inline constexpr int kModifyPreviewSize = 150;

// The chain in its fixed order: median, brightness, contrast, saturation, blur or sharpen.
// `mean` is the whole source's mean colour (the local contrast reads it, in the preview as
// well). The work is done on a copy: `picture` changes only when the chain completes, so a stop
// (ctx) leaves it whole and returns false. The settings are clamped to their ranges first.
bool ModifySourceImage(Bitmap& picture, const ModifySettings& settings, const SourceMean& mean,
                       RunContext* ctx = nullptr);

// The median window size the chain uses for a simplification value: 0 for none.
constexpr int SimplifyMedianSize(int simplify) { return simplify > 0 ? simplify + 2 : 0; }

// The preview's top-left corner kept within 0..W-150 and 0..H-150 (0 on a side shorter than
// the preview), so the preview never reads outside the source.
int ClampPreviewOffset(int offset, int sourceExtent);

// The 150 x 150 preview of the chain at offset (ox, oy) of `source` (clamped as above). The
// chain runs on the part inside the source only; a source smaller than the preview leaves the
// rest of it neutral grey.
Bitmap ModifyPreview(const Bitmap& source, int ox, int oy, const ModifySettings& settings, const SourceMean& mean);

// "Automatic contrast and sharpening" of the menu: histogram equalisation (exponent 0.2),
// detail enhancement (strength 20), then the HLS saturation boost.
void AutomaticContrast(Bitmap& picture);
// The script's automatic-contrast step: exponent 0.23, strength 25, no saturation boost.
void ScriptAutomaticContrast(Bitmap& picture);

// A picture resampled to width x height (bilinear). Throws ImageError for a side below 1 or
// beyond the picture limits, and for an empty picture (nothing to resample).
Bitmap ResizePicture(const Bitmap& picture, int width, int height);

// The side that keeps the picture's proportions when the other side changes from
// `changedOriginal` to `changed`: ((changed * 1000) div changedOriginal) * otherOriginal div
// 1000. The order loses a little on purpose: it is the rule the resize window has always
// used (1000 x 333 at width 500 gives 166). Computed in 64 bits and saturated to the int range;
// 0 when the original side is not positive.
int KeptRatioSide(int changed, int changedOriginal, int otherOriginal);

// How resizing both panels ended.
enum class ResizeOutcome { Resized, TooSmall };

// Both panels resampled to width x height, each from its own picture, when both sides are at
// least 2 (TooSmall changes nothing). A size beyond the picture limits or an empty source is
// refused with an ImageError before anything changes; both pictures change together or not
// at all.
ResizeOutcome ResizeSource(Bitmap& source, Bitmap& result, int width, int height);

}  // namespace brumeleaf
