#include "fake_usb_tree.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace testsupport {
namespace fs = std::filesystem;

std::string FakeUsbTree::DeviceDir(const std::string& name) const
{
    // "1-1.2" sits below its bus "usb1" and its hub "1-1": every shorter port chain is a
    // directory on the way, as in the real tree.
    size_t dash = name.find('-');
    if (dash == std::string::npos || dash == 0)
        throw std::invalid_argument("USB device names look like 1-1.2");
    fs::path dir = fs::path(sys_) / "devices" / "pci0000:00" / "0000:00:14.0" / ("usb" + name.substr(0, dash));
    for (size_t dot = name.find('.', dash); dot != std::string::npos; dot = name.find('.', dot + 1))
        dir /= name.substr(0, dot);
    return (dir / name).string();
}

std::string FakeUsbTree::AddDevice(const std::string& name, const std::string& vendor,
                                   const std::string& product) const
{
    fs::path dir = DeviceDir(name);
    fs::create_directories(dir);
    std::ofstream(dir / "idVendor") << vendor << "\n";
    std::ofstream(dir / "idProduct") << product << "\n";
    return dir.string();
}

void FakeUsbTree::AddClassEntry(const std::string& device, int interfaceNumber, const std::string& entry) const
{
    std::string interfaceName = device + ":1." + std::to_string(interfaceNumber);
    fs::path interface = fs::path(DeviceDir(device)) / interfaceName;
    fs::path published = interface / "usbmisc" / entry;
    fs::create_directories(published);
    fs::create_directory_symlink(fs::path("../../..") / interfaceName, published / "device");
    fs::path classDir = fs::path(sys_) / "class" / "usbmisc";
    fs::create_directories(classDir);
    fs::create_directory_symlink(fs::relative(published, classDir), classDir / entry);
}

}  // namespace testsupport
