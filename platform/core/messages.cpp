#include "platform/core/messages.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/core/event.h"

namespace platform {

struct PendingCall {
    enum class Stage { Queued, Running, Done, Dropped };
    std::shared_ptr<MessageEndpoint> target;
    SendChannel* channel = nullptr;
    std::function<intptr_t(MessageHandler&, const KeepGoing&)> work;
    Stage stage = Stage::Queued;
    intptr_t result = 0;
};

struct InterfaceThread::State {
    std::mutex mutex;
    std::condition_variable finished;  // one for all calls: few waiters, rare wake-ups
    std::deque<std::shared_ptr<PendingCall>> queue;
    std::atomic<std::thread::id> owner{std::this_thread::get_id()};
    Event wake;
    std::mutex hookMutex;
    std::function<void()> hook;

    // Tells the interface thread that messages wait: the descriptor, then the hook.
    void Wake()
    {
        wake.Set();
        std::function<void()> h;
        {
            std::lock_guard lock(hookMutex);
            h = hook;
        }
        if (h)
            h();
    }
};

void MessageHandler::HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                                   const KeepGoing& keepGoing)
{
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && !keepGoing())
            return;
        HandleMessage(msg, ByteParam(bytes[i], signExtend), 0);
    }
}

InterfaceThread::InterfaceThread() : state_(new State) {}

InterfaceThread& InterfaceThread::Instance()
{
    // Never destroyed: workers may still look at it while the process ends.
    static InterfaceThread* instance = new InterfaceThread;
    return *instance;
}

void InterfaceThread::Adopt() { state_->owner = std::this_thread::get_id(); }

bool InterfaceThread::IsCurrent() const { return state_->owner.load() == std::this_thread::get_id(); }

int InterfaceThread::WakeFd() const { return state_->wake.Fd(); }

void InterfaceThread::SetWakeHook(std::function<void()> hook)
{
    std::lock_guard lock(state_->hookMutex);
    state_->hook = std::move(hook);
}

intptr_t InterfaceThread::Deliver(const std::shared_ptr<MessageEndpoint>& target, SendChannel* channel,
                                  std::function<intptr_t(MessageHandler&, const KeepGoing&)> work)
{
    State& s = *state_;
    if (IsCurrent()) {
        MessageHandler* handler;
        {
            std::lock_guard lock(s.mutex);
            if ((channel && channel->withdrawn_) || !target->handler_)
                return 0;
            handler = target->handler_;
        }
        KeepGoing keepGoing = [&s, &target, channel] {
            std::lock_guard lock(s.mutex);
            return target->handler_ != nullptr && !(channel && channel->withdrawn_);
        };
        return work(*handler, keepGoing);
    }

    auto call = std::make_shared<PendingCall>();
    call->target = target;
    call->channel = channel;
    call->work = std::move(work);
    {
        std::lock_guard lock(s.mutex);
        if ((channel && channel->withdrawn_) || !target->handler_)
            return 0;
        s.queue.push_back(call);
        if (channel)
            channel->current_ = call;
    }
    s.Wake();
    std::unique_lock lock(s.mutex);
    s.finished.wait(lock, [&] { return call->stage == PendingCall::Stage::Done || call->stage == PendingCall::Stage::Dropped; });
    if (channel && channel->current_ == call)
        channel->current_.reset();
    return call->stage == PendingCall::Stage::Done ? call->result : 0;
}

size_t InterfaceThread::RunPending()
{
    State& s = *state_;
    s.wake.Reset();
    size_t ran = 0;
    // Only the calls waiting now: a reader that queues its next run as soon as one is handled
    // would otherwise keep the thread here, and its timers and painting would starve.
    size_t budget = 0;
    {
        std::lock_guard lock(s.mutex);
        budget = s.queue.size();
    }
    for (;;) {
        std::shared_ptr<PendingCall> call;
        MessageHandler* handler = nullptr;
        {
            std::lock_guard lock(s.mutex);
            while (!s.queue.empty() && !call && budget > 0) {
                --budget;
                call = std::move(s.queue.front());
                s.queue.pop_front();
                if (call->stage == PendingCall::Stage::Dropped) {
                    call.reset();
                    continue;
                }
                handler = call->target->handler_;
                if (!handler) {
                    call->stage = PendingCall::Stage::Dropped;
                    s.finished.notify_all();
                    call.reset();
                    continue;
                }
                call->stage = PendingCall::Stage::Running;
            }
        }
        if (!call)
            break;
        SendChannel* channel = call->channel;
        MessageEndpoint* target = call->target.get();
        KeepGoing keepGoing = [&s, target, channel] {
            std::lock_guard lock(s.mutex);
            return target->handler_ != nullptr && !(channel && channel->withdrawn_);
        };
        intptr_t result = call->work(*handler, keepGoing);
        {
            std::lock_guard lock(s.mutex);
            call->result = result;
            call->stage = PendingCall::Stage::Done;
        }
        s.finished.notify_all();
        ++ran;
    }
    bool more = false;
    {
        std::lock_guard lock(s.mutex);
        more = !s.queue.empty();
    }
    if (more)
        s.Wake();  // the rest is served on the next turn of the event loop
    return ran;
}

