// The network port against loopback stand-ins for a printer: its web page and its TCP port.
#include <gtest/gtest.h>

#include <sys/syscall.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "loopback_http_server.h"
#include "loopback_printer.h"
#include "platform/core/event.h"
#include "recording_window.h"
#include "thread_syscalls.h"
#include "transport/common_utils.h"
#include "transport/notifications.h"
#include "transport/web_probe.h"

namespace transport {
namespace {

using testsupport::LoopbackHttpServer;
using testsupport::LoopbackPrinter;
using testsupport::PrinterConnection;
using testsupport::RecordingWindow;
using testsupport::RefusingPort;

const char* const kLoopback = "127.0.0.1";

// The probe honours proxy settings from the environment; loopback must never go through one.
class LoopbackWithoutProxy : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (const char* name : {"no_proxy", "NO_PROXY"}) {
            const char* old = std::getenv(name);
            std::string value = old && *old ? std::string(old) + "," + kLoopback : std::string(kLoopback);
            ::setenv(name, value.c_str(), 1);
        }
    }
};
[[maybe_unused]] ::testing::Environment* const kNoProxy = ::testing::AddGlobalTestEnvironment(new LoopbackWithoutProxy);

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 13 + i / 256);
    return v;
}

std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

int64_t ElapsedMs(int64_t sinceNs) { return (platform::MonotonicNs() - sinceNs) / 1000000; }

class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override { platform::InterfaceThread::Instance().RunPending(); }
    void TearDown() override { SetWebProbePortForTesting(0); }

    // Starts the printer's web page with this answer and aims the probe at it.
    LoopbackHttpServer& ServePage(int status, LoopbackHttpServer::Mode mode = LoopbackHttpServer::Mode::Answer)
    {
        web_ = std::make_unique<LoopbackHttpServer>(status, mode);
        SetWebProbePortForTesting(web_->Port());
        return *web_;
    }
    int Open(int tcpPort, const std::string& ip = kLoopback)
    {
        return port_.OpenNetwork(window_.Endpoint(), ip, tcpPort);
    }
    void Write(const std::vector<uint8_t>& bytes) { port_.Write(bytes.data(), int(bytes.size())); }
    bool Pump(const std::function<bool()>& pred) { return window_.PumpUntil(pred, 10000); }

    // Asserts that nothing of a port is held and nobody was connected.
    void ExpectNothingOpened()
    {
        EXPECT_EQ(port_.m_nKind, kKindNone);
        EXPECT_EQ(port_.Socket(), -1);
        EXPECT_EQ(port_.m_pOwner, nullptr);
        EXPECT_FALSE(printer_.HasPendingConnection());
    }

    RecordingWindow window_;
    std::unique_ptr<LoopbackHttpServer> web_;
    LoopbackPrinter printer_;
    CommonUtils port_;  // declared last: closed before the printer and the window go
};

// An open port with the printer's end of its connection.
class OpenNetworkPortTest : public NetworkPortTest {
protected:
    void SetUp() override
    {
        NetworkPortTest::SetUp();
        ServePage(200);
        ASSERT_EQ(Open(printer_.Port()), 1);
        conn_ = printer_.Accept(5000);
        ASSERT_TRUE(conn_.has_value());
    }
    // Pumps until the port's reader sits in its receive, where only a shutdown or the
    // 2000 ms receive limit would wake it.
    void WaitUntilTheReaderBlocks()
    {
        if (!testsupport::CanSeeThreadSyscalls())
            GTEST_SKIP() << "/proc does not show the blocked calls of threads";
        int fd = port_.Socket();
        ASSERT_TRUE(Pump([&] { return testsupport::SomeThreadBlockedIn(SYS_recvfrom, fd); }));
    }

    std::optional<PrinterConnection> conn_;
};

