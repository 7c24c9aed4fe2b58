#pragma once
// Helpers for Qt tests that wait for other threads: pumping the event loop until a condition
// holds, and counting the messages workers queue for the interface thread.

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

#include "platform/core/messages.h"
#include "platform/qt/interface_thread_qt.h"

namespace qttest {

constexpr int kWaitMs = 10000;

// Runs the event loop until pred() holds or timeoutMs passed; returns pred(). The condition
// is looked at every few milliseconds, so one set by another thread is seen without an event.
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = kWaitMs)
{
    if (pred())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    check.start();
    deadline.start(timeoutMs);
    loop.exec();
    return pred();
}

// While it lives, every message queued for the interface thread is counted (and still served
// as usual once the event loop runs). The GUI thread can wait for a worker's message to be
// queued without pumping, i.e. while it is "busy".
class QueuedCounter {
public:
    QueuedCounter()
    {
        platform::InterfaceThread::Instance().SetWakeHook([this] {
            {
                std::lock_guard lock(mutex_);
                ++count_;
            }
            changed_.notify_all();
            platform::PostRunPending();
        });
    }
    ~QueuedCounter() { platform::InterfaceThread::Instance().SetWakeHook(&platform::PostRunPending); }
    QueuedCounter(const QueuedCounter&) = delete;
    QueuedCounter& operator=(const QueuedCounter&) = delete;

    // Blocks the calling thread (no event loop) until n messages were queued in all.
    bool WaitFor(size_t n, int timeoutMs = kWaitMs)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return count_ >= n; });
    }
    size_t Count()
    {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t count_ = 0;
};

}  // namespace qttest
