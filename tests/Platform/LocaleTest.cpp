#include "Locale.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(Locale, PosixNamesMapOntoTheStringTablesLcids)
{
    const struct
    {
        const char* name;
        uint32_t lcid;
    } cases[] = {
        {"en_US.UTF-8", 0x0409},
        {"en_GB", 0x0409},
        {"es_ES.UTF-8", 0x0C0A},
        {"es_MX", 0x0C0A},
        {"de_DE@euro", 0x0407},
        {"ja_JP.eucJP", 0x0411},
        {"fr_CA", 0x040C},
        {"it_IT", 0x0410},
        {"ko_KR.UTF-8", 0x0412},
        {"zh_TW.UTF-8", 0x0404},
        {"zh_HK", 0x0C04},
        {"zh_MO", 0x1404},
        {"zh_CN.GB2312", 0x0804},
        {"zh_SG", 0x0804},
        {"zh", 0x0804},
        {"C", 0x0409},
        {"POSIX", 0x0409},
        {"C.UTF-8", 0x0409},
        {"", 0x0409},
        {"pt_BR", 0x0409},
        {"nl_NL", 0x0409},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(svp::LcidFromLocaleName(c.name), c.lcid) << c.name;
    }
}

TEST(Locale, UserChoiceGoesBeforeTheSessionsDefault)
{
    svtest::ScopedEnvironment environment;
    environment.Set("LC_ALL", nullptr);
    environment.Set("LC_MESSAGES", "fr_FR.UTF-8");
    environment.Set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(svp::GetUserDefaultLcid(), 0x040Cu);
    EXPECT_EQ(svp::GetSystemDefaultLcid(), 0x0407u);
    environment.Set("LC_ALL", "ja_JP");
    EXPECT_EQ(svp::GetUserDefaultLcid(), 0x0411u);
    environment.Set("LC_ALL", "");
    environment.Set("LC_MESSAGES", "");
    EXPECT_EQ(svp::GetUserDefaultLcid(), 0x0407u);
    environment.Set("LANG", nullptr);
    EXPECT_EQ(svp::GetUserDefaultLcid(), 0x0409u);
    EXPECT_EQ(svp::GetSystemDefaultLcid(), 0x0409u);
}

} // namespace
