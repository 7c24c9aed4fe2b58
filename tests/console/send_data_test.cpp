// SendData on a real port: line end and Chinese mode, hex conversion and its refusal, text
// in the window's code page, file transfers, and the TX counter. The printer's side of the
// pty shows the exact bytes.
#include "send_fixture.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;
using platform::Language;

class SendDataTest : public SendTest {
protected:
    SendDataTest() { OpenCom3(); }

    void SetOptions(bool hexSend, bool newLine, bool chinese)
    {
        Dlg().CheckItem(kHexSend, hexSend);
        Dlg().CheckItem(kSendNewLine, newLine);
        Dlg().CheckItem(kChineseMode, chinese);
    }

    // Sends and waits until the worker reported the write; returns what the printer got.
    Bytes SendAndReceive(const std::string& data, int asHex, int isFile, int verbatim, size_t expected)
    {
        printer_.Forget();
        const int before = Dlg().m_nTxCount;
        Dlg().SendData(data, asHex, isFile, verbatim);
        EXPECT_TRUE(printer_.PumpUntilReceived(expected));
        if (!isFile) {
            EXPECT_TRUE(PumpUntilTx(before + int(expected)));
            EXPECT_EQ(Dlg().m_nTxCount, before + int(expected)) << "TX counts what was written";
        }
        return printer_.Received();
    }
};

TEST_F(SendDataTest, LineEndAndChineseModeShapeTheBytes)
{
    struct Case {
        const char* what;
        bool hexSend, newLine, chinese;
        std::string data;
        int asHex, verbatim;
        Bytes expected;
    };
    const Case cases[] = {
        {"hex with line end", true, true, false, "1B 40", 1, 0, Hex({0x1B, 0x40, 0x0D, 0x0A})},
        {"odd last digit joins the line end", true, true, false, "1B 4", 1, 0, Hex({0x1B, 0x40, 0xD0, 0x0A})},
        {"hex without line end", true, false, false, "1B 40", 1, 0, Hex({0x1B, 0x40})},
        {"command with CR LF skipped", false, true, false, "1D 56 42 00", 1, 0, Hex({0x1D, 0x56, 0x42, 0x00})},
        {"command, no options", false, false, false, "1D 56 42 00", 1, 0, Hex({0x1D, 0x56, 0x42, 0x00})},
        {"Chinese mode", false, false, true, "AB", 0, 0, Hex({0x1C, 0x26, 0x41, 0x42, 0x1C, 0x2E})},
        {"Chinese mode with line end", false, true, true, "AB", 0, 0,
         Hex({0x1C, 0x26, 0x41, 0x42, 0x0D, 0x0A, 0x1C, 0x2E})},
        {"text with line end", false, true, false, "AB", 0, 0, Hex({0x41, 0x42, 0x0D, 0x0A})},
        {"plain text", false, false, false, "AB", 0, 0, Hex({0x41, 0x42})},
        {"verbatim text ignores both", false, true, true, "AB", 0, 1, Hex({0x41, 0x42})},
        {"verbatim hex ignores the line end", true, true, false, "1B 40", 1, 1, Hex({0x1B, 0x40})},
        {"print test", false, true, true, "Print test OK!\r\n\r\n\r\n", 0, 1, Chars("Print test OK!\r\n\r\n\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetOptions(c.hexSend, c.newLine, c.chinese);
        EXPECT_EQ(SendAndReceive(c.data, c.asHex, 0, c.verbatim, c.expected.size()), c.expected);
    }
}

TEST_F(SendDataTest, CheckedOptionsCountWhileDisabled)
{
    // Send NewLine checked in text mode, then HEX Send checked: the box is disabled, and its
    // line end is the hexadecimal one.
    SetOptions(false, true, false);
    Dlg().ClickItem(kHexSend);
    ASSERT_FALSE(Dlg().IsItemEnabled(kSendNewLine));
    EXPECT_EQ(SendAndReceive("1B 40", 1, 0, 0, 4), Hex({0x1B, 0x40, 0x0D, 0x0A}));
}

TEST_F(SendDataTest, InvalidHexIsRefusedAndStopsAutoSend)
{
    bool autoSendCheckedAtMessage = true;
    prompts_->SetOnShow([&](const platform::PromptRecord&) { autoSendCheckedAtMessage = Dlg().IsItemChecked(kAutoSend); });
    SetOptions(true, false, false);
    const QString status = Dlg().GetItemText(kSendFilePath);

    for (const char* bad : {"1G", "1B 4\r\n40", "ZZ"}) {
        for (int isFile : {0, 1}) {
            SCOPED_TRACE(std::string(bad) + " isFile " + std::to_string(isFile));
            Dlg().CheckItem(kAutoSend, true);
            Dlg().m_bAutoSend = 1;
            prompts_->Clear();
            Dlg().SendData(bad, 1, isFile, 0);
            EXPECT_EQ(prompts_.Texts(), std::vector<QString>{"Can not convert send data to HEX model."});
            EXPECT_FALSE(autoSendCheckedAtMessage) << "auto send is off before the message";
            EXPECT_FALSE(Dlg().IsItemChecked(kAutoSend));
            EXPECT_EQ(Dlg().m_bAutoSend, 0);
            EXPECT_EQ(Dlg().m_bSendingFile, 0) << "a refused file send locks nothing";
            EXPECT_EQ(Dlg().GetItemText(kSendFilePath), status);
            EXPECT_TRUE(Dlg().IsItemEnabled(kSend));
        }
    }
    // Nothing of the refused sends went out: the next bytes the printer sees are these.
    EXPECT_EQ(SendAndReceive("31 32", 1, 0, 0, 2), Chars("12"));
    EXPECT_EQ(Dlg().m_nTxCount, 2);
}

TEST_F(SendDataTest, TxCounterShowsBytesAfterWrapping)
{
    SetOptions(false, false, true);
    SendAndReceive("AB", 0, 0, 0, 6);
    EXPECT_EQ(Dlg().m_nTxCount, 6);
    EXPECT_EQ(Dlg().GetItemText(kTxCount), "TX:6");
    SetOptions(true, true, false);
    SendAndReceive("00", 1, 0, 0, 3);
    EXPECT_EQ(Dlg().GetItemText(kTxCount), "TX:9");
}

TEST_F(SendDataTest, FileTransferLocksControlsUntilItsCompletion)
{
    const int locked[] = {kBrowseFile, kSend, kPrintTest, kAutoSend, kSendFile};
    SetOptions(false, true, true);  // never applied to a file
    Dlg().CheckItem(kAutoSend, true);  // and a file's completion does not re-arm auto send
    Dlg().m_strSendFilePath = "/tmp/receipt.bin";
    std::string file("\x1B@line\0two\r\n\xFF", 13);
    ASSERT_EQ(file.size(), 13u);

    printer_.Forget();
    Dlg().SendData(file, 0, 1, 1);
    EXPECT_EQ(Dlg().m_bSendingFile, 1);
    EXPECT_EQ(Dlg().GetItemText(kSendFilePath), "Sending...");
    for (int id : locked)
        EXPECT_FALSE(Dlg().IsItemEnabled(id)) << id;

    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_bSendingFile == 0; }));
    ASSERT_TRUE(printer_.PumpUntilReceived(file.size()));
    EXPECT_EQ(printer_.Received(), Chars(file));
    for (int id : locked)
        EXPECT_TRUE(Dlg().IsItemEnabled(id)) << id;
    EXPECT_EQ(Dlg().GetItemText(kSendFilePath), "Send Completed.");
    EXPECT_EQ(Dlg().m_nTxCount, 0) << "a file transfer is not counted";
    EXPECT_EQ(Dlg().GetItemText(kTxCount), "TX:0");
    EXPECT_FALSE(Dlg().TimerArmed(CQuillonDlg::kTimerAutoSend, 1000));

    // Timer 4 shows the path again once, then stops.
    EXPECT_TRUE(Dlg().KillTimer(CQuillonDlg::kTimerFileStatus));
    Dlg().SetTimer(CQuillonDlg::kTimerFileStatus, 3000);
    Dlg().OnFileStatusTimer();
    EXPECT_EQ(Dlg().GetItemText(kSendFilePath), "/tmp/receipt.bin");
    EXPECT_FALSE(Dlg().KillTimer(CQuillonDlg::kTimerFileStatus));
}

