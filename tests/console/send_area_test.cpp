// The send area and its two stores: HEX Send switches between them and keeps both, Clear
// empties only the current one, the stores hold code-page bytes with CR LF line breaks, and
// the interval edit's value.
#include <QLineEdit>

#include <climits>
#include <utility>

#include "send_fixture.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;
using platform::Language;

class SendAreaTest : public ::testing::TestWithParam<Language> {
protected:
    SendAreaTest() { dlg_.EnterNetworkCycleMode(); }
    QString Area() { return dlg_.GetItemText(kSendArea); }

    DeviceTree tree_;
    SendConsole dlg_{GetParam()};
};

TEST_P(SendAreaTest, HexSendKeepsBothStores)
{
    ASSERT_TRUE(dlg_.IsItemChecked(kHexSend));
    dlg_.SetItemText(kSendArea, "1B 40");

    dlg_.ClickItem(kHexSend);  // to text mode
    EXPECT_EQ(dlg_.m_strSendHex, "1B 40");
    EXPECT_EQ(Area(), "");
    dlg_.SetItemText(kSendArea, QString::fromUtf8("你好\nworld"));

    dlg_.ClickItem(kHexSend);  // back to hex
    EXPECT_EQ(Area(), "1B 40");
    const std::string nihao = GetParam() == Language::Chinese ? "\xC4\xE3\xBA\xC3" : "\xE4\xBD\xA0\xE5\xA5\xBD";
    EXPECT_EQ(dlg_.m_strSendText, nihao + "\r\nworld") << "code-page bytes, line breaks as CR LF";
    dlg_.SetItemText(kSendArea, "1D 56 42 00");

    dlg_.ClickItem(kHexSend);
    EXPECT_EQ(Area(), QString::fromUtf8("你好\nworld"));
    EXPECT_EQ(dlg_.m_strSendHex, "1D 56 42 00");
    dlg_.ClickItem(kHexSend);
    EXPECT_EQ(Area(), "1D 56 42 00");
    EXPECT_EQ(dlg_.m_strSendText, nihao + "\r\nworld");
}

TEST_P(SendAreaTest, OptionsAreEnabledExactlyInTextMode)
{
    for (int round = 0; round < 2; ++round) {
        dlg_.ClickItem(kHexSend);
        EXPECT_FALSE(dlg_.IsItemChecked(kHexSend));
        EXPECT_TRUE(dlg_.IsItemEnabled(kSendNewLine));
        EXPECT_TRUE(dlg_.IsItemEnabled(kChineseMode));
        dlg_.CheckItem(kSendNewLine, true);
        dlg_.ClickItem(kHexSend);
        EXPECT_TRUE(dlg_.IsItemChecked(kHexSend));
        EXPECT_FALSE(dlg_.IsItemEnabled(kSendNewLine));
        EXPECT_FALSE(dlg_.IsItemEnabled(kChineseMode));
        EXPECT_TRUE(dlg_.IsItemChecked(kSendNewLine)) << "disabled, not unchecked";
    }
}

TEST_P(SendAreaTest, ClearEmptiesOnlyTheCurrentStore)
{
    dlg_.m_strSendText = "kept text";
    dlg_.SetItemText(kSendArea, "1B 40");
    dlg_.ClickItem(kSend);  // to the cycle page; the area is taken all the same
    EXPECT_EQ(dlg_.m_strSendData, "1B 40");

    dlg_.ClickItem(kSendClear);
    EXPECT_EQ(Area(), "");
    EXPECT_EQ(dlg_.m_strSendHex, "");
    EXPECT_EQ(dlg_.m_strSendText, "kept text");
    EXPECT_EQ(dlg_.m_strSendData, "1B 40");

    dlg_.ClickItem(kHexSend);
    EXPECT_EQ(Area(), "kept text");
    dlg_.ClickItem(kSendClear);
    EXPECT_EQ(dlg_.m_strSendText, "");
    dlg_.ClickItem(kHexSend);
    EXPECT_EQ(Area(), "");
}

TEST_P(SendAreaTest, StoresShowDecodedWithTheWidgetsLineBreaks)
{
    const std::string gb = "\xC4\xE3\xBA\xC3";
    const std::string utf8 = "\xE4\xBD\xA0\xE5\xA5\xBD";
    dlg_.ShowSendStore((GetParam() == Language::Chinese ? gb : utf8) + "\r\nA");
    EXPECT_EQ(Area(), QString::fromUtf8("你好\nA"));
    EXPECT_EQ(dlg_.SendAreaBytes(), (GetParam() == Language::Chinese ? gb : utf8) + "\r\nA");
}

INSTANTIATE_TEST_SUITE_P(Languages, SendAreaTest, ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& info) { return info.param == Language::Chinese ? "Chinese" : "English"; });

TEST(SendIntervalTest, IntervalIsTheDecimalValueOfTheEdit)
{
    DeviceTree tree;
    SendConsole dlg(Language::English);
    EXPECT_EQ(dlg.m_nInterval, 1000);
    dlg.EnterNetworkCycleMode();
    auto* edit = qobject_cast<QLineEdit*>(dlg.Item(kInterval));
    ASSERT_NE(edit, nullptr);
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"250", 250}, {"5", 5}, {"007", 7}, {"0", 0}, {"", 0}, {"12ab", 0}, {"-5", 0}, {" 5", 0},
        {"2147483647", INT_MAX}, {"99999999999", INT_MAX},
    };
    for (const Case& c : cases) {
        dlg.m_nInterval = -1;
        edit->setText(c.text);  // the program's own change, past the edit's digit filter
        EXPECT_EQ(dlg.m_nInterval, c.value) << '"' << c.text << '"';
    }
    // The operator can type digits only.
    edit->clear();
    edit->setFocus();
    const std::pair<int, const char*> keys[] = {{Qt::Key_1, "1"}, {Qt::Key_X, "x"}, {Qt::Key_Minus, "-"}, {Qt::Key_2, "2"}};
    for (const auto& [key, text] : keys)
        TypeKey(edit, key, text);
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(dlg.m_nInterval, 12);
}

}  // namespace
}  // namespace consoletest::sendtest
