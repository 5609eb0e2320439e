#include "effects/ParameterModel.h"

#include <algorithm>
#include <utility>

namespace brumeleaf {
namespace {

constexpr int kNarrowClientWidth = 525;
constexpr int kWideClientBase = 464;

std::size_t Slot(int row) { return static_cast<std::size_t>(row - 1); }
std::size_t Index(int code) { return static_cast<std::size_t>(code); }

bool IsMinMaxPair(int code) { return code == 10 || code == 11; }

EffectTable BuildDefaults() {
  EffectTable table{};
  for (const EffectSpec& effect : Effects())
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      table[Index(effect.code)][static_cast<std::size_t>(slot)] =
          effect.rows[static_cast<std::size_t>(slot)].defaultValue;
  return table;
}

}  // namespace

ParameterModel::ParameterModel(const Language& language) : language_(language) {
  for (int row = 1; row <= kSliderRowCount; ++row) sliders_[Slot(row)].range = RangeOf(0, row);
  for (int code = 0; code < kEffectCount; ++code)
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      captions_[Index(code)][static_cast<std::size_t>(slot)] = SliderCaption(language_, code, slot);
  entryText_ = EntryName(language_, listIndex_);
  ResetAll();
}

ParameterHost& ParameterModel::Host() const {
  static ParameterHost headless;
  return host_ ? *host_ : headless;
}

const EffectTable& ParameterModel::EffectDefaults() {
  static const EffectTable defaults = BuildDefaults();
  return defaults;
}

void ParameterModel::StoreEffectRow(int code, const std::array<int, kSliderRowCount>& row) {
  if (code < 0 || code >= kEffectTableRows)
    throw CatalogueError("There is no effect with code " + std::to_string(code));
  values_[Index(code)] = row;
}

// ---------------------------------------------------------------- sliders

const SliderState& ParameterModel::Slider(int row) const {
  if (row < 1 || row > kSliderRowCount)
    throw CatalogueError("There is no slider row " + std::to_string(row));
  return sliders_[Slot(row)];
}

SliderState& ParameterModel::MutableSlider(int row) {
  return const_cast<SliderState&>(std::as_const(*this).Slider(row));
}

// A new range pulls the position inside it. It does not store that position: the stored value
// belongs to the effect being selected, whose own value is put on the slider right after.
void ParameterModel::SetRange(int row, const SliderRange& range) {
  SliderState& slider = MutableSlider(row);
  slider.range = range;
  SetPosition(row, slider.position);
}

void ParameterModel::SetPosition(int row, int position) {
  SliderState& slider = MutableSlider(row);
  const int clamped = slider.range.Clamp(position);
  if (clamped != slider.position) {
    slider.position = clamped;
    slider.showsMax = false;
  }
}

void ParameterModel::StorePosition(int row) {
  values_[Index(currentEffect_)][Slot(row)] = Slider(row).position;
}

// Pixelation and coloured dots: the minimum size (row 4) never exceeds the maximum (row 5).
void ParameterModel::KeepMinimumBelowMaximum() {
  if (!IsMinMaxPair(currentEffect_)) return;
  if (Slider(5).position < Slider(4).position) {
    SetPosition(4, Slider(5).position);
    StorePosition(4);
  }
}

void ParameterModel::ChangeSlider(int row, int position) {
  SetPosition(row, position);
  if (row == 4 || row == 5) KeepMinimumBelowMaximum();
  StorePosition(row);
  // While the mouse drags, only the release restarts the preview.
  if (!Host().LeftButtonDown()) {
    Host().RequestStop();
    Host().ArmPreview(500);
  }
}

void ParameterModel::ResetSlider(int row) {
  const int value = EffectDefaults()[Index(currentEffect_)][Slot(row)];
  values_[Index(currentEffect_)][Slot(row)] = value;
  SetPosition(row, value);
  StorePosition(row);
  ApplySelection();
}

void ParameterModel::ResetAll() {
  for (int code = 0; code < kEffectCount; ++code) values_[Index(code)] = EffectDefaults()[Index(code)];
  ApplySelection();
}

void ParameterModel::ApplyMax(int row) {
  Host().RequestStop();
  SetPosition(row, Slider(row).range.high);
  StorePosition(row);
  MutableSlider(row).showsMax = true;
  Host().ArmPreview(200);
}

bool ParameterModel::ClickValueLabel(int row) {
  const bool maxOnRow2 = row == 2 && (currentEffect_ == 22 || currentEffect_ == 25);
  const bool maxOnRow3 = row == 3 && currentEffect_ == 15;
  if (!maxOnRow2 && !maxOnRow3) return false;
  ApplyMax(row);
  return true;
}

bool ParameterModel::ClickMaxButton() {
  const int row = Extras().maxButtonRow;
  return row != 0 && ClickValueLabel(row);
}

// ---------------------------------------------------------------- selection

void ParameterModel::ApplySelection() {
  if (listIndex_ < 0) return;
  Host().RequestStop();
  currentEffect_ = CodeOfListIndex(listIndex_);
  for (auto& slider : sliders_) slider.showsMax = false;

  // Ranges of rows 1 and 2. Painting 3 and Painting 4 put their special slider at 5 while the
  // new code is already current, so that slot is stored as 5 on every selection.
  if (currentEffect_ == 6) {
    SetRange(1, RangeOf(6, 1));
    SetPosition(2, 5);
    StorePosition(2);
    SetRange(2, RangeOf(6, 2));
  } else if (currentEffect_ == 7) {
    SetPosition(1, 5);
    StorePosition(1);
    SetRange(1, RangeOf(7, 1));
    SetRange(2, RangeOf(7, 2));
  } else {
    SetRange(1, RangeOf(currentEffect_, 1));
    SetRange(2, RangeOf(currentEffect_, 2));
  }

  // Positions from the stored values; a value outside the range is shown clamped and the
  // clamped value is kept.
  for (int row = 1; row <= kSliderRowCount; ++row) {
    SetPosition(row, values_[Index(currentEffect_)][Slot(row)]);
    StorePosition(row);
  }
  KeepMinimumBelowMaximum();
  ArmPreviewAfterSelection();
}

void ParameterModel::ArmPreviewAfterSelection() {
  if (!Host().WindowVisible()) return;
  if (!Host().Processing()) {
    Host().ArmPreview(100);
  } else {
    Host().RequestStop();
    Host().ArmPreview(500);
  }
}

// The name box runs the selection steps whenever its text changes.
void ParameterModel::PutEntryText(const std::string& text) {
  if (text == entryText_) return;
  entryText_ = text;
  ApplySelection();
}

void ParameterModel::SelectFromList(int listIndex, int mergeReplacement) {
  if (listIndex == kMergeEntry && panelsDiffer_) listIndex = mergeReplacement;
  listIndex_ = listIndex;
  PutEntryText(EntryName(language_, listIndex_));
}

void ParameterModel::SelectEntry(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount)
    throw CatalogueError("There is no effect list entry " + std::to_string(listIndex));
  listIndex_ = listIndex;
  ApplySelection();
  entryText_ = EntryName(language_, listIndex_);
}

