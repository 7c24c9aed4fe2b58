#include "console/code_page.h"

#include <gtest/gtest.h>

namespace {

using platform::Language;

TEST(CodePage, TypedTextGoesOutInTheInterfacesCodePage)
{
    const QString hello = QString::fromUtf8("你好A");
    EXPECT_EQ(ToCodePage(hello, Language::Chinese), std::string("\xC4\xE3\xBA\xC3" "A"));
    EXPECT_EQ(ToCodePage(hello, Language::English), std::string("\xE4\xBD\xA0\xE5\xA5\xBD" "A"));
    EXPECT_EQ(FromCodePage("\xC4\xE3\xBA\xC3", Language::Chinese), QString::fromUtf8("你好"));
    EXPECT_EQ(ToCodePage(QStringLiteral("AB\r\n"), Language::Chinese), "AB\r\n");
}

TEST(CodePage, DecoderCompletesSplitCharactersAndMarksInvalidBytes)
{
    for (Language language : {Language::Chinese, Language::English}) {
        SCOPED_TRACE(CodePageName(language));
        const std::string bytes = ToCodePage(QString::fromUtf8("你A"), language);
        CodePageDecoder decoder(language);
        QString shown;
        for (char c : bytes)
            shown += decoder.Feed(&c, 1);
        EXPECT_EQ(shown, QString::fromUtf8("你A"));
        // The first byte alone shows nothing yet.
        decoder.Reset();
        EXPECT_TRUE(decoder.Feed(bytes.data(), 1).isEmpty());
        decoder.Reset();  // a reset forgets the partial character
        EXPECT_EQ(decoder.Feed("A", 1), QStringLiteral("A"));
    }
    CodePageDecoder utf8(Language::English);
    EXPECT_EQ(utf8.Feed("\xFF" "B", 2), QString(QChar(0xFFFD)) + QLatin1Char('B'));
}

}  // namespace
