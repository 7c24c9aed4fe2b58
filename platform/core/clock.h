#pragma once
// The wall clock, replaceable so tests can set the date and time.

#include <ctime>
#include <functional>

namespace platform {

std::time_t Now();
void SetClockForTesting(std::function<std::time_t()> clock);  // empty: the system clock

class ScopedClock {
public:
    explicit ScopedClock(std::function<std::time_t()> clock) { SetClockForTesting(std::move(clock)); }
    ~ScopedClock() { SetClockForTesting({}); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace platform
