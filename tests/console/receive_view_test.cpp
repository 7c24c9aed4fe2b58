// The receive view of the console: counting, the two accumulators, the view in text and
// hexadecimal form, Pause, Clear, HEX Show, ReCount, the automatic clearing measured against
// the edit's own layout, and bytes delivered in runs against bytes delivered one by one.
#include <gtest/gtest.h>

#include <random>

#include "console_fixture.h"
#include "receive_fixture.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

void SetHexShow(CQuillonDlg& dlg, bool on)
{
    dlg.CheckItem(kHexShow, on);
    dlg.OnHexShow();
}

// --- one byte at a time ---

struct ByteCase {
    const char* name;
    int byte;
    bool hexShow;
    const char* view;  // UTF-8
    const char* hex;
};

TEST(ReceiveViewTest, EachByteIsCountedKeptAndShownInTheChosenForm)
{
    const ByteCase cases[] = {
        {"a letter in text form", 0x41, false, "A", "41 "},
        {"a letter in hex form", 0x41, true, "41 ", "41 "},
        {"a high byte in hex form", 0xE4, true, "E4 ", "E4 "},
        {"a lone high byte in text form is not (yet) a character", 0xE4, false, "", "E4 "},
        {"NUL in text form shows nothing", 0x00, false, "", "00 "},
        {"NUL in hex form", 0x00, true, "00 ", "00 "},
        {"DEL", 0x7F, true, "7F ", "7F "},
    };
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The serial monitor hands the byte over zero-extended, the other readers
        // sign-extended; either way only the low 8 bits count.
        for (intptr_t wparam : {intptr_t(uint8_t(c.byte)), intptr_t(int8_t(c.byte))}) {
            CQuillonDlg dlg(Language::English);
            SetHexShow(dlg, c.hexShow);
            EXPECT_EQ(platform::SendMessage(dlg.Endpoint(), transport::kNotifyByteReceived, wparam, 0), 0);
            EXPECT_EQ(ViewText(dlg), Utf8(c.view)) << wparam;
            EXPECT_EQ(dlg.m_strRecvText, std::string(1, char(c.byte)));
            EXPECT_EQ(dlg.m_strRecvHex, c.hex);
            EXPECT_EQ(dlg.m_nRxCount, 1);
            EXPECT_EQ(dlg.GetItemText(kRxCount), "RX:1");
        }
    }
}

TEST(ReceiveViewTest, PausedBytesAreOnlyCounted)
{
    for (Language language : {Language::English, Language::Chinese}) {
        CQuillonDlg dlg(language);
        SendEach(dlg, "ab");
        dlg.OnPause();
        EXPECT_EQ(dlg.GetItemText(kPause), language == Language::English ? "Continue" : Utf8("继续"));
        EXPECT_EQ(platform::SendMessage(dlg.Endpoint(), transport::kNotifyByteReceived, 'x', 0), -1);
        SendRun(dlg, "yz\r\n");
        EXPECT_EQ(dlg.m_nRxCount, 7);
        EXPECT_EQ(dlg.GetItemText(kRxCount), "RX:7");
        EXPECT_EQ(dlg.m_strRecvText, "ab");
        EXPECT_EQ(dlg.m_strRecvHex, "61 62 ");
        EXPECT_EQ(ViewText(dlg), "ab");

        dlg.OnPause();
        EXPECT_EQ(dlg.GetItemText(kPause), language == Language::English ? "Pause" : Utf8("暂停"));
        SendEach(dlg, "c");
        EXPECT_EQ(dlg.m_strRecvText, "abc");
        EXPECT_EQ(ViewText(dlg), "abc");
        EXPECT_EQ(dlg.m_nRxCount, 8);
    }
}

