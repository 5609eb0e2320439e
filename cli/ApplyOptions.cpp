#include "cli/ApplyOptions.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "effects/Catalogue.h"
#include "io/ParameterFile.h"

namespace brumeleaf::cli {

long long ParseInteger(const std::string& text, const std::string& what) {
  long long value = 0;
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || next != end) {
    throw UsageError(what + " must be a whole number, not \"" + text + "\"");
  }
  return value;
}

std::uint32_t ParseSeed(const std::string& text) {
  const long long seed = ParseInteger(text, "--seed");
  if (seed < 0 || seed > 4294967295LL) throw UsageError("--seed must lie within 0..4294967295");
  return static_cast<std::uint32_t>(seed);
}

int ParseQuality(const std::string& text) {
  const long long quality = ParseInteger(text, "--quality");
  if (quality < 1 || quality > 100) throw UsageError("--quality must lie within 1..100");
  return static_cast<int>(quality);
}

namespace {

// What the arguments ask for before it is applied to the model.
struct Requests {
  std::optional<std::string> effect;
  std::optional<std::string> values;
  std::optional<std::string> params;
  bool soften = false;
  std::optional<int> texture;   // 1..10 as the user counts
  std::optional<int> strength;  // 0..2
};

int ParseStrength(const std::string& text) {
  if (text == "light") return 0;
  if (text == "normal") return 1;
  if (text == "strong") return 2;
  throw UsageError("--strength must be light, normal or strong, not \"" + text + "\"");
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

void SelectEffect(ParameterModel& model, const std::string& nameOrCode) {
  int listIndex = 0;
  try {
    listIndex = ResolveEffect(Language::English(), nameOrCode);
  } catch (const CatalogueError& e) {
    throw UsageError(e.what());
  }
  model.SelectEntry(listIndex);
}

void ApplyRequests(const Requests& r, ParameterModel& model) {
  if (r.params) LoadParameterFile(*r.params, model);
  if (r.effect) SelectEffect(model, *r.effect);
  if (r.values) {
    const auto values = ParseValues(*r.values);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i]) model.ChangeSlider(static_cast<int>(i) + 1, *values[i]);
    }
  }
  if (r.soften) model.SetSoftenEdges(true);
  if (r.texture) {
    model.ClickTextureNumber(*r.texture - 1);
    model.ReleaseTextureNumber();
    model.SetTexture(true);
  }
  if (r.strength) model.ChooseStrength(*r.strength);  // checks the texture box too
}

}  // namespace

ApplyOptions ParseApplyArguments(const Arguments& args, ParameterModel& model) {
  ApplyOptions options;
  Requests requests;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
      return args[++i];
    };
    if (a == "-o" || a == "--output") {
      options.output = value();
    } else if (a == "--effect") {
      requests.effect = value();
    } else if (a == "--values") {
      requests.values = value();
    } else if (a == "--params") {
      requests.params = value();
    } else if (a == "--soften") {
      requests.soften = true;
    } else if (a == "--texture") {
      const long long n = ParseInteger(value(), "--texture");
      if (n < 1 || n > 10) throw UsageError("--texture must lie within 1..10");
      requests.texture = static_cast<int>(n);
    } else if (a == "--strength") {
      requests.strength = ParseStrength(value());
    } else if (a == "--seed") {
      options.seed = ParseSeed(value());
    } else if (a == "--quality") {
      options.quality = ParseQuality(value());
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 1) throw UsageError("apply needs exactly one input picture");
  if (options.output.empty()) throw UsageError("apply needs an output file (-o OUTPUT)");
  options.input = positional[0];
  ApplyRequests(requests, model);
  return options;
}

}  // namespace brumeleaf::cli
