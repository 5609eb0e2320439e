#pragma once
// The view model of the drawing-parameters window, without any widget: the effect list's state
// (shown, highlighted, keys), the name box, captions in the current language, the extra
// controls and the window's layout, over the core EffectSettings that hold the values and the
// selection rules. A window only displays this model and forwards its events; whatever the
// model wants from the program around it (stop a running preview, re-arm the preview timer)
// goes through a host.

#include <array>
#include <memory>
#include <string>

#include "effects/Catalogue.h"
#include "effects/EffectSettings.h"
#include "i18n/Language.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

using EffectTable = EffectValueTable;
using CaptionTable = std::array<std::array<std::string, kSliderRowCount>, kEffectTableRows>;

// What the model asks of the program around it. The defaults suit a headless user: the window
// is not shown, nothing is processing and no mouse button is held.
class ParameterHost {
 public:
  virtual ~ParameterHost() = default;
  virtual bool WindowVisible() const { return false; }
  virtual bool Processing() const { return false; }
  virtual bool LeftButtonDown() const { return false; }
  // Raise StopRequested so that a preview in progress ends early.
  virtual void RequestStop() {}
  // Set the preview timer's interval (re-arming it).
  virtual void ArmPreview(int intervalMs) { (void)intervalMs; }
  // Add to the running preview timer's interval, capped, so that bursts of changes coalesce.
  virtual void DelayPreview(int addMs, int capMs) { (void)addMs, (void)capMs; }
};

// Controls shown only for some effects.
struct ExtraControls {
  bool doubleRow2 = false;    // CheckBox6 "X 2" beside row 2
  bool doubleRow1 = false;    // CheckBox8 "X 2" beside row 1
  bool brushButtons = false;  // "Load custom brush" / "Reset brush" (spSkinButton1, 2)
  bool paintBrushButtons = false;  // Painting 10 brush buttons (Button6, Button7)
  int maxButtonRow = 0;       // row whose value label has the MAX button: 2, 3 or 0 for none
};

class ParameterModel {
 public:
  // A model with settings of its own (tests, example pictures).
  explicit ParameterModel(const Language& language = Language::English());
  // A model over the session's settings, which must outlive it.
  explicit ParameterModel(EffectSettings& settings, const Language& language = Language::English());
  ParameterModel(const ParameterModel&) = delete;
  ParameterModel& operator=(const ParameterModel&) = delete;

  // The host is not owned; null returns to the headless defaults.
  void SetHost(ParameterHost* host) { host_ = host; }

  // ---- tables
  const EffectTable& EffectValues() const { return settings_.Values(); }
  static const EffectTable& EffectDefaults() { return EffectSettings::Defaults(); }
  const CaptionTable& SliderCaptions() const { return captions_; }
  // Replaces the stored values of one effect row (parameter files); shown sliders follow at
  // the next ApplySelection.
  void StoreEffectRow(int code, const std::array<int, kSliderRowCount>& row);

  // ---- selection
  int CurrentEffect() const { return settings_.CurrentEffect(); }
  int ListIndex() const { return settings_.ListIndex(); }
  // The text of the name box (Edit1): the selected entry's name.
  const std::string& EntryText() const { return entryText_; }
  // Runs the selection steps for the selected entry (captions, ranges, positions, preview).
  void ApplySelection();
  // Selects an entry from outside the list (parameter files, scripts, the command line):
  // runs the selection steps and puts the entry's name into the name box.
  void SelectEntry(int listIndex);
  // A click on a list entry; a header changes nothing. Returns whether the click selected.
  bool ClickEntry(int listIndex);
  // Whether the mouse over an entry highlights it (not a header; merge only for equal sizes).
  bool CanHighlight(int listIndex) const;
  // Whether an entry is drawn in normal colours (the merge entry greys out for unequal sizes).
  bool EntryEnabled(int listIndex) const;
  // A click on the name box or its arrow: hides the list if shown, otherwise shows it.
  void ToggleList();
  void HideList() { listVisible_ = false; }
  bool ListVisible() const { return listVisible_; }
  void KeyUp();
  void KeyDown();
  void KeyEscape() { HideList(); }
  // The two panel picture sizes (the merge effect needs them equal).
  void SetPanelSizes(int sourceWidth, int sourceHeight, int resultWidth, int resultHeight);
  bool PanelsDiffer() const { return panelsDiffer_; }
  // The preview runs the merge entry as frame-only while the panel widths differ.
  void FallBackFromMerge(bool widthsDiffer) { settings_.FallBackFromMerge(widthsDiffer); }

