#include "effects/EffectTable.h"

#include <string>

#include "effects/Catalogue.h"
#include "effects/Frames.h"
#include "effects/drawing/PencilSketch1.h"
#include "finishing/SurfaceFinish.h"

namespace brumeleaf {
namespace {

// The range is left unset here; Sliders() gives each row the standard range of its place.
constexpr SliderRow V(int line, int def) { return {line, def, true, false}; }
constexpr SliderRow Hidden(int def) { return {-1, def, false, false}; }
constexpr SliderRow HiddenCaptioned(int line, int def) { return {line, def, false, false}; }
constexpr SliderRow Blank(int def) { return {-1, def, false, true}; }
// A row whose range differs from the standard range of its place.
constexpr SliderRow Ranged(SliderRow row, SliderRange range) {
  row.range = range;
  return row;
}
// Rows 1, 2, 4 and 5 run from 0 to 255, row 3 from 0 to 100, all in steps of 5, unless a row
// says otherwise.
constexpr std::array<SliderRow, kSliderRowCount> Sliders(SliderRow r1, SliderRow r2, SliderRow r3,
                                                        SliderRow r4, SliderRow r5) {
  std::array<SliderRow, kSliderRowCount> rows{r1, r2, r3, r4, r5};
  constexpr SliderRange kStandard[kSliderRowCount] = {{0, 255, 5}, {0, 255, 5}, {0, 100, 5}, {0, 255, 5}, {0, 255, 5}};
  for (int i = 0; i < kSliderRowCount; ++i)
    if (rows[static_cast<std::size_t>(i)].range == SliderRange{0, 0, 0}) rows[static_cast<std::size_t>(i)].range = kStandard[i];
  return rows;
}

constexpr TextRule Line(int line) { return {TextRule::Kind::Line, line, {}, {}}; }
constexpr TextRule DropLast(int line, std::string_view add) {
  return {TextRule::Kind::DropLastAppend, line, add, {}};
}
constexpr TextRule Replace(int line, std::string_view from, std::string_view to) {
  return {TextRule::Kind::ReplaceAll, line, to, from};
}
constexpr TextRule Append(int line, std::string_view add) {
  return {TextRule::Kind::Append, line, add, {}};
}

// The frame-only entry is padded so that the list draws it as wide as the longest entry.
constexpr std::string_view kFrameOnlyPadding = "                                                     ";
static_assert(kFrameOnlyPadding.size() == 53);

using Extras = EffectExtras;

constexpr EffectRow Effect(int code, int listIndex, std::string_view handler, TextRule name,
                           std::array<SliderRow, kSliderRowCount> rows, EffectExtras extras,
                           EffectFrame frame, PreviewEntry preview) {
  return EffectRow{code, listIndex, handler, name, rows, extras, frame, preview, nullptr};
}

// Pencil sketch 1 previews its own lighter steps on the crop.
void PreviewPencilSketch1(const Bitmap& K, const Bitmap&, Bitmap& O, RunContext& ctx) {
  PreviewPencilSketch(K, O, ctx);
}

// Frame-only shows the surface finish of the crop.
void PreviewFinishingOnly(const Bitmap& K, const Bitmap&, Bitmap& O, RunContext& ctx) {
  ApplySurfaceFinish(K, O, ctx);
}

// Caption lines of the language table.
enum CaptionLine : int {
  kEdgeThreshold = 43, kEdgeIntensity = 44, kColorIntensity = 45, kDarkenLighten = 46,
  kLevelOfContrast = 47, kStrokeLength = 48, kColorBlending = 49, kStrengthOfEffect = 50,
  kPrecisionOfPaintbrush = 51, kSizeOfPaintbrush = 52, kContrastEnhancement = 53,
  kImageSimplification = 54, kBrushstrokesIntensity = 55, kLevelOfAbstraction = 56,
  kNumberOfSquares = 57, kMinimumSquareSize = 58, kMaximumSquareSize = 59,
  kNumberOfCircles = 60, kMinimumRadius = 61, kMaximumRadius = 62, kBlendingIntensity = 63,
  kMinimumBrushSize = 64, kMaximumBrushSize = 65, kNumberOfBrushstrokes = 66,
  kBrushstrokePrecision = 67, kMinimumStrokeSize = 68, kMaximumStrokeSize = 69,
  kNumberOfIterations = 70, kFilterPrecision = 71, kBlurStrength = 72, kOldPaperDefects = 73,
  kSepiaColoring = 74, kSaturation = 161, kLevelOfDetails = 200, kMultiplication = 228,
  kAngle = 231,
};

// clang-format off
constexpr std::array<EffectRow, kEffectCount> kEffects{{
  Effect(0, 1, "ProcessPencilSketch", Line(82),
         Sliders(V(kEdgeThreshold, 25), V(kEdgeIntensity, 100), V(kColorIntensity, 80), V(kDarkenLighten, 160), V(kLevelOfContrast, 25)),
         Extras{.softenedPreview = true}, FramePencilSketch, PreviewPencilSketch1),
  Effect(1, 2, "ProcessSobelFilter", Line(83),
         Sliders(V(kEdgeThreshold, 7), V(kEdgeIntensity, 127), V(kStrokeLength, 30), V(kDarkenLighten, 127), Hidden(0)),
         Extras{}, FrameSobelFilter, nullptr),
  Effect(2, 3, "ProcessColourSobel", Line(84),
         Sliders(V(kEdgeThreshold, 10), V(kEdgeIntensity, 200), V(kStrokeLength, 20), V(kDarkenLighten, 50), V(kColorIntensity, 50)),
         Extras{}, FrameColourSobel, nullptr),
  Effect(3, 8, "ProcessPenandInkSketch", Line(87),
         Sliders(V(kEdgeThreshold, 50), V(kEdgeIntensity, 50), HiddenCaptioned(kColorIntensity, 90), V(kDarkenLighten, 110), Hidden(0)),
         Extras{}, FramePenandInkSketch, nullptr),
  Effect(4, 11, "ProcessPainting", Line(89),
         Sliders(V(kColorBlending, 90), V(kEdgeIntensity, 110), V(kStrengthOfEffect, 25), V(kDarkenLighten, 140), V(kBrushstrokesIntensity, 50)),
         Extras{}, nullptr, nullptr),
  Effect(5, 12, "ProcessPainting2", Line(90),
         Sliders(V(kStrokeLength, 127), V(kNumberOfBrushstrokes, 25), V(kLevelOfAbstraction, 25), V(kColorIntensity, 135), V(kBrushstrokesIntensity, 127)),
         Extras{}, nullptr, nullptr),
  Effect(6, 13, "ProcessPainting3", Line(91),
         Sliders(V(kColorBlending, 35), Ranged(V(kSizeOfPaintbrush, 5), {1, 10, 1}), V(kStrengthOfEffect, 30), V(kDarkenLighten, 140), Hidden(0)),
         Extras{.pinnedRowOnSelection = 2, .pinnedValue = 5}, nullptr, nullptr),
  Effect(7, 14, "ProcessPainting4", Line(92),
         Sliders(Ranged(V(kStrengthOfEffect, 5), {0, 10, 1}), V(kContrastEnhancement, 30), V(kColorIntensity, 60), V(kDarkenLighten, 140), Hidden(0)),
         Extras{.pinnedRowOnSelection = 1, .pinnedValue = 5}, nullptr, nullptr),
  Effect(8, 15, "ProcessRegionGrowing", Line(93),
         Sliders(V(kStrengthOfEffect, 200), V(kImageSimplification, 10), V(kColorIntensity, 60), V(kDarkenLighten, 160), V(kBrushstrokesIntensity, 70)),
         Extras{}, nullptr, nullptr),
  Effect(9, 16, "ProcessRegionGrowing", Line(94),
         Sliders(V(kStrengthOfEffect, 200), V(kImageSimplification, 10), V(kColorIntensity, 60), V(kDarkenLighten, 140), V(kBrushstrokesIntensity, 50)),
         Extras{}, nullptr, nullptr),
  Effect(10, 22, "ProcessColouredSquares", Line(97),
         Sliders(V(kLevelOfAbstraction, 65), V(kNumberOfSquares, 100), V(kColorIntensity, 55), V(kMinimumSquareSize, 15), V(kMaximumSquareSize, 180)),
         Extras{.minMaxPair = true}, nullptr, nullptr),
  Effect(11, 23, "ProcessColouredCircles", Line(98),
         Sliders(V(kLevelOfAbstraction, 65), V(kNumberOfCircles, 100), V(kColorIntensity, 55), V(kMinimumRadius, 15), V(kMaximumRadius, 180)),
         Extras{.minMaxPair = true}, nullptr, nullptr),
  Effect(12, 31, "ProcessVivify", Line(102),
         Sliders(V(kEdgeThreshold, 35), V(kEdgeIntensity, 100), V(kColorIntensity, 55), V(kDarkenLighten, 128), V(kLevelOfContrast, 20)),
         Extras{}, nullptr, nullptr),
  Effect(13, 33, "ProcessAlphaBlend", Line(104),
         Sliders(V(kBlendingIntensity, 127), V(kMultiplication, 0), V(kDarkenLighten, 50), Blank(0), Blank(0)),
         Extras{.blendsWithResult = true}, nullptr, nullptr),
  Effect(14, 35, "ProcessNoFilter", Append(106, kFrameOnlyPadding),
         Sliders(Hidden(200), Hidden(10), Hidden(60), Hidden(160), Hidden(70)),
         Extras{}, FrameNoFilter, PreviewFinishingOnly),
  Effect(15, 17, "ProcessRandomStrokes", Line(95),
         Sliders(V(kMinimumBrushSize, 10), V(kMaximumBrushSize, 200), V(kNumberOfBrushstrokes, 50), V(kEdgeIntensity, 30), V(kBrushstrokePrecision, 190)),
         Extras{.maxButtonRow = 3, .doubleRow2 = true, .brushButtons = true}, nullptr, nullptr),
  Effect(16, 4, "ProcessPencilStrokes", Line(85),
         Sliders(V(kMinimumStrokeSize, 0), V(kMaximumStrokeSize, 200), V(kNumberOfIterations, 20), V(kEdgeIntensity, 100), V(kFilterPrecision, 200)),
         Extras{}, FramePencilStrokes, nullptr),
  Effect(17, 24, "ProcessCartoonify", Line(99),
         Sliders(V(kStrengthOfEffect, 225), V(kImageSimplification, 70), V(kDarkenLighten, 55), V(kEdgeIntensity, 220), V(kColorIntensity, 127)),
         Extras{}, nullptr, nullptr),
  Effect(18, 25, "ProcessColourInk", Line(100),
         Sliders(V(kColorBlending, 30), V(kEdgeIntensity, 30), V(kStrengthOfEffect, 10), V(kDarkenLighten, 127), Hidden(0)),
         Extras{}, nullptr, nullptr),
  Effect(19, 32, "ProcessSepia", Line(103),
         Sliders(V(kStrengthOfEffect, 255), V(kBlurStrength, 127), V(kOldPaperDefects, 50), V(kSepiaColoring, 220), V(kDarkenLighten, 140)),
         Extras{}, nullptr, nullptr),
  Effect(20, 18, "ProcessExpressivePainting", Line(199),
         Sliders(V(kMaximumBrushSize, 50), V(kNumberOfBrushstrokes, 25), V(kBrushstrokePrecision, 70), V(kLevelOfContrast, 85), V(kLevelOfDetails, 215)),
         Extras{.brushButtons = true}, nullptr, nullptr),
  Effect(21, 9, "ProcessPenandInkSketch2", DropLast(87, "2"),
         Sliders(V(kLevelOfDetails, 40), V(kDarkenLighten, 160), V(kImageSimplification, 40), Hidden(0), Hidden(0)),
         Extras{}, FramePenandInkSketch2, nullptr),
  Effect(22, 26, "ProcessRandomPolygons", Line(206),
         Sliders(V(kLevelOfAbstraction, 100), V(kNumberOfIterations, 80), V(kLevelOfContrast, 30), V(kMinimumRadius, 25), V(kMaximumRadius, 130)),
         Extras{.maxButtonRow = 2}, nullptr, nullptr),
  Effect(23, 5, "ProcessNewPencilSketch", DropLast(82, "4"),
         Sliders(V(kEdgeThreshold, 20), V(kNumberOfIterations, 100), V(kStrokeLength, 25), V(kLevelOfAbstraction, 10), V(kColorIntensity, 140)),
         Extras{}, FrameNewPencilSketch, nullptr),
  Effect(24, 6, "ProcessPencilSketch5", DropLast(82, "5"),
         Sliders(V(kEdgeThreshold, 50), V(kEdgeIntensity, 150), V(kBlendingIntensity, 25), V(kDarkenLighten, 128), V(kColorIntensity, 200)),
         Extras{}, FramePencilSketch5, nullptr),
  Effect(25, 27, "ProcessShadedTriangles", Append(206, " 2"),
         Sliders(V(kLevelOfAbstraction, 130), V(kNumberOfIterations, 100), V(kLevelOfContrast, 10), V(kMinimumRadius, 15), V(kMaximumRadius, 180)),
         Extras{.maxButtonRow = 2}, nullptr, nullptr),
  Effect(26, 28, "ProcessHalfToneLines", Line(230),
         Sliders(V(kLevelOfAbstraction, 12), Ranged(V(kAngle, 45), {0, 360, 7}), V(kColorIntensity, 100), Hidden(0), Hidden(0)),
         Extras{}, FrameHalfToneLines, nullptr),
  Effect(27, 19, "ProcessPainting9", Replace(89, "1", "9"),
         Sliders(V(kNumberOfIterations, 7), V(kSizeOfPaintbrush, 170), V(kPrecisionOfPaintbrush, 90), V(kEdgeIntensity, 127), V(kDarkenLighten, 10)),
         Extras{}, nullptr, nullptr),
  Effect(28, 20, "ProcessPainting10", Replace(95, "7", "10"),
         Sliders(V(kMinimumBrushSize, 50), V(kNumberOfIterations, 50), V(kLevelOfAbstraction, 50), V(kStrengthOfEffect, 130), V(kSaturation, 130)),
         Extras{.doubleRow1 = true, .paintBrushButtons = true}, nullptr, nullptr),
  Effect(29, 29, "ProcessAbstract", Line(237),
         Sliders(V(kMaximumRadius, 150), V(kNumberOfIterations, 15), V(kColorIntensity, 55), V(kDarkenLighten, 127), V(kLevelOfContrast, 127)),
         Extras{}, nullptr, nullptr),
}};
// clang-format on

// Every code stands in its own place, and every row has a range.
constexpr bool TableIsConsistent() {
  for (int c = 0; c < kEffectCount; ++c) {
    const EffectRow& row = kEffects[static_cast<std::size_t>(c)];
    if (row.code != c) return false;
    for (const SliderRow& slider : row.rows)
      if (slider.range.low > slider.range.high || slider.range.tick < 1) return false;
  }
  return true;
}
static_assert(TableIsConsistent());

}  // namespace

const std::array<EffectRow, kEffectCount>& EffectRows() { return kEffects; }

const EffectRow& EffectRowOf(int code) {
  if (code < 0 || code >= kEffectCount)
    throw CatalogueError("There is no effect with code " + std::to_string(code));
  return kEffects[static_cast<std::size_t>(code)];
}

EffectFrame FrameForCode(int code) {
  return code >= 0 && code < kEffectCount ? kEffects[static_cast<std::size_t>(code)].frame : nullptr;
}

}  // namespace brumeleaf
