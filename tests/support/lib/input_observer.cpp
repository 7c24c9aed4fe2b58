#include "input_observer.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <stdexcept>
#include <vector>

#include "platform/core/event.h"

namespace testsupport {

InputObserver::InputObserver(const std::string& slavePath)
    : fd_(::open(slavePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    if (!fd_)
        throw std::runtime_error("cannot open " + slavePath);
}

int InputObserver::WaitForInput(int timeoutMs) const
{
    std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(fd_.Get(), POLLIN)};
    platform::WaitAny(items, timeoutMs);
    return Waiting();
}

int InputObserver::Waiting() const
{
    int waiting = 0;
    if (::ioctl(fd_.Get(), FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

}  // namespace testsupport