bool ParameterModel::ClickEntry(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount || IsHeader(listIndex)) return false;
  SelectFromList(listIndex, kFrameOnlyEntry);
  listVisible_ = false;
  return true;
}

bool ParameterModel::CanHighlight(int listIndex) const {
  if (listIndex < 0 || listIndex >= kListEntryCount || IsHeader(listIndex)) return false;
  return EntryEnabled(listIndex);
}

bool ParameterModel::EntryEnabled(int listIndex) const {
  return !(listIndex == kMergeEntry && panelsDiffer_);
}

void ParameterModel::ToggleList() {
  if (listVisible_) {
    listVisible_ = false;
    return;
  }
  SelectFromList(listIndex_, kFrameOnlyEntry);
  listVisible_ = true;
}

void ParameterModel::KeyUp() {
  listVisible_ = true;
  if (listIndex_ > kFirstEntry) SelectFromList(listIndex_ - 1, kMergeFallbackUp);
}

void ParameterModel::KeyDown() {
  listVisible_ = true;
  if (listIndex_ < kLastEntry) SelectFromList(listIndex_ + 1, kFrameOnlyEntry);
}

void ParameterModel::SetPanelSizes(int sourceWidth, int sourceHeight, int resultWidth,
                                   int resultHeight) {
  panelsDiffer_ = sourceWidth != resultWidth || sourceHeight != resultHeight;
}

