#include "transport/port_session.h"

#include "transport/common_utils.h"

#include "transport/notifications.h"

#include <sys/socket.h>

namespace transport {

void SendQueue::Push(Bytes bytes)
{
    std::lock_guard lock(mutex_);
    sends_.push_back(std::move(bytes));
}

std::optional<Bytes> SendQueue::Pop()
{
    std::lock_guard lock(mutex_);
    if (sends_.empty())
        return std::nullopt;
    Bytes front = std::move(sends_.front());
    sends_.pop_front();
    return front;
}

bool SendQueue::Empty()
{
    std::lock_guard lock(mutex_);
    return sends_.empty();
}

void PortSession::NotifyBytes(Worker& from, const uint8_t* bytes, size_t count, bool signExtend)
{
    if (owner)
        owner->SendByteRun(kNotifyByteReceived, bytes, count, signExtend, &from.channel);
}

void PortSession::StopWorkers()
{
    running = false;
    stop.Set();
    // A reader asleep in recv wakes only when its socket is shut down.
    if (kind == kKindNetwork && port)
        ::shutdown(port.Get(), SHUT_RDWR);
    const bool onInterfaceThread = platform::InterfaceThread::Instance().IsCurrent();
    for (Worker* w : {&monitor, &writer, &reader}) {
        if (!w->thread.joinable())
            continue;
        platform::SendChannel::WithdrawResult r = w->channel.Withdraw();
        if (w->thread.get_id() == std::this_thread::get_id()) {
            w->thread.detach();  // a worker closing its own port ends when it returns
        } else if (r == platform::SendChannel::WithdrawResult::InDelivery && onInterfaceThread) {
            // Its notification is being handled below us on this very thread: joining would
            // wait for ourselves. It ends when the handler returns, holding the session.
            w->thread.detach();
        } else {
            w->thread.join();
        }
    }
    // Even a worker left running never touches the port again once it sees the token
    // cleared, so the node is free for a reopen at once.
    port.Reset();
}

}  // namespace transport
