#pragma once
// The system locale as the classic numeric locale identifier (the Windows LCID), so that the
// default language can be looked up in the identifier table the language choice is defined by,
// whatever system the program runs on.

#include <string_view>

namespace brumeleaf {

// The identifier a locale has when none of its own exists (a custom locale such as German in
// Belgium or Arabic in Sudan); no language table is chosen for it.
inline constexpr int kCustomLocaleId = 0x1000;

// The locale identifier of a language, script and territory given by their ISO codes
// ("fr", "", "CA" -> 3084; "sr", "Latn", "RS" -> 2074). Codes are case-insensitive; the script
// matters only where one language has identifiers per script. "C", "POSIX", an empty language
// and every combination without an identifier give kCustomLocaleId.
int LocaleIdOf(std::string_view language, std::string_view script, std::string_view territory);

// The language a locale starts in when the settings name none: the identifier table applied to
// LocaleIdOf. Slovenian is never a default; anything the table lacks reads in English.
std::string_view DefaultLanguageForLocale(std::string_view language, std::string_view script,
                                          std::string_view territory);

}  // namespace brumeleaf