TEST(ReceiveViewTest, HexShowRebuildsTheViewFromTheAccumulators)
{
    CQuillonDlg dlg(Language::English);
    SendEach(dlg, "AB\r\nC");
    SendRun(dlg, Bytes({0x00, 0xFF}));
    EXPECT_EQ(ViewText(dlg), Utf8("AB\nC\uFFFD"));

    SetHexShow(dlg, true);
    EXPECT_EQ(ViewText(dlg), "41 42 0D 0A 43 00 FF ");
    SendEach(dlg, "D");
    EXPECT_EQ(ViewText(dlg), "41 42 0D 0A 43 00 FF 44 ");

    SetHexShow(dlg, false);
    EXPECT_EQ(ViewText(dlg), Utf8("AB\nC\uFFFDD"));
    EXPECT_EQ(dlg.m_strRecvText, std::string("AB\r\nC\0\xFF" "D", 8));
    EXPECT_EQ(dlg.m_nRxCount, 8);
}

TEST(ReceiveViewTest, ClearEmptiesViewAndAccumulatorsButNotTheCounters)
{
    CQuillonDlg dlg(Language::English);
    dlg.m_nTxCount = 5;
    SendEach(dlg, "hello");
    dlg.OnRecvClear();
    EXPECT_EQ(ViewText(dlg), "");
    EXPECT_EQ(dlg.m_strRecvText, "");
    EXPECT_EQ(dlg.m_strRecvHex, "");
    EXPECT_EQ(dlg.m_nRxCount, 5);
    SendEach(dlg, "!");
    EXPECT_EQ(ViewText(dlg), "!");
}

TEST(ReceiveViewTest, ReCountResetsBothCounters)
{
    CQuillonDlg dlg(Language::English);
    SendRun(dlg, "12345");
    dlg.m_nTxCount = 9;
    dlg.SetItemText(kTxCount, "TX:9");
    dlg.OnRecount();
    EXPECT_EQ(dlg.m_nRxCount, 0);
    EXPECT_EQ(dlg.m_nTxCount, 0);
    EXPECT_EQ(dlg.GetItemText(kRxCount), "RX:0");
    EXPECT_EQ(dlg.GetItemText(kTxCount), "TX:0");
    EXPECT_EQ(dlg.m_strRecvText, "12345") << "the kept bytes stay";
    SendEach(dlg, "6");
    EXPECT_EQ(dlg.GetItemText(kRxCount), "RX:1");
}

TEST(ReceiveViewTest, TheHelpTextGivesWayToTheFirstByte)
{
    CQuillonDlg dlg(Language::English);
    SendEach(dlg, "ok ");
    dlg.OnHelp();
    ASSERT_EQ(dlg.m_bHelpShown, 1);
    ASSERT_NE(ViewText(dlg), "ok ");
    SendRun(dlg, "go");
    EXPECT_EQ(dlg.m_bHelpShown, 0);
    EXPECT_EQ(ViewText(dlg), "ok go");
}

// --- text in the code page ---

struct DecodeCase {
    const char* name;
    Language language;
    std::vector<std::string> pieces;  // one notification or run each
    std::vector<const char*> views;   // the view after each piece (UTF-8)
};

