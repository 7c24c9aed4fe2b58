#include "transport/device_watcher.h"

#include <sys/inotify.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "platform/core/unique_fd.h"
#include "transport/notifications.h"

namespace transport {

// Create and delete catch a node made or removed in place; the moves catch nodes renamed
// into or out of the folder; attrib catches udev setting owner and mode after the kernel
// made the node, which keeps the burst open until the node is usable.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_ONLYDIR;
constexpr const char* kUsbFolder = "usb";

struct DeviceWatcher::State {
    std::string devRoot;
    int settleMs = kDefaultSettleMs;
    std::shared_ptr<platform::MessageEndpoint> window;
    platform::UniqueFd inotify;
    platform::Event stop;
    platform::SendChannel channel;  // what Stop withdraws
    int rootWatch = -1;
    int usbWatch = -1;  // -1 while the device root has no usb folder
};

namespace {

using State = DeviceWatcher::State;

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool FolderHoldsPrinterNodes(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (IsWatchedNodeName(it->path().filename().string(), true))
            return true;
    }
    return false;
}

// Watches the usb folder if there is one. True when it already holds printer nodes: they
// may have been made before the watch was in place, so no event told of them.
bool WatchUsbFolder(State& s)
{
    const std::string folder = s.devRoot + "/" + kUsbFolder;
    int wd = ::inotify_add_watch(s.inotify.Get(), folder.c_str(), kWatchMask);
    if (wd < 0)
        return false;
    s.usbWatch = wd;
    return FolderHoldsPrinterNodes(folder);
}

// Whether one event concerns a port node; keeps the usb folder watched as it comes and goes.
bool HandleEvent(State& s, int wd, uint32_t mask, const std::string& name)
{
    if (mask & IN_Q_OVERFLOW) {
        // Events were lost: anything may have changed, the usb folder included.
        if (s.usbWatch < 0)
            WatchUsbFolder(s);
        return true;
    }
    if (wd == s.usbWatch) {
        if (mask & IN_IGNORED) {
            s.usbWatch = -1;  // the folder is gone; its nodes went with their own deletes
            return false;
        }
        return IsWatchedNodeName(name, true);
    }
    if (wd != s.rootWatch)
        return false;  // the end of a usb watch replaced since
    if (mask & IN_IGNORED) {
        s.rootWatch = -1;  // the device root itself went away, and every node with it
        return true;
    }
    if ((mask & IN_ISDIR) && name == kUsbFolder) {
        if (mask & (IN_CREATE | IN_MOVED_TO))
            return WatchUsbFolder(s);
        if ((mask & IN_MOVED_FROM) && s.usbWatch >= 0) {
            // The watch would follow the folder to its new place; its nodes left the root.
            ::inotify_rm_watch(s.inotify.Get(), s.usbWatch);
            s.usbWatch = -1;
            return true;
        }
        return false;
    }
    return IsWatchedNodeName(name, false);
}

enum class DrainResult { Quiet, NodesChanged, Failed };

// Reads every queued event.
DrainResult DrainEvents(State& s)
{
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t n = ::read(s.inotify.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0)
            return DrainResult::Failed;
        size_t offset = 0;
        while (offset + sizeof(inotify_event) <= size_t(n)) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            const char* nameStart = buffer + offset + sizeof event;
            offset += sizeof event + event.len;
            if (offset > size_t(n))
                break;  // never from the kernel: it hands whole events only
            std::string name(nameStart, ::strnlen(nameStart, event.len));
            changed |= HandleEvent(s, event.wd, event.mask, name);
        }
    }
    return changed ? DrainResult::NodesChanged : DrainResult::Quiet;
}

void RunWatcher(std::shared_ptr<State> s)
{
    bool burstOpen = false;
    for (;;) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(s->stop),
                                              platform::WaitItem::ForFd(s->inotify.Get(), POLLIN)};
        // Only an open burst has a time-out: idle, the worker sleeps until an event or stop.
        int ready = platform::WaitAny(items, burstOpen ? s->settleMs : platform::kInfinite);
        if (ready == 0 || ready == platform::kWaitFailed)
            return;
        if (ready == platform::kWaitTimeout) {
            burstOpen = false;
            s->window->Send(kMsgDeviceChange, kDevNodesChanged, 0, &s->channel);
            continue;
        }
        switch (DrainEvents(*s)) {
        case DrainResult::NodesChanged:
            burstOpen = true;
            break;
        case DrainResult::Quiet:
            break;  // an open burst waits a whole settle period again
        case DrainResult::Failed:
            return;  // a descriptor that fails would only make the loop spin
        }
    }
}

}  // namespace

bool IsWatchedNodeName(const std::string& name, bool inUsbFolder)
{
    if (inUsbFolder)
        return StartsWith(name, "lp");
    return StartsWith(name, "tty") || StartsWith(name, "lp");
}

DeviceWatcher::DeviceWatcher(int settleMs) : settleMs_(settleMs < 0 ? 0 : settleMs) {}

DeviceWatcher::~DeviceWatcher() { Stop(); }

bool DeviceWatcher::Start(std::shared_ptr<platform::MessageEndpoint> window)
{
    if (worker_.joinable() || !window)
        return false;
    auto s = std::make_shared<State>();
    s->devRoot = platform::CurrentDeviceRoots().dev;
    s->settleMs = settleMs_;
    s->window = std::move(window);
    s->inotify.Reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!s->inotify || !s->stop.Valid())
        return false;
    s->rootWatch = ::inotify_add_watch(s->inotify.Get(), s->devRoot.c_str(), kWatchMask);
    if (s->rootWatch < 0)
        return false;
    WatchUsbFolder(*s);  // nodes present now are already in the window's list

    try {
        worker_ = std::thread(RunWatcher, s);
    } catch (const std::system_error&) {
        return false;
    }
    state_ = std::move(s);
    return true;
}

void DeviceWatcher::Stop()
{
    if (!worker_.joinable())
        return;
    state_->stop.Set();
    platform::SendChannel::WithdrawResult r = state_->channel.Withdraw();
    if (r == platform::SendChannel::WithdrawResult::InDelivery && platform::InterfaceThread::Instance().IsCurrent()) {
        // Our notice is being handled below us on this thread: joining would wait for
        // ourselves. The worker sees the stop when the handler returns, and its reference
        // keeps the state alive until then.
        worker_.detach();
    } else {
        worker_.join();
    }
    state_.reset();
}

}  // namespace transport
