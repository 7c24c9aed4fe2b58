#include "platform/core/device_roots.h"

#include <mutex>

namespace platform {
namespace {
std::mutex g_mutex;
DeviceRoots g_roots;
}  // namespace

DeviceRoots CurrentDeviceRoots()
{
    std::lock_guard lock(g_mutex);
    return g_roots;
}

void SetDeviceRoots(const DeviceRoots& roots)
{
    std::lock_guard lock(g_mutex);
    g_roots = roots;
}

}  // namespace platform
