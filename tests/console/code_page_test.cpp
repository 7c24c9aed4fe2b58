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

// Byte by byte, every byte either completes a character, waits for more, or turns what
// waits into one U+FFFD and starts afresh: no byte is ever swallowed.
TEST(CodePage, DecoderKeepsEveryByteThatFollowsAnUnfinishedSequence)
{
    struct Case {
        Language language;
        std::string bytes;
        const char* shown;  // UTF-8
    };
    const Case cases[] = {
        {Language::English, "\xC3(", "\uFFFD("},
        {Language::English, "\xE4\xBD" "A", "\uFFFDA"},
        {Language::English, "\xE4\xBD\xE5\xA5\xBD", "\uFFFD好"},
        {Language::English, "\xE0\x80\x80", "\uFFFD\uFFFD\uFFFD"},  // overlong
        {Language::English, "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},  // a surrogate
        {Language::English, "\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {Language::English, "\xF0\x9F\x96\xA8!", "\U0001F5A8!"},
        {Language::English, "\xC0\xAF\x80\xFF", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {Language::Chinese, "\xC4(", "\uFFFD("},
        {Language::Chinese, "\xC4\x7F", "\uFFFD\x7F"},
        {Language::Chinese, "\x81\x30\x81\x30", "\u0080"},
        {Language::Chinese, "\x95\x32\x82\x36", "\U00020000"},
        {Language::Chinese, "\x81\x30" "Z", "\uFFFDZ"},
        {Language::Chinese, "\x80\xFF" "A", "\uFFFD\uFFFDA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        CodePageDecoder decoder(c.language);
        QString byByte;
        for (char b : c.bytes)
            byByte += decoder.Feed(&b, 1);
        EXPECT_EQ(byByte, QString::fromUtf8(c.shown));
        EXPECT_FALSE(decoder.HasPartialCharacter());
        EXPECT_EQ(FromCodePage(c.bytes, c.language), QString::fromUtf8(c.shown)) << "all at once";
    }
}

}  // namespace
