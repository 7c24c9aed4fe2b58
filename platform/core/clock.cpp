#include "platform/core/clock.h"

#include <mutex>

namespace platform {
namespace {
std::mutex g_mutex;
std::function<std::time_t()> g_clock;
}  // namespace

std::time_t Now()
{
    std::function<std::time_t()> clock;
    {
        std::lock_guard lock(g_mutex);
        clock = g_clock;
    }
    return clock ? clock() : std::time(nullptr);
}

void SetClockForTesting(std::function<std::time_t()> clock)
{
    std::lock_guard lock(g_mutex);
    g_clock = std::move(clock);
}

}  // namespace platform
