#pragma once
// Where device nodes and sysfs are looked up. Production uses /dev and /sys; tests point
// these at temporary trees.

#include <string>

namespace platform {

struct DeviceRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
};

DeviceRoots CurrentDeviceRoots();
void SetDeviceRoots(const DeviceRoots& roots);

// Puts the previous roots back when it goes out of scope.
class ScopedDeviceRoots {
public:
    explicit ScopedDeviceRoots(const DeviceRoots& roots) : saved_(CurrentDeviceRoots()) { SetDeviceRoots(roots); }
    ~ScopedDeviceRoots() { SetDeviceRoots(saved_); }
    ScopedDeviceRoots(const ScopedDeviceRoots&) = delete;
    ScopedDeviceRoots& operator=(const ScopedDeviceRoots&) = delete;

private:
    DeviceRoots saved_;
};

}  // namespace platform
