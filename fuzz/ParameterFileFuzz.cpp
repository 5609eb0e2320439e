// The parameter file reader: any bytes are either refused with a printable message or give a
// set that writes back to a file reading as the same set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  brumeleaf::ParameterSet set;
  try {
    set = brumeleaf::ParseParameterFile(text);
  } catch (const brumeleaf::ParameterFileError& e) {
    // Messages go to a terminal: no control characters, no bytes above ASCII, bounded length.
    const std::string message = e.what();
    if (message.size() > 400) __builtin_trap();
    for (const char c : message)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) __builtin_trap();
    return 0;
  }
  if (set.listIndex < 0 || set.listIndex >= brumeleaf::kListEntryCount) __builtin_trap();
  const brumeleaf::ParameterSet again = brumeleaf::ParseParameterFile(brumeleaf::FormatParameterFile(set));
  if (again.values != set.values || again.listIndex != set.listIndex) __builtin_trap();
  return 0;
}
