#include "effects/EffectTable.h"

#include <string>

#include "effects/Catalogue.h"
#include "effects/Frames.h"
#include "effects/drawing/PencilSketch1.h"
#include "effects/drawing/PenAndInk.h"
#include "effects/drawing/OilPastel.h"
#include "effects/painting/Painting10.h"
#include "effects/painting/Painting9.h"
#include "effects/painting/Cartoon.h"
#include "effects/painting/Painting4.h"
#include "effects/painting/Painting3.h"
#include "effects/painting/ExpressiveStrokes.h"
#include "effects/painting/RandomStrokes.h"
#include "effects/painting/RegionGrowing.h"
#include "effects/painting/Brushstrokes.h"
#include "effects/painting/Watercolour.h"
#include "effects/stylised/Vivify.h"
#include "effects/stylised/Vintage.h"
#include "effects/stylised/Mosaic.h"
#include "effects/stylised/Merge.h"
#include "effects/stylised/Emergence.h"
#include "effects/stylised/ColourInk.h"
#include "effects/stylised/Abstract.h"
#include "finishing/SurfaceFinish.h"

namespace brumeleaf {
namespace {

// The range is left unset here; Sliders() gives each row the standard range of its place.
constexpr SliderRow V(TextId caption, int def) { return {static_cast<int>(caption), def, true, false}; }
constexpr SliderRow Hidden(int def) { return {-1, def, false, false}; }
constexpr SliderRow HiddenCaptioned(TextId caption, int def) { return {static_cast<int>(caption), def, false, false}; }
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

constexpr int LineOf(TextId text) { return static_cast<int>(text); }
constexpr TextRule Line(TextId text) { return {TextRule::Kind::Line, LineOf(text), {}, {}}; }
constexpr TextRule DropLast(TextId text, std::string_view add) {
  return {TextRule::Kind::DropLastAppend, LineOf(text), add, {}};
}
constexpr TextRule Replace(TextId text, std::string_view from, std::string_view to) {
  return {TextRule::Kind::ReplaceAll, LineOf(text), to, from};
}
constexpr TextRule Append(TextId text, std::string_view add) {
  return {TextRule::Kind::Append, LineOf(text), add, {}};
}

// The frame-only entry is padded so that the list draws it as wide as the longest entry.
constexpr std::string_view kFrameOnlyPadding = "                                                     ";
static_assert(kFrameOnlyPadding.size() == 53);

using Extras = EffectExtras;

constexpr EffectRow Effect(int code, int listIndex, std::string_view handler, TextRule name,
                           std::array<SliderRow, kSliderRowCount> rows, EffectExtras extras,
                           EffectFrame frame, PreviewEntry preview, BrushPatchEntry patch = nullptr) {
  return EffectRow{code, listIndex, handler, name, rows, extras, frame, preview, patch};
}

// Pencil sketch 1 previews its own lighter steps on the crop.
void PreviewPencilSketch1(const Bitmap& K, const Bitmap&, Bitmap& O, RunContext& ctx) {
  PreviewPencilSketch(K, O, ctx);
}

// Frame-only shows the surface finish of the crop.
void PreviewFinishingOnly(const Bitmap& K, const Bitmap&, Bitmap& O, RunContext& ctx) {
  ApplySurfaceFinish(K, O, ctx);
}

// clang-format off
constexpr std::array<EffectRow, kEffectCount> kEffects{{
  Effect(0, 1, "ProcessPencilSketch", Line(TextId::PencilSketch1),
         Sliders(V(TextId::EdgeThreshold, 25), V(TextId::EdgeIntensity, 100), V(TextId::ColorIntensity, 80), V(TextId::DarkenLighten, 160), V(TextId::LevelOfContrast, 25)),
         Extras{.softenedPreview = true, .patchFinishesItself = true}, FramePencilSketch, PreviewPencilSketch1, FramePencilSketch),
  Effect(1, 2, "ProcessSobelFilter", Line(TextId::PencilSketch2),
         Sliders(V(TextId::EdgeThreshold, 7), V(TextId::EdgeIntensity, 127), V(TextId::StrokeLength, 30), V(TextId::DarkenLighten, 127), Hidden(0)),
         Extras{.patchFinishesItself = true}, FrameSobelFilter, nullptr, FrameSobelFilter),
  Effect(2, 3, "ProcessColourSobel", Line(TextId::PencilSketch3),
         Sliders(V(TextId::EdgeThreshold, 10), V(TextId::EdgeIntensity, 200), V(TextId::StrokeLength, 20), V(TextId::DarkenLighten, 50), V(TextId::ColorIntensity, 50)),
         Extras{.patchFinishesItself = true}, FrameColourSobel, nullptr, FrameColourSobel),
  Effect(3, 8, "ProcessPenandInkSketch", Line(TextId::PenAndInkSketch1),
         Sliders(V(TextId::EdgeThreshold, 50), V(TextId::EdgeIntensity, 50), HiddenCaptioned(TextId::ColorIntensity, 90), V(TextId::DarkenLighten, 110), Hidden(0)),
         Extras{.patchFinishesItself = true}, FramePenandInkSketch, nullptr, FramePenandInkSketch),
  Effect(4, 11, "ProcessPainting", Line(TextId::Painting1),
         Sliders(V(TextId::ColorBlending, 90), V(TextId::EdgeIntensity, 110), V(TextId::StrengthOfEffect, 25), V(TextId::DarkenLighten, 140), V(TextId::BrushstrokesIntensity, 50)),
         Extras{}, FramePainting, nullptr, PatchWatercolour),
  Effect(5, 12, "ProcessPainting2", Line(TextId::Painting2),
         Sliders(V(TextId::StrokeLength, 127), V(TextId::NumberOfBrushstrokes, 25), V(TextId::LevelOfAbstraction, 25), V(TextId::ColorIntensity, 135), V(TextId::BrushstrokesIntensity, 127)),
         Extras{}, FramePainting2, nullptr, PatchBrushstrokes),
  Effect(6, 13, "ProcessPainting3", Line(TextId::Painting3),
         Sliders(V(TextId::ColorBlending, 35), Ranged(V(TextId::SizeOfPaintbrush, 5), {1, 10, 1}), V(TextId::StrengthOfEffect, 30), V(TextId::DarkenLighten, 140), Hidden(0)),
         Extras{.pinnedRowOnSelection = 2, .pinnedValue = 5, .patchFinishesItself = true}, FramePainting3, PreviewPainting3, PatchPainting3),
  Effect(7, 14, "ProcessPainting4", Line(TextId::Painting4),
         Sliders(Ranged(V(TextId::StrengthOfEffect, 5), {0, 10, 1}), V(TextId::ContrastEnhancement, 30), V(TextId::ColorIntensity, 60), V(TextId::DarkenLighten, 140), Hidden(0)),
         Extras{.pinnedRowOnSelection = 1, .pinnedValue = 5}, FramePainting4, nullptr, PatchPainting4),
  Effect(8, 15, "ProcessRegionGrowing", Line(TextId::Painting5),
         Sliders(V(TextId::StrengthOfEffect, 200), V(TextId::ImageSimplification, 10), V(TextId::ColorIntensity, 60), V(TextId::DarkenLighten, 160), V(TextId::BrushstrokesIntensity, 70)),
         Extras{}, FrameRegionGrowing, nullptr, PatchRegionGrowing),
  Effect(9, 16, "ProcessRegionGrowing", Line(TextId::Painting6),
         Sliders(V(TextId::StrengthOfEffect, 200), V(TextId::ImageSimplification, 10), V(TextId::ColorIntensity, 60), V(TextId::DarkenLighten, 140), V(TextId::BrushstrokesIntensity, 50)),
         Extras{}, FrameRegionGrowing, nullptr, PatchRegionGrowing),
  Effect(10, 22, "ProcessColouredSquares", Line(TextId::Pixelation),
         Sliders(V(TextId::LevelOfAbstraction, 65), V(TextId::NumberOfSquares, 100), V(TextId::ColorIntensity, 55), V(TextId::MinimumSquareSize, 15), V(TextId::MaximumSquareSize, 180)),
         Extras{.minMaxPair = true}, FrameColouredSquares, nullptr, PatchColouredSquares),
  Effect(11, 23, "ProcessColouredCircles", Line(TextId::ColoredDots),
         Sliders(V(TextId::LevelOfAbstraction, 65), V(TextId::NumberOfCircles, 100), V(TextId::ColorIntensity, 55), V(TextId::MinimumRadius, 15), V(TextId::MaximumRadius, 180)),
         Extras{.minMaxPair = true}, FrameColouredCircles, nullptr, PatchColouredCircles),
  Effect(12, 31, "ProcessVivify", Line(TextId::VivifyPhoto),
         Sliders(V(TextId::EdgeThreshold, 35), V(TextId::EdgeIntensity, 100), V(TextId::ColorIntensity, 55), V(TextId::DarkenLighten, 128), V(TextId::LevelOfContrast, 20)),
         Extras{}, FrameVivify, nullptr, PatchVivify),
  Effect(13, 33, "ProcessAlphaBlend", Line(TextId::MergeSourceAndResult),
         Sliders(V(TextId::BlendingIntensity, 127), V(TextId::Multiplication, 0), V(TextId::DarkenLighten, 50), Blank(0), Blank(0)),
         Extras{.blendsWithResult = true}, FrameAlphaBlend, nullptr),
  Effect(14, 35, "ProcessNoFilter", Append(TextId::FrameTextureTextOnly, kFrameOnlyPadding),
         Sliders(Hidden(200), Hidden(10), Hidden(60), Hidden(160), Hidden(70)),
         Extras{}, FrameNoFilter, PreviewFinishingOnly),
  Effect(15, 17, "ProcessRandomStrokes", Line(TextId::Painting7),
         Sliders(V(TextId::MinimumBrushSize, 10), V(TextId::MaximumBrushSize, 200), V(TextId::NumberOfBrushstrokes, 50), V(TextId::EdgeIntensity, 30), V(TextId::BrushstrokePrecision, 190)),
         Extras{.maxButtonRow = 3, .doubleRow2 = true, .brushButtons = true}, FrameRandomStrokes, nullptr, PatchRandomStrokes),
  Effect(16, 4, "ProcessPencilStrokes", Line(TextId::OilPastelSketch),
         Sliders(V(TextId::MinimumStrokeSize, 0), V(TextId::MaximumStrokeSize, 200), V(TextId::NumberOfIterations, 20), V(TextId::EdgeIntensity, 100), V(TextId::FilterPrecision, 200)),
         Extras{}, FramePencilStrokes, nullptr, PatchOilPastel),
  Effect(17, 24, "ProcessCartoonify", Line(TextId::Cartoon1),
         Sliders(V(TextId::StrengthOfEffect, 225), V(TextId::ImageSimplification, 70), V(TextId::DarkenLighten, 55), V(TextId::EdgeIntensity, 220), V(TextId::ColorIntensity, 127)),
         Extras{}, FrameCartoonify, nullptr, PatchCartoonify),
  Effect(18, 25, "ProcessColourInk", Line(TextId::Cartoon2),
         Sliders(V(TextId::ColorBlending, 30), V(TextId::EdgeIntensity, 30), V(TextId::StrengthOfEffect, 10), V(TextId::DarkenLighten, 127), Hidden(0)),
         Extras{}, FrameColourInk, PreviewColourInk, PatchColourInk),
  Effect(19, 32, "ProcessSepia", Line(TextId::VintagePhoto),
         Sliders(V(TextId::StrengthOfEffect, 255), V(TextId::BlurStrength, 127), V(TextId::OldPaperDefects, 50), V(TextId::SepiaColoring, 220), V(TextId::DarkenLighten, 140)),
         Extras{}, FrameSepia, nullptr, PatchSepia),
  Effect(20, 18, "ProcessExpressivePainting", Line(TextId::Painting8),
         Sliders(V(TextId::MaximumBrushSize, 50), V(TextId::NumberOfBrushstrokes, 25), V(TextId::BrushstrokePrecision, 70), V(TextId::LevelOfContrast, 85), V(TextId::LevelOfDetails, 215)),
         Extras{.brushButtons = true}, FrameExpressivePainting, nullptr, PatchExpressivePainting),
  Effect(21, 9, "ProcessPenandInkSketch2", DropLast(TextId::PenAndInkSketch1, "2"),
         Sliders(V(TextId::LevelOfDetails, 40), V(TextId::DarkenLighten, 160), V(TextId::ImageSimplification, 40), Hidden(0), Hidden(0)),
         Extras{}, FramePenandInkSketch2, nullptr, PatchPenAndInk2),
  Effect(22, 26, "ProcessRandomPolygons", Line(TextId::Emergence),
         Sliders(V(TextId::LevelOfAbstraction, 100), V(TextId::NumberOfIterations, 80), V(TextId::LevelOfContrast, 30), V(TextId::MinimumRadius, 25), V(TextId::MaximumRadius, 130)),
         Extras{.maxButtonRow = 2}, FrameRandomPolygons, nullptr, PatchRandomPolygons),
  Effect(23, 5, "ProcessNewPencilSketch", DropLast(TextId::PencilSketch1, "4"),
         Sliders(V(TextId::EdgeThreshold, 20), V(TextId::NumberOfIterations, 100), V(TextId::StrokeLength, 25), V(TextId::LevelOfAbstraction, 10), V(TextId::ColorIntensity, 140)),
         Extras{.patchFinishesItself = true}, FrameNewPencilSketch, nullptr, FrameNewPencilSketch),
  Effect(24, 6, "ProcessPencilSketch5", DropLast(TextId::PencilSketch1, "5"),
         Sliders(V(TextId::EdgeThreshold, 50), V(TextId::EdgeIntensity, 150), V(TextId::BlendingIntensity, 25), V(TextId::DarkenLighten, 128), V(TextId::ColorIntensity, 200)),
         Extras{.patchFinishesItself = true}, FramePencilSketch5, nullptr, FramePencilSketch5),
  Effect(25, 27, "ProcessShadedTriangles", Append(TextId::Emergence, " 2"),
         Sliders(V(TextId::LevelOfAbstraction, 130), V(TextId::NumberOfIterations, 100), V(TextId::LevelOfContrast, 10), V(TextId::MinimumRadius, 15), V(TextId::MaximumRadius, 180)),
         Extras{.maxButtonRow = 2}, FrameShadedTriangles, nullptr, PatchShadedTriangles),
  Effect(26, 28, "ProcessHalfToneLines", Line(TextId::LinearHalftoning),
         Sliders(V(TextId::LevelOfAbstraction, 12), Ranged(V(TextId::Angle, 45), {0, 360, 7}), V(TextId::ColorIntensity, 100), Hidden(0), Hidden(0)),
         Extras{.patchFinishesItself = true}, FrameHalfToneLines, nullptr, FrameHalfToneLines),
  Effect(27, 19, "ProcessPainting9", Replace(TextId::Painting1, "1", "9"),
         Sliders(V(TextId::NumberOfIterations, 7), V(TextId::SizeOfPaintbrush, 170), V(TextId::PrecisionOfPaintbrush, 90), V(TextId::EdgeIntensity, 127), V(TextId::DarkenLighten, 10)),
         Extras{}, FramePainting9, nullptr, PatchPainting9),
  Effect(28, 20, "ProcessPainting10", Replace(TextId::Painting7, "7", "10"),
         Sliders(V(TextId::MinimumBrushSize, 50), V(TextId::NumberOfIterations, 50), V(TextId::LevelOfAbstraction, 50), V(TextId::StrengthOfEffect, 130), V(TextId::Saturation, 130)),
         Extras{.doubleRow1 = true, .paintBrushButtons = true}, FramePainting10, PreviewPainting10, PatchPainting10),
  Effect(29, 29, "ProcessAbstract", Line(TextId::Abstract),
         Sliders(V(TextId::MaximumRadius, 150), V(TextId::NumberOfIterations, 15), V(TextId::ColorIntensity, 55), V(TextId::DarkenLighten, 127), V(TextId::LevelOfContrast, 127)),
         Extras{}, FrameAbstract, PreviewAbstract, PatchAbstract),
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

ParameterSnapshot DefaultSnapshot(int code) {
  const EffectRow& row = EffectRowOf(code);
  ParameterSnapshot params;
  params.code = code;
  for (int slot = 0; slot < kSliderRowCount; ++slot)
    params.s[static_cast<std::size_t>(slot)] = row.rows[static_cast<std::size_t>(slot)].defaultValue;
  return params;
}

const EffectExtras& EffectExtrasOf(int code) {
  static const EffectExtras none{};
  return code >= 0 && code < kEffectCount ? kEffects[static_cast<std::size_t>(code)].extras : none;
}

EffectFrame FrameForCode(int code) {
  return code >= 0 && code < kEffectCount ? kEffects[static_cast<std::size_t>(code)].frame : nullptr;
}

}  // namespace brumeleaf
