#pragma once
// What an open port shares with its worker threads.
//
// A session is made by each successful open and shared (shared_ptr) by CommonUtils and
// the workers of that port. Closing the port stops the workers and joins them; only when
// the close runs inside one of the worker's own notifications is that worker left to end
// by itself, and then its reference keeps the session (descriptor, events, queue) alive
// until it has. A worker touches nothing of CommonUtils, only its session.

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/core/event.h"
#include "platform/core/messages.h"
#include "platform/core/unique_fd.h"
#include "transport/modem_status.h"

namespace transport {

using Bytes = std::vector<uint8_t>;
using OwnerWindow = std::shared_ptr<platform::MessageEndpoint>;

// Sends waiting for their worker, in the order Write was called; none is lost or mixed.
class SendQueue {
public:
    void Push(Bytes bytes);
    std::optional<Bytes> Pop();
    bool Empty();

private:
    std::mutex mutex_;
    std::deque<Bytes> sends_;
};

struct Worker {
    std::thread thread;
    platform::SendChannel channel;  // what ClosePort withdraws
};

struct PortSession {
    int kind = 0;
    platform::UniqueFd port;       // the serial, USB or parallel node, or the socket
    platform::Event stop;          // ends the workers
    platform::Event writeRequest;  // a send is queued
    SendQueue sends;
    // The run token: the workers of this session run while it holds.
    std::atomic<bool> running{true};
    OwnerWindow owner;
    std::shared_ptr<std::atomic<int>> suppressTxNotify;

    // Serial only.
    std::mutex portLock;
    uint32_t eventMask = 0;
    uint32_t linesAtOpen = 0;  // the first sample, against which changes are seen
    std::shared_ptr<ModemStatusSource> modem;

    Worker monitor;
    Worker writer;
    Worker reader;

    bool EventsValid() const { return stop.Valid() && writeRequest.Valid(); }
    bool TxNotifySuppressed() const { return suppressTxNotify && suppressTxNotify->load() != 0; }

    // Stops every worker and waits for those it may wait for (see the header comment).
    void StopWorkers();

    // Notifications to the owner from a worker; nothing happens without an owner.
    intptr_t Notify(Worker& from, unsigned msg, intptr_t wparam, intptr_t lparam)
    {
        return owner ? owner->Send(msg, wparam, lparam, &from.channel) : 0;
    }
    void NotifyBytes(Worker& from, const uint8_t* bytes, size_t count, bool signExtend);
};

}  // namespace transport
