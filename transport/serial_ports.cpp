// Serial port listing: the COM names of the tty nodes that have real hardware behind them.
//
// The kernel makes ttyS0-31 whether or not a UART answers at those addresses, so a node
// alone proves nothing. sysfs tells: a port with hardware has a device link, and the 8250
// driver reports type 0 (PORT_UNKNOWN) for the placeholders. USB adapters (ttyUSB, ttyACM)
// only exist while plugged in, so their device link is enough.
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/device_roots.h"
#include "platform/core/unique_fd.h"
#include "transport/com_names.h"
#include "transport/common_utils.h"

namespace transport {
namespace {

// Leading decimal digits as a number; none gives 0. Saturates rather than overflowing.
long LeadingNumber(const std::string& text, size_t from)
{
    long value = 0;
    for (size_t i = from; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000000L)
            return value;
    }
    return value;
}

// The number a port name sorts by: what follows its first three characters ("COM10": 10).
long PortSortKey(const std::string& name) { return name.size() > 3 ? LeadingNumber(name, 3) : 0; }

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);  // follows the link; a dangling one is absent
}

// The UART type sysfs reports for a ttyS node, 0 when unknown or unreadable.
long UartType(const std::string& ttyDir)
{
    platform::UniqueFd fd(::open((ttyDir + "/type").c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return 0;
    char buffer[32];
    ssize_t n;
    do {
        n = ::read(fd.Get(), buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return 0;
    std::string text(buffer, size_t(n));
    size_t start = text.find_first_not_of(" \t");
    return start == std::string::npos ? 0 : LeadingNumber(text, start);
}

bool HasHardware(const std::string& sysRoot, const std::string& node)
{
    const std::string ttyDir = sysRoot + "/class/tty/" + node;
    if (!Exists(ttyDir + "/device"))
        return false;
    if (node.compare(0, 4, "ttyS") == 0)
        return UartType(ttyDir) != 0;
    return true;
}

}  // namespace

void CommonUtils::ListSerialPorts(std::vector<std::string>& names)
{
    const platform::DeviceRoots roots = platform::CurrentDeviceRoots();
    const size_t first = names.size();

    std::error_code ec;
    std::filesystem::directory_iterator it(roots.dev, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string node = it->path().filename().string();
        std::optional<int> number = ComNumberForDevice(node);
        if (number && HasHardware(roots.sys, node))
            names.push_back("COM" + std::to_string(*number));
    }

    // Only what was appended here is sorted; equal numbers keep their order.
    std::stable_sort(names.begin() + std::ptrdiff_t(first), names.end(),
                     [](const std::string& a, const std::string& b) { return PortSortKey(a) < PortSortKey(b); });
}

}  // namespace transport
