// Synchronous messages from worker threads to windows served by the Qt event loop: handled on
// the GUI thread while the sender waits, in send order, withdrawable, and never delivered to
// a window that is gone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>

#include <poll.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/messages.h"
#include "qt_pump.h"
#include "test_window.h"

namespace {

using platform::InterfaceThread;
using platform::SendChannel;
using platform::WM_USER;
using qttest::PumpUntil;
using qttest::QueuedCounter;
using qttest::TestWindow;

constexpr unsigned kByteMsg = WM_USER + 7;
constexpr unsigned kWrittenMsg = WM_USER + 9;

bool OnGuiThread()
{
    return InterfaceThread::Instance().IsCurrent() && QThread::currentThread() == qApp->thread();
}

// A log that several threads write in turn.
class Log {
public:
    void Add(std::string entry)
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> Entries()
    {
        std::lock_guard lock(mutex_);
        return entries_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> entries_;
};

TEST(WorkerMessages, HandlerRunsOnTheGuiThreadWhileTheSenderWaits)
{
    TestWindow w;
    Log log;
    std::atomic<bool> handlerOnGui{false};
    w.onMessage = [&](unsigned msg, intptr_t wparam, intptr_t lparam) -> intptr_t {
        handlerOnGui = OnGuiThread();
        log.Add("handler " + std::to_string(msg - WM_USER) + " " + std::to_string(wparam) + " " +
                std::to_string(lparam));
        return wparam * 2;
    };
    std::atomic<bool> done{false};
    intptr_t result = 0;
    SendChannel channel;
    auto endpoint = w.Endpoint();
    std::thread worker([&] {
        log.Add("send");
        result = endpoint->Send(kWrittenMsg, 21, 5, &channel);
        log.Add("returned");
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(handlerOnGui);
    EXPECT_EQ(result, 42);  // the handler's own result comes back to the sender
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"send", "handler 9 21 5", "returned"}));
}

TEST(WorkerMessages, SendOnTheGuiThreadCallsTheHandlerDirectly)
{
    TestWindow w;
    int calls = 0;
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        ++calls;
        return wparam + 1;
    };
    EXPECT_EQ(platform::SendMessage(w.Endpoint(), WM_USER + 2, 41, 0), 42);
    EXPECT_EQ(calls, 1);
}

TEST(WorkerMessages, OneWorkersMessagesAreHandledInSendOrder)
{
    TestWindow w;
    std::vector<intptr_t> handled;
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        handled.push_back(wparam);
        return wparam + 1000;
    };
    constexpr int kCount = 200;
    std::atomic<bool> done{false};
    std::vector<intptr_t> results;
    auto endpoint = w.Endpoint();
    std::thread worker([&] {
        SendChannel channel;
        for (int i = 0; i < kCount; ++i)
            results.push_back(endpoint->Send(kByteMsg, i, 0, &channel));
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    ASSERT_EQ(handled.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(handled[i], i);
        EXPECT_EQ(results[i], i + 1000);
    }
}

TEST(WorkerMessages, SeveralWorkersAreHandledInTheOrderTheyQueued)
{
    // Each string is the order in which the workers get to send while the GUI thread is busy.
    for (std::string order : {"AB", "BA", "CAB", "BCDA"}) {
        SCOPED_TRACE(order);
        TestWindow w;
        std::string handled;
        w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
            EXPECT_TRUE(OnGuiThread());
            handled.push_back(char(wparam));
            return 1;
        };
        auto endpoint = w.Endpoint();
        std::vector<std::thread> workers;
        std::atomic<int> finished{0};
        {
            QueuedCounter queued;
            for (size_t i = 0; i < order.size(); ++i) {
                const char name = order[i];
                workers.emplace_back([&, name] {
                    SendChannel channel;
                    EXPECT_EQ(endpoint->Send(kByteMsg, name, 0, &channel), 1);
                    ++finished;
                });
                ASSERT_TRUE(queued.WaitFor(i + 1));
            }
            EXPECT_TRUE(PumpUntil([&] { return finished.load() == int(order.size()); }));
            for (auto& t : workers)
                t.join();
        }
        EXPECT_EQ(handled, order);
    }
}

