#include "transport/serial_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include "transport/exclusive_node.h"

namespace transport {

platform::UniqueFd OpenSerialNode(const std::string& path, termios& current)
{
    platform::UniqueFd fd = OpenExclusiveNode(path, O_RDWR);
    // TIOCEXCL refuses further opens by other programs; it also tells a terminal from a file.
    if (!fd || ::ioctl(fd.Get(), TIOCEXCL) != 0 || ::tcgetattr(fd.Get(), &current) != 0)
        return {};
    return fd;
}

bool ApplySerialPlan(int fd, const SerialPlan& plan)
{
    if (::tcsetattr(fd, TCSANOW, &plan.tio) != 0)
        return false;
    termios readBack{};
    if (::tcgetattr(fd, &readBack) != 0)
        return false;
    // Only the speed is compared: ptys keep their own parity and data width, and a driver
    // may round a flag it cannot do; a wrong rate is what would garble every byte.
    if (cfgetospeed(&readBack) != cfgetospeed(&plan.tio))
        return false;
    if (plan.linesToSet)
        ::ioctl(fd, TIOCMBIS, &plan.linesToSet);
    if (plan.linesToClear)
        ::ioctl(fd, TIOCMBIC, &plan.linesToClear);
    return true;
}

}  // namespace transport
