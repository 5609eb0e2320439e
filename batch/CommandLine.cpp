#include "batch/CommandLine.h"

#include <cctype>

#include "effects/EffectTable.h"

namespace brumeleaf {

std::string ShellQuoted(const std::string& text) {
  bool safe = !text.empty();
  for (unsigned char c : text)
    if (!std::isalnum(c) && c != '/' && c != '.' && c != '_' && c != '-' && c != ',' && c != '+' && c != ':') safe = false;
  if (safe) return text;
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

CommandLineText ApplyCommandLine(const EffectSettings& settings, std::uint32_t seed, const std::string& input,
                                 const std::string& output) {
  const ParameterSnapshot snapshot = settings.Snapshot();
  CommandLineText text;
  std::string& line = text.line;
  line = "brumeleaf-cli apply " + ShellQuoted(input) + " -o " + ShellQuoted(output);
  line += " --effect " + std::to_string(snapshot.code);
  line += " --values ";
  for (std::size_t i = 0; i < snapshot.s.size(); ++i) {
    if (i) line += ',';
    line += std::to_string(snapshot.s[i]);
  }
  if (snapshot.softenEdges) line += " --soften";
  if (snapshot.texture) {
    static const char* const kStrengths[] = {"light", "normal", "strong"};
    line += " --texture " + std::to_string(snapshot.textureNumber + 1);
    line += std::string(" --strength ") + kStrengths[snapshot.textureStrength >= 0 && snapshot.textureStrength <= 2 ? snapshot.textureStrength : 1];
  }
  line += " --seed " + std::to_string(seed);
  if (snapshot.addFrame) text.leftOut.emplace_back("frame");
  if (snapshot.addText) text.leftOut.emplace_back("caption");
  // These options only matter to the effects that offer them.
  const EffectExtras& offered = EffectExtrasOf(snapshot.code);
  if (snapshot.customBrush && offered.brushButtons) text.leftOut.emplace_back("custom brush");
  if ((snapshot.doubleRow2 && offered.doubleRow2) || (snapshot.doubleRow1 && offered.doubleRow1))
    text.leftOut.emplace_back("\"X 2\"");
  if (snapshot.maxRow2 || snapshot.maxRow3) text.leftOut.emplace_back("\"MAX\"");
  return text;
}

}  // namespace brumeleaf
