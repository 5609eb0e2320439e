#pragma once
// The effect table: one row per effect code, the single description of every effect. The
// parameters window, the command line, parameter and script files, the all-effects test and
// the benchmarks read it. Adding an effect is one row here, its own source file and its test.
//
// Terms: the effect code (0..29) names an effect; the list index (0..35) is its entry's place
// in the effect list. Slider row r (1..5) uses slot r-1 of a row; the rows are TrackBar1,
// TrackBar2, TrackBar5, TrackBar3, TrackBar4 in that order.

#include <array>
#include <string_view>

#include "effects/EffectFrame.h"
#include "i18n/Language.h"

namespace brumeleaf {

inline constexpr int kEffectCount = 30;       // codes 0..29
inline constexpr int kSliderRowCount = 5;

// Range and tick step of a slider row.
struct SliderRange {
  int low = 0;
  int high = 255;
  int tick = 5;
  constexpr int Clamp(int v) const { return v < low ? low : (v > high ? high : v); }
  bool operator==(const SliderRange&) const = default;
};

// One slider row of an effect. A hidden row still stores its default (the parameter files and
// the algorithms see all five slots).
struct SliderRow {
  int captionLine = -1;  // language line of the caption; -1: no caption
  int defaultValue = 0;
  bool visible = false;
  bool blankCaption = false;  // eight spaces instead of a caption (the merge effect's rows 4, 5)
  SliderRange range{0, 0, 0};  // the table fills in the standard range of the row's place
};

// Controls beside the sliders that only some effects show, and the selection rules they bring.
struct EffectExtras {
  int maxButtonRow = 0;            // row whose value label offers "MAX": 2, 3, or 0 for none
  bool doubleRow1 = false;         // "X 2" beside row 1 (CheckBox8)
  bool doubleRow2 = false;         // "X 2" beside row 2 (CheckBox6)
  bool brushButtons = false;       // "Load custom brush" / "Reset brush"
  bool paintBrushButtons = false;  // the Painting 10 brush buttons
  bool minMaxPair = false;         // row 4 (a minimum) never exceeds row 5 (its maximum)
  // A slot put to a fixed value whenever the effect is selected (0 for none): Painting 3 and
  // Painting 4 start their special slider at 5 on every selection.
  int pinnedRowOnSelection = 0;
  int pinnedValue = 0;
  bool blendsWithResult = false;   // needs the result panel as well as the source (merge)
  bool softenedPreview = false;    // the preview picture is softened after it is shown
  // The brush patch is the run as the driver runs it, so the brush adds no surface finish.
  bool patchFinishesItself = false;
};

// The live preview of an effect on the crop K (O is resized to K's size). `resultCrop` is the
// same rectangle of the result panel.
using PreviewEntry = void (*)(const Bitmap& K, const Bitmap& resultCrop, Bitmap& O, RunContext& ctx);

// The algorithm alone on a patch of the source, without run frame or finishing: what the
// manual brush paints with.
using BrushPatchEntry = void (*)(const Bitmap& source, Bitmap& output, RunContext& ctx);

struct EffectRow {
  int code = 0;
  int listIndex = 0;
  std::string_view handler;  // the handler the run frame stands for
  TextRule name;
  std::array<SliderRow, kSliderRowCount> rows{};
  EffectExtras extras{};
  EffectFrame frame = nullptr;          // nullptr: not built yet
  PreviewEntry preview = nullptr;       // nullptr: the run frame on the crop
  BrushPatchEntry brushPatch = nullptr; // nullptr: the brush has no patch for it yet

  constexpr const SliderRow& Row(int row) const { return rows[static_cast<std::size_t>(row - 1)]; }
  constexpr bool Built() const { return frame != nullptr; }
};

// The extras of a code; no extras outside 0..29 (the per-code tables have room for 36).
const EffectExtras& EffectExtrasOf(int code);

// The rows, indexed by code 0..29.
const std::array<EffectRow, kEffectCount>& EffectRows();

// The row of a code; CatalogueError (effects/Catalogue.h) outside 0..29.
const EffectRow& EffectRowOf(int code);

// A parameter snapshot of `code` at its default slider values and without finishing options:
// what benchmarks, tests and example pictures run. CatalogueError outside 0..29.
ParameterSnapshot DefaultSnapshot(int code);

// The frame of `code`; nullptr for a code outside 0..29 or an effect that is not built yet.
EffectFrame FrameForCode(int code);

}  // namespace brumeleaf
