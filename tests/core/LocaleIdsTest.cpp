#include <gtest/gtest.h>

#include "i18n/Language.h"
#include "i18n/LocaleIds.h"

using namespace brumeleaf;

// Every identifier of the table must be reachable from a real locale, and the neighbours the
// table leaves out must not slip into a language by a loose match on the language code alone.
TEST(LocaleIds, SystemLocalesMapToTheirExactIdentifiers) {
  EXPECT_EQ(LocaleIdOf("es", "", "ES"), 3082);
  EXPECT_EQ(LocaleIdOf("fr", "Latn", "CA"), 3084);
  EXPECT_EQ(LocaleIdOf("de", "", "LI"), 5127);
  EXPECT_EQ(LocaleIdOf("ar", "Arab", "BH"), 15361);
  EXPECT_EQ(LocaleIdOf("es", "", "419"), 22538);
  EXPECT_EQ(LocaleIdOf("zh", "Hant", "TW"), 1028);
  EXPECT_EQ(LocaleIdOf("zh", "Hans", "CN"), 2052);
  EXPECT_EQ(LocaleIdOf("sr", "Latn", "RS"), 2074);
  EXPECT_EQ(LocaleIdOf("sr", "Cyrl", "RS"), 3098);
  EXPECT_EQ(LocaleIdOf("sr", "", "ME"), 3098);
  EXPECT_EQ(LocaleIdOf("sr", "Latn", "BA"), 6170);
  // Codes arrive in whatever case the platform writes them.
  EXPECT_EQ(LocaleIdOf("PT", "", "br"), 1046);
  EXPECT_EQ(LocaleIdOf("SR", "latn", "rs"), 2074);
  // No identifier of their own.
  EXPECT_EQ(LocaleIdOf("de", "", "BE"), kCustomLocaleId);
  EXPECT_EQ(LocaleIdOf("ar", "", "SD"), kCustomLocaleId);
  EXPECT_EQ(LocaleIdOf("C", "", ""), kCustomLocaleId);
  EXPECT_EQ(LocaleIdOf("", "", ""), kCustomLocaleId);
  EXPECT_EQ(LocaleIdOf("fr", "", ""), kCustomLocaleId);
}

TEST(LocaleIds, DefaultLanguageFollowsTheIdentifierTable) {
  struct Case {
    const char* language;
    const char* script;
    const char* territory;
    const char* expected;
  };
  const Case cases[] = {
      {"es", "", "ES", "Spanish"},     {"es", "", "MX", "Spanish"},   {"es", "", "CU", "English"},
      {"fr", "", "FR", "French"},      {"fr", "", "LU", "French"},    {"fr", "", "MC", "English"},
      {"de", "", "AT", "German"},      {"de", "", "BE", "English"},   {"it", "", "CH", "Italian"},
      {"nl", "", "BE", "Dutch"},       {"ru", "", "MD", "Russian"},   {"ro", "", "MD", "Romanian"},
      {"ar", "", "YE", "Arab"},        {"ar", "", "SD", "English"},   {"af", "", "ZA", "Afrikaans"},
      {"sv", "", "FI", "Swedish"},     {"el", "", "GR", "Greek"},     {"el", "", "CY", "English"},
      {"lv", "", "LV", "Latvian"},     {"hu", "", "HU", "Hungarian"}, {"tr", "", "TR", "Turkish"},
      {"zh", "", "TW", "Chinese"},     {"zh", "", "HK", "English"},   {"zh", "", "SG", "English"},
      {"sr", "Latn", "ME", "Serbian"}, {"sr", "", "BA", "English"},   {"pt", "", "PT", "Portuguese"},
      {"pt", "", "AO", "English"},     {"ja", "", "JP", "Japanese"},  {"ko", "", "KR", "Hangul"},
      {"ko", "", "KP", "English"},     {"sl", "", "SI", "English"},   {"cs", "", "CZ", "Czech"},
      {"pl", "", "PL", "Polish"},      {"fi", "", "FI", "Finnish"},   {"en", "", "GB", "English"},
      {"C", "", "", "English"},        {"POSIX", "", "", "English"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.language) + "-" + c.territory);
    EXPECT_EQ(DefaultLanguageForLocale(c.language, c.script, c.territory), c.expected);
  }
  // Every default is a language the menu offers.
  for (const Case& c : cases) {
    const std::string_view name = DefaultLanguageForLocale(c.language, c.script, c.territory);
    EXPECT_NO_THROW(Language::FileNameOf(name)) << name;
  }
}