TEST_F(SendDataTest, EmptyTextWithoutLineEndWritesNothing)
{
    SetOptions(true, false, false);
    Dlg().SendData("", 1, 0, 0);
    Dlg().SendData("", 0, 0, 0);
    Dlg().SendData("  \r\n", 1, 0, 0);
    EXPECT_EQ(SendAndReceive("Q", 0, 0, 0, 1), Chars("Q"));
    EXPECT_EQ(Dlg().m_nTxCount, 1);
}

// The send area's text goes out in the window's code page, Chinese Mode around it.
class SendCodePageTest : public SendTest, public ::testing::WithParamInterface<Language> {
protected:
    SendCodePageTest() : SendTest(GetParam()) { OpenCom3(); }
};

TEST_P(SendCodePageTest, TypedTextGoesOutInTheCodePage)
{
    const Bytes nihao = GetParam() == Language::Chinese ? Hex({0xC4, 0xE3, 0xBA, 0xC3})
                                                        : Hex({0xE4, 0xBD, 0xA0, 0xE5, 0xA5, 0xBD});
    Dlg().ClickItem(kHexSend);  // to text mode
    ASSERT_FALSE(Dlg().IsItemChecked(kHexSend));
    Dlg().CheckItem(kChineseMode, true);
    Dlg().SetItemText(kSendArea, QString::fromUtf8("你好"));

    Dlg().ClickItem(kSend);
    Bytes expected = Hex({0x1C, 0x26});
    expected.insert(expected.end(), nihao.begin(), nihao.end());
    expected.insert(expected.end(), {0x1C, 0x2E});
    ASSERT_TRUE(printer_.PumpUntilReceived(expected.size()));
    EXPECT_EQ(printer_.Received(), expected);
    ASSERT_TRUE(PumpUntilTx(int(expected.size())));
    EXPECT_EQ(Dlg().m_nTxCount, int(expected.size()));
    EXPECT_EQ(Dlg().m_strSendText, std::string(nihao.begin(), nihao.end()));
    EXPECT_EQ(Dlg().m_strSendData, Dlg().m_strSendText);
}

TEST_P(SendCodePageTest, LineBreaksOfTheAreaGoOutAsCrLf)
{
    Dlg().ClickItem(kHexSend);
    Dlg().SetItemText(kSendArea, "A\nB");
    Dlg().ClickItem(kSend);
    ASSERT_TRUE(printer_.PumpUntilReceived(4));
    EXPECT_EQ(printer_.Received(), Chars("A\r\nB"));
}

INSTANTIATE_TEST_SUITE_P(Languages, SendCodePageTest, ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& info) { return info.param == Language::Chinese ? "Chinese" : "English"; });

}  // namespace
}  // namespace consoletest::sendtest
