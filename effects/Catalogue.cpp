#include "effects/Catalogue.h"

#include "i18n/TextCompare.h"

#include <charconv>

namespace brumeleaf {
namespace {

constexpr TextRule Line(TextId text) { return {TextRule::Kind::Line, static_cast<int>(text), {}, {}}; }

std::array<ListEntrySpec, kListEntryCount> BuildListEntries() {
  std::array<ListEntrySpec, kListEntryCount> entries{};
  for (int i = 0; i < kListEntryCount; ++i) entries[static_cast<std::size_t>(i)].listIndex = i;
  struct Header { int index; TextId text; };
  constexpr Header kHeaders[] = {{0, TextId::PencilSketchGroup}, {7, TextId::PenAndInkGroup},
                                 {10, TextId::PaintingGroup},    {21, TextId::StylisedGroup},
                                 {30, TextId::MiscellaneousGroup}, {34, TextId::NoEffectGroup}};
  for (const auto& h : kHeaders) entries[static_cast<std::size_t>(h.index)].text = Line(h.text);
  for (const EffectRow& e : EffectRows()) {
    auto& entry = entries[static_cast<std::size_t>(e.listIndex)];
    entry.text = e.name;
    entry.code = e.code;
  }
  return entries;
}

// Every code appears exactly once and every non-header index has an effect.
std::array<ListEntrySpec, kListEntryCount> CheckedListEntries() {
  const auto entries = BuildListEntries();
  int headers = 0;
  for (const auto& entry : entries) {
    if (entry.IsHeader()) ++headers;
    else if (EffectRowOf(entry.code).listIndex != entry.listIndex) throw CatalogueError("The effect list is inconsistent");
  }
  if (headers != 6) throw CatalogueError("The effect list is inconsistent");
  return entries;
}

const std::array<ListEntrySpec, kListEntryCount>& Entries() {
  static const std::array<ListEntrySpec, kListEntryCount> entries = CheckedListEntries();
  return entries;
}

}  // namespace

const std::array<ListEntrySpec, kListEntryCount>& ListEntries() { return Entries(); }

bool IsHeader(int listIndex) {
  return listIndex >= 0 && listIndex < kListEntryCount &&
         Entries()[static_cast<std::size_t>(listIndex)].IsHeader();
}

int CodeOfListIndex(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount) return kFallbackCode;
  const int code = Entries()[static_cast<std::size_t>(listIndex)].code;
  return code < 0 ? kFallbackCode : code;
}

int ListIndexOfCode(int code) { return EffectRowOf(code).listIndex; }

SliderRange RangeOf(int code, int row) {
  if (row < 1 || row > kSliderRowCount) throw CatalogueError("There is no slider row " + std::to_string(row));
  if (code < 0 || code >= kEffectCount) return row == 3 ? SliderRange{0, 100, 5} : SliderRange{0, 255, 5};
  return EffectRowOf(code).Row(row).range;
}

bool RowVisible(int code, int row) {
  if (row < 1 || row > kSliderRowCount) return false;
  if (code < 0 || code >= kEffectCount) return false;
  return EffectRowOf(code).Row(row).visible;
}

std::string EntryName(const Language& language, int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount)
    throw CatalogueError("There is no effect list entry " + std::to_string(listIndex));
  return language.Build(Entries()[static_cast<std::size_t>(listIndex)].text);
}

std::string ListItemText(const Language& language, int listIndex) {
  std::string text = EntryName(language, listIndex);
  if (!IsHeader(listIndex)) text.insert(0, "     >  ");
  return text;
}

std::string SliderCaption(const Language& language, int code, int slot) {
  if (code < 0 || code >= kEffectCount || slot < 0 || slot >= kSliderRowCount) return {};
  const SliderRow& row = EffectRowOf(code).rows[static_cast<std::size_t>(slot)];
  if (row.blankCaption) return std::string(8, ' ');
  return row.captionLine < 0 ? std::string() : language.Text(row.captionLine);
}

std::optional<int> FindEntryByName(const Language& language, std::string_view name) {
  for (int i = 0; i < kListEntryCount; ++i)
    if (SameTextIgnoringCase(EntryName(language, i), name)) return i;
  return std::nullopt;
}

int ResolveEffect(const Language& language, std::string_view nameOrCode) {
  int code = 0;
  const char* first = nameOrCode.data();
  const char* last = first + nameOrCode.size();
  const auto [end, error] = std::from_chars(first, last, code);
  if (!nameOrCode.empty() && error == std::errc() && end == last) {
    if (code < 0 || code >= kEffectCount)
      throw CatalogueError("There is no effect with code " + std::string(nameOrCode) +
                           " (codes are 0 to 29)");
    return ListIndexOfCode(code);
  }
  const auto index = FindEntryByName(language, nameOrCode);
  if (!index || IsHeader(*index))
    throw CatalogueError("Unknown effect: \"" + std::string(nameOrCode) + "\"");
  return *index;
}

std::string EffectNameForCode(int code) {
  if (code < 0 || code >= kEffectCount) return "";
  std::string name = EntryName(Language::English(), ListIndexOfCode(code));
  // The last entry is padded with spaces to widen the list.
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

int ExamplePictureNumber(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount || IsHeader(listIndex))
    throw CatalogueError("Entry " + std::to_string(listIndex) + " has no example picture");
  int headersBefore = 0;
  for (int header : {7, 10, 21, 30, 34})
    if (header < listIndex) ++headersBefore;
  return listIndex - 1 - headersBefore;
}

}  // namespace brumeleaf