bool InterfaceThread::PumpUntil(const std::function<bool()>& pred, int timeoutMs)
{
    Deadline deadline(timeoutMs);
    for (;;) {
        RunPending();
        if (pred())
            return true;
        if (deadline.Expired())
            return false;
        std::vector<WaitItem> items{WaitItem::ForFd(WakeFd(), POLLIN)};
        // Bounded so a predicate that turns true without a message is still seen.
        int slice = deadline.RemainingMs();
        WaitAny(items, slice == kInfinite || slice > 20 ? 20 : slice);
    }
}

SendChannel::WithdrawResult SendChannel::Withdraw()
{
    InterfaceThread::State& s = *InterfaceThread::Instance().state_;
    std::lock_guard lock(s.mutex);
    withdrawn_ = true;
    if (!current_)
        return WithdrawResult::Idle;
    if (current_->stage == PendingCall::Stage::Queued) {
        current_->stage = PendingCall::Stage::Dropped;
        s.finished.notify_all();
        return WithdrawResult::Withdrawn;
    }
    if (current_->stage == PendingCall::Stage::Running)
        return WithdrawResult::InDelivery;
    return WithdrawResult::Idle;
}

bool SendChannel::IsWithdrawn() const
{
    InterfaceThread::State& s = *InterfaceThread::Instance().state_;
    std::lock_guard lock(s.mutex);
    return withdrawn_;
}

std::shared_ptr<MessageEndpoint> MessageEndpoint::Create(MessageHandler* handler)
{
    return std::shared_ptr<MessageEndpoint>(new MessageEndpoint(handler));
}

MessageEndpoint::~MessageEndpoint() = default;

void MessageEndpoint::Close()
{
    InterfaceThread::State& s = *InterfaceThread::Instance().state_;
    std::lock_guard lock(s.mutex);
    handler_ = nullptr;
    for (auto& call : s.queue) {
        if (call->target.get() == this && call->stage == PendingCall::Stage::Queued)
            call->stage = PendingCall::Stage::Dropped;
    }
    s.finished.notify_all();
}

bool MessageEndpoint::IsClosed() const
{
    InterfaceThread::State& s = *InterfaceThread::Instance().state_;
    std::lock_guard lock(s.mutex);
    return handler_ == nullptr;
}

intptr_t MessageEndpoint::Send(unsigned msg, intptr_t wparam, intptr_t lparam, SendChannel* channel)
{
    return InterfaceThread::Instance().Deliver(
        shared_from_this(), channel,
        [msg, wparam, lparam](MessageHandler& h, const KeepGoing&) { return h.HandleMessage(msg, wparam, lparam); });
}

bool MessageEndpoint::SendByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                                  SendChannel* channel)
{
    if (count == 0)
        return true;
    intptr_t delivered = InterfaceThread::Instance().Deliver(
        shared_from_this(), channel, [&](MessageHandler& h, const KeepGoing& keepGoing) -> intptr_t {
            h.HandleByteRun(msg, bytes, count, signExtend, keepGoing);
            return keepGoing() ? 1 : 0;
        });
    return delivered != 0;
}

intptr_t MessageEndpoint::Invoke(std::function<intptr_t(MessageHandler&, const KeepGoing&)> work,
                                 SendChannel* channel)
{
    return InterfaceThread::Instance().Deliver(shared_from_this(), channel, std::move(work));
}

intptr_t SendMessage(const std::shared_ptr<MessageEndpoint>& target, unsigned msg, intptr_t wparam, intptr_t lparam)
{
    return target ? target->Send(msg, wparam, lparam) : 0;
}

}  // namespace platform
