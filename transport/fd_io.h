#pragma once
// Writes on non-blocking descriptors with a deadline and a stop event.

#include <cstddef>
#include <cstdint>

#include "platform/core/event.h"

namespace transport {

struct WriteOutcome {
    size_t written = 0;
    bool failed = false;  // an error, a hang-up, the deadline or the stop event ended it
};

// Writes all of data unless the deadline passes, stop (may be null) is signalled or the
// descriptor fails. Waits with poll for room; EINTR and EAGAIN are retried.
WriteOutcome WriteWithDeadline(int fd, const uint8_t* data, size_t length, int timeoutMs, const platform::Event* stop);

}  // namespace transport
