// The serial port and its monitor against a pty standing in for the printer.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <time.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "pty_pair.h"
#include "recording_window.h"
#include "temp_dir.h"
#include "transport/common_utils.h"
#include "transport/notifications.h"

namespace transport {
namespace {

using testsupport::PtyPair;
using testsupport::RecordingWindow;
using testsupport::TempDir;

constexpr int kCom3 = 3;  // ttyS2 in the temporary device root
constexpr uint32_t kMainWindowMask = 0x39;

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 7 + i / 251);
    return v;
}

std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

int64_t ProcessCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

class FakeModem : public ModemStatusSource {
public:
    uint32_t Read(int) override { return lines.load(); }
    std::atomic<uint32_t> lines{0};
};

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots_ = std::make_unique<platform::ScopedDeviceRoots>(platform::DeviceRoots{dir_.Path(), dir_.Path() + "/sys"});
        pty_.LinkAs(dir_.Path(), "ttyS2");
        platform::InterfaceThread::Instance().RunPending();
    }

    int Open(uint32_t mask = kMainWindowMask)
    {
        return port_.OpenSerial(window_.Endpoint(), kCom3, 9600, 'N', 8, 1, 0, mask, 1, 1);
    }
    void Write(const std::vector<uint8_t>& bytes) { port_.Write(bytes.data(), int(bytes.size())); }
    bool Pump(const std::function<bool()>& pred) { return window_.PumpUntil(pred, 10000); }

    TempDir dir_;
    std::unique_ptr<platform::ScopedDeviceRoots> roots_;
    PtyPair pty_;
    RecordingWindow window_;
    CommonUtils port_;  // declared last: closed before the window goes
};

TEST_F(SerialPortTest, ReceivedBytesArriveInOrderAsUnsignedValues)
{
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(port_.m_nKind, kKindSerial);
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = uint8_t(i);
    pty_.Send(all);
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 256 && window_.Count(kNotifyModemLines) >= 3; }));
    std::vector<intptr_t> params = window_.Params(kNotifyByteReceived);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(params[i], i) << "byte " << i;
    // Every comm event reports the three watched lines once each.
    size_t lines = window_.Count(kNotifyModemLines);
    EXPECT_GT(lines, 0u);
    EXPECT_EQ(lines % 3, 0u);
}

TEST_F(SerialPortTest, KeepsReceivingAfterTheInputRunsDry)
{
    // An empty tty reads 0 here, which must not be taken for a hang-up.
    ASSERT_EQ(Open(), 1);
    for (const char* piece : {"A", "BC", "D"}) {
        size_t before = window_.Count(kNotifyByteReceived);
        size_t linesBefore = window_.Count(kNotifyModemLines);
        pty_.Send(Text(piece));
        // The line notices follow the drain, so the monitor has found the input empty
        // before the next piece is sent.
        ASSERT_TRUE(Pump([&] {
            return window_.Count(kNotifyByteReceived) == before + std::strlen(piece) &&
                   window_.Count(kNotifyModemLines) >= linesBefore + 3;
        })) << piece;
    }
    EXPECT_EQ(window_.Bytes(kNotifyByteReceived), Text("ABCD"));
}

TEST_F(SerialPortTest, LongSendIsWrittenWholeAndReportedOnce)
{
    ASSERT_EQ(Open(), 1);
    std::vector<uint8_t> data = Pattern(10000);
    Write(data);
    EXPECT_EQ(pty_.Receive(10000, 10000), data);
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    Write(Text("!"));
    EXPECT_EQ(pty_.Receive(1, 5000), Text("!"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 2; }));
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{10000, 1}));
}

TEST_F(SerialPortTest, SendsArrivingDuringASendAreNeitherLostNorMixed)
{
    ASSERT_EQ(Open(), 1);
    std::vector<uint8_t> a(6000, 'a'), b(3000, 'b'), c = Text("xyz");
    Write(a);
    Write(b);
    Write(c);
    std::vector<uint8_t> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    // Each finished send waits for its notification, so the printer side reads while the
    // window serves them.
    std::vector<uint8_t> got;
    ASSERT_TRUE(Pump([&] {
        pty_.ReadAvailable(got);
        return got.size() >= expected.size() && window_.Count(kNotifyWriteDone) == 3;
    }));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{6000, 3000, 3}));
    // The last send stays the pending one.
    EXPECT_EQ(port_.m_pWriteBuffer, c);
    EXPECT_EQ(port_.m_nWriteLength, 3);
}

