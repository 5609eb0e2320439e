#pragma once
// Parameter files (.bfp): the slider values of effect codes 0..28 and the selected entry of
// the effect list, 175 lines of decimal integers with CR LF ends:
//   "[i]" and the five values of code i (slot order), for i = 0..28, then the list index.
// Abstract (code 29) came after the format was fixed and is not stored; loading a file leaves
// its values alone.

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "effects/EffectSettings.h"

namespace brumeleaf {

// A parameter file that cannot be found, read, understood or written. The message is shown
// to the user as it stands.
class ParameterFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kStoredEffects = 29;       // codes 0..28
inline constexpr int kParameterFileLines = 175;

struct ParameterSet {
  std::array<std::array<int, kSliderRowCount>, kStoredEffects> values{};
  int listIndex = kFirstEntry;
};

// The name the save command writes to: ".bfp" is appended unless the name already ends in
// exactly ".bfp" (so "PARAMS.BFP" becomes "PARAMS.BFP.bfp").
std::filesystem::path ParameterFilePath(const std::filesystem::path& chosen);

ParameterSet CaptureParameters(const EffectSettings& settings);
// The file's text: 175 lines, each ended by CR LF.
std::string FormatParameterFile(const ParameterSet& set);
// Writes the stored values and the selected entry under ParameterFilePath(chosen) through a temporary file, so a
// failed write never leaves half a file. Returns the path written.
std::filesystem::path SaveParameterFile(const std::filesystem::path& chosen,
                                        const EffectSettings& settings);

// Reads the text of a parameter file (CR LF or LF). A file that stops early repeats its last
// line for everything after it. Any value line that is not an integer, or a list index outside
// 0..35, rejects the whole file.
ParameterSet ParseParameterFile(std::string_view text);
ParameterSet ReadParameterFile(const std::filesystem::path& path);
// Stores codes 0..28 into `target` (the EffectSettings, or the parameters window's model that
// wraps them) and selects the file's entry.
template <class Target>
void ApplyParameters(Target& target, const ParameterSet& set) {
  for (int code = 0; code < kStoredEffects; ++code)
    target.StoreEffectRow(code, set.values[static_cast<std::size_t>(code)]);
  target.SelectEntry(set.listIndex);
}
// Read and apply; on any error `target` is left exactly as it was.
template <class Target>
void LoadParameterFile(const std::filesystem::path& path, Target& target) {
  ApplyParameters(target, ReadParameterFile(path));
}

// The name the picture save dialog proposes, extension included. With `parametersInName`
// the effect name and the five slider values are part of it.
std::string ProposedSaveName(const std::string& pictureName, bool parametersInName,
                             const std::string& entryText, const std::array<int, 5>& sliders);

}  // namespace brumeleaf
