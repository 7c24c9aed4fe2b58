// USB printers in a temporary sysfs and device tree, a pty standing in for each printer.
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>

#include <gtest/gtest.h>

#include <memory>

#include "fake_usb_tree.h"
#include "input_observer.h"
#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "pty_pair.h"
#include "recording_window.h"
#include "temp_dir.h"
#include "transport/common_utils.h"
#include "transport/notifications.h"
#include "transport/usb_devices.h"

namespace transport {
namespace {

using testsupport::FakeUsbTree;
using testsupport::InputObserver;
using testsupport::PtyPair;
using testsupport::RecordingWindow;
using testsupport::TempDir;

const std::string kReadablePath = "usb#vid_0483&pid_5720#1-1.2";

std::vector<uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 13 + i / 253);
    return v;
}

int64_t ProcessCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

class UsbPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots_ = std::make_unique<platform::ScopedDeviceRoots>(platform::DeviceRoots{dev_, sys_});
        dir_.MakeDirs("dev/usb");
        platform::InterfaceThread::Instance().RunPending();
    }

    // A printer whose driver node is the slave of pty.
    void AddPtyPrinter(const PtyPair& pty, const std::string& name, const std::string& vendor,
                       const std::string& product, int lpIndex)
    {
        tree_.AddPrinter(name, vendor, product, lpIndex);
        pty.LinkAs(dev_, "usb/lp" + std::to_string(lpIndex));
    }
    std::vector<std::string> List()
    {
        std::vector<std::string> paths;
        CommonUtils::ListUsbDevices(paths);
        return paths;
    }
    int Open(const std::string& path) { return port_.OpenUsb(window_.Endpoint(), path); }
    void Write(const std::vector<uint8_t>& bytes) { port_.Write(bytes.data(), int(bytes.size())); }
    bool Pump(const std::function<bool()>& pred) { return window_.PumpUntil(pred, 10000); }

    TempDir dir_;
    const std::string dev_ = dir_ / "dev";
    const std::string sys_ = dir_ / "sys";
    FakeUsbTree tree_{sys_};
    std::unique_ptr<platform::ScopedDeviceRoots> roots_;
    PtyPair pty_;
    RecordingWindow window_;
    CommonUtils port_;  // declared last: closed before the window goes
};

TEST_F(UsbPortTest, ListsServedPrintersWithNodesInNaturalOrderAndAppends)
{
    // Created out of order, so the order below cannot come from creation or lp numbers.
    tree_.AddPrinter("1-1.10", "0483", "5720", 0);
    tree_.AddPrinter("1-1.3", "0483", "5720", 1);
    tree_.AddPrinter("2-1", "04b8", "0e15", 2);
    tree_.AddPrinter("1-1.2", "0483", "5720", 3);
    // A printer with two interfaces is one device.
    tree_.AddPrinter("1-5", "0519", "0001", 4);
    tree_.AddClassEntry("1-5", 1, "lp5");
    for (int lp : {0, 1, 2, 3, 4, 5})
        dir_.WriteFile("dev/usb/lp" + std::to_string(lp), "");
    // Not printers: a device without a driver entry, and a HID device in the same class.
    tree_.AddDevice("1-4", "046d", "c52b");
    tree_.AddDevice("1-6", "046d", "c077");
    tree_.AddClassEntry("1-6", 0, "hiddev0");
    dir_.WriteFile("dev/usb/hiddev0", "");
    // A printer entry whose node is missing cannot be opened, so it is not offered.
    tree_.AddPrinter("1-7", "0483", "5720", 6);

    std::vector<std::string> paths{"COM1"};
    CommonUtils::ListUsbDevices(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"COM1", "usb#vid_0483&pid_5720#1-1.2", "usb#vid_0483&pid_5720#1-1.3",
                                               "usb#vid_0483&pid_5720#1-1.10", "usb#vid_0519&pid_0001#1-5",
                                               "usb#vid_04b8&pid_0e15#2-1"}));
    // Listing again appends the same paths again.
    CommonUtils::ListUsbDevices(paths);
    ASSERT_EQ(paths.size(), 11u);
    EXPECT_TRUE(std::equal(paths.begin() + 1, paths.begin() + 6, paths.begin() + 6));
}

TEST_F(UsbPortTest, NoUsbClassAtAllListsNothing)
{
    std::vector<std::string> paths{"LPT1"};
    CommonUtils::ListUsbDevices(paths);
    EXPECT_EQ(paths, std::vector<std::string>{"LPT1"});
    EXPECT_EQ(Open(kReadablePath), 0);
}

