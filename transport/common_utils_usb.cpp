// The USB printer listing and open of CommonUtils.
#include <fcntl.h>

#include "platform/core/device_roots.h"
#include "transport/common_utils.h"
#include "transport/exclusive_node.h"
#include "transport/usb_devices.h"

namespace transport {

void CommonUtils::ListUsbDevices(std::vector<std::string>& paths)
{
    for (UsbPrinter& p : FindUsbPrinters(platform::CurrentDeviceRoots()))
        paths.push_back(std::move(p.path));
}

int CommonUtils::OpenUsb(OwnerWindow owner, const std::string& devicePath)
{
    m_pOwner = std::move(owner);
    // One port per object; ClosePort also clears the read-enable flag, so it goes first.
    ClosePort();
    m_bUsbReadable = devicePath.find(m_strVidB) != std::string::npos &&
                     devicePath.find(m_strPidB) != std::string::npos;

    std::optional<UsbPrinter> printer = FindUsbPrinter(platform::CurrentDeviceRoots(), devicePath);
    if (!printer)
        return 0;
    // The printer driver allows a single open, so the writer and the reader share this one
    // descriptor; the lock keeps out another program that opened a node without such a rule.
    platform::UniqueFd fd = OpenExclusiveNode(printer->node, O_RDWR);
    if (!fd)
        return 0;
    std::shared_ptr<PortSession> session = NewSession(kKindUsb);
    if (!session->EventsValid())
        return 0;
    session->port = std::move(fd);
    return AdoptWithWorkers(std::move(session), m_bUsbReadable != 0);
}

}  // namespace transport