  // ---- language
  void ApplyLanguage(const Language& language);
  const Language& CurrentLanguage() const { return language_; }

  // ---- sliders (row 1..5)
  const SliderState& Slider(int row) const { return settings_.Slider(row); }
  // The user moved slider `row` to `position` (clamped to the row's range).
  void ChangeSlider(int row, int position);
  // Double-click on a caption: that slot back to its default.
  void ResetSlider(int row);
  // "Reset parameters": every effect back to its defaults.
  void ResetAll();
  // A click on the value label of `row`: MAX for rows 2 (codes 22, 25) and 3 (code 15).
  bool ClickValueLabel(int row);
  // A click on the MAX button itself.
  bool ClickMaxButton();

  // ---- what a view shows
  bool RowVisible(int row) const { return brumeleaf::RowVisible(CurrentEffect(), row); }
  std::string Caption(int row) const;
  std::string ValueText(int row) const;
  ExtraControls Extras() const;
  // Left edge of the MAX button (it moves left when the value needs three digits).
  int MaxButtonLeft() const;
  // Client width of the window: wider for the effects with brush buttons.
  int ClientWidth(int brushButtonWidth) const;

  // ---- finishing options
  const FinishingOptions& Finishing() const { return settings_.Finishing(); }
  void SetSoftenEdges(bool on);
  void SetTexture(bool on);
  bool StrengthEnabled() const { return Finishing().texture; }
  void ChooseStrength(int index);
  // The up-down arrows changed the texture number (the tile is copied by the window).
  void ClickTextureNumber(int number);
  // The mouse was released on the up-down arrows: the number is kept.
  void ReleaseTextureNumber();
  std::string TextureLabel() const;
  // First showing of the window: a texture number or strength never chosen counts as 0.
  void Activate();
  void SetAddFrame(bool on) { settings_.MutableFinishing().addFrame = on; }
  void SetAddText(bool on) { settings_.MutableFinishing().addText = on; }
  void SetCustomBrush(bool on) { settings_.MutableFinishing().customBrush = on; }
  void SetDoubleRow2(bool on) { settings_.MutableFinishing().doubleRow2 = on; }
  void SetDoubleRow1(bool on) { settings_.MutableFinishing().doubleRow1 = on; }
  // Settings file values: stored texture number and strength (-1 = not chosen).
  void RestoreStoredTexture(int number, int strength) { settings_.RestoreStoredTexture(number, strength); }

  // ---- a run
  // The slider positions and options as an algorithm reads them at the start of a run.
  ParameterSnapshot Snapshot() const { return settings_.Snapshot(); }

  // ---- the document underneath
  const EffectSettings& Settings() const { return settings_; }

 private:
  void Initialise();
  void PutEntryText(const std::string& text);
  void SelectFromList(int listIndex, int mergeReplacement);
  void ArmPreviewAfterSelection();
  void ApplyMax(int row);

  ParameterHost& Host() const;

  std::unique_ptr<EffectSettings> owned_;
  EffectSettings& settings_;
  Language language_;
  ParameterHost* host_ = nullptr;
  CaptionTable captions_{};
  std::string entryText_;
  bool listVisible_ = false;
  bool panelsDiffer_ = false;
};

}  // namespace brumeleaf