void ParameterModel::FallBackFromMerge(bool widthsDiffer) {
  if (currentEffect_ == 13 && widthsDiffer) currentEffect_ = kFallbackCode;
}

void ParameterModel::ApplyLanguage(const Language& language) {
  language_ = language;
  for (int code = 0; code < kEffectCount; ++code)
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      captions_[Index(code)][static_cast<std::size_t>(slot)] = SliderCaption(language_, code, slot);
  PutEntryText(EntryName(language_, listIndex_));
}

// ---------------------------------------------------------------- view

std::string ParameterModel::Caption(int row) const {
  if (row < 1 || row > kSliderRowCount) return {};
  return captions_[Index(currentEffect_)][Slot(row)];
}

std::string ParameterModel::ValueText(int row) const {
  const SliderState& slider = Slider(row);
  return slider.showsMax ? "MAX" : std::to_string(slider.position);
}

ExtraControls ParameterModel::Extras() const {
  ExtraControls extras;
  switch (currentEffect_) {
    case 15:
      extras.doubleRow2 = true;
      extras.brushButtons = true;
      extras.maxButtonRow = 3;
      break;
    case 20:
      extras.brushButtons = true;
      break;
    case 22:
    case 25:
      extras.maxButtonRow = 2;
      break;
    case 28:
      extras.doubleRow1 = true;
      extras.paintBrushButtons = true;
      break;
    default:
      break;
  }
  return extras;
}

int ParameterModel::MaxButtonLeft() const {
  const int row = Extras().maxButtonRow;
  if (row == 0) return 0;
  return Slider(row).position < 100 ? 469 : 466;
}

int ParameterModel::ClientWidth(int brushButtonWidth) const {
  const bool wide = currentEffect_ == 15 || currentEffect_ == 20 || currentEffect_ == 28;
  return wide ? kWideClientBase + brushButtonWidth : kNarrowClientWidth;
}

// ---------------------------------------------------------------- finishing options

void ParameterModel::SetSoftenEdges(bool on) {
  if (finishing_.softenEdges == on) return;
  finishing_.softenEdges = on;
  Host().DelayPreview(100, 500);
}

void ParameterModel::SetTexture(bool on) {
  if (finishing_.texture == on) return;
  finishing_.texture = on;
  Host().DelayPreview(100, 500);
}

void ParameterModel::ChooseStrength(int index) {
  if (index < 0 || index > 2) return;
  SetTexture(true);
  finishing_.strengthIndex = index;
  finishing_.storedStrength = index;
  Host().DelayPreview(100, 500);
}

void ParameterModel::ClickTextureNumber(int number) {
  SetTexture(true);
  finishing_.textureNumber = std::clamp(number, 0, 9);
  Host().DelayPreview(500, 1500);
}

void ParameterModel::ReleaseTextureNumber() {
  finishing_.storedTextureNumber = finishing_.textureNumber;
  Host().DelayPreview(100, 700);
}

std::string ParameterModel::TextureLabel() const {
  return language_.Text(77) + " " + std::to_string(finishing_.textureNumber + 1) + "  ";
}

void ParameterModel::Activate() {
  finishing_.textureNumber = std::max(finishing_.storedTextureNumber, 0);
  finishing_.strengthIndex = std::max(finishing_.storedStrength, 0);
  finishing_.storedTextureNumber = finishing_.textureNumber;
  finishing_.storedStrength = finishing_.strengthIndex;
}

void ParameterModel::RestoreStoredTexture(int number, int strength) {
  finishing_.storedTextureNumber = (number >= 0 && number <= 9) ? number : -1;
  finishing_.storedStrength = (strength >= 0 && strength <= 2) ? strength : -1;
}

// ---------------------------------------------------------------- snapshot

ParameterSnapshot ParameterModel::Snapshot() const {
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

}  // namespace brumeleaf
