// Opening and closing every port kind from the console against real stand-ins: ptys for
// serial and parallel ports, a loopback web server and printer for the network entry.
#include <termios.h>

#include <optional>

#include "connection_fixture.h"
#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "cycle/page_messages.h"
#include "loopback_http_server.h"
#include "loopback_printer.h"
#include "platform/qt/ip_address_edit.h"
#include "transport/notifications.h"
#include "transport/web_probe.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;
using testsupport::PtyPair;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// --- serial ---

struct SerialCase {
    Language language;
    const char* opened;  // status text without the modem suffix
    const char* closed;
    const char* closeButton;
    const char* openButton;
};

void PrintTo(const SerialCase& c, std::ostream* os) { *os << (c.language == Language::English ? "English" : "Chinese"); }

class SerialOpenTest : public ::testing::TestWithParam<SerialCase> {
protected:
    SerialOpenTest() { AddPtySerialPort(tree_, pty_, "ttyS2"); }  // COM3

    DeviceTree tree_;
    PtyPair pty_;
    ScopedPrompts prompts_;
};

TEST_P(SerialOpenTest, OpensWithTheChosenSettingsAndShowsTheModemLines)
{
    const SerialCase& c = GetParam();
    CQuillonDlg dlg(c.language);
    ASSERT_EQ(PortEntries(dlg).value(0), "COM3");
    auto modem = std::make_shared<FakeModemLines>();
    modem->lines = transport::kStatusCts | transport::kStatusDsr;
    dlg.m_utils.SetModemStatusSource(modem);

    Choose(dlg, kBaudRate, 4);  // 19200
    Choose(dlg, kParity, 2);    // EVEN
    Choose(dlg, kDataBits, 1);  // 7
    Choose(dlg, kStopBits, 1);  // 2
    ClickItem(dlg, kOpenClose);

    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_TRUE(prompts_.Messages().isEmpty());
    EXPECT_EQ(dlg.m_strPortName, "COM3");
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindSerial);
    EXPECT_EQ(dlg.m_strStatus, Utf8(c.opened));
    EXPECT_EQ(dlg.GetItemText(kStatusLine), Utf8(c.opened) + " CTS=1 DSR=1 RLSD=0");
    EXPECT_EQ(dlg.m_strSerialParams, "19200,E,7,2, 0");
    EXPECT_TRUE(LampShows(dlg, dlg.m_hIconOpen));
    EXPECT_EQ(dlg.GetItemText(kOpenClose), Utf8(c.closeButton));

    // The port itself runs at the chosen speed with two stop bits (a pty keeps no parity or
    // data-bit setting).
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty_.Master(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);

    // A line change reaches the status line through the port's monitor; the status text
    // itself stays.
    modem->lines = transport::kStatusRlsd;
    EXPECT_TRUE(qttest::PumpUntil([&] { return dlg.GetItemText(kStatusLine).endsWith(" CTS=0 DSR=0 RLSD=1"); }))
        << dlg.GetItemText(kStatusLine).toStdString();
    EXPECT_EQ(dlg.GetItemText(kStatusLine), Utf8(c.opened) + " CTS=0 DSR=0 RLSD=1");
    EXPECT_EQ(dlg.m_strStatus, Utf8(c.opened));

    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindNone);
    EXPECT_EQ(dlg.m_strPortName, "");
    EXPECT_EQ(dlg.GetItemText(kStatusLine), Utf8(c.closed));
    EXPECT_TRUE(LampShows(dlg, dlg.m_hIconClosed));
    EXPECT_EQ(dlg.GetItemText(kOpenClose), Utf8(c.openButton));
    EXPECT_TRUE(prompts_.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SerialOpenTest,
                         ::testing::Values(SerialCase{Language::English, "COM3 OPENED,19200,E,7,2;", "Port closed.",
                                                      "Close\nPort", "Open\nPort"},
                                           SerialCase{Language::Chinese, "COM3 打开,19200,E,7,2;", "端口关闭！",
                                                      "关闭\n端口", "打开\n端口"}));

TEST(SerialOpen, APtyWithoutModemLinesShowsThemAllZeroWithTheDefaults)
{
    DeviceTree tree;
    PtyPair pty;
    AddPtySerialPort(tree, pty, "ttyS2");
    ScopedPrompts prompts;
    CQuillonDlg dlg(Language::English);
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "COM3 OPENED,9600,N,8,1; CTS=0 DSR=0 RLSD=0");
    dlg.OpenClosePort();
}

struct FailedOpen {
    Language language;
    const char* message;
    const char* closed;
    const char* openButton;
};

void PrintTo(const FailedOpen& c, std::ostream* os) { *os << (c.language == Language::English ? "English" : "Chinese"); }

class FailedOpenTest : public ::testing::TestWithParam<FailedOpen> {};

