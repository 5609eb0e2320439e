#pragma once
// The effect list: its 36 entries (30 effects under 6 group headers), how list indices and
// effect codes map onto each other, and the names and captions an effect shows in a language.
// What an effect is (sliders, controls, run frame, preview) is its row of the effect table.
//
// Terms: the list index (0..35) is an entry's place in the effect list; the effect code (0..29)
// names an effect and indexes every per-effect table. Slider row r (1..5) uses slot r-1 of a
// table row; the rows are TrackBar1, TrackBar2, TrackBar5, TrackBar3, TrackBar4 in that order.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "effects/EffectTable.h"
#include "i18n/Language.h"

namespace brumeleaf {

// An effect name, code or list index that does not exist.
class CatalogueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kListEntryCount = 36;    // list indices 0..35
inline constexpr int kFallbackCode = 14;      // headers and unknown indices run "frame only"
inline constexpr int kFirstEntry = 1;
inline constexpr int kMergeEntry = 33;        // needs source and result of the same size
inline constexpr int kMergeFallbackUp = 31;
inline constexpr int kFrameOnlyEntry = 35;
inline constexpr int kLastEntry = 35;

struct ListEntrySpec {
  int listIndex = 0;
  TextRule text;
  int code = -1;  // -1 for a group header
  constexpr bool IsHeader() const { return code < 0; }
};

// The list entries, indexed by list index 0..35.
const std::array<ListEntrySpec, kListEntryCount>& ListEntries();

bool IsHeader(int listIndex);
// The code an entry selects: its effect's code; 14 for headers and indices outside the list.
int CodeOfListIndex(int listIndex);
// The entry of an effect code; CatalogueError outside 0..29.
int ListIndexOfCode(int code);

// Range and tick of slider row 1..5 while `code` is selected; codes without an effect (the
// per-code tables have room for 36) get the standard ranges. CatalogueError for another row.
SliderRange RangeOf(int code, int row);

// Which slider rows 1..5 an effect shows.
bool RowVisible(int code, int row);

// The text of a list entry in a language (derived names follow their base line).
std::string EntryName(const Language& language, int listIndex);
// The entry as the list draws it: headers as they are, effects indented behind a marker.
std::string ListItemText(const Language& language, int listIndex);
// The caption of a slot 0..4 of an effect code 0..35 (empty where the effect has none).
std::string SliderCaption(const Language& language, int code, int slot);

// The list index of the entry whose text equals `name`, ignoring case and trailing spaces.
// Headers are found too; the caller decides whether a header is acceptable.
std::optional<int> FindEntryByName(const Language& language, std::string_view name);
// An effect given as a code ("7") or a selectable entry's name ("Painting 4 ..."); returns the
// list index. CatalogueError for anything else.
int ResolveEffect(const Language& language, std::string_view nameOrCode);

// The English list entry of `code` without its padding, for messages; "" outside 0..29.
std::string EffectNameForCode(int code);

// Number of the example picture (0..29, list order without headers) for a selectable entry.
int ExamplePictureNumber(int listIndex);

}  // namespace brumeleaf
