#pragma once
// The document behind every way of choosing an effect: the stored slider values of every
// effect, the selected list entry with its five sliders (range, position, "MAX"), and the
// finishing options (soften, texture, frame, caption). Parameter files, the settings file, the
// command line's --values, scripts and the parameters window all read and write this one
// object, so the selection rules (ranges, clamping, pinned sliders, minimum below maximum)
// exist once. It knows nothing of windows: the parameters window's view model wraps it.

#include <array>
#include <string>

#include "effects/Catalogue.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

inline constexpr int kEffectTableRows = 36;  // per-code tables have room for codes 0..35

using EffectValueTable = std::array<std::array<int, kSliderRowCount>, kEffectTableRows>;

struct SliderState {
  SliderRange range;
  int position = 0;
  bool showsMax = false;  // the value label reads "MAX"
};

// The picture frame added after a run (style, sizes, colours), as the frames window and the
// settings file keep it. Colours are packed red in the low byte (see Colour).
struct PictureFrameOptions {
  int style = 0;           // frames window list index: 0 simple ... 5 brushstrokes
  int realisticFrame = 1;  // UpDown2, 1..12
  int colouredFrame = 1;   // UpDown3, 1..5
  int upDown4 = 0;
  int tintRed = 0;         // -255..255, added to the coloured frame photograph
  int tintGreen = 0;
  int tintBlue = 0;
  int fillColour = 0x000000;
  int lineColour = 0xFFFFFF;
  // The margin and panel spacing as their edit boxes hold them; Margin() and Spacing() read
  // them the way the up-downs do.
  std::string marginText = "150";
  std::string spacingText = "75";
  // Margin 0..1000 and spacing 0..500: the leading whole number of the text, clamped; a text
  // that is no number counts as 0.
  int Margin() const;
  int Spacing() const;
  bool operator==(const PictureFrameOptions&) const = default;
};

// The caption written onto a result, as the text window and the settings file keep it.
// -1 marks a value never chosen.
struct CaptionOptions {
  std::string text = "Brumeleaf";
  int position = -1;  // 0 user defined, 1 top left ... 9 bottom right; -1: bottom right
  int x = -1;
  int y = -1;
  std::string fontName = "DejaVu Sans";
  int fontSize = -1;  // points; -1: 12
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int colour = -1;    // packed colour; -1: white
  bool shadow = true; // a black copy one pixel right and down (not kept by the settings file)
  int Position() const { return position < 0 || position > 9 ? 9 : position; }
  int FontSize() const { return fontSize <= 0 ? 12 : fontSize; }
  int Colour() const { return colour < 0 ? 0xFFFFFF : (colour & 0xFFFFFF); }
  bool operator==(const CaptionOptions&) const = default;
};

// The finishing options of a run and the check boxes beside the sliders.
struct FinishingOptions {
  bool softenEdges = false;      // CheckBox2
  bool texture = false;          // CheckBox3
  int textureNumber = 0;         // UpDown1, 0..9
  int strengthIndex = 0;         // ComboBox2, 0 light, 1 normal, 2 strong
  int storedTextureNumber = -1;  // kept for the settings file; -1: not chosen yet
  int storedStrength = -1;
  bool addFrame = false;         // CheckBox1
  bool addText = false;          // CheckBox4
  bool customBrush = false;      // CheckBox5
  bool doubleRow2 = false;       // CheckBox6
  bool doubleRow1 = false;       // CheckBox8
  PictureFrameOptions frame;
  CaptionOptions caption;
};

class EffectSettings {
 public:
  EffectSettings();

  // ---- stored values
  const EffectValueTable& Values() const { return values_; }
  static const EffectValueTable& Defaults();
  // Replaces the stored values of one code 0..35 (parameter files); the sliders follow at the
  // next selection.
  void StoreEffectRow(int code, const std::array<int, kSliderRowCount>& row);
  // Every effect back to its defaults, then the selection steps again.
  void ResetAll();

  // ---- selection
  int ListIndex() const { return listIndex_; }
  int CurrentEffect() const { return currentEffect_; }
  // Selects entry 0..35 (CatalogueError outside) and runs the selection steps.
  void SelectEntry(int listIndex);
  // Moves the list's mark to entry 0..35 without the selection steps: the parameters window's
  // name box runs them only when its text changes.
  void MarkEntry(int listIndex);
  // The selection steps for the selected entry: the entry's code becomes current, ranges and
  // pinned sliders are set, stored values are put on the sliders (clamped, and kept clamped).
  void ApplySelection();
  // The merge effect runs as frame-only while the panel widths differ.
  void FallBackFromMerge(bool widthsDiffer);

  // ---- sliders (row 1..5)
  const SliderState& Slider(int row) const;  // CatalogueError outside 1..5
  // Moves slider `row` to `position` (clamped to its range) and stores it.
  void ChangeSlider(int row, int position);
  // That slot of the current effect back to its default.
  void ResetSlider(int row);
  // Whether `row` offers "MAX" for the current effect.
  bool OffersMax(int row) const;
  // Puts `row` at the top of its range with the "MAX" mark; false when the row has none.
  bool ApplyMax(int row);

  // ---- finishing
  const FinishingOptions& Finishing() const { return finishing_; }
  FinishingOptions& MutableFinishing() { return finishing_; }
  // The texture box is checked by choosing a tile or a strength.
  void ChooseTextureNumber(int number);  // 0..9, clamped; also kept as the stored number
  void ChooseStrength(int index);        // 0..2; others are ignored
  // First showing of the window: a texture number or strength never chosen counts as 0.
  void Activate();
  // Settings file values: stored texture number and strength (-1 = not chosen).
  void RestoreStoredTexture(int number, int strength);

  // The slider positions and options as an algorithm reads them at the start of a run.
  ParameterSnapshot Snapshot() const;

 private:
  SliderState& MutableSlider(int row);
  void SetRange(int row, const SliderRange& range);
  void SetPosition(int row, int position);
  void StorePosition(int row);
  void KeepMinimumBelowMaximum();

  EffectValueTable values_{};
  std::array<SliderState, kSliderRowCount> sliders_{};
  FinishingOptions finishing_{};
  int currentEffect_ = 0;
  int listIndex_ = kFirstEntry;
};

}  // namespace brumeleaf