// COM5 is listed (sysfs shows hardware) but its node is no terminal, so the open fails.
TEST_P(FailedOpenTest, NamesTheEntryAndStaysClosed)
{
    const FailedOpen& c = GetParam();
    DeviceTree tree;
    tree.SerialPort("ttyS4");
    ScopedPrompts prompts;
    CQuillonDlg dlg(c.language);
    ASSERT_EQ(PortEntries(dlg).value(0), "COM5");
    std::vector<PageMessage> log;
    SpyInSlot<CDialog_OtherCommand> other(dlg.m_pageOther, c.language, "other", &log);

    // The status line is only redrawn after the operator saw the message.
    QString statusDuringMessage;
    prompts.prompts.SetOnShow([&](const platform::PromptRecord&) { statusDuringMessage = dlg.GetItemText(kStatusLine); });
    dlg.SetItemText(kStatusLine, "before");
    ClickItem(dlg, kOpenClose);

    EXPECT_EQ(prompts.Messages(), QStringList{Utf8(c.message)});
    EXPECT_EQ(statusDuringMessage, "before");
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.m_strStatus, Utf8(c.closed));
    EXPECT_EQ(dlg.GetItemText(kStatusLine), Utf8(c.closed));
    EXPECT_TRUE(LampShows(dlg, dlg.m_hIconClosed));
    EXPECT_FALSE(LampShows(dlg, dlg.m_hIconOpen));
    EXPECT_EQ(dlg.GetItemText(kOpenClose), Utf8(c.openButton));
    EXPECT_TRUE(dlg.IsItemEnabled(kPortList)) << "the operator may choose again";
    EXPECT_EQ(log, (std::vector<PageMessage>{{"other", kMsgPortStateToOther, 0, 0}}));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FailedOpenTest,
                         ::testing::Values(FailedOpen{Language::English, "COM5 Open failed.", "Port closed.",
                                                      "Open\nPort"},
                                           FailedOpen{Language::Chinese, "COM5打开失败！", "端口关闭！", "打开\n端口"}));

// --- network ---

struct NetworkCase {
    Language language;
    const char* opened;
    const char* failed;
};

void PrintTo(const NetworkCase& c, std::ostream* os) { *os << (c.language == Language::English ? "English" : "Chinese"); }

class NetworkOpenTest : public ::testing::TestWithParam<NetworkCase> {
protected:
    NetworkOpenTest() { transport::SetWebProbePortForTesting(web_.Port()); }
    ~NetworkOpenTest() override { transport::SetWebProbePortForTesting(0); }

    // The network entry with the loopback printer's address. List 1015 offers only 80, 4000
    // and 9100, so the test puts the printer's port into the member the list would set.
    void ChooseLoopback(CQuillonDlg& dlg, int tcpPort)
    {
        Choose(dlg, kPortList, dlg.ListItemCount(kPortList) - 1);
        ASSERT_EQ(dlg.m_nPortKind, 4);
        dlg.IpAddress()->SetAddress(127, 0, 0, 1);
        dlg.m_nNetPort = tcpPort;
    }

    DeviceTree tree_;
    testsupport::LoopbackHttpServer web_{200};
    testsupport::LoopbackPrinter printer_;
    ScopedPrompts prompts_;
};

TEST_P(NetworkOpenTest, TheNetworkEntryOpensAndClosesTheConnection)
{
    const NetworkCase& c = GetParam();
    CQuillonDlg dlg(c.language);
    ChooseLoopback(dlg, printer_.Port());
    ClickItem(dlg, kOpenClose);

    ASSERT_EQ(dlg.m_bPortOpen, 1) << prompts_.Messages().join('|').toStdString();
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindNetwork);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), Utf8(c.opened)) << "no modem suffix for a network port";
    EXPECT_EQ(web_.ConnectionCount(), 1u);
    std::optional<testsupport::PrinterConnection> connection = printer_.Accept(qttest::kWaitMs);
    ASSERT_TRUE(connection.has_value());

    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_TRUE(connection->WaitForEnd(qttest::kWaitMs)) << "the close ends the connection";
    EXPECT_TRUE(prompts_.Messages().isEmpty());
}

TEST_P(NetworkOpenTest, ARefusedConnectionIsAFailedOpen)
{
    const NetworkCase& c = GetParam();
    testsupport::RefusingPort refusing;
    CQuillonDlg dlg(c.language);
    ChooseLoopback(dlg, refusing.Port());
    ClickItem(dlg, kOpenClose);

    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(prompts_.Messages(), QStringList{Utf8(c.failed)});
    EXPECT_EQ(dlg.GetItemText(kStatusLine), dlg.Text(172));
}

