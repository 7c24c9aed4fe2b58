// The device-change watcher against a temporary device root. Nodes are plain files; the
// watcher looks only at names and events.
#include <sys/stat.h>
#include <time.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "recording_window.h"
#include "temp_dir.h"
#include "transport/device_watcher.h"
#include "transport/notifications.h"

namespace transport {
namespace {

using testsupport::RecordingWindow;
using testsupport::TempDir;

constexpr int kSettleMs = 50;

int64_t ProcessCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// A device root "dev" with a sibling "outside" on the same file system, for renames.
class DeviceWatcherTest : public ::testing::Test {
protected:
    DeviceWatcherTest() : roots_({tree_ / "dev", tree_ / "sys"})
    {
        tree_.MakeDirs("dev");
        tree_.MakeDirs("outside");
    }
    void SetUp() override { platform::InterfaceThread::Instance().RunPending(); }

    std::string Dev(const std::string& name) const { return tree_ / ("dev/" + name); }
    void Make(const std::string& name) const { tree_.WriteFile("dev/" + name, ""); }
    bool Start() { return watcher_.Start(window_.Endpoint()); }
    size_t Notices() const { return window_.Count(kMsgDeviceChange); }

    // Pumps until n notices came, then through a few settle periods more; true when no
    // further notice came meanwhile and every one had the documented parameters.
    ::testing::AssertionResult NoticesSettleAt(size_t n, int settleMs = kSettleMs)
    {
        if (!window_.PumpUntil([&] { return Notices() >= n; }, 10000))
            return ::testing::AssertionFailure() << "only " << Notices() << " of " << n << " notices came";
        window_.PumpUntil([&] { return Notices() > n; }, 4 * settleMs);
        if (Notices() != n)
            return ::testing::AssertionFailure() << Notices() << " notices instead of " << n;
        for (const auto& m : window_.messages) {
            if (m.msg == kMsgDeviceChange && (m.wparam != kDevNodesChanged || m.lparam != 0))
                return ::testing::AssertionFailure() << "notice with wparam " << m.wparam << ", lparam " << m.lparam;
        }
        return ::testing::AssertionSuccess();
    }