TEST_F(NetworkPortTest, OpensWhenThePageAnswers200AndThePortAccepts)
{
    LoopbackHttpServer& web = ServePage(200);
    ASSERT_EQ(Open(printer_.Port()), 1);
    EXPECT_EQ(port_.m_nKind, kKindNetwork);
    EXPECT_GE(port_.Socket(), 0);
    EXPECT_EQ(port_.m_pOwner, window_.Endpoint());
    EXPECT_TRUE(printer_.Accept(5000).has_value());

    std::vector<std::string> requests = web.Requests();
    ASSERT_EQ(requests.size(), 1u);
    std::vector<std::string> lines = LoopbackHttpServer::Lines(requests[0]);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "GET / HTTP/1.1");
    // Besides the Host line the client must add, exactly the four headers in their order.
    std::vector<std::string> headers;
    int hosts = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].rfind("Host:", 0) == 0) {
            ++hosts;
            EXPECT_EQ(lines[i], "Host: 127.0.0.1:" + std::to_string(web.Port()));
        } else {
            headers.push_back(lines[i]);
        }
    }
    EXPECT_EQ(hosts, 1);
    EXPECT_EQ(headers, (std::vector<std::string>{
                           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; )",
                           "Accept: */*",
                           "Accept-Encoding: gzip,deflate",
                           "Accept-Language: zh-cn",
                       }));
}

TEST_F(NetworkPortTest, OnlyStatus200PassesTheWebPageCheck)
{
    struct Case {
        int status;
        int expected;
    };
    for (Case c : {Case{200, 1}, Case{201, 0}, Case{302, 0}, Case{404, 0}, Case{500, 0}}) {
        SCOPED_TRACE(c.status);
        LoopbackHttpServer& web = ServePage(c.status);
        EXPECT_EQ(CommonUtils::ProbeWebPage(kLoopback), c.expected);
        EXPECT_EQ(WebPageStatus(kLoopback), c.status);
        // Two checks, two requests: a redirect is never followed.
        EXPECT_EQ(web.Requests().size(), 2u);
    }
}

TEST_F(NetworkPortTest, AnyOtherAnswerFailsEvenWhenTheTcpPortAccepts)
{
    for (int status : {201, 302, 404, 500}) {
        SCOPED_TRACE(status);
        LoopbackHttpServer& web = ServePage(status);
        EXPECT_EQ(Open(printer_.Port()), 0);
        EXPECT_EQ(web.Requests().size(), 1u) << "the page was asked";
        ExpectNothingOpened();
    }
}

TEST_F(NetworkPortTest, ARefusedTcpPortFailsAfterThePageAnswered)
{
    LoopbackHttpServer& web = ServePage(200);
    RefusingPort refusing;
    EXPECT_EQ(Open(refusing.Port()), 0);
    EXPECT_EQ(web.Requests().size(), 1u);
    EXPECT_EQ(port_.m_nKind, kKindNone);
    EXPECT_EQ(port_.Socket(), -1);
    // The object stays usable.
    EXPECT_EQ(Open(printer_.Port()), 1);
    EXPECT_TRUE(printer_.Accept(5000).has_value());
}

TEST_F(NetworkPortTest, NoWebServerMeansNoConnection)
{
    RefusingPort noPage;
    SetWebProbePortForTesting(noPage.Port());
    EXPECT_EQ(CommonUtils::ProbeWebPage(kLoopback), 0);
    EXPECT_EQ(Open(printer_.Port()), 0);
    ExpectNothingOpened();
}

TEST_F(NetworkPortTest, InvalidAddressTextsAreRefusedWithoutAnyRequest)
{
    LoopbackHttpServer& web = ServePage(200);
    for (const char* ip : {"1.2.3", "abc", "1.2.3.4/x", "", "127.0.0.1 ", "127.0.0.1:80", "127.0.0.1/evil",
                           "127.0.0.1\r\nX-Evil: 1", "256.0.0.1", "127.0.0.01", "::1", "localhost"}) {
        SCOPED_TRACE(ip);
        EXPECT_EQ(CommonUtils::ProbeWebPage(ip), 0);
        EXPECT_EQ(WebPageStatus(ip), 0);
        EXPECT_EQ(Open(printer_.Port(), ip), 0);
        ExpectNothingOpened();
    }
    EXPECT_EQ(web.ConnectionCount(), 0u);
    EXPECT_TRUE(web.Requests().empty());
    // The same server answers a valid address: the refusals above were the addresses' doing.
    EXPECT_EQ(CommonUtils::ProbeWebPage(kLoopback), 1);
}

