// Device changes: the port list follows the devices while no port is open, and an open USB
// printer that goes away closes the port.
#include <unistd.h>

#include "connection_fixture.h"
#include "fake_usb_tree.h"
#include "transport/notifications.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;
using testsupport::PtyPair;

constexpr intptr_t kDeviceArrival = 0x8000;  // another device-change event, not handled

void DeviceChange(CQuillonDlg& dlg, intptr_t event = transport::kDevNodesChanged)
{
    platform::SendMessage(dlg.Endpoint(), transport::kMsgDeviceChange, event, 0);
}

void Remove(const DeviceTree& tree, const std::string& relative)
{
    ASSERT_EQ(::unlink((tree.Dir() / relative).c_str()), 0) << relative;
}

TEST(DeviceChange, WithNoPortOpenTheChosenEntryStaysChosen)
{
    DeviceTree tree;
    tree.SerialPort("ttyS0");
    tree.SerialPort("ttyS2");
    CQuillonDlg dlg(Language::English);
    dlg.m_deviceWatcher.Stop();  // the notices are delivered by hand here
    Choose(dlg, kPortList, 1);
    ASSERT_EQ(dlg.GetItemText(kPortList), "COM3");

    tree.SerialPort("ttyS1");
    DeviceChange(dlg, kDeviceArrival);
    EXPECT_EQ(PortEntries(dlg), (QStringList{"COM1", "COM3", "Ethernet"})) << "only changed nodes count";

    DeviceChange(dlg);
    EXPECT_EQ(PortEntries(dlg), (QStringList{"COM1", "COM2", "COM3", "Ethernet"}));
    EXPECT_EQ(dlg.GetCurSel(kPortList), 2);
    EXPECT_EQ(dlg.m_nSerialCount, 3);
    EXPECT_EQ(dlg.m_nPortKind, 1);
}

TEST(DeviceChange, WhenTheChosenEntryIsGoneItemZeroAndItsKindFollow)
{
    DeviceTree tree;
    tree.SerialPort("ttyS2");  // COM3
    tree.ParallelPort(0);      // LPT1
    CQuillonDlg dlg(Language::English);
    dlg.m_deviceWatcher.Stop();
    ASSERT_EQ(PortEntries(dlg), (QStringList{"COM3", "LPT1", "Ethernet"}));
    Choose(dlg, kMultiple, 1);
    dlg.m_bSerialCycleReady = 1;
    dlg.m_bSerialLineSelected = 1;
    dlg.UpdateControlStates();
    ASSERT_TRUE(dlg.IsItemEnabled(kBaudRate));

    Remove(tree, "dev/ttyS2");
    DeviceChange(dlg);
    EXPECT_EQ(PortEntries(dlg), (QStringList{"LPT1", "Ethernet"}));
    EXPECT_EQ(dlg.GetCurSel(kPortList), 0);
    EXPECT_EQ(dlg.m_nPortKind, 2);
    EXPECT_EQ(dlg.GetCurSel(kMultiple), 0);
    EXPECT_EQ(dlg.m_bSerialCycleReady, 0);
    EXPECT_FALSE(dlg.IsItemEnabled(kMultiple));
    EXPECT_FALSE(dlg.IsItemEnabled(kBaudRate));
    EXPECT_TRUE(dlg.IsItemEnabled(kOpenClose));
}

// The watcher started with the window sees a node appear in the device root.
TEST(DeviceChange, ThroughTheWatcherANewPortJoinsTheList)
{
    DeviceTree tree;
    tree.SerialPort("ttyS0");
    CQuillonDlg dlg(Language::English);
    ASSERT_TRUE(dlg.m_deviceWatcher.Running());
    Choose(dlg, kPortList, 1);
    ASSERT_EQ(dlg.GetItemText(kPortList), "Ethernet");

    tree.SerialPort("ttyS1");
    ASSERT_TRUE(qttest::PumpUntil([&] { return dlg.ListItemCount(kPortList) == 3; }))
        << PortEntries(dlg).join(' ').toStdString();
    EXPECT_EQ(PortEntries(dlg), (QStringList{"COM1", "COM2", "Ethernet"}));
    EXPECT_EQ(dlg.GetCurSel(kPortList), 2);
    EXPECT_EQ(dlg.m_nPortKind, 4);
}

