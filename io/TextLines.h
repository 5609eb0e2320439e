#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brumeleaf {

// The lines of a text file written on any system: each line ends at '\n', a '\r' before it
// is dropped, and a last line without '\n' still counts. The views point into `text`.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// The same lines as owned strings, for tables that outlive the text they came from.
std::vector<std::string> SplitTextLinesCopy(std::string_view text);

// A piece of an outside file made safe to show in a message: printable ASCII stays as it is,
// a backslash becomes "\\", every other byte "\xNN" (so a file cannot send escape sequences
// to the terminal, and a NUL cannot cut the message short). More than `maxBytes` bytes of the
// input are cut and "..." marks the cut.
std::string EscapedForMessage(std::string_view text, std::size_t maxBytes = 40);

}  // namespace brumeleaf