TEST(UsbDeviceNamesTest, NaturalOrderComparesDigitRunsByValue)
{
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"1-1.2", "1-1.10", true}, {"1-1.10", "1-1.2", false}, {"1-1.2", "1-1.3", true},
        {"1-9", "1-10", true},     {"1-10", "2-1", true},      {"2-1", "10-1", true},
        {"1-1", "1-1.1", true},    {"1-1.1", "1-1", false},    {"1-1.2", "1-1.2", false},
        {"1-01", "1-1", true},     {"1-1", "1-01", false},     {"1-1.2:1.0", "1-1.2:1.1", true},
        {"usb2", "usb10", true},   {"1-1a", "1-1b", true},     {"1-1", "1-1a", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
    EXPECT_EQ(UsbPathText(0x483, 0x5720, "1-1.2"), kReadablePath);
    EXPECT_EQ(UsbPathText(0x4B8, 0xE15, "3-2"), "usb#vid_04b8&pid_0e15#3-2");
}

TEST_F(UsbPortTest, IdentifiersSysfsCannotHaveMakeNoPrinter)
{
    tree_.AddPrinter("1-1", "483", "5720", 0);     // three digits
    tree_.AddPrinter("1-2", "0483", "57x0", 1);    // not hex
    tree_.AddPrinter("1-3", "04830", "5720", 2);   // five digits
    tree_.AddPrinter("1-4", "0483", "5720", 3);
    for (int lp = 0; lp < 4; ++lp)
        dir_.WriteFile("dev/usb/lp" + std::to_string(lp), "");
    EXPECT_EQ(List(), std::vector<std::string>{"usb#vid_0483&pid_5720#1-4"});
}

TEST_F(UsbPortTest, TheReadablePairGetsAReaderWithSignExtendedBytesAndAWriter)
{
    AddPtyPrinter(pty_, "1-1.2", "0483", "5720", 0);
    ASSERT_EQ(List(), std::vector<std::string>{kReadablePath});
    ASSERT_EQ(Open(kReadablePath), 1);
    EXPECT_EQ(port_.m_nKind, kKindUsb);
    EXPECT_EQ(port_.m_bUsbReadable, 1);

    pty_.Send({0x41, 0xFF, 0x80, 0x00, 0x7F});
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 5; }));
    EXPECT_EQ(window_.Params(kNotifyByteReceived), (std::vector<intptr_t>{0x41, -1, -128, 0, 0x7F}));

    std::vector<uint8_t> data = Pattern(10000);
    Write(data);
    EXPECT_EQ(pty_.Receive(data.size(), 10000), data);
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    EXPECT_EQ(window_.Params(kNotifyWriteDone), std::vector<intptr_t>{10000});

    // The reader goes on after its input ran dry.
    pty_.Send({0x42});
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyByteReceived) == 6; }));
    EXPECT_EQ(window_.Params(kNotifyByteReceived).back(), 0x42);
}

TEST_F(UsbPortTest, AnyOtherPairGetsTheWriterOnly)
{
    struct Case {
        const char* vendor;
        const char* product;
    };
    // Another product of the same vendor, and the product number under another vendor.
    for (const Case& c : {Case{"0483", "5721"}, Case{"0484", "5720"}}) {
        SCOPED_TRACE(std::string(c.vendor) + ":" + c.product);
        TempDir dir;
        platform::ScopedDeviceRoots roots({dir / "dev", dir / "sys"});
        dir.MakeDirs("dev/usb");
        PtyPair pty;
        FakeUsbTree(dir / "sys").AddPrinter("1-1.2", c.vendor, c.product, 0);
        pty.LinkAs(dir / "dev", "usb/lp0");
        RecordingWindow window;
        CommonUtils port;
        std::vector<std::string> paths;
        CommonUtils::ListUsbDevices(paths);
        ASSERT_EQ(paths.size(), 1u);
        ASSERT_EQ(port.OpenUsb(window.Endpoint(), paths[0]), 1);
        EXPECT_EQ(port.m_nKind, kKindUsb);
        EXPECT_EQ(port.m_bUsbReadable, 0);

        InputObserver observer(pty.SlavePath());
        pty.Send(Text("ans"));
        ASSERT_EQ(observer.WaitForInput(5000), 3);
        // The write notice shows the workers run; the answer still waits in the device.
        port.Write(Text("Z").data(), 1);
        EXPECT_EQ(pty.Receive(1, 5000), Text("Z"));
        ASSERT_TRUE(window.PumpUntil([&] { return window.Count(kNotifyWriteDone) == 1; }, 10000));
        EXPECT_EQ(observer.Waiting(), 3);
        EXPECT_EQ(window.Count(kNotifyByteReceived), 0u);
        port.ClosePort();
    }
}

