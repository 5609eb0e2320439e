#include "cli/ApplyOptions.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "effects/Catalogue.h"
#include "settings/ParameterFile.h"

namespace brumeleaf::cli {

const std::array<const Option*, 6> kEffectOptions = {&options::kParams,  &options::kEffect,
                                                     &options::kValues,  &options::kSoften,
                                                     &options::kTexture, &options::kStrength};

namespace {

int StrengthIndex(const std::string& text) {
  if (text == "light") return 0;
  if (text == "normal") return 1;
  return 2;  // "strong": the declaration admits nothing else
}

// Up to five comma-separated slider values; an empty place keeps that slider as it is.
std::vector<std::optional<int>> ParseValues(const std::string& text) {
  std::vector<std::optional<int>> values;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    if (item.empty()) {
      values.emplace_back();
    } else {
      const long long v = ParseInteger(item, "each of --values");
      // Far-off numbers are clamped like any other out-of-range value.
      values.emplace_back(static_cast<int>(std::clamp(v, -1000000LL, 1000000LL)));
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() > kSliderRowCount) throw UsageError("--values takes at most five values");
  return values;
}

int ListIndexOf(const std::string& nameOrCode) {
  try {
    return ResolveEffect(Language::English(), nameOrCode);
  } catch (const CatalogueError& e) {
    throw UsageError(e.what());
  }
}

}  // namespace

void ApplyEffectOptions(const ParsedOptions& parsed, EffectSettings& settings) {
  // Everything is checked before anything changes.
  const std::optional<int> entry =
      parsed.Has(options::kEffect) ? std::optional<int>(ListIndexOf(parsed.Text(options::kEffect))) : std::nullopt;
  const auto values = parsed.Has(options::kValues) ? ParseValues(parsed.Text(options::kValues))
                                                   : std::vector<std::optional<int>>{};
  if (parsed.Has(options::kParams)) LoadParameterFile(parsed.Text(options::kParams), settings);
  if (entry) settings.SelectEntry(*entry);
  for (std::size_t i = 0; i < values.size(); ++i)
    if (values[i]) settings.ChangeSlider(static_cast<int>(i) + 1, *values[i]);
  if (parsed.Has(options::kSoften)) settings.MutableFinishing().softenEdges = true;
  if (const auto texture = parsed.IntegerIf(options::kTexture)) settings.ChooseTextureNumber(static_cast<int>(*texture) - 1);
  if (const auto strength = parsed.TextIf(options::kStrength)) settings.ChooseStrength(StrengthIndex(*strength));
}

std::uint32_t SeedOf(const ParsedOptions& parsed) {
  if (const auto seed = parsed.IntegerIf(options::kSeed)) return static_cast<std::uint32_t>(*seed);
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<std::uint32_t>(ticks);
}

}  // namespace brumeleaf::cli
