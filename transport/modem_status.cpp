#include "transport/modem_status.h"

#include <sys/ioctl.h>

namespace transport {
namespace {

class DeviceSource final : public ModemStatusSource {
public:
    uint32_t Read(int fd) override
    {
        int bits = 0;
        if (fd < 0 || ::ioctl(fd, TIOCMGET, &bits) != 0)
            return 0;
        uint32_t status = 0;
        status |= (bits & TIOCM_CTS) ? kStatusCts : 0;
        status |= (bits & TIOCM_DSR) ? kStatusDsr : 0;
        status |= (bits & TIOCM_RNG) ? kStatusRing : 0;
        status |= (bits & TIOCM_CD) ? kStatusRlsd : 0;
        return status;
    }
};

}  // namespace

std::shared_ptr<ModemStatusSource> DeviceModemStatus()
{
    static std::shared_ptr<ModemStatusSource> source = std::make_shared<DeviceSource>();
    return source;
}

}  // namespace transport
