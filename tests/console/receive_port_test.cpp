// Received bytes from real ports into the window: a printer on a pty as COM3 (bytes handed
// over zero-extended by the serial monitor) and a printer on a loopback socket (sign-extended
// by the network reader), and a window closed while its printer streams.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <thread>

#include "connection_fixture.h"
#include "loopback_http_server.h"
#include "loopback_printer.h"
#include "receive_fixture.h"
#include "send_fixture.h"
#include "transport/web_probe.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;
using platform::Language;

std::string HexOf(const std::string& bytes)
{
    std::string hex;
    for (char c : bytes)
        hex += QString::asprintf("%02X ", unsigned(uint8_t(c))).toStdString();
    return hex;
}

std::string EveryByteValue()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(char(b));
    return bytes;
}

class ReceivePortTest : public SendTest {
protected:
    ReceivePortTest() { OpenCom3(); }
};

TEST_F(ReceivePortTest, WhatTheSerialPrinterSendsIsCountedKeptAndShown)
{
    const std::string status = std::string("Status OK\r\n\0", 12) + "\xE4\xBD\xA0";
    printer_.Pty().Send(Bytes(status.begin(), status.end()));
    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_nRxCount >= int(status.size()); }));
    EXPECT_EQ(Dlg().m_nRxCount, int(status.size()));
    EXPECT_EQ(Dlg().GetItemText(kRxCount), QStringLiteral("RX:%1").arg(status.size()));
    EXPECT_EQ(Dlg().m_strRecvText, status);
    EXPECT_EQ(Dlg().m_strRecvHex, HexOf(status));
    EXPECT_EQ(ViewText(Dlg()), QString::fromUtf8("Status OK\n你"));

    Dlg().CheckItem(kHexShow, true);
    Dlg().OnHexShow();
    const std::string all = EveryByteValue();
    printer_.Pty().Send(Bytes(all.begin(), all.end()));
    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_nRxCount >= int(status.size() + all.size()); }));
    EXPECT_EQ(Dlg().m_strRecvText, status + all);
    EXPECT_EQ(ViewText(Dlg()), QString::fromStdString(HexOf(status + all)));
}

// The window goes away while the printer keeps sending: the close must neither hang nor
// leave the reader using the window.
TEST_F(ReceivePortTest, ClosingTheWindowWhileThePrinterStreamsReturns)
{
    const int master = printer_.Pty().Master();
    ASSERT_EQ(::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK), 0);
    std::atomic<bool> stop{false};
    std::thread stream([&] {
        std::string chunk;
        for (int i = 0; i < 1024; ++i)
            chunk += char('A' + i % 26);
        while (!stop) {
            pollfd p{master, POLLOUT, 0};
            if (::poll(&p, 1, 20) > 0)
                (void)!::write(master, chunk.data(), chunk.size());
        }
    });
    const bool streaming = PumpUntil([&] { return Dlg().m_nRxCount > 50000; });
    dlg_.reset();
    stop = true;
    stream.join();
    EXPECT_TRUE(streaming);
}

class NetworkReceiveTest : public ::testing::Test {
protected:
    NetworkReceiveTest() { transport::SetWebProbePortForTesting(web_.Port()); }
    ~NetworkReceiveTest() override { transport::SetWebProbePortForTesting(0); }

    DeviceTree tree_;
    testsupport::LoopbackHttpServer web_{200};
    testsupport::LoopbackPrinter printer_;
    ScopedPrompts prompts_;
};

TEST_F(NetworkReceiveTest, BytesFromTheNetworkPrinterShowAsTwoHexDigitsEach)
{
    CQuillonDlg dlg(Language::English);
    Choose(dlg, kPortList, dlg.ListItemCount(kPortList) - 1);
    ASSERT_EQ(dlg.m_nPortKind, transport::kKindNetwork);
    dlg.IpAddress()->SetAddress(127, 0, 0, 1);
    dlg.m_nNetPort = printer_.Port();
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    std::optional<testsupport::PrinterConnection> connection = printer_.Accept(qttest::kWaitMs);
    ASSERT_TRUE(connection.has_value());

    dlg.CheckItem(kHexShow, true);
    dlg.OnHexShow();
    const std::string all = EveryByteValue();
    connection->Send(std::vector<uint8_t>(all.begin(), all.end()));
    ASSERT_TRUE(qttest::PumpUntil([&] { return dlg.m_nRxCount >= 256; }));
    EXPECT_EQ(dlg.m_nRxCount, 256);
    EXPECT_EQ(dlg.m_strRecvText, all);
    EXPECT_EQ(dlg.m_strRecvHex, HexOf(all));
    EXPECT_EQ(ViewText(dlg), QString::fromStdString(HexOf(all)));
}

}  // namespace
}  // namespace consoletest::sendtest
