#include "support/language.h"

#include <gtest/gtest.h>

namespace {

TEST(Language, OnlyTheThreeIdentifiersOfTheTableGiveDutch)
{
    const std::pair<std::uint16_t, const char*> cases[] = {
        {1043, "NLD"}, // Dutch (Netherlands)
        {2067, "NLD"}, // Dutch (Belgium)
        {1078, "NLD"}, // Afrikaans
        {1033, "ENU"}, // English (United States)
        {2057, "ENU"}, // English (United Kingdom)
        {1031, "ENU"}, // German
        {1036, "ENU"}, // French
        {1122, "ENU"}, // Frisian
        {0x0013, "ENU"}, // Dutch, neutral sublanguage: the whole identifier counts
        {0, "ENU"},
    };
    for (const auto& [langId, code] : cases) {
        SCOPED_TRACE(langId);
        EXPECT_EQ(LanguageForLangId(langId), code);
    }
}

TEST(Language, BilingualTextFollowsTheExactCode)
{
    const std::string saved = Language;
    Language = "NLD";
    EXPECT_STREQ(Bilingual("Annuleren", "Cancel"), "Annuleren");
    Language = "ENU";
    EXPECT_STREQ(Bilingual("Annuleren", "Cancel"), "Cancel");
    Language = "nld";
    EXPECT_STREQ(Bilingual("Annuleren", "Cancel"), "Cancel");
    Language = saved;
}

} // namespace