TEST(WorkerMessages, ByteRunArrivesAsOneMessagePerByteInOrder)
{
    const std::vector<uint8_t> bytes{0x00, 0x41, 0x7F, 0x80, 0xFE, 0xFF};
    struct Case {
        bool signExtend;
        std::vector<intptr_t> expected;
    };
    const Case cases[] = {
        {false, {0, 0x41, 0x7F, 0x80, 0xFE, 0xFF}},  // serial monitor
        {true, {0, 0x41, 0x7F, -128, -2, -1}},       // USB and network readers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signExtend);
        TestWindow w;
        std::vector<std::tuple<unsigned, intptr_t, intptr_t>> handled;
        w.onMessage = [&](unsigned msg, intptr_t wparam, intptr_t lparam) -> intptr_t {
            EXPECT_TRUE(OnGuiThread());
            handled.emplace_back(msg, wparam, lparam);
            return 0;
        };
        std::atomic<bool> done{false};
        bool delivered = false;
        auto endpoint = w.Endpoint();
        std::thread worker([&] {
            SendChannel channel;
            delivered = endpoint->SendByteRun(kByteMsg, bytes.data(), bytes.size(), c.signExtend, &channel);
            done = true;
        });
        EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
        worker.join();
        EXPECT_TRUE(delivered);
        ASSERT_EQ(handled.size(), c.expected.size());
        for (size_t i = 0; i < handled.size(); ++i) {
            EXPECT_EQ(std::get<0>(handled[i]), kByteMsg);
            EXPECT_EQ(std::get<1>(handled[i]), c.expected[i]) << "byte " << i;
            EXPECT_EQ(std::get<2>(handled[i]), 0);
        }
    }
}

TEST(WorkerMessages, WithdrawReleasesAWorkerBlockedWhileTheGuiThreadIsBusy)
{
    TestWindow w;
    std::atomic<int> calls{0};
    w.onMessage = [&](unsigned, intptr_t, intptr_t) -> intptr_t {
        ++calls;
        return 1;
    };
    auto endpoint = w.Endpoint();
    SendChannel channel;
    intptr_t first = -1;
    intptr_t later = -1;
    bool laterRun = true;
    {
        QueuedCounter queued;
        std::thread worker([&] {
            first = endpoint->Send(kByteMsg, 1, 0, &channel);
            // Withdrawn: these come back at once, no one serves them.
            later = endpoint->Send(kByteMsg, 2, 0, &channel);
            const uint8_t byte = 3;
            laterRun = endpoint->SendByteRun(kByteMsg, &byte, 1, false, &channel);
        });
        // The GUI thread does not pump: it waits for the message to be queued, withdraws the
        // worker's channel and joins it, as closing a port does.
        ASSERT_TRUE(queued.WaitFor(1));
        EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::Withdrawn);
        worker.join();
        EXPECT_EQ(queued.Count(), 1u);
    }
    EXPECT_EQ(first, 0);
    EXPECT_EQ(later, 0);
    EXPECT_FALSE(laterRun);
    EXPECT_TRUE(channel.IsWithdrawn());
    EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::Idle);

    // The dropped message stays dropped when the loop runs again.
    InterfaceThread::Instance().RunPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls.load(), 0);
}

