#include "effects/EffectSettings.h"

#include <algorithm>
#include <utility>

namespace brumeleaf {
namespace {

std::size_t Slot(int row) { return static_cast<std::size_t>(row - 1); }
std::size_t Index(int code) { return static_cast<std::size_t>(code); }

EffectValueTable BuildDefaults() {
  EffectValueTable table{};
  for (const EffectRow& effect : EffectRows())
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      table[Index(effect.code)][static_cast<std::size_t>(slot)] =
          effect.rows[static_cast<std::size_t>(slot)].defaultValue;
  return table;
}

}  // namespace

EffectSettings::EffectSettings() {
  for (int row = 1; row <= kSliderRowCount; ++row) sliders_[Slot(row)].range = RangeOf(0, row);
  ResetAll();
}

const EffectValueTable& EffectSettings::Defaults() {
  static const EffectValueTable defaults = BuildDefaults();
  return defaults;
}

void EffectSettings::StoreEffectRow(int code, const std::array<int, kSliderRowCount>& row) {
  if (code < 0 || code >= kEffectTableRows)
    throw CatalogueError("There is no effect with code " + std::to_string(code));
  values_[Index(code)] = row;
}

void EffectSettings::ResetAll() {
  values_ = Defaults();
  ApplySelection();
}

// ---------------------------------------------------------------- sliders

const SliderState& EffectSettings::Slider(int row) const {
  if (row < 1 || row > kSliderRowCount)
    throw CatalogueError("There is no slider row " + std::to_string(row));
  return sliders_[Slot(row)];
}

SliderState& EffectSettings::MutableSlider(int row) {
  return const_cast<SliderState&>(std::as_const(*this).Slider(row));
}

// A new range pulls the position inside it. It does not store that position: the stored value
// belongs to the effect being selected, whose own value is put on the slider right after.
void EffectSettings::SetRange(int row, const SliderRange& range) {
  SliderState& slider = MutableSlider(row);
  slider.range = range;
  SetPosition(row, slider.position);
}

void EffectSettings::SetPosition(int row, int position) {
  SliderState& slider = MutableSlider(row);
  const int clamped = slider.range.Clamp(position);
  if (clamped != slider.position) {
    slider.position = clamped;
    slider.showsMax = false;
  }
}

void EffectSettings::StorePosition(int row) {
  values_[Index(currentEffect_)][Slot(row)] = Slider(row).position;
}

// A minimum (row 4) never exceeds its maximum (row 5).
void EffectSettings::KeepMinimumBelowMaximum() {
  if (!EffectExtrasOf(currentEffect_).minMaxPair) return;
  if (Slider(5).position < Slider(4).position) {
    SetPosition(4, Slider(5).position);
    StorePosition(4);
  }
}

void EffectSettings::ChangeSlider(int row, int position) {
  SetPosition(row, position);
  if (row == 4 || row == 5) KeepMinimumBelowMaximum();
  StorePosition(row);
}

void EffectSettings::ResetSlider(int row) {
  const int value = Defaults()[Index(currentEffect_)][Slot(row)];
  values_[Index(currentEffect_)][Slot(row)] = value;
  SetPosition(row, value);
  StorePosition(row);
  ApplySelection();
}

bool EffectSettings::OffersMax(int row) const {
  return row != 0 && EffectExtrasOf(currentEffect_).maxButtonRow == row;
}

bool EffectSettings::ApplyMax(int row) {
  if (!OffersMax(row)) return false;
  SetPosition(row, Slider(row).range.high);
  StorePosition(row);
  MutableSlider(row).showsMax = true;
  return true;
}

// ---------------------------------------------------------------- selection

void EffectSettings::ApplySelection() {
  if (listIndex_ < 0) return;
  currentEffect_ = CodeOfListIndex(listIndex_);
  for (auto& slider : sliders_) slider.showsMax = false;

  // A pinned slider is put to its value while the new code is already current, before its own
  // range is set, so that slot is stored as that value on every selection.
  const EffectExtras& extras = EffectExtrasOf(currentEffect_);
  for (int row = 1; row <= 2; ++row) {
    if (extras.pinnedRowOnSelection == row) {
      SetPosition(row, extras.pinnedValue);
      StorePosition(row);
    }
    SetRange(row, RangeOf(currentEffect_, row));
  }

  // Positions from the stored values; a value outside the range is shown clamped and the
  // clamped value is kept.
  for (int row = 1; row <= kSliderRowCount; ++row) {
    SetPosition(row, values_[Index(currentEffect_)][Slot(row)]);
    StorePosition(row);
  }
  KeepMinimumBelowMaximum();
}

void EffectSettings::SelectEntry(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount)
    throw CatalogueError("There is no effect list entry " + std::to_string(listIndex));
  listIndex_ = listIndex;
  ApplySelection();
}