TEST_F(SerialPortTest, InputWaitingWhenASendStartsIsDiscarded)
{
    // Without the receive bit the monitor leaves input alone, so it waits in the port.
    ASSERT_EQ(Open(0x38), 1);
    platform::UniqueFd observer(::open(pty_.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(observer) << "a second open of the pty needs root, as the tests run";
    pty_.Send(Text("abc"));
    std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(observer.Get(), POLLIN)};
    ASSERT_EQ(platform::WaitAny(items, 5000), 0);
    int waiting = 0;
    ASSERT_EQ(::ioctl(observer.Get(), FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 3);

    Write(Text("Z"));
    EXPECT_EQ(pty_.Receive(1, 5000), Text("Z"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    ASSERT_EQ(::ioctl(observer.Get(), FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 0);
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
}

TEST_F(SerialPortTest, SuppressedSendsAreWrittenButNotReported)
{
    ASSERT_EQ(Open(), 1);
    port_.m_bSuppressTxNotify = 1;
    Write(Text("AB"));
    EXPECT_EQ(pty_.Receive(2, 5000), Text("AB"));
    port_.m_bSuppressTxNotify = 0;
    Write(Text("CDE"));
    EXPECT_EQ(pty_.Receive(3, 5000), Text("CDE"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) >= 1; }));
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{3}));
}

TEST_F(SerialPortTest, CloseReleasesAMonitorBlockedInANotification)
{
    ASSERT_EQ(Open(), 1);
    pty_.Send(Text("A"));
    // The monitor's message is queued and it waits; this thread does not serve it.
    std::vector<platform::WaitItem> items{
        platform::WaitItem::ForFd(platform::InterfaceThread::Instance().WakeFd(), POLLIN)};
    ASSERT_EQ(platform::WaitAny(items, 5000), 0);
    port_.ClosePort();  // withdraws the message and joins the monitor
    EXPECT_EQ(port_.m_nKind, kKindNone);
    EXPECT_EQ(platform::InterfaceThread::Instance().RunPending(), 0u);
    EXPECT_TRUE(window_.messages.empty());
}

TEST_F(SerialPortTest, CloseWhileTheMonitorWaitsEndsItWithoutNotifications)
{
    ASSERT_EQ(Open(), 1);
    port_.ClosePort();
    pty_.Send(Text("late"));
    EXPECT_EQ(platform::InterfaceThread::Instance().RunPending(), 0u);
    EXPECT_TRUE(window_.messages.empty());
    port_.ClosePort();  // twice is harmless
    CommonUtils never;
    never.ClosePort();
    EXPECT_EQ(never.m_nKind, kKindNone);
}

TEST_F(SerialPortTest, CloseAndReopenFromInsideTheMonitorsOwnNotification)
{
    ASSERT_EQ(Open(), 1);
    int reopened = -1;
    size_t closedAt = 0;
    window_.onMessage = [&](const testsupport::RecordedMessage& m) {
        if (m.msg == kNotifyByteReceived && reopened < 0) {
            port_.ClosePort();
            closedAt = window_.messages.size();
            reopened = Open();
        }
    };
    pty_.Send(Text("AB"));
    ASSERT_TRUE(Pump([&] { return reopened >= 0; }));
    EXPECT_EQ(reopened, 1) << "the node must be free again while the old monitor still returns";
    window_.onMessage = nullptr;
    // Nothing of the old port after the close: 'B' was part of the run being handled.
    EXPECT_EQ(window_.Bytes(kNotifyByteReceived), Text("A"));
    EXPECT_EQ(window_.messages.size(), closedAt);
    // The new monitor serves the reopened port.
    pty_.Send(Text("C"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 2; }));
    EXPECT_EQ(window_.Bytes(kNotifyByteReceived), Text("AC"));
}