class UsbDeviceChangeTest : public ::testing::Test {
protected:
    UsbDeviceChangeTest()
    {
        tree_.Dir().MakeDirs("dev/usb");
        testsupport::FakeUsbTree usb(tree_.Sys());
        usb.AddPrinter("1-1.2", "04b8", "0202", 0);
        usb.AddPrinter("1-1.3", "04b8", "0202", 1);
        first_.LinkAs(tree_.Dir() / "dev", "usb/lp0");
        second_.LinkAs(tree_.Dir() / "dev", "usb/lp1");
    }

    DeviceTree tree_;
    PtyPair first_, second_;
    ScopedPrompts prompts_;
};

TEST_F(UsbDeviceChangeTest, OnlyTheOpenPrinterVanishingClosesThePort)
{
    CQuillonDlg dlg(Language::English);
    dlg.m_deviceWatcher.Stop();
    ASSERT_EQ(PortEntries(dlg), (QStringList{"USB1", "USB2", "Ethernet"}));
    Choose(dlg, kPortList, 1);
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindUsb);
    EXPECT_EQ(dlg.m_strOpenUsbPath, "usb#vid_04b8&pid_0202#1-1.3");
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "USB2 OPENED.");

    // Another printer goes: the open one is still there.
    Remove(tree_, "dev/usb/lp0");
    DeviceChange(dlg);
    EXPECT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "USB2 OPENED.");
    EXPECT_EQ(PortEntries(dlg), (QStringList{"USB1", "USB2", "Ethernet"})) << "no rebuild while open";
    EXPECT_TRUE(prompts_.Messages().isEmpty());

    int openDuringMessage = -1;
    prompts_.prompts.SetOnShow([&](const platform::PromptRecord&) { openDuringMessage = dlg.m_bPortOpen; });
    Remove(tree_, "dev/usb/lp1");
    DeviceChange(dlg);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.m_utils.m_nKind, transport::kKindNone);
    EXPECT_EQ(prompts_.Messages(), QStringList{"Connection has been broken!"});
    EXPECT_EQ(openDuringMessage, 0) << "the port is closed before the message";
    EXPECT_EQ(dlg.GetItemText(kStatusLine), "Port closed.");
    EXPECT_EQ(PortEntries(dlg), QStringList{"Ethernet"});
    EXPECT_EQ(dlg.m_nPortKind, 4);
    EXPECT_TRUE(dlg.IsItemEnabled(kPortList));
}

TEST_F(UsbDeviceChangeTest, ChineseMessageWhenThePrinterGoes)
{
    CQuillonDlg dlg(Language::Chinese);
    dlg.m_deviceWatcher.Stop();
    ClickItem(dlg, kOpenClose);  // USB1
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.GetItemText(kStatusLine), QString::fromUtf8("USB1 打开！"));
    Remove(tree_, "dev/usb/lp0");
    DeviceChange(dlg);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(prompts_.Messages(), QStringList{QString::fromUtf8("连接已经断开！")});
    EXPECT_EQ(dlg.GetItemText(kStatusLine), QString::fromUtf8("端口关闭！"));
}

// Only a USB port is checked; any other open port is left alone, list included.
TEST(DeviceChange, AnOpenParallelPortIgnoresDeviceChanges)
{
    DeviceTree tree;
    PtyPair lp;
    lp.LinkAs(tree.Dir() / "dev", "lp0");
    ScopedPrompts prompts;
    CQuillonDlg dlg(Language::English);
    dlg.m_deviceWatcher.Stop();
    ClickItem(dlg, kOpenClose);
    ASSERT_EQ(dlg.m_bPortOpen, 1);

    tree.SerialPort("ttyS0");
    DeviceChange(dlg);
    EXPECT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(PortEntries(dlg), (QStringList{"LPT1", "Ethernet"}));
    EXPECT_TRUE(prompts.Messages().isEmpty());
}

}  // namespace
}  // namespace consoletest
