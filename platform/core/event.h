#pragma once
// Manual-reset events that can be waited on together with file descriptors.
//
// An Event is an eventfd whose counter is either zero (not signalled) or non-zero
// (signalled); it stays signalled until Reset, like a Windows manual-reset event.
// WaitAny polls a list of events and descriptors and reports the lowest position
// that is ready, so callers give their most important source position 0.

#include <poll.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/core/unique_fd.h"

namespace platform {

class Event {
public:
    Event();  // not signalled; Valid() is false when the kernel refused an eventfd
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Valid() const { return fd_.Valid(); }
    void Set();
    void Reset();
    bool IsSet() const;
    int Fd() const { return fd_.Get(); }

private:
    UniqueFd fd_;
};

// One position of a wait: an event, or a descriptor with the poll bits that count.
struct WaitItem {
    int fd = -1;
    short events = POLLIN;
    // Poll bits seen on the last wait; lets the caller tell POLLHUP from POLLIN.
    short revents = 0;

    static WaitItem ForEvent(const Event& e) { return {e.Fd(), POLLIN, 0}; }
    static WaitItem ForFd(int fd, short events) { return {fd, events, 0}; }
    static WaitItem Nothing() { return {-1, 0, 0}; }  // a position that never fires
};

constexpr int kWaitTimeout = -1;
constexpr int kWaitFailed = -2;
constexpr int kInfinite = -1;

// Waits until one position is ready or timeoutMs passed (kInfinite: no limit).
// Returns the lowest ready position, kWaitTimeout, or kWaitFailed. EINTR is retried
// against a monotonic deadline. Fills revents of every item.
int WaitAny(std::vector<WaitItem>& items, int timeoutMs);

// Milliseconds left until a monotonic deadline, never negative.
class Deadline {
public:
    explicit Deadline(int64_t timeoutMs);  // timeoutMs < 0: never expires
    int RemainingMs() const;               // kInfinite when it never expires
    bool Expired() const;

private:
    int64_t dueNs_;
    bool infinite_;
};

int64_t MonotonicNs();

}  // namespace platform
