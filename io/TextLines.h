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

}  // namespace brumeleaf