    TempDir tree_;
    platform::ScopedDeviceRoots roots_;
    RecordingWindow window_;
    DeviceWatcher watcher_{kSettleMs};  // declared last: stopped before the window goes
};

TEST(DeviceWatcherNames, PortNodesInTheRootAndPrintersInTheUsbFolder)
{
    for (const char* name : {"ttyS0", "ttyUSB12", "ttyACM0", "tty", "ttyprintk", "lp0", "lp15"})
        EXPECT_TRUE(IsWatchedNodeName(name, false)) << name;
    for (const char* name : {"sda1", "null", "loop0", "usb", "console", "hidraw0", "", "Tty0", "xlp0"})
        EXPECT_FALSE(IsWatchedNodeName(name, false)) << name;
    for (const char* name : {"lp0", "lp3"})
        EXPECT_TRUE(IsWatchedNodeName(name, true)) << name;
    for (const char* name : {"hiddev0", "ttyUSB0", "tty0", ""})
        EXPECT_FALSE(IsWatchedNodeName(name, true)) << name;
}

// One change to the tree, made after the watcher started, on top of what prepare made.
struct NodeChange {
    const char* what;
    void (*prepare)(const TempDir& tree);
    void (*act)(const TempDir& tree);
};

class NodeChangeTest : public DeviceWatcherTest, public ::testing::WithParamInterface<NodeChange> {};

void Write(const TempDir& tree, const std::string& relative) { tree.WriteFile(relative, ""); }
void Remove(const TempDir& tree, const std::string& relative)
{
    EXPECT_EQ(std::remove((tree / relative).c_str()), 0) << relative;
}
void Rename(const TempDir& tree, const std::string& from, const std::string& to)
{
    EXPECT_EQ(std::rename((tree / from).c_str(), (tree / to).c_str()), 0) << from;
}
void Nothing(const TempDir&) {}

const NodeChange kNodeChanges[] = {
    {"SerialNodeCreated", Nothing, [](const TempDir& t) { Write(t, "dev/ttyUSB0"); }},
    {"ParallelNodeCreated", Nothing, [](const TempDir& t) { Write(t, "dev/lp0"); }},
    {"NodeRemoved", [](const TempDir& t) { Write(t, "dev/ttyS1"); }, [](const TempDir& t) { Remove(t, "dev/ttyS1"); }},
    {"NodeRenamedIntoTheRoot", [](const TempDir& t) { Write(t, "outside/ttyACM0"); },
     [](const TempDir& t) { Rename(t, "outside/ttyACM0", "dev/ttyACM0"); }},
    {"NodeRenamedOutOfTheRoot", [](const TempDir& t) { Write(t, "dev/ttyACM0"); },
     [](const TempDir& t) { Rename(t, "dev/ttyACM0", "outside/ttyACM0"); }},
    // What udev does right after the kernel made a node.
    {"NodeModeChanged", [](const TempDir& t) { Write(t, "dev/ttyS1"); },
     [](const TempDir& t) { EXPECT_EQ(::chmod((t / "dev/ttyS1").c_str(), 0660), 0); }},
    {"UsbPrinterCreated", [](const TempDir& t) { t.MakeDirs("dev/usb"); },
     [](const TempDir& t) { Write(t, "dev/usb/lp0"); }},
    {"UsbPrinterRemoved", [](const TempDir& t) { Write(t, "dev/usb/lp0"); },
     [](const TempDir& t) { Remove(t, "dev/usb/lp0"); }},
    // The folder arrives with its node already inside: no event inside it ever tells.
    {"UsbFolderWithPrinterMovedIn", [](const TempDir& t) { Write(t, "outside/usb/lp0"); },
     [](const TempDir& t) { Rename(t, "outside/usb", "dev/usb"); }},
    {"UsbFolderWithPrinterMovedOut", [](const TempDir& t) { Write(t, "dev/usb/lp0"); },
     [](const TempDir& t) { Rename(t, "dev/usb", "outside/usb"); }},
};

TEST_P(NodeChangeTest, OneChangeGivesOneNotice)
{
    GetParam().prepare(tree_);
    ASSERT_TRUE(Start());
    GetParam().act(tree_);
    EXPECT_TRUE(NoticesSettleAt(1));
}

INSTANTIATE_TEST_SUITE_P(DeviceWatcher, NodeChangeTest, ::testing::ValuesIn(kNodeChanges),
                         [](const ::testing::TestParamInfo<NodeChange>& info) { return info.param.what; });

TEST_F(DeviceWatcherTest, NodesPresentAtStartGiveNoNotice)
{
    Make("ttyS0");
    Make("usb/lp0");
    ASSERT_TRUE(Start());
    Make("ttyS1");  // the marker
    EXPECT_TRUE(NoticesSettleAt(1));
}

TEST_F(DeviceWatcherTest, ABurstOfNodesGivesOneNotice)
{
    DeviceWatcher watcher;  // the default settle period, long enough for a busy machine
    ASSERT_TRUE(watcher.Start(window_.Endpoint()));
    for (int i = 0; i < 10; ++i)
        Make("ttyUSB" + std::to_string(i));
    EXPECT_TRUE(NoticesSettleAt(1, kDefaultSettleMs));
    Make("lp0");  // a later change is a burst of its own
    EXPECT_TRUE(NoticesSettleAt(2, kDefaultSettleMs));
}

TEST_F(DeviceWatcherTest, OtherNodesGiveNone)
{
    Make("null");
    Make("sdb");
    Make("usb/hiddev1");
    ASSERT_TRUE(Start());
    Make("sda1");
    Make("input/event3");
    Make("usb/hiddev0");
    Make("usb/ttyUSB0");  // serial adapters never live in the usb folder
    EXPECT_EQ(::chmod(Dev("null").c_str(), 0666), 0);
    EXPECT_EQ(std::rename(Dev("sdb").c_str(), Dev("sdc").c_str()), 0);
    EXPECT_EQ(std::remove(Dev("usb/hiddev1").c_str()), 0);
    EXPECT_TRUE(NoticesSettleAt(0));
    Make("ttyS4");  // the marker: the watcher is alive and counted nothing before it
    EXPECT_TRUE(NoticesSettleAt(1));
}

TEST_F(DeviceWatcherTest, UsbFolderMadeAfterStartIsWatchedAgainAfterItWasRemoved)
{
    ASSERT_TRUE(Start());
    tree_.MakeDirs("dev/usb");
    Make("ttyS3");  // once this is reported, the new folder has been seen
    ASSERT_TRUE(NoticesSettleAt(1));
    Make("usb/lp0");
    ASSERT_TRUE(NoticesSettleAt(2));

    ASSERT_EQ(std::remove(Dev("usb/lp0").c_str()), 0);
    ASSERT_EQ(std::remove(Dev("usb").c_str()), 0);
    ASSERT_TRUE(NoticesSettleAt(3));
    tree_.MakeDirs("dev/usb");
    Make("ttyS4");
    ASSERT_TRUE(NoticesSettleAt(4));
    Make("usb/lp1");
    EXPECT_TRUE(NoticesSettleAt(5));
}

TEST_F(DeviceWatcherTest, StopWithdrawsAQueuedNotice)
{
    ASSERT_TRUE(Start());
    Make("ttyUSB0");
    // The notice is queued for the interface thread, which does not run it.
    const int wakeFd = platform::InterfaceThread::Instance().WakeFd();
    std::vector<platform::WaitItem> wake{platform::WaitItem::ForFd(wakeFd, POLLIN)};
    ASSERT_EQ(platform::WaitAny(wake, 10000), 0);

    // Should Stop wait for the notice, closing the window after a while releases it, so the
    // test fails instead of hanging.
    platform::Event stopped;
    std::thread watchdog([&] {
        std::vector<platform::WaitItem> done{platform::WaitItem::ForEvent(stopped)};
        if (platform::WaitAny(done, 5000) != 0)
            window_.Endpoint()->Close();
    });
    const int64_t before = platform::MonotonicNs();
    watcher_.Stop();
    const int64_t tookNs = platform::MonotonicNs() - before;
    stopped.Set();
    watchdog.join();

    EXPECT_FALSE(watcher_.Running());
    EXPECT_FALSE(window_.Endpoint()->IsClosed()) << "Stop waited for its notice";
    EXPECT_LT(tookNs, 2'000'000'000);
    platform::InterfaceThread::Instance().RunPending();
    EXPECT_EQ(Notices(), 0u);
}

TEST_F(DeviceWatcherTest, StopInsideItsOwnNoticeThenStartAgain)
{
    bool stoppedInside = false;
    window_.onMessage = [&](const testsupport::RecordedMessage&) {
        if (!stoppedInside) {
            watcher_.Stop();
            stoppedInside = true;
        }
    };
    ASSERT_TRUE(Start());
    Make("ttyS1");
    ASSERT_TRUE(window_.PumpUntil([&] { return stoppedInside; }, 10000));
    EXPECT_FALSE(watcher_.Running());

    ASSERT_TRUE(Start());
    Make("ttyS2");  // reported by the new worker only
    EXPECT_TRUE(NoticesSettleAt(2));
}

TEST_F(DeviceWatcherTest, StartRefusals)
{
    EXPECT_FALSE(watcher_.Start(nullptr));
    {
        platform::ScopedDeviceRoots missing({tree_ / "nowhere", tree_ / "sys"});
        EXPECT_FALSE(Start());
    }
    EXPECT_FALSE(watcher_.Running());
    ASSERT_TRUE(Start());
    EXPECT_TRUE(watcher_.Running());
    EXPECT_FALSE(Start());  // already running; the first worker goes on
    Make("lp1");
    EXPECT_TRUE(NoticesSettleAt(1));
    watcher_.Stop();
    EXPECT_FALSE(watcher_.Running());
    watcher_.Stop();  // harmless twice
}

TEST_F(DeviceWatcherTest, NothingSpinsWhileIdleOrAfterOtherEvents)
{
    ASSERT_TRUE(Start());
    Make("sda1");
    Make("ttyS0");
    ASSERT_TRUE(NoticesSettleAt(1));
    const int64_t before = ProcessCpuNs();
    window_.PumpUntil([] { return false; }, 300);
    EXPECT_LT(ProcessCpuNs() - before, 60'000'000) << "the watcher spins";
}

}  // namespace
}  // namespace transport