TEST(ReceiveViewTest, TextIsDecodedInTheCodePageAsItsCharactersComplete)
{
    const DecodeCase cases[] = {
        {"UTF-8 character split over three notifications",
         Language::English,
         {"\xE4", "\xBD", "\xA0"},
         {"", "", "你"}},
        {"UTF-8 character split over two runs", Language::English, {"a\xE5\xA5", "\xBD!"}, {"a", "a好!"}},
        {"an invalid byte shows as the replacement character",
         Language::English,
         {"\xFF", "A", "\xC3(", "\xE4\xBD"},
         {"\uFFFD", "\uFFFDA", "\uFFFDA\uFFFD(", "\uFFFDA\uFFFD("}},
        {"a NUL inside a character is kept out of it", Language::English, {"\xE4", std::string(1, '\0'), "\xBD\xA0"},
         {"", "", "你"}},
        {"GB18030 under the Chinese interface", Language::Chinese, {"\xC4", "\xE3\xBA\xC3", "\x81\x30\x81\x30"},
         {"", "你好", "你好\u0080"}},
        {"a lone CR is a line break and CR LF only one", Language::English, {"a\r", "\n", "b\r", "c"},
         {"a\n", "a\n", "a\nb\n", "a\nb\nc"}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CQuillonDlg dlg(c.language);
        for (size_t i = 0; i < c.pieces.size(); ++i) {
            if (c.pieces[i].size() == 1)
                SendEach(dlg, c.pieces[i]);
            else
                SendRun(dlg, c.pieces[i]);
            EXPECT_EQ(ViewText(dlg), Utf8(c.views[i])) << "after piece " << i;
        }
    }
}

TEST(ReceiveViewTest, ACharacterSplitAcrossAFormSwitchStillCompletes)
{
    CQuillonDlg dlg(Language::English);
    SendEach(dlg, "x\xE4\xBD");
    SetHexShow(dlg, true);
    EXPECT_EQ(ViewText(dlg), "78 E4 BD ");
    SetHexShow(dlg, false);
    EXPECT_EQ(ViewText(dlg), "x");
    SendEach(dlg, "\xA0");
    EXPECT_EQ(ViewText(dlg), Utf8("x你"));
}

// --- the automatic clearing, against the edit's own layout ---

// What one byte adds to the view: its hexadecimal form, or in text form (ASCII here) the
// character, with CR, LF and CR LF as one line break.
QString AddedByByte(char byte, bool hex, bool afterCr)
{
    if (hex)
        return QString::asprintf("%02X ", unsigned(uint8_t(byte)));
    if (byte == '\n' && afterCr)
        return QString();
    if (byte == '\r')
        return QStringLiteral("\n");
    return QString(QChar(byte));
}

// Feeds bytes one by one into a shown window and, before each, asks the edit how many lines
// it lays out: past 50, the byte must find the view and both accumulators cleared and start
// again after the clearing message; otherwise it is simply appended.
void CheckClearingByteByByte(CQuillonDlg& dlg, const std::string& bytes, bool hex, int* clearings)
{
    QPlainTextEdit* edit = ReceiveEdit(dlg);
    ASSERT_NE(edit, nullptr);
    const QString message = MultiLineForViewOfClearing();
    for (size_t i = 0; i < bytes.size(); ++i) {
        dlg.FlushReceiveView();
        const int linesBefore = LaidOutLines(*edit);
        ASSERT_LE(linesBefore, 51) << "byte " << i;
        const QString viewBefore = edit->toPlainText();
        const std::string textBefore = dlg.m_strRecvText;
        const std::string hexBefore = dlg.m_strRecvHex;
        const std::string hexForm = QString::asprintf("%02X ", unsigned(uint8_t(bytes[i]))).toStdString();
        SendEach(dlg, bytes.substr(i, 1));
        if (linesBefore > 50) {
            ++*clearings;
            ASSERT_EQ(ViewText(dlg), message + AddedByByte(bytes[i], hex, false)) << "byte " << i;
            ASSERT_EQ(dlg.m_strRecvText, bytes.substr(i, 1));
            ASSERT_EQ(dlg.m_strRecvHex, hexForm);
        } else {
            const bool afterCr = !textBefore.empty() && textBefore.back() == '\r';
            ASSERT_EQ(ViewText(dlg), viewBefore + AddedByByte(bytes[i], hex, afterCr)) << "byte " << i;
            ASSERT_EQ(dlg.m_strRecvText, textBefore + bytes[i]);
            ASSERT_EQ(dlg.m_strRecvHex, hexBefore + hexForm);
        }
    }
}

TEST(ReceiveViewTest, TheViewIsClearedBeforeTheByteThatFindsItPastFiftyLines)
{
    for (Language language : {Language::English, Language::Chinese}) {
        SCOPED_TRACE(language == Language::English ? "English" : "Chinese");
        CQuillonDlg dlg(language);
        ShowWindow(dlg);
        const int rxBefore = dlg.m_nRxCount;

        // Short lines: one displayed line each.
        std::string lines;
        for (int k = 0; k < 60; ++k)
            lines += "line " + std::to_string(k) + "\r\n";
        int clearings = 0;
        CheckClearingByteByByte(dlg, lines, false, &clearings);
        EXPECT_EQ(clearings, 1);

        // Lines long enough to wrap, words of varying length.
        dlg.OnRecvClear();
        std::string wrapped;
        std::mt19937 rng(7);
        for (int k = 0; k < 40; ++k) {
            for (int w = 0, n = 3 + int(rng() % 20); w < n; ++w)
                wrapped += std::string(1 + rng() % 9, char('a' + rng() % 26)) + ' ';
            wrapped += "\r\n";
        }
        clearings = 0;
        CheckClearingByteByByte(dlg, wrapped, false, &clearings);
        EXPECT_GE(clearings, 1);

        EXPECT_EQ(dlg.m_nRxCount, rxBefore + int(lines.size() + wrapped.size())) << "clearing keeps the count";
    }
}

TEST(ReceiveViewTest, TheHexFormWrapsAndIsClearedPastFiftyDisplayedLines)
{
    CQuillonDlg dlg(Language::English);
    ShowWindow(dlg);
    SetHexShow(dlg, true);
    std::string bytes;
    std::mt19937 rng(11);
    for (int i = 0; i < 2000; ++i)
        bytes.push_back(char(rng()));
    int clearings = 0;
    CheckClearingByteByByte(dlg, bytes, true, &clearings);
    EXPECT_GE(clearings, 1) << "2000 bytes in hex form fill more than 50 lines";

    // The panel hidden, the area is wider: fewer lines for the same bytes, still counted
    // as the edit lays them out.
    const int widthBefore = ReceiveEdit(dlg)->width();
    dlg.OnMoreHidden();
    QApplication::processEvents();
    ASSERT_NE(ReceiveEdit(dlg)->width(), widthBefore);
    clearings = 0;
    CheckClearingByteByByte(dlg, bytes, true, &clearings);
    EXPECT_GE(clearings, 1);
}

// --- runs against single bytes ---

// Random received data: text lines, CR, LF and CR LF, NUL, invalid and multi-byte
// sequences of both code pages.
std::string RandomReceived(std::mt19937& rng, size_t length)
{
    static const std::vector<std::string> pieces = {
        "OK", "PAPER OUT", "status=", "0123456789", " ", "  ", "\r\n", "\r", "\n", std::string(1, '\0'),
        "\xE4\xBD\xA0\xE5\xA5\xBD", "\xC4\xE3\xBA\xC3", "\xFF", "\x80", "\x1B@", "\t", "abcdefghijklmnopqrstuvwxyz"};
    std::string s;
    while (s.size() < length)
        s += pieces[rng() % pieces.size()];
    return s;
}

TEST(ReceiveViewTest, RunsLeaveExactlyWhatSingleBytesLeave)
{
    for (Language language : {Language::English, Language::Chinese}) {
        for (bool hex : {false, true}) {
            SCOPED_TRACE(std::string(language == Language::English ? "English" : "Chinese") + (hex ? " hex" : " text"));
            CQuillonDlg single(language);
            CQuillonDlg runs(language);
            ShowWindow(single);
            ShowWindow(runs);
            SetHexShow(single, hex);
            SetHexShow(runs, hex);
            std::mt19937 rng(hex ? 21 : 22);
            const std::string data = RandomReceived(rng, 12000);
            size_t at = 0;
            int checks = 0;
            while (at < data.size()) {
                const size_t n = std::min(data.size() - at, size_t(1 + rng() % 700));
                const std::string run = data.substr(at, n);
                SendEach(single, run);
                SendRun(runs, run, rng() % 2 == 0);
                at += n;
                if (++checks % 3 == 0 || at == data.size()) {
                    ASSERT_EQ(ViewText(runs), ViewText(single)) << "after " << at << " bytes";
                    ASSERT_EQ(runs.m_strRecvText, single.m_strRecvText);
                    ASSERT_EQ(runs.m_strRecvHex, single.m_strRecvHex);
                }
            }
            EXPECT_EQ(runs.m_nRxCount, int(data.size()));
            EXPECT_EQ(single.m_nRxCount, int(data.size()));
            EXPECT_LT(single.m_strRecvText.size(), data.size()) << "the data is long enough to be cleared";
            EXPECT_EQ(data.substr(data.size() - single.m_strRecvText.size()), single.m_strRecvText)
                << "the accumulator holds what came since the last clearing";
        }
    }
}

}  // namespace
}  // namespace consoletest