TEST_F(NetworkPortTest, PortNumbersOutsideTheTcpRangeAreRefusedWithoutAnyRequest)
{
    LoopbackHttpServer& web = ServePage(200);
    for (int tcpPort : {0, -1, 65536, 70000}) {
        SCOPED_TRACE(tcpPort);
        EXPECT_EQ(Open(tcpPort), 0);
        ExpectNothingOpened();
    }
    EXPECT_EQ(web.ConnectionCount(), 0u);
}

TEST_F(NetworkPortTest, APageThatNeverAnswersFailsAfterTheReceiveLimit)
{
    LoopbackHttpServer& web = ServePage(200, LoopbackHttpServer::Mode::Silent);
    int64_t start = platform::MonotonicNs();
    EXPECT_EQ(Open(printer_.Port()), 0);
    int64_t ms = ElapsedMs(start);
    EXPECT_EQ(web.Requests().size(), 1u);
    EXPECT_GE(ms, 1500) << "gave up before the 2000 ms receive limit";
    EXPECT_LT(ms, 5000) << "waited well beyond the 2000 ms receive limit";
    ExpectNothingOpened();
}

TEST_F(NetworkPortTest, TheBodyOfThePageIsNotWaitedFor)
{
    ServePage(200, LoopbackHttpServer::Mode::Trickle);
    int64_t start = platform::MonotonicNs();
    EXPECT_EQ(CommonUtils::ProbeWebPage(kLoopback), 1);
    EXPECT_LT(ElapsedMs(start), 1500);
}

TEST_F(NetworkPortTest, AFailedCheckLeavesTheOpenPortAlone)
{
    ServePage(200);
    ASSERT_EQ(Open(printer_.Port()), 1);
    std::optional<PrinterConnection> conn = printer_.Accept(5000);
    ASSERT_TRUE(conn.has_value());
    ServePage(404);
    RecordingWindow other;
    EXPECT_EQ(port_.OpenNetwork(other.Endpoint(), kLoopback, printer_.Port()), 0);
    EXPECT_EQ(port_.m_nKind, kKindNetwork);
    EXPECT_EQ(port_.m_pOwner, window_.Endpoint());
    EXPECT_FALSE(printer_.HasPendingConnection());
    Write(Text("still"));
    EXPECT_EQ(conn->Receive(5, 5000), Text("still"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
}

TEST_F(OpenNetworkPortTest, ALongSendIsOneSocketSendReportedOnce)
{
    std::vector<uint8_t> data = Pattern(100000);
    Write(data);
    // The writer waits in its notification while this thread pumps, so read as it goes.
    std::vector<uint8_t> got;
    ASSERT_TRUE(Pump([&] {
        conn_->ReadAvailable(got);
        return got.size() >= data.size() && window_.Count(kNotifyWriteDone) == 1;
    }));
    EXPECT_EQ(got, data);
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{100000}));

    Write(Text("!"));
    EXPECT_EQ(conn_->Receive(1, 5000), Text("!"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 2; }));
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{100000, 1}));
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
}

TEST_F(OpenNetworkPortTest, ReceivedBytesArriveInOrderSignExtended)
{
    // More than one read's worth, every byte value twice.
    std::vector<uint8_t> all(512);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = uint8_t(i);
    conn_->Send(all);
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == all.size(); }));
    std::vector<intptr_t> params = window_.Params(kNotifyByteReceived);
    for (size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(params[i], intptr_t(int8_t(all[i]))) << "byte " << i;
    EXPECT_EQ(params[0x7F], 127);
    EXPECT_EQ(params[0x80], -128);
    EXPECT_EQ(params[0xFF], -1);
    for (const auto& m : window_.messages)
        EXPECT_EQ(m.lparam, 0);
}

