#include "platform/core/event.h"

#include <sys/eventfd.h>
#include <time.h>

#include <cerrno>
#include <climits>

namespace platform {

Event::Event() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void Event::Set()
{
    if (!fd_)
        return;
    uint64_t one = 1;
    // The counter only grows; a full counter (never in practice) is still signalled.
    while (::write(fd_.Get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void Event::Reset()
{
    if (!fd_)
        return;
    uint64_t value;
    while (::read(fd_.Get(), &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool Event::IsSet() const
{
    if (!fd_)
        return false;
    pollfd p{fd_.Get(), POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

int64_t MonotonicNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

Deadline::Deadline(int64_t timeoutMs)
    : dueNs_(timeoutMs < 0 ? 0 : MonotonicNs() + timeoutMs * 1000000LL), infinite_(timeoutMs < 0)
{
}

int Deadline::RemainingMs() const
{
    if (infinite_)
        return kInfinite;
    int64_t left = dueNs_ - MonotonicNs();
    if (left <= 0)
        return 0;
    int64_t ms = (left + 999999) / 1000000;
    return ms > INT_MAX ? INT_MAX : int(ms);
}

bool Deadline::Expired() const { return !infinite_ && MonotonicNs() >= dueNs_; }

int WaitAny(std::vector<WaitItem>& items, int timeoutMs)
{
    std::vector<pollfd> fds(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        fds[i] = pollfd{items[i].fd, items[i].events, 0};
    Deadline deadline(timeoutMs);
    for (;;) {
        int rc = ::poll(fds.data(), fds.size(), deadline.RemainingMs());
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0)
            return kWaitFailed;
        for (size_t i = 0; i < items.size(); ++i)
            items[i].revents = fds[i].revents;
        if (rc == 0)
            return kWaitTimeout;
        for (size_t i = 0; i < items.size(); ++i)
            if (fds[i].revents != 0)
                return int(i);
        return kWaitTimeout;
    }
}

}  // namespace platform
