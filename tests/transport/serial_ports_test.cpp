// Serial port listing against temporary device and sysfs trees. Nodes are plain files: the
// listing only looks at names and sysfs, it opens no node.
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/device_roots.h"
#include "temp_dir.h"
#include "transport/common_utils.h"

namespace transport {
namespace {

using Names = std::vector<std::string>;

// A device root and a sysfs tree of its own, current while the object lives.
class PortTree {
public:
    PortTree() : roots_({root_ / "dev", root_ / "sys"}) { root_.MakeDirs("dev"); }

    void Node(const std::string& name) const { root_.WriteFile("dev/" + name, ""); }
    void SysEntry(const std::string& name) const { root_.MakeDirs(SysDir(name)); }
    // The device link as sysfs has it: a symbolic link to the device's folder.
    void DeviceLink(const std::string& name) const
    {
        root_.MakeDirs("sys/devices/" + name);
        LinkDevice(name, root_ / ("sys/devices/" + name));
    }
    void DanglingDeviceLink(const std::string& name) const { LinkDevice(name, root_ / "sys/devices/gone"); }
    void UartType(const std::string& name, const std::string& text) const
    {
        root_.WriteFile(SysDir(name) + "/type", text);
    }
    // A node with a device link and, for ttyS, a 16550A behind it (type 4).
    void Port(const std::string& name) const
    {
        Node(name);
        DeviceLink(name);
        if (name.rfind("ttyS", 0) == 0)
            UartType(name, "4\n");
    }
    const std::string& Root() const { return root_.Path(); }

private:
    static std::string SysDir(const std::string& name) { return "sys/class/tty/" + name; }
    void LinkDevice(const std::string& name, const std::string& target) const
    {
        SysEntry(name);
        EXPECT_EQ(::symlink(target.c_str(), (root_ / (SysDir(name) + "/device")).c_str()), 0);
    }

    testsupport::TempDir root_;
    platform::ScopedDeviceRoots roots_;
};

Names List(Names names = {})
{
    CommonUtils::ListSerialPorts(names);
    return names;
}

TEST(SerialPorts, ListsPresentPortsByNumberUsbAndAcmAfterTheUarts)
{
    PortTree tree;
    for (const char* node : {"ttyACM1", "ttyS9", "ttyUSB0", "ttyS1", "ttyS0"})
        tree.Port(node);
    EXPECT_EQ(List(), (Names{"COM1", "COM2", "COM10", "COM33", "COM66"}));
}

TEST(SerialPorts, UartTypeIsReadAsANumber)
{
    PortTree tree;
    tree.Node("ttyS4");
    tree.DeviceLink("ttyS4");
    tree.UartType("ttyS4", "1");  // an 8250, without a trailing line feed
    tree.Node("ttyS6");
    tree.DeviceLink("ttyS6");
    tree.UartType("ttyS6", "14\n");
    EXPECT_EQ(List(), (Names{"COM5", "COM7"}));
}

TEST(SerialPorts, NodesWithoutHardwareOrOutsideTheTableAreNotListed)
{
    struct Case {
        const char* what;
        std::function<void(const PortTree&)> make;
    };
    const Case cases[] = {
        {"placeholder UART, type 0",
         [](const PortTree& t) {
             t.Node("ttyS3");
             t.DeviceLink("ttyS3");
             t.UartType("ttyS3", "0\n");
         }},
        {"UART type that is no number",
         [](const PortTree& t) {
             t.Node("ttyS3");
             t.DeviceLink("ttyS3");
             t.UartType("ttyS3", "unknown\n");
         }},
        {"UART without type",
         [](const PortTree& t) {
             t.Node("ttyS3");
             t.DeviceLink("ttyS3");
         }},
        {"UART type but no device link",
         [](const PortTree& t) {
             t.Node("ttyS3");
             t.UartType("ttyS3", "4\n");
         }},
        {"dangling device link",
         [](const PortTree& t) {
             t.Node("ttyUSB2");
             t.DanglingDeviceLink("ttyUSB2");
         }},
        {"USB adapter without device link",
         [](const PortTree& t) {
             t.Node("ttyUSB0");
             t.SysEntry("ttyUSB0");
         }},
        {"ACM node without sysfs entry", [](const PortTree& t) { t.Node("ttyACM0"); }},
        {"sysfs entries without a node",
         [](const PortTree& t) {
             t.DeviceLink("ttyS3");
             t.UartType("ttyS3", "4\n");
             t.DeviceLink("ttyUSB1");
         }},
        {"names outside the table",
         [](const PortTree& t) {
             for (const char* name : {"tty0", "ttyprintk", "console", "ttyS32", "ttyS01", "ttyUSB", "ttyACM32", "lp0"})
                 t.Port(name);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PortTree tree;
        tree.Port("ttyS0");  // COM1 is there in every case
        c.make(tree);
        EXPECT_EQ(List(), (Names{"COM1"}));
    }
}

TEST(SerialPorts, AppendsAfterExistingEntriesAndSortsOnlyThoseItAdded)
{
    PortTree tree;
    tree.Port("ttyS9");
    tree.Port("ttyS0");
    EXPECT_EQ(List({"COM9", "LPT1"}), (Names{"COM9", "LPT1", "COM1", "COM10"}));
}

TEST(SerialPorts, MissingDeviceRootAddsNothing)
{
    PortTree tree;
    tree.Port("ttyS0");
    platform::ScopedDeviceRoots gone({tree.Root() + "/nowhere", tree.Root() + "/sys"});
    EXPECT_EQ(List({"COM4"}), (Names{"COM4"}));
}

}  // namespace
}  // namespace transport
