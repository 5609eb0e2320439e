// brumeleaf-cli effects: the effect list with each effect's visible sliders.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "effects/Catalogue.h"
#include "effects/EffectSettings.h"

namespace brumeleaf::cli {

namespace {

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

void PrintEffect(const Language& english, const ListEntrySpec& entry) {
  const int code = entry.code;
  std::printf("%4d %4d  %s%s\n", entry.listIndex, code,
              Trimmed(EntryName(english, entry.listIndex)).c_str(),
              FrameForCode(code) ? "" : "  (not available yet)");
  for (int row = 1; row <= kSliderRowCount; ++row) {
    if (!RowVisible(code, row)) continue;
    const SliderRange range = RangeOf(code, row);
    const int defaultValue = EffectSettings::Defaults()[code][row - 1];
    std::printf("             s%d %-24s %d..%d, default %d\n", row,
                Trimmed(SliderCaption(english, code, row - 1)).c_str(), range.low, range.high,
                defaultValue);
  }
}

}  // namespace

int RunEffects(const Arguments& args) {
  if (!args.empty()) throw UsageError("effects takes no arguments");
  const Language& english = Language::English();
  std::printf("list code  entry\n");
  for (const ListEntrySpec& entry : ListEntries()) {
    if (entry.IsHeader()) {
      std::printf("%4d       %s\n", entry.listIndex, Trimmed(EntryName(english, entry.listIndex)).c_str());
    } else {
      PrintEffect(english, entry);
    }
  }
  return kExitOk;
}

}  // namespace brumeleaf::cli
