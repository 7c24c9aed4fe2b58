// The console's port list built from temporary device trees: serial, parallel and USB
// entries in their blocks and order, then the network entry.
#include <QComboBox>

#include "console_fixture.h"
#include "fake_usb_tree.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

QStringList Entries(const CQuillonDlg& dlg)
{
    QStringList entries;
    for (int i = 0; i < dlg.ListItemCount(kPortList); ++i)
        entries << dlg.ListItemText(kPortList, i);
    return entries;
}

TEST(PortList, NothingPresentGivesOnlyTheNetworkEntrySelected)
{
    for (Language language : {Language::English, Language::Chinese}) {
        DeviceTree tree;
        CQuillonDlg dlg(language);
        EXPECT_EQ(Entries(dlg), QStringList{QString::fromUtf8(language == Language::English ? "Ethernet" : "以太网")});
        EXPECT_EQ(dlg.GetCurSel(kPortList), 0);
        EXPECT_EQ(dlg.m_nSerialCount, 0);
        EXPECT_EQ(dlg.m_nParallelCount, 0);
        EXPECT_EQ(dlg.m_nUsbCount, 0);
        EXPECT_TRUE(dlg.m_arrSerialPorts.empty());
        EXPECT_TRUE(dlg.m_mapUsbPaths.empty());
        EXPECT_EQ(dlg.m_nPortKind, 4);
    }
}

class PortListTest : public ::testing::Test {
protected:
    PortListTest()
    {
        for (const char* node : {"ttyS9", "ttyUSB0", "ttyS0", "ttyS1"})
            tree_.SerialPort(node);
        tree_.ParallelPort(2);  // LPT3
        tree_.ParallelPort(0);  // LPT1
        tree_.Dir().MakeDirs("dev/usb");
        testsupport::FakeUsbTree usb(tree_.Sys());
        usb.AddPrinter("2-1", "0483", "5720", 0);
        usb.AddPrinter("1-1.10", "04b8", "0202", 1);
        usb.AddPrinter("1-1.2", "0519", "0001", 2);
        for (int lp : {0, 1, 2})
            tree_.Dir().WriteFile("dev/usb/lp" + std::to_string(lp), "");
    }

    DeviceTree tree_;
};

TEST_F(PortListTest, BlocksInTheirOrderThenTheNetworkEntry)
{
    CQuillonDlg dlg(Language::English);
    EXPECT_EQ(Entries(dlg), (QStringList{"COM1", "COM2", "COM10", "COM33", "LPT1", "LPT3", "USB1", "USB2", "USB3",
                                         "Ethernet"}));
    EXPECT_EQ(dlg.GetCurSel(kPortList), 0);
    EXPECT_EQ(dlg.m_arrSerialPorts, (std::vector<std::string>{"COM1", "COM2", "COM10", "COM33"}));
    EXPECT_EQ(dlg.m_nSerialCount, 4);
    EXPECT_EQ(dlg.m_nParallelCount, 2);
    EXPECT_EQ(dlg.m_nUsbCount, 3);
    // USB numbers follow the listing's order, which is the natural order of the devices.
    EXPECT_EQ(dlg.m_mapUsbPaths, (std::map<uint32_t, std::string>{{1, "usb#vid_0519&pid_0001#1-1.2"},
                                                                  {2, "usb#vid_04b8&pid_0202#1-1.10"},
                                                                  {3, "usb#vid_0483&pid_5720#2-1"}}));
    EXPECT_EQ(dlg.m_nPortKind, 1) << "item 0 is a serial port";

    // The entries are the names alone; the device behind each is its tooltip.
    auto* list = qobject_cast<QComboBox*>(dlg.Item(kPortList));
    EXPECT_EQ(list->itemData(0, Qt::ToolTipRole).toString(), QString::fromStdString(tree_.Dir() / "dev/ttyS0"));
    EXPECT_EQ(list->itemData(4, Qt::ToolTipRole).toString(), QString::fromStdString(tree_.Dir() / "dev/lp0"));
    EXPECT_EQ(list->itemData(6, Qt::ToolTipRole).toString(), "usb#vid_0519&pid_0001#1-1.2");
}

TEST_F(PortListTest, ARebuildFollowsTheDevicesAndKeepsOldUsbNumbersInTheMap)
{
    CQuillonDlg dlg(Language::Chinese);
    dlg.SetCurSel(kPortList, 5);

    // One serial port, one parallel port and two printers go away.
    ASSERT_EQ(::unlink((tree_.Dir() / "dev/ttyS9").c_str()), 0);
    ASSERT_EQ(::unlink((tree_.Dir() / "dev/lp0").c_str()), 0);
    ASSERT_EQ(::unlink((tree_.Dir() / "dev/usb/lp1").c_str()), 0);
    ASSERT_EQ(::unlink((tree_.Dir() / "dev/usb/lp2").c_str()), 0);
    dlg.RefreshPortList();

    EXPECT_EQ(Entries(dlg), (QStringList{"COM1", "COM2", "COM33", "LPT3", "USB1", QString::fromUtf8("以太网")}));
    EXPECT_EQ(dlg.GetCurSel(kPortList), 0);
    EXPECT_EQ(dlg.m_arrSerialPorts, (std::vector<std::string>{"COM1", "COM2", "COM33"}));
    EXPECT_EQ(dlg.m_nSerialCount, 3);
    EXPECT_EQ(dlg.m_nParallelCount, 1);
    EXPECT_EQ(dlg.m_nUsbCount, 1);
    // USB1 is now the remaining printer; numbers not given this time keep their old paths.
    EXPECT_EQ(dlg.m_mapUsbPaths, (std::map<uint32_t, std::string>{{1, "usb#vid_0483&pid_5720#2-1"},
                                                                  {2, "usb#vid_04b8&pid_0202#1-1.10"},
                                                                  {3, "usb#vid_0483&pid_5720#2-1"}}));
}

TEST_F(PortListTest, ThePortKindFollowsTheBlockOfTheChosenEntry)
{
    CQuillonDlg dlg(Language::English);
    auto* list = qobject_cast<QComboBox*>(dlg.Item(kPortList));
    const int kinds[] = {1, 1, 1, 1, 2, 2, 3, 3, 3, 4};
    ASSERT_EQ(list->count(), int(std::size(kinds)));
    for (int i = 0; i < list->count(); ++i) {
        dlg.SetCurSel(kMultiple, 1);
        list->setCurrentIndex(i);
        emit list->activated(i);  // the operator's choice
        EXPECT_EQ(dlg.m_nPortKind, kinds[i]) << "entry " << i;
        // Multi-device mode exists for serial and network entries only.
        EXPECT_EQ(dlg.GetCurSel(kMultiple), kinds[i] == 1 || kinds[i] == 4 ? 1 : 0) << "entry " << i;
    }
}

}  // namespace
}  // namespace consoletest
