#include "transport/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace transport {

platform::UniqueFd OpenSerialNode(const std::string& path)
{
    if (path.empty())
        return {};
    platform::UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return {};
    if (::ioctl(fd.Get(), TIOCEXCL) != 0)
        return {};  // not a terminal
    int rc;
    do {
        rc = ::flock(fd.Get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
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
