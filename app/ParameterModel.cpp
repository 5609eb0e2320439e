#include "app/ParameterModel.h"

#include <algorithm>

namespace brumeleaf {
namespace {

constexpr int kNarrowClientWidth = 525;
constexpr int kWideClientBase = 464;

std::size_t Slot(int row) { return static_cast<std::size_t>(row - 1); }
std::size_t Index(int code) { return static_cast<std::size_t>(code); }

}  // namespace

ParameterModel::ParameterModel(const Language& language)
    : owned_(std::make_unique<EffectSettings>()), settings_(*owned_), language_(language) {
  Initialise();
}

ParameterModel::ParameterModel(EffectSettings& settings, const Language& language)
    : settings_(settings), language_(language) {
  Initialise();
}

void ParameterModel::Initialise() {
  for (int code = 0; code < kEffectCount; ++code)
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      captions_[Index(code)][static_cast<std::size_t>(slot)] = SliderCaption(language_, code, slot);
  entryText_ = EntryName(language_, settings_.ListIndex());
  ResetAll();
}

ParameterHost& ParameterModel::Host() const {
  static ParameterHost headless;
  return host_ ? *host_ : headless;
}

void ParameterModel::StoreEffectRow(int code, const std::array<int, kSliderRowCount>& row) {
  settings_.StoreEffectRow(code, row);
}

// ---------------------------------------------------------------- sliders

void ParameterModel::ChangeSlider(int row, int position) {
  settings_.ChangeSlider(row, position);
  // While the mouse drags, only the release restarts the preview.
  if (!Host().LeftButtonDown()) {
    Host().RequestStop();
    Host().ArmPreview(500);
  }
}

void ParameterModel::ResetSlider(int row) {
  Host().RequestStop();
  settings_.ResetSlider(row);
  ArmPreviewAfterSelection();
}

void ParameterModel::ResetAll() {
  Host().RequestStop();
  settings_.ResetAll();
  ArmPreviewAfterSelection();
}

void ParameterModel::ApplyMax(int row) {
  Host().RequestStop();
  settings_.ApplyMax(row);
  Host().ArmPreview(200);
}

bool ParameterModel::ClickValueLabel(int row) {
  if (!settings_.OffersMax(row)) return false;
  ApplyMax(row);
  return true;
}

bool ParameterModel::ClickMaxButton() {
  const int row = Extras().maxButtonRow;
  return row != 0 && ClickValueLabel(row);
}

// ---------------------------------------------------------------- selection

void ParameterModel::ApplySelection() {
  if (settings_.ListIndex() < 0) return;
  Host().RequestStop();
  settings_.ApplySelection();
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
  // The mark moves first; the name box's change runs the selection steps.
  settings_.MarkEntry(listIndex);
  PutEntryText(EntryName(language_, listIndex));
}

void ParameterModel::SelectEntry(int listIndex) {
  Host().RequestStop();
  settings_.SelectEntry(listIndex);
  ArmPreviewAfterSelection();
  entryText_ = EntryName(language_, listIndex);
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
  SelectFromList(ListIndex(), kFrameOnlyEntry);
  listVisible_ = true;
}

void ParameterModel::KeyUp() {
  listVisible_ = true;
  if (ListIndex() > kFirstEntry) SelectFromList(ListIndex() - 1, kMergeFallbackUp);
}

void ParameterModel::KeyDown() {
  listVisible_ = true;
  if (ListIndex() < kLastEntry) SelectFromList(ListIndex() + 1, kFrameOnlyEntry);
}

void ParameterModel::SetPanelSizes(int sourceWidth, int sourceHeight, int resultWidth,
                                   int resultHeight) {
  panelsDiffer_ = sourceWidth != resultWidth || sourceHeight != resultHeight;
}

void ParameterModel::ApplyLanguage(const Language& language) {
  language_ = language;
  for (int code = 0; code < kEffectCount; ++code)
    for (int slot = 0; slot < kSliderRowCount; ++slot)
      captions_[Index(code)][static_cast<std::size_t>(slot)] = SliderCaption(language_, code, slot);
  PutEntryText(EntryName(language_, ListIndex()));
}

// ---------------------------------------------------------------- view

std::string ParameterModel::Caption(int row) const {
  if (row < 1 || row > kSliderRowCount) return {};
  return captions_[Index(CurrentEffect())][Slot(row)];
}

std::string ParameterModel::ValueText(int row) const {
  const SliderState& slider = Slider(row);
  return slider.showsMax ? "MAX" : std::to_string(slider.position);
}

ExtraControls ParameterModel::Extras() const {
  const EffectExtras& table = EffectExtrasOf(CurrentEffect());
  ExtraControls extras;
  extras.doubleRow2 = table.doubleRow2;
  extras.doubleRow1 = table.doubleRow1;
  extras.brushButtons = table.brushButtons;
  extras.paintBrushButtons = table.paintBrushButtons;
  extras.maxButtonRow = table.maxButtonRow;
  return extras;
}

int ParameterModel::MaxButtonLeft() const {
  const int row = Extras().maxButtonRow;
  if (row == 0) return 0;
  return Slider(row).position < 100 ? 469 : 466;
}

// The effects with brush buttons need a wider window.
int ParameterModel::ClientWidth(int brushButtonWidth) const {
  const ExtraControls extras = Extras();
  const bool wide = extras.brushButtons || extras.paintBrushButtons;
  return wide ? kWideClientBase + brushButtonWidth : kNarrowClientWidth;
}

// ---------------------------------------------------------------- finishing options

void ParameterModel::SetSoftenEdges(bool on) {
  if (Finishing().softenEdges == on) return;
  settings_.MutableFinishing().softenEdges = on;
  Host().DelayPreview(100, 500);
}

void ParameterModel::SetTexture(bool on) {
  if (Finishing().texture == on) return;
  settings_.MutableFinishing().texture = on;
  Host().DelayPreview(100, 500);
}

void ParameterModel::ChooseStrength(int index) {
  if (index < 0 || index > 2) return;
  SetTexture(true);
  settings_.ChooseStrength(index);
  Host().DelayPreview(100, 500);
}

void ParameterModel::ClickTextureNumber(int number) {
  SetTexture(true);
  settings_.MutableFinishing().textureNumber = std::clamp(number, 0, 9);
  Host().DelayPreview(500, 1500);
}

void ParameterModel::ReleaseTextureNumber() {
  settings_.MutableFinishing().storedTextureNumber = Finishing().textureNumber;
  Host().DelayPreview(100, 700);
}

std::string ParameterModel::TextureLabel() const {
  return language_.Text(TextId::Texture) + " " + std::to_string(Finishing().textureNumber + 1) + "  ";
}

void ParameterModel::Activate() { settings_.Activate(); }

}  // namespace brumeleaf
