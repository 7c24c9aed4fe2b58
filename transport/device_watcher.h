#pragma once
// DeviceWatcher: tells a window that printer port nodes came or went.
//
// A worker thread watches the device root, and its usb folder, with inotify. Creating,
// removing, renaming or changing the owner or mode of a node named tty* or lp* (usb/lp*
// in the folder) opens a burst; once no event at all has arrived for the settle period,
// the window gets one kMsgDeviceChange (wparam kDevNodesChanged, lparam 0). Plugging a
// device makes several nodes and udev then sets their owner and mode, so one notice per
// burst spares the window repeated rebuilds of its port list and comes when the nodes can
// be opened. The notice is sent synchronously, like the port workers' notifications.
//
// Start and Stop are called by the window's thread. Stop (and the destructor) ends the
// worker and waits for it; a notice still queued for the window is withdrawn and never
// delivered. Stop may also run inside the watcher's own notice: the worker then ends by
// itself once the handler returns, holding its own state, so nothing waits for itself.

#include <memory>
#include <string>
#include <thread>

#include "platform/core/messages.h"

namespace transport {

constexpr int kDefaultSettleMs = 200;

// Whether an event about name (in the device root, or in its usb folder) concerns a port.
bool IsWatchedNodeName(const std::string& name, bool inUsbFolder);

class DeviceWatcher {
public:
    explicit DeviceWatcher(int settleMs = kDefaultSettleMs);
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    // Watches the current device root for window. False when already running, without a
    // window, or when the root cannot be watched or the worker not started.
    bool Start(std::shared_ptr<platform::MessageEndpoint> window);
    // Harmless when not running. The watcher can be started again afterwards.
    void Stop();
    bool Running() const { return worker_.joinable(); }

    struct State;  // what the worker shares with its watcher

private:
    int settleMs_;
    std::shared_ptr<State> state_;
    std::thread worker_;
};

}  // namespace transport
