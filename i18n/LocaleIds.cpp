#include "i18n/LocaleIds.h"

#include <array>
#include <cctype>
#include <string>

#include "i18n/Language.h"

namespace brumeleaf {
namespace {

struct LocaleEntry {
  std::string_view language;   // ISO 639-1, lower case
  std::string_view territory;  // ISO 3166-1, upper case
  std::string_view script;     // ISO 15924 or empty when the identifier holds for every script
  int id;
};

// The identifiers of the languages the program has a table for, plus English and Slovenian.
// Serbian is listed under the identifiers of the former Serbia and Montenegro, the only Serbian
// identifiers the language choice knows: today's Serbia, Montenegro and Kosovo are that territory,
// and without it no Serbian system would ever start in Serbian. Bosnia keeps its own identifiers.
constexpr LocaleEntry kLocales[] = {
    {"af", "ZA", "", 1078},
    {"ar", "SA", "", 1025},    {"ar", "IQ", "", 2049},    {"ar", "EG", "", 3073},
    {"ar", "LY", "", 4097},    {"ar", "DZ", "", 5121},    {"ar", "MA", "", 6145},
    {"ar", "TN", "", 7169},    {"ar", "OM", "", 8193},    {"ar", "YE", "", 9217},
    {"ar", "SY", "", 10241},   {"ar", "JO", "", 11265},   {"ar", "LB", "", 12289},
    {"ar", "KW", "", 13313},   {"ar", "AE", "", 14337},   {"ar", "BH", "", 15361},
    {"ar", "QA", "", 16385},
    {"cs", "CZ", "", 1029},
    {"de", "DE", "", 1031},    {"de", "CH", "", 2055},    {"de", "AT", "", 3079},
    {"de", "LU", "", 4103},    {"de", "LI", "", 5127},
    {"el", "GR", "", 1032},
    {"en", "US", "", 1033},    {"en", "GB", "", 2057},    {"en", "AU", "", 3081},
    {"en", "CA", "", 4105},    {"en", "NZ", "", 5129},    {"en", "IE", "", 6153},
    {"en", "ZA", "", 7177},    {"en", "JM", "", 8201},    {"en", "BZ", "", 10249},
    {"en", "TT", "", 11273},   {"en", "ZW", "", 12297},   {"en", "PH", "", 13321},
    {"en", "IN", "", 16393},   {"en", "MY", "", 17417},   {"en", "SG", "", 18441},
    {"es", "ES", "", 3082},    {"es", "MX", "", 2058},    {"es", "GT", "", 4106},
    {"es", "CR", "", 5130},    {"es", "PA", "", 6154},    {"es", "DO", "", 7178},
    {"es", "VE", "", 8202},    {"es", "CO", "", 9226},    {"es", "PE", "", 10250},
    {"es", "AR", "", 11274},   {"es", "EC", "", 12298},   {"es", "CL", "", 13322},
    {"es", "UY", "", 14346},   {"es", "PY", "", 15370},   {"es", "BO", "", 16394},
    {"es", "SV", "", 17418},   {"es", "HN", "", 18442},   {"es", "NI", "", 19466},
    {"es", "PR", "", 20490},   {"es", "US", "", 21514},   {"es", "419", "", 22538},
    {"es", "CU", "", 23562},
    {"fi", "FI", "", 1035},
    {"fr", "FR", "", 1036},    {"fr", "BE", "", 2060},    {"fr", "CA", "", 3084},
    {"fr", "CH", "", 4108},    {"fr", "LU", "", 5132},    {"fr", "MC", "", 6156},
    {"hu", "HU", "", 1038},
    {"it", "IT", "", 1040},    {"it", "CH", "", 2064},
    {"ja", "JP", "", 1041},
    {"ko", "KR", "", 1042},
    {"lv", "LV", "", 1062},
    {"nl", "NL", "", 1043},    {"nl", "BE", "", 2067},
    {"pl", "PL", "", 1045},
    {"pt", "BR", "", 1046},    {"pt", "PT", "", 2070},
    {"ro", "RO", "", 1048},    {"ro", "MD", "", 2072},
    {"ru", "RU", "", 1049},    {"ru", "MD", "", 2073},
    {"sl", "SI", "", 1060},
    {"sr", "RS", "Latn", 2074}, {"sr", "ME", "Latn", 2074}, {"sr", "XK", "Latn", 2074},
    {"sr", "RS", "", 3098},    {"sr", "ME", "", 3098},    {"sr", "XK", "", 3098},
    {"sr", "BA", "Latn", 6170}, {"sr", "BA", "", 7194},
    {"sv", "SE", "", 1053},    {"sv", "FI", "", 2077},
    {"tr", "TR", "", 1055},
    {"zh", "TW", "", 1028},    {"zh", "CN", "", 2052},    {"zh", "HK", "", 3076},
    {"zh", "SG", "", 4100},    {"zh", "MO", "", 5124},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

int LocaleIdOf(std::string_view language, std::string_view script, std::string_view territory) {
  const std::string lang = Lower(language);
  const std::string land = Upper(territory);
  std::string writing = Lower(script);
  if (!writing.empty()) writing[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(writing[0])));
  // Entries with a script come before the script-less entry of the same place, so the first
  // entry whose script is empty or equal wins.
  for (const LocaleEntry& e : kLocales) {
    if (e.language != lang || e.territory != land) continue;
    if (e.script.empty() || e.script == writing) return e.id;
  }
  return kCustomLocaleId;
}

std::string_view DefaultLanguageForLocale(std::string_view language, std::string_view script,
                                          std::string_view territory) {
  return DefaultLanguageForLocale(LocaleIdOf(language, script, territory));
}

}  // namespace brumeleaf
