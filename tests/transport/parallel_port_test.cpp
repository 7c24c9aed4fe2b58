// Parallel ports in a temporary device tree, ptys standing in for the printers.
#include <fcntl.h>
#include <sys/file.h>

#include <gtest/gtest.h>

#include <memory>

#include "input_observer.h"
#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "pty_pair.h"
#include "recording_window.h"
#include "temp_dir.h"
#include "transport/common_utils.h"
#include "transport/notifications.h"
#include "transport/parallel_ports.h"

namespace transport {
namespace {

using testsupport::InputObserver;
using testsupport::PtyPair;
using testsupport::RecordingWindow;
using testsupport::TempDir;

std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

// Holds a node open and locked, as another program printing to it would.
platform::UniqueFd HoldLocked(const std::string& path)
{
    platform::UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (fd && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        fd.Reset();
    return fd;
}

class ParallelPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots_ = std::make_unique<platform::ScopedDeviceRoots>(platform::DeviceRoots{dir_.Path(), dir_ / "sys"});
        pty_.LinkAs(dir_.Path(), "lp0");  // LPT1
        platform::InterfaceThread::Instance().RunPending();
    }

    std::vector<std::string> List()
    {
        std::vector<std::string> names;
        CommonUtils::ListParallelPorts(names);
        return names;
    }
    int Open(const std::string& name = "LPT1") { return port_.OpenParallel(window_.Endpoint(), name); }
    void Write(const std::vector<uint8_t>& bytes) { port_.Write(bytes.data(), int(bytes.size())); }
    bool Pump(const std::function<bool()>& pred) { return window_.PumpUntil(pred, 10000); }

    TempDir dir_;
    std::unique_ptr<platform::ScopedDeviceRoots> roots_;
    PtyPair pty_;
    RecordingWindow window_;
    CommonUtils port_;  // declared last: closed before the window goes
};

TEST(ParallelNamesTest, OnlyLpt1ToLpt20NameAPort)
{
    struct Case {
        const char* name;
        int number;  // 0: not a port name
    };
    const Case cases[] = {
        {"LPT1", 1},  {"LPT9", 9},   {"LPT10", 10}, {"LPT20", 20}, {"LPT21", 0},  {"LPT0", 0},
        {"LPT01", 0}, {"LPT100", 0}, {"LPT", 0},    {"lpt1", 0},   {"LPT1:", 0},  {" LPT1", 0},
        {"LPT-1", 0}, {"LPT+1", 0},  {"COM1", 0},   {"", 0},       {"LPT1 ", 0},  {"LPTx", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParallelPortNumber(c.name).value_or(0), c.number) << '"' << c.name << '"';
    for (int n = kFirstLptNumber; n <= kLastLptNumber; ++n)
        EXPECT_EQ(ParallelPortNumber(ParallelPortName(n)), n);

    platform::ScopedDeviceRoots roots({"/d", "/s"});
    EXPECT_EQ(ParallelNodePath(1), "/d/lp0");
    EXPECT_EQ(ParallelNodePath(20), "/d/lp19");
    EXPECT_EQ(ParallelNodePath(21), "");
    EXPECT_EQ(ParallelNodePath(0), "");
}

TEST_F(ParallelPortTest, ListsThePortsThatOpenNowInOrderAndNeverPastLpt20)
{
    PtyPair lp2, lp19, lp20, lp3;
    lp2.LinkAs(dir_.Path(), "lp2");
    lp19.LinkAs(dir_.Path(), "lp19");
    lp20.LinkAs(dir_.Path(), "lp20");  // would be LPT21
    lp3.LinkAs(dir_.Path(), "lp3");
    platform::UniqueFd held = HoldLocked(lp3.SlavePath());  // LPT4, held by another program
    ASSERT_TRUE(held);
    dir_.MakeDirs("lp1");  // LPT2: present, but no device that opens for writing

    std::vector<std::string> names{"COM1"};
    CommonUtils::ListParallelPorts(names);
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "LPT1", "LPT3", "LPT20"}));
    // The probes let go of every port.
    for (const char* name : {"LPT1", "LPT3", "LPT20"}) {
        EXPECT_EQ(Open(name), 1) << name;
        port_.ClosePort();
    }
    EXPECT_EQ(Open("LPT2"), 0);
    EXPECT_EQ(Open("LPT4"), 0);
    EXPECT_EQ(Open("LPT21"), 0);

    held.Reset();
    EXPECT_EQ(List(), (std::vector<std::string>{"LPT1", "LPT3", "LPT4", "LPT20"}));
}

TEST_F(ParallelPortTest, APortHeldByAnotherIsNeitherListedNorOpened)
{
    {
        platform::UniqueFd held = HoldLocked(pty_.SlavePath());
        ASSERT_TRUE(held);
        EXPECT_TRUE(List().empty());
        EXPECT_EQ(Open(), 0);
        EXPECT_EQ(port_.m_nKind, kKindNone);
    }
    EXPECT_EQ(List(), std::vector<std::string>{"LPT1"});
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(port_.m_nKind, kKindParallel);
    // While this object holds it, it is held for everybody else.
    EXPECT_TRUE(List().empty());
    CommonUtils other;
    EXPECT_EQ(other.OpenParallel(window_.Endpoint(), "LPT1"), 0);
    EXPECT_EQ(other.m_nKind, kKindNone);
}

TEST_F(ParallelPortTest, NamesOtherThanLptNAreRefused)
{
    for (const char* name : {"LPT1:", "lpt1", "LPT01", "LPT0", "lp0", ""}) {
        EXPECT_EQ(Open(name), 0) << name;
        EXPECT_EQ(port_.m_nKind, kKindNone) << name;
    }
    EXPECT_EQ(Open("LPT1"), 1);
}

TEST_F(ParallelPortTest, WritesArriveWithOneNoticeAndAnswersAreNeverRead)
{
    ASSERT_EQ(Open(), 1);
    InputObserver observer(pty_.SlavePath());
    pty_.Send(Text("ans"));
    ASSERT_EQ(observer.WaitForInput(5000), 3);

    std::vector<uint8_t> data(9000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 31);
    Write(data);
    EXPECT_EQ(pty_.Receive(data.size(), 10000), data);
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    EXPECT_EQ(window_.Params(kNotifyWriteDone), std::vector<intptr_t>{9000});
    // The writer ran; the printer's answer is still waiting in the port, unread.
    EXPECT_EQ(observer.Waiting(), 3);
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
}

TEST_F(ParallelPortTest, CloseAndReopenFromInsideTheWriteNotice)
{
    ASSERT_EQ(Open(), 1);
    std::vector<int> reopens;
    window_.onMessage = [&](const testsupport::RecordedMessage& m) {
        if (m.msg == kNotifyWriteDone) {
            port_.ClosePort();
            reopens.push_back(Open());
        }
    };
    const std::string sends[] = {"first", "second", "third"};
    for (size_t i = 0; i < std::size(sends); ++i) {
        Write(Text(sends[i]));
        EXPECT_EQ(pty_.Receive(sends[i].size(), 5000), Text(sends[i]));
        ASSERT_TRUE(Pump([&] { return reopens.size() == i + 1; }));
        EXPECT_EQ(reopens.back(), 1) << "the old writer must have let go of the port";
        EXPECT_EQ(port_.m_nKind, kKindParallel);
    }
    window_.onMessage = nullptr;
    EXPECT_EQ(window_.Params(kNotifyWriteDone), (std::vector<intptr_t>{5, 6, 5}));
    EXPECT_TRUE(pty_.ReceiveUntilQuiet(0).empty());
}

}  // namespace
}  // namespace transport