void EffectSettings::MarkEntry(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount)
    throw CatalogueError("There is no effect list entry " + std::to_string(listIndex));
  listIndex_ = listIndex;
}

void EffectSettings::FallBackFromMerge(bool widthsDiffer) {
  if (EffectExtrasOf(currentEffect_).blendsWithResult && widthsDiffer) currentEffect_ = kFallbackCode;
}

// ---------------------------------------------------------------- finishing options

void EffectSettings::ChooseTextureNumber(int number) {
  finishing_.texture = true;
  finishing_.textureNumber = std::clamp(number, 0, 9);
  finishing_.storedTextureNumber = finishing_.textureNumber;
}

void EffectSettings::ChooseStrength(int index) {
  if (index < 0 || index > 2) return;
  finishing_.texture = true;
  finishing_.strengthIndex = index;
  finishing_.storedStrength = index;
}

void EffectSettings::Activate() {
  finishing_.textureNumber = std::max(finishing_.storedTextureNumber, 0);
  finishing_.strengthIndex = std::max(finishing_.storedStrength, 0);
  finishing_.storedTextureNumber = finishing_.textureNumber;
  finishing_.storedStrength = finishing_.strengthIndex;
}

void EffectSettings::RestoreStoredTexture(int number, int strength) {
  finishing_.storedTextureNumber = (number >= 0 && number <= 9) ? number : -1;
  finishing_.storedStrength = (strength >= 0 && strength <= 2) ? strength : -1;
}

// ---------------------------------------------------------------- snapshot

ParameterSnapshot EffectSettings::Snapshot() const {
  ParameterSnapshot snapshot;
  snapshot.code = currentEffect_;
  for (int row = 1; row <= kSliderRowCount; ++row) snapshot.s[Slot(row)] = Slider(row).position;
  snapshot.softenEdges = finishing_.softenEdges;
  snapshot.texture = finishing_.texture;
  snapshot.textureNumber = finishing_.textureNumber;
  snapshot.textureStrength = finishing_.strengthIndex;
  snapshot.addFrame = finishing_.addFrame;
  snapshot.addText = finishing_.addText;
  snapshot.customBrush = finishing_.customBrush;
  snapshot.doubleRow2 = finishing_.doubleRow2;
  snapshot.doubleRow1 = finishing_.doubleRow1;
  snapshot.maxRow2 = Slider(2).showsMax;
  snapshot.maxRow3 = Slider(3).showsMax;
  return snapshot;
}

namespace {

// The leading whole number of an edit box's text (spaces first are skipped), clamped to
// low..high; no digits at all count as low.
int LeadingNumber(const std::string& text, int low, int high) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  bool any = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    any = true;
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1000000000LL);
  }
  if (!any) return low;
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

int PictureFrameOptions::Margin() const { return LeadingNumber(marginText, 0, 1000); }
int PictureFrameOptions::Spacing() const { return LeadingNumber(spacingText, 0, 500); }

}  // namespace brumeleaf
