#pragma once
// Comparing interface texts as a user types them: effect names given on the command line or in
// a script match the list in any letter case, in every language of the tables.

#include <string_view>

namespace brumeleaf {

// Whether two UTF-8 texts are equal ignoring letter case (full Unicode case folding) and
// spaces at either end.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace brumeleaf