// The peer ends the connection: the reader's notice closes the port, then the operator
// is told.
TEST_P(NetworkOpenTest, ThePeerClosingTheConnectionClosesThePort)
{
    const NetworkCase& c = GetParam();
    CQuillonDlg dlg(c.language);
    ChooseLoopback(dlg, printer_.Port());
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    std::optional<testsupport::PrinterConnection> connection = printer_.Accept(qttest::kWaitMs);
    ASSERT_TRUE(connection.has_value());

    int openDuringMessage = -1;
    prompts_.prompts.SetOnShow([&](const platform::PromptRecord&) { openDuringMessage = dlg.m_bPortOpen; });
    connection->Close();
    ASSERT_TRUE(qttest::PumpUntil([&] { return prompts_.prompts.Count() > 0; }));

    EXPECT_EQ(prompts_.Messages(), QStringList{dlg.Text(190)});
    EXPECT_EQ(openDuringMessage, 0) << "closed before the message";
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindNone);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), dlg.Text(172));
    EXPECT_EQ(dlg.GetItemText(kOpenClose), dlg.Text(159));
    EXPECT_TRUE(LampShows(dlg, dlg.m_hIconClosed));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, NetworkOpenTest,
                         ::testing::Values(NetworkCase{Language::English, "Ethernet OPENED.", "Ethernet Open failed."},
                                           NetworkCase{Language::Chinese, "以太网 打开！", "以太网打开失败！"}));

TEST(ConnectionBroken, WithNoPortOpenNothingHappens)
{
    DeviceTree tree;
    ScopedPrompts prompts;
    CQuillonDlg dlg(Language::English);
    dlg.SetItemText(kStatusLine, "untouched");
    platform::SendMessage(dlg.Endpoint(), transport::kNotifyConnectionClosed, 0, 0);
    EXPECT_TRUE(prompts.Messages().isEmpty());
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "untouched");
}

// --- parallel, and what every open and close does besides ---

class ParallelOpenTest : public ::testing::Test {
protected:
    ParallelOpenTest() { pty_.LinkAs(tree_.Dir() / "dev", "lp0"); }  // LPT1

    DeviceTree tree_;
    PtyPair pty_;
    ScopedPrompts prompts_;
};

TEST_F(ParallelOpenTest, AParallelEntryOpensAndThePagesHearOfEveryOpenAndClose)
{
    CQuillonDlg dlg(Language::English);
    ASSERT_EQ(PortEntries(dlg), (QStringList{"LPT1", "Ethernet"}));
    std::vector<PageMessage> log;
    SpyInSlot<CDialog_OtherCommand> other(dlg.m_pageOther, Language::English, "other", &log);
    SpyInSlot<Dialog_TestButton> test(dlg.m_pageTest, Language::English, "test", &log);

    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindParallel);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "LPT1 OPENED.");
    EXPECT_EQ(dlg.GetItemText(kOpenClose), "Close\nPort");
    EXPECT_TRUE(LampShows(dlg, dlg.m_hIconOpen));
    EXPECT_EQ(log, (std::vector<PageMessage>{{"other", kMsgPortStateToOther, 0, 1},
                                             {"test", kMsgPortStateToTest, 0, 1}}));
    // The enabling rules ran: with a port open its choice is locked.
    EXPECT_FALSE(dlg.IsItemEnabled(kPortList));
    EXPECT_TRUE(dlg.IsItemEnabled(kSend));

    log.clear();
    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "Port closed.");
    EXPECT_EQ(log, (std::vector<PageMessage>{{"other", kMsgPortStateToOther, 0, 0},
                                             {"test", kMsgPortStateToTest, 0, 0}}));
    EXPECT_TRUE(dlg.IsItemEnabled(kPortList));
    EXPECT_FALSE(dlg.IsItemEnabled(kSend));
    EXPECT_TRUE(prompts_.Messages().isEmpty());
}

TEST_F(ParallelOpenTest, ClosingWithAutoSendCheckedSwitchesAutoSendOffFirst)
{
    CQuillonDlg dlg(Language::English);
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    ClickItem(dlg, kAutoSend);
    ASSERT_TRUE(dlg.IsItemChecked(kAutoSend));
    EXPECT_EQ(dlg.m_bAutoSend, 1) << "the toggle switched auto send on";

    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_FALSE(dlg.IsItemChecked(kAutoSend));
    EXPECT_EQ(dlg.m_bAutoSend, 0);
    EXPECT_FALSE(dlg.KillTimer(CQuillonDlg::kTimerAutoSend)) << "the auto-send timer was stopped";
    // Auto send off again, so the port list is free.
    EXPECT_TRUE(dlg.IsItemEnabled(kPortList));
}

TEST_F(ParallelOpenTest, ClosingDuringAFileTransferShowsTheFileAgain)
{
    CQuillonDlg dlg(Language::English);
    dlg.m_strSendFilePath = QString::fromStdString(tree_.Dir() / "page.bin");
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    dlg.m_bSendingFile = 1;
    dlg.SetItemText(kSendFilePath, "Sending...");

    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.m_bSendingFile, 0);
    EXPECT_EQ(dlg.GetItemText(kSendFilePath), dlg.m_strSendFilePath);

    // Without a transfer the field is left as it is.
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    dlg.SetItemText(kSendFilePath, "Send Completed.");
    ClickItem(dlg, kOpenClose);
    EXPECT_EQ(dlg.GetItemText(kSendFilePath), "Send Completed.");
}

}  // namespace
}  // namespace consoletest