TEST(WorkerMessages, WithdrawFromInsideTheWorkersHandlerIsInDeliveryAndStopsTheWorker)
{
    TestWindow w;
    auto endpoint = w.Endpoint();
    SendChannel channel;
    std::vector<intptr_t> handled;
    SendChannel::WithdrawResult inHandler = SendChannel::WithdrawResult::Idle;
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        handled.push_back(wparam);
        if (wparam == 2)
            inHandler = channel.Withdraw();
        return 70 + wparam;
    };
    std::atomic<bool> done{false};
    std::vector<intptr_t> results;
    bool runDelivered = true;
    std::thread worker([&] {
        for (intptr_t i = 1; i <= 4; ++i)
            results.push_back(endpoint->Send(kByteMsg, i, 0, &channel));
        const uint8_t bytes[] = {9, 9};
        runDelivered = endpoint->SendByteRun(kByteMsg, bytes, 2, false, &channel);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(inHandler, SendChannel::WithdrawResult::InDelivery);
    // The message being handled completes with its result; nothing after it is delivered.
    EXPECT_EQ(results, (std::vector<intptr_t>{71, 72, 0, 0}));
    EXPECT_EQ(handled, (std::vector<intptr_t>{1, 2}));
    EXPECT_FALSE(runDelivered);
}

TEST(WorkerMessages, WithdrawDuringAByteRunStopsItAfterTheCurrentByte)
{
    TestWindow w;
    auto endpoint = w.Endpoint();
    SendChannel channel;
    std::vector<intptr_t> handled;
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        handled.push_back(wparam);
        if (handled.size() == 2) {
            EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::InDelivery);
        }
        return 0;
    };
    std::atomic<bool> done{false};
    bool delivered = true;
    std::thread worker([&] {
        const uint8_t bytes[] = {10, 11, 12, 13, 14};
        delivered = endpoint->SendByteRun(kByteMsg, bytes, sizeof bytes, false, &channel);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_FALSE(delivered);
    EXPECT_EQ(handled, (std::vector<intptr_t>{10, 11}));
}

TEST(WorkerMessages, DestroyedWindowReleasesItsWaitingSenderAndIsNeverCalled)
{
    std::atomic<bool> handlerCalled{false};
    auto* w = new TestWindow;
    w->onMessage = [&](unsigned, intptr_t, intptr_t) -> intptr_t {
        handlerCalled = true;
        return 1;
    };
    auto endpoint = w->Endpoint();  // the worker's reference outlives the window
    intptr_t first = -1;
    intptr_t later = -1;
    {
        QueuedCounter queued;
        std::thread worker([&] {
            SendChannel channel;
            first = endpoint->Send(kByteMsg, 1, 0, &channel);
            later = endpoint->Send(kByteMsg, 2, 0, &channel);
        });
        ASSERT_TRUE(queued.WaitFor(1));
        delete w;  // the message is still queued: the GUI thread has not pumped
        worker.join();
    }
    EXPECT_EQ(first, 0);
    EXPECT_EQ(later, 0);
    EXPECT_TRUE(endpoint->IsClosed());
    InterfaceThread::Instance().RunPending();
    QCoreApplication::processEvents();
    EXPECT_FALSE(handlerCalled);
}

TEST(WorkerMessages, MessagesAreServedInsideNestedEventLoops)
{
    // A handler that runs a modal loop of its own (as a message box does) still gets the
    // other workers' messages meanwhile.
    TestWindow w;
    std::vector<std::string> handled;
    std::atomic<bool> secondDone{false};
    std::thread second;
    auto endpoint = w.Endpoint();
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        handled.push_back("begin " + std::to_string(wparam));
        if (wparam == 1) {
            second = std::thread([&] {
                SendChannel channel;
                endpoint->Send(kByteMsg, 2, 0, &channel);
                secondDone = true;
            });
            EXPECT_TRUE(PumpUntil([&] { return secondDone.load(); }));
        }
        handled.push_back("end " + std::to_string(wparam));
        return 0;
    };
    std::atomic<bool> firstDone{false};
    std::thread first([&] {
        SendChannel channel;
        endpoint->Send(kByteMsg, 1, 0, &channel);
        firstDone = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return firstDone.load(); }));
    first.join();
    second.join();
    EXPECT_EQ(handled, (std::vector<std::string>{"begin 1", "begin 2", "end 2", "end 1"}));
}

// A message queued while the queue is being served waits for the next turn of the event
// loop, so a worker that sends again as soon as it is answered cannot starve the timers.
TEST(WorkerMessages, MessagesQueuedWhileServingWaitForTheNextTurn)
{
    TestWindow w;
    QueuedCounter queued;
    std::vector<intptr_t> handled;
    std::thread second;
    w.onMessage = [&](unsigned, intptr_t wparam, intptr_t) -> intptr_t {
        handled.push_back(wparam);
        if (wparam == 1) {
            // Another worker queues a message while this one is handled.
            second = std::thread([&] { w.Endpoint()->Send(kWrittenMsg, 2, 0); });
            EXPECT_TRUE(queued.WaitFor(2));
        }
        return 0;
    };
    std::thread first([&] { w.Endpoint()->Send(kWrittenMsg, 1, 0); });
    ASSERT_TRUE(queued.WaitFor(1));

    EXPECT_EQ(InterfaceThread::Instance().RunPending(), 1u);
    EXPECT_EQ(handled, std::vector<intptr_t>{1});
    first.join();
    pollfd wake{InterfaceThread::Instance().WakeFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&wake, 1, 0), 1) << "the rest is announced";

    EXPECT_EQ(InterfaceThread::Instance().RunPending(), 1u);
    EXPECT_EQ(handled, (std::vector<intptr_t>{1, 2}));
    second.join();
}

// A worker that streams without a pause: a timer of the window still fires on time.
TEST(WorkerMessages, ATimerFiresWhileAWorkerStreams)
{
    TestWindow w;
    std::atomic<bool> stop{false};
    std::atomic<int> handled{0};
    w.onMessage = [&](unsigned, intptr_t, intptr_t) -> intptr_t {
        ++handled;
        return 0;
    };
    int fired = 0;
    w.onTimer = [&](int) { ++fired; };
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        while (!stop)
            w.Endpoint()->Send(kByteMsg, 0, 0);
        ended = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return handled > 100; }));
    w.SetTimer(1, 10);
    EXPECT_TRUE(PumpUntil([&] { return fired > 0; }));
    w.KillTimer(1);
    stop = true;
    EXPECT_TRUE(PumpUntil([&] { return ended.load(); }));  // its last message is answered
    worker.join();
    EXPECT_GT(handled.load(), 100);
}

}  // namespace
