#pragma once
// Synchronous window messages between threads.
//
// Principles of operation
// - Every window has one MessageEndpoint. A message sent to it runs the window's handler
//   on the interface thread; the sender waits until the handler has returned. On the
//   interface thread itself the handler is called directly.
// - Messages from other threads go into one FIFO queue that the interface thread empties
//   (RunPending, a batch at a time), so handlers run in the order the messages were sent,
//   and a stream of messages cannot keep the thread from its other events. The interface
//   thread learns of new work through a wake descriptor and an optional hook (the Qt
//   part posts a queued call).
// - A worker sends through its SendChannel. The interface thread can Withdraw a channel:
//   a queued message of that worker is dropped and the worker released, and later sends
//   on it return at once. That lets ClosePort join a worker blocked in a send without
//   deadlock. Withdraw tells the caller when the worker's message is being handled right
//   now: then the handler is on the interface thread's stack and the worker must not be
//   joined from there.
// - Closing an endpoint (its window is being destroyed) drops every queued message to it,
//   releases the senders and refuses later ones. A closed endpoint never calls its handler.
// - A run of received bytes travels in one hop and is handled byte by byte, as if each
//   byte had been a message of its own; the run stops early when its sender is withdrawn
//   or the window closes, exactly where separate messages would have stopped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

constexpr unsigned WM_USER = 0x400;

using KeepGoing = std::function<bool()>;

// Implemented by windows; called on the interface thread only.
class MessageHandler {
public:
    virtual intptr_t HandleMessage(unsigned msg, intptr_t wparam, intptr_t lparam) = 0;
    // Handles count bytes as count messages (msg, byte, 0), in order. With signExtend the byte
    // is widened as a signed 8-bit value. Stops when keepGoing() turns false. Windows that can
    // take a run faster override this, keeping the per-byte meaning.
    virtual void HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                               const KeepGoing& keepGoing);

protected:
    ~MessageHandler() = default;
};

// The value a byte carries in wparam.
inline intptr_t ByteParam(uint8_t byte, bool signExtend)
{
    return signExtend ? intptr_t(int8_t(byte)) : intptr_t(byte);
}

class SendChannel;
struct PendingCall;

class MessageEndpoint : public std::enable_shared_from_this<MessageEndpoint> {
public:
    static std::shared_ptr<MessageEndpoint> Create(MessageHandler* handler);
    ~MessageEndpoint();
    MessageEndpoint(const MessageEndpoint&) = delete;
    MessageEndpoint& operator=(const MessageEndpoint&) = delete;

    // Interface thread: the window is going away. Nothing is delivered any more.
    void Close();
    bool IsClosed() const;

    // From any thread. Returns the handler's result, or 0 when the message was withdrawn,
    // the endpoint is closed, or the channel was withdrawn before.
    intptr_t Send(unsigned msg, intptr_t wparam, intptr_t lparam, SendChannel* channel = nullptr);
    // A run of received bytes, one hop. Returns false when it was not (wholly) delivered.
    bool SendByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                     SendChannel* channel = nullptr);
    // Runs any work for this window on the interface thread and waits for it (prompts asked
    // for by workers use this). Returns 0 when withdrawn or closed.
    intptr_t Invoke(std::function<intptr_t(MessageHandler&, const KeepGoing&)> work,
                    SendChannel* channel = nullptr);

private:
    explicit MessageEndpoint(MessageHandler* handler) : handler_(handler) {}
    friend class InterfaceThread;
    MessageHandler* handler_;  // guarded by the interface-thread mutex; null once closed
};

// Convenience in the shape of the Windows call.
intptr_t SendMessage(const std::shared_ptr<MessageEndpoint>& target, unsigned msg, intptr_t wparam,
                     intptr_t lparam);

// One per worker thread: what the interface thread withdraws when it stops that worker.
class SendChannel {
public:
    SendChannel() = default;
    SendChannel(const SendChannel&) = delete;
    SendChannel& operator=(const SendChannel&) = delete;

    enum class WithdrawResult {
        Idle,        // the worker was not sending
        Withdrawn,   // its queued message was dropped and the worker released
        InDelivery,  // its message is being handled right now
    };
    // From any thread; permanent. Later sends on this channel return at once.
    WithdrawResult Withdraw();
    bool IsWithdrawn() const;

private:
    friend class InterfaceThread;
    friend class MessageEndpoint;
    bool withdrawn_ = false;                // guarded by the interface-thread mutex
    std::shared_ptr<PendingCall> current_;  // guarded by the interface-thread mutex
};

// The one interface thread and its queue of messages from other threads.
class InterfaceThread {
public:
    static InterfaceThread& Instance();

    // Makes the calling thread the interface thread (the application's main thread).
    void Adopt();
    bool IsCurrent() const;

    // Readable while messages wait; RunPending clears it.
    int WakeFd() const;
    // Called after each message is queued, from the sending thread (thread-safe hook).
    void SetWakeHook(std::function<void()> hook);

    // Interface thread: handles the messages queued so far, in order; those queued meanwhile
    // wait for the next call (the wake descriptor and hook say so). Returns how many ran.
    size_t RunPending();
    // Interface thread, for loops without a GUI: runs messages until pred() is true or
    // timeoutMs passed. Returns pred().
    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs);

private:
    InterfaceThread();
    friend class MessageEndpoint;
    friend class SendChannel;
    intptr_t Deliver(const std::shared_ptr<MessageEndpoint>& target, SendChannel* channel,
                     std::function<intptr_t(MessageHandler&, const KeepGoing&)> work);
    struct State;
    State* state_;
};

}  // namespace platform
