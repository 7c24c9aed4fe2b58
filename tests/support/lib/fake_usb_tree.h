#pragma once
// What the kernel's USB printer driver shows in sysfs, built under a temporary sys root:
// a USB device directory below its bus and hubs, holding idVendor and idProduct; an
// interface directory inside it; and a usbmisc class entry whose device link leads to the
// interface, with relative links as the kernel makes them.

#include <string>

namespace testsupport {

class FakeUsbTree {
public:
    explicit FakeUsbTree(std::string sysRoot) : sys_(std::move(sysRoot)) {}

    // A USB device such as "1-1.2" with identifiers as sysfs prints them ("0483").
    // Returns its directory.
    std::string AddDevice(const std::string& name, const std::string& vendor, const std::string& product) const;
    // Interface <device>:1.<interfaceNumber> of an added device, published as
    // <sys>/class/usbmisc/<entry> (for example "lp0", or "hiddev0" for a HID device).
    void AddClassEntry(const std::string& device, int interfaceNumber, const std::string& entry) const;
    // A printer: the device and its interface 0 served as lp<index>.
    void AddPrinter(const std::string& name, const std::string& vendor, const std::string& product, int lpIndex) const
    {
        AddDevice(name, vendor, product);
        AddClassEntry(name, 0, "lp" + std::to_string(lpIndex));
    }

private:
    std::string DeviceDir(const std::string& name) const;
    std::string sys_;
};

}  // namespace testsupport
