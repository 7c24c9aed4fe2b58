#include "transport/fd_io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace transport {
namespace {

// How long to stand back when a descriptor said it had room and then refused the bytes.
constexpr int kBusyBackoffMs = 20;

}  // namespace

WriteOutcome WriteWithDeadline(int fd, const uint8_t* data, size_t length, int timeoutMs, const platform::Event* stop)
{
    WriteOutcome out;
    platform::Deadline deadline(timeoutMs);
    // Set when the last wait was a poll that reported room. The parallel printer driver has
    // no poll method, so it always "has room" while a busy printer makes write say EAGAIN;
    // polling again would spin. Such a refusal is followed by a short pause on the stop
    // event instead, and the pause by a fresh poll, so a descriptor that polls honestly
    // loses nothing and one that does not costs a write every few milliseconds.
    bool pollSaidRoom = false;
    while (out.written < length) {
        ssize_t n = ::write(fd, data + out.written, length - out.written);
        if (n > 0) {
            out.written += size_t(n);
            pollSaidRoom = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            out.failed = true;
            return out;
        }
        std::vector<platform::WaitItem> items{
            stop ? platform::WaitItem::ForEvent(*stop) : platform::WaitItem::Nothing()};
        if (pollSaidRoom) {
            int remaining = deadline.RemainingMs();
            int pause = remaining == platform::kInfinite ? kBusyBackoffMs : std::min(remaining, kBusyBackoffMs);
            if (platform::WaitAny(items, pause) != platform::kWaitTimeout || deadline.Expired()) {
                out.failed = true;  // stopped, or out of time
                return out;
            }
            pollSaidRoom = false;
            continue;
        }
        items.push_back(platform::WaitItem::ForFd(fd, POLLOUT));
        int pos = platform::WaitAny(items, deadline.RemainingMs());
        if (pos != 1 || (items[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            out.failed = true;
            return out;
        }
        pollSaidRoom = true;
    }
    return out;
}

}  // namespace transport