TEST_F(OpenNetworkPortTest, ThePeersCloseIsReportedExactlyOnce)
{
    struct Case {
        const char* name;
        bool reset;           // the printer resets instead of closing in order
        bool closeInHandler;  // the owner closes the port inside the notice, as the main window does
    };
    for (Case c : {Case{"orderly", false, false}, Case{"reset", true, false},
                   Case{"orderly, closed in handler", false, true}, Case{"reset, closed in handler", true, true}}) {
        SCOPED_TRACE(c.name);
        if (port_.m_nKind != kKindNetwork) {
            ASSERT_EQ(Open(printer_.Port()), 1);
            conn_ = printer_.Accept(5000);
            ASSERT_TRUE(conn_.has_value());
        }
        window_.messages.clear();
        window_.onMessage = [&](const testsupport::RecordedMessage& m) {
            if (m.msg == kNotifyConnectionClosed && c.closeInHandler)
                port_.ClosePort();
        };
        conn_->Send(Text("ok"));
        ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 2; }));
        if (c.reset)
            conn_->Abort();
        else
            conn_->Close();
        ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyConnectionClosed) == 1; }));
        EXPECT_EQ(window_.messages.back().msg, kNotifyConnectionClosed);
        EXPECT_EQ(window_.messages.back().wparam, 0);
        EXPECT_EQ(window_.messages.back().lparam, 0);
        EXPECT_EQ(window_.Bytes(kNotifyByteReceived), Text("ok"));

        size_t seen = window_.messages.size();
        int64_t start = platform::MonotonicNs();
        port_.ClosePort();  // joins a reader that has ended
        EXPECT_LT(ElapsedMs(start), 1000);
        EXPECT_EQ(platform::InterfaceThread::Instance().RunPending(), 0u);
        EXPECT_EQ(window_.messages.size(), seen);
        EXPECT_EQ(port_.m_nKind, kKindNone);
        window_.onMessage = nullptr;
    }
}

TEST_F(OpenNetworkPortTest, ClosingWhileTheReaderWaitsReturnsPromptly)
{
    // One byte through first: the reader must be back in its receive after a delivery.
    conn_->Send(Text("A"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 1; }));
    WaitUntilTheReaderBlocks();
    if (IsSkipped() || HasFatalFailure())
        return;
    int64_t start = platform::MonotonicNs();
    port_.ClosePort();
    EXPECT_LT(ElapsedMs(start), 1000) << "the close waited for the 2000 ms receive limit";
    EXPECT_EQ(port_.m_nKind, kKindNone);
    EXPECT_EQ(port_.Socket(), -1);
    EXPECT_TRUE(conn_->WaitForEnd(5000));
    // Our own close is not the peer's.
    EXPECT_EQ(platform::InterfaceThread::Instance().RunPending(), 0u);
    EXPECT_EQ(window_.Count(kNotifyConnectionClosed), 0u);
}

TEST_F(OpenNetworkPortTest, AnOpenOverAnOpenPortEndsTheOldWorkers)
{
    WaitUntilTheReaderBlocks();
    if (IsSkipped() || HasFatalFailure())
        return;
    int64_t start = platform::MonotonicNs();
    ASSERT_EQ(Open(printer_.Port()), 1);
    EXPECT_LT(ElapsedMs(start), 1000) << "the old reader was waited for up to its receive limit";
    EXPECT_TRUE(conn_->WaitForEnd(5000)) << "the old connection was not ended";
    std::optional<PrinterConnection> second = printer_.Accept(5000);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(port_.m_nKind, kKindNetwork);

    Write(Text("new"));
    EXPECT_EQ(second->Receive(3, 5000), Text("new"));
    second->Send(Text("r"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1 && window_.Count(kNotifyByteReceived) == 1; }));
    EXPECT_EQ(window_.Bytes(kNotifyByteReceived), Text("r"));
    EXPECT_EQ(window_.Count(kNotifyConnectionClosed), 0u) << "the old reader reported our own close";
}

}  // namespace
}  // namespace transport