TEST_F(SerialPortTest, HangUpEndsTheDrainAndNothingSpins)
{
    ASSERT_EQ(Open(), 1);
    pty_.CloseMaster();
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyModemLines) >= 3; }));
    int64_t before = ProcessCpuNs();
    window_.PumpUntil([] { return false; }, 300);
    int64_t used = ProcessCpuNs() - before;
    EXPECT_LT(used, 60'000'000) << "a thread spins after the hang-up";
    Write(Text("x"));  // fails quietly
    port_.ClosePort();
    EXPECT_EQ(window_.Count(kNotifyWriteDone), 0u);
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
}

TEST_F(SerialPortTest, ALineChangeAloneReportsTheThreeLinesAndNoByte)
{
    auto modem = std::make_shared<FakeModem>();
    port_.SetModemStatusSource(modem);
    ASSERT_EQ(Open(), 1);
    modem->lines = kStatusCts;
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyModemLines) == 3; }));
    EXPECT_EQ(port_.GetModemStatus(), kStatusCts);
    modem->lines = kStatusCts | kStatusRlsd;
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyModemLines) == 6; }));
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
    EXPECT_EQ(port_.GetModemStatus(), kStatusCts | kStatusRlsd);
}

TEST_F(SerialPortTest, FailedOpensReturnZeroAndHoldNothing)
{
    EXPECT_EQ(port_.OpenSerial(window_.Endpoint(), 4, 9600, 'N', 8, 1, 0, kMainWindowMask, 1, 1), 0);  // absent
    EXPECT_EQ(port_.OpenSerial(window_.Endpoint(), 0, 9600, 'N', 8, 1, 0, kMainWindowMask, 1, 1), 0);
    EXPECT_EQ(port_.OpenSerial(window_.Endpoint(), 97, 9600, 'N', 8, 1, 0, kMainWindowMask, 1, 1), 0);
    EXPECT_EQ(port_.OpenSerial(window_.Endpoint(), kCom3, 12345, 'N', 8, 1, 0, kMainWindowMask, 1, 1), 0);
    EXPECT_EQ(port_.OpenSerialPlain(4, "9600,N,8,1"), 0);
    EXPECT_EQ(port_.m_nKind, kKindNone);

    {
        // Another program holds the port.
        platform::UniqueFd other(::open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(other);
        ASSERT_EQ(::flock(other.Get(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(Open(), 0);
        EXPECT_EQ(port_.OpenSerialPlain(kCom3, "9600,N,8,1"), 0);
    }
    // A refused open left nothing locked behind.
    EXPECT_EQ(Open(), 1);
    CommonUtils second;
    EXPECT_EQ(second.OpenSerial(window_.Endpoint(), kCom3, 9600, 'N', 8, 1, 0, kMainWindowMask, 1, 1), 0);
}

TEST_F(SerialPortTest, PendingBytesWithoutAPortAreNeverSentLater)
{
    Write(Text("abc"));
    EXPECT_EQ(port_.m_pWriteBuffer, Text("abc"));
    EXPECT_EQ(port_.m_nWriteLength, 3);
    ASSERT_EQ(Open(), 1);
    Write(Text("Z"));
    EXPECT_EQ(pty_.Receive(1, 5000), Text("Z"));
}

TEST_F(SerialPortTest, PlainOpenWritesBlockingWithoutAnyNotification)
{
    ASSERT_EQ(port_.OpenSerialPlain(kCom3, "9600,N,8,1"), 1);
    EXPECT_EQ(port_.m_nKind, kKindSerial);
    std::vector<uint8_t> data = Pattern(5000);
    EXPECT_EQ(port_.WriteSync(data.data(), int(data.size())), 1);
    EXPECT_EQ(port_.m_dwBytesWritten, 5000u);
    EXPECT_EQ(pty_.Receive(5000, 5000), data);
    port_.ClosePort();
    EXPECT_EQ(platform::InterfaceThread::Instance().RunPending(), 0u);
    EXPECT_TRUE(window_.messages.empty());
    // Closed: a blocking write reports failure rather than success.
    EXPECT_EQ(port_.WriteSync(data.data(), 3), 0);
}

}  // namespace
}  // namespace transport
