#pragma once
// USB printers as the kernel's USB printer driver publishes them.
//
// Principles of operation
// - Every printer interface the driver serves is a class entry <sys>/class/usbmisc/lpN
//   whose `device` link resolves to the USB interface directory. The interface's parent
//   directory is the USB device (named like "1-1.2"), which holds idVendor and idProduct.
//   The driver's node is <dev>/usb/lpN. Nothing else of the sysfs layout is assumed.
// - Other drivers use the usbmisc class too (hiddev, for one); only lpN entries count, so
//   a USB device that is not a printer is never listed.
// - A printer is named by its path text, "usb#vid_0483&pid_5720#1-1.2": the identifiers in
//   lower-case hex and the device's sysfs name, which follows the socket it is plugged
//   into. Two identical printers thus have two texts. The text is the identity: the open
//   finds the node again by it, and the read-enable rule looks at it.
// - The list is ordered by device name in natural order (runs of digits by value): the
//   bus first, then the hub ports, so "1-1.2" < "1-1.10" < "2-1", and a printer keeps its
//   place among the others however many ports a hub has.
// - A device with several printer interfaces is listed once, by its first interface; a
//   device whose node is missing is not listed, since it could not be opened.

#include <optional>
#include <string>
#include <vector>

#include "platform/core/device_roots.h"

namespace transport {

struct UsbPrinter {
    std::string path;    // the path text
    std::string device;  // the sysfs device name, "1-1.2"
    std::string node;    // <dev>/usb/lpN
};

// The printers present under roots, in natural order of device name.
std::vector<UsbPrinter> FindUsbPrinters(const platform::DeviceRoots& roots);
// The present printer whose path text is exactly path.
std::optional<UsbPrinter> FindUsbPrinter(const platform::DeviceRoots& roots, const std::string& path);

// "usb#vid_%04x&pid_%04x#<device>".
std::string UsbPathText(unsigned vendor, unsigned product, const std::string& device);
// Runs of digits compare by value, everything else character by character; a strict weak
// order (names equal by value but spelled apart fall back to plain order).
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace transport
