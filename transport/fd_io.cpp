#include "transport/fd_io.h"

#include <unistd.h>

#include <cerrno>

namespace transport {

WriteOutcome WriteWithDeadline(int fd, const uint8_t* data, size_t length, int timeoutMs, const platform::Event* stop)
{
    WriteOutcome out;
    platform::Deadline deadline(timeoutMs);
    while (out.written < length) {
        ssize_t n = ::write(fd, data + out.written, length - out.written);
        if (n > 0) {
            out.written += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            out.failed = true;
            return out;
        }
        std::vector<platform::WaitItem> items{
            stop ? platform::WaitItem::ForEvent(*stop) : platform::WaitItem::Nothing(),
            platform::WaitItem::ForFd(fd, POLLOUT)};
        int pos = platform::WaitAny(items, deadline.RemainingMs());
        if (pos != 1 || (items[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            out.failed = true;
            return out;
        }
    }
    return out;
}

}  // namespace transport
