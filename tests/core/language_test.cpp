#include "platform/core/language.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Language, FirstSetLocaleVariableDecides)
{
    struct Row {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        Language expected;
    };
    const Row rows[] = {
        {nullptr, nullptr, nullptr, Language::English},
        {nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
        {nullptr, nullptr, "zh", Language::Chinese},
        {nullptr, nullptr, "zh_TW.Big5", Language::Chinese},
        {nullptr, nullptr, "en_US.UTF-8", Language::English},
        {nullptr, nullptr, "C", Language::English},
        {"", "", "zh_CN.GB18030", Language::Chinese},       // empty variables do not count
        {"en_GB.UTF-8", nullptr, "zh_CN.UTF-8", Language::English},  // LC_ALL wins
        {nullptr, "zh_CN.UTF-8", "en_US.UTF-8", Language::Chinese},  // then LC_MESSAGES
        {"zh_SG", "en_US", "en_US", Language::Chinese},
        {nullptr, nullptr, "zhx_XX", Language::English},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.lcAll ? r.lcAll : "-") << " " << (r.lcMessages ? r.lcMessages : "-")
                                        << " " << (r.lang ? r.lang : "-"));
        EXPECT_EQ(LanguageFromLocale(r.lcAll, r.lcMessages, r.lang), r.expected);
    }
}

}  // namespace
}  // namespace platform