TEST_F(UsbPortTest, TheOpenFindsThePrinterByItsPathAmongIdenticalOnes)
{
    PtyPair second;
    AddPtyPrinter(pty_, "1-1.2", "0483", "5720", 1);
    AddPtyPrinter(second, "1-1.3", "0483", "5720", 0);
    std::vector<std::string> paths = List();
    ASSERT_EQ(paths, (std::vector<std::string>{kReadablePath, "usb#vid_0483&pid_5720#1-1.3"}));

    ASSERT_EQ(Open(paths[1]), 1);
    Write(Text("to 1-1.3"));
    EXPECT_EQ(second.Receive(8, 5000), Text("to 1-1.3"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    EXPECT_TRUE(pty_.ReceiveUntilQuiet(0).empty());

    // Reopening on the same object moves to the other printer.
    ASSERT_EQ(Open(paths[0]), 1);
    Write(Text("to 1-1.2"));
    EXPECT_EQ(pty_.Receive(8, 5000), Text("to 1-1.2"));
    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 2; }));
    EXPECT_TRUE(second.ReceiveUntilQuiet(0).empty());
}

TEST_F(UsbPortTest, OpensThatCannotSucceedReturnZeroAndLeaveNothingOpen)
{
    AddPtyPrinter(pty_, "1-1.2", "0483", "5720", 0);
    tree_.AddPrinter("1-1.4", "0483", "5720", 1);  // no node
    tree_.AddPrinter("1-1.5", "0483", "5721", 2);
    dir_.MakeDirs("dev/usb/lp2");  // a node that cannot be opened for reading and writing

    ASSERT_EQ(Open(kReadablePath), 1);
    const std::string refused[] = {
        "usb#vid_0483&pid_5720#1-1.4",       // listed nowhere: its node is missing
        "usb#vid_0483&pid_5720#9-9",         // no such device
        "usb#VID_0483&PID_5720#1-1.2",       // the text is the identity, case included
        "usb#vid_0483&pid_5720#1-1.2 ",      // nor a near miss
        "usb#vid_0483&pid_5721#1-1.2",       // the identifiers belong to the device
        "",
    };
    for (const std::string& path : refused) {
        EXPECT_EQ(Open(path), 0) << path;
        EXPECT_EQ(port_.m_nKind, kKindNone) << path;
    }
    EXPECT_EQ(Open("usb#vid_0483&pid_5721#1-1.5"), 0);
    EXPECT_EQ(port_.m_nKind, kKindNone);

    // The failed opens closed the printer opened first: another object can have it now.
    CommonUtils other;
    EXPECT_EQ(other.OpenUsb(window_.Endpoint(), kReadablePath), 1);
    // ... and while that one holds it, nobody else can.
    EXPECT_EQ(Open(kReadablePath), 0);
    EXPECT_EQ(port_.m_nKind, kKindNone);
    other.ClosePort();
    EXPECT_EQ(Open(kReadablePath), 1);
}

TEST_F(UsbPortTest, ANodeAnotherProgramLockedIsNotOpened)
{
    AddPtyPrinter(pty_, "1-1.2", "0483", "5720", 0);
    {
        platform::UniqueFd holder(::open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
        ASSERT_TRUE(holder);
        ASSERT_EQ(::flock(holder.Get(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(Open(kReadablePath), 0);
        EXPECT_EQ(port_.m_nKind, kKindNone);
    }
    EXPECT_EQ(Open(kReadablePath), 1);
}

TEST_F(UsbPortTest, APrinterThatVanishesInALongSendEndsItAndReportsWhatWasWrittenOnce)
{
    AddPtyPrinter(pty_, "1-1.2", "0483", "5720", 0);
    ASSERT_EQ(Open(kReadablePath), 1);
    const size_t total = 1 << 20;
    std::vector<uint8_t> data = Pattern(total);
    Write(data);
    const size_t readFirst = 20000;
    std::vector<uint8_t> got = pty_.Receive(readFirst, 10000);
    ASSERT_EQ(got.size(), readFirst);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
    pty_.CloseMaster();

    ASSERT_TRUE(Pump([&] { return window_.Count(kNotifyWriteDone) == 1; }));
    intptr_t reported = window_.Params(kNotifyWriteDone)[0];
    // Everything the printer read had been written; what the kernel still held for it when
    // it went is counted as written too, but the pty buffers far less than the send.
    EXPECT_GE(reported, intptr_t(readFirst));
    EXPECT_LT(reported, intptr_t(total));

    // Neither worker goes on: no second notice, no bytes, nothing spinning.
    Write(Text("more"));
    int64_t before = ProcessCpuNs();
    window_.PumpUntil([] { return false; }, 300);
    EXPECT_LT(ProcessCpuNs() - before, 60'000'000) << "a worker spins after the printer went";
    EXPECT_EQ(window_.Count(kNotifyWriteDone), 1u);
    EXPECT_EQ(window_.Count(kNotifyByteReceived), 0u);
    port_.ClosePort();
    EXPECT_EQ(port_.m_nKind, kKindNone);
}

}  // namespace
}  // namespace transport
