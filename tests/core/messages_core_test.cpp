// The Qt-free side of synchronous messages: the test thread is the interface thread.
#include "platform/core/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/core/event.h"
#include "recording_window.h"

namespace platform {
namespace {

using testsupport::RecordingWindow;

bool WaitForQueuedMessage()
{
    std::vector<WaitItem> items{WaitItem::ForFd(InterfaceThread::Instance().WakeFd(), POLLIN)};
    return WaitAny(items, 5000) == 0;
}

TEST(MessagesCore, WorkerWaitsForTheHandlerOnTheInterfaceThread)
{
    InterfaceThread::Instance().RunPending();
    RecordingWindow window;
    std::thread::id handlerThread;
    window.onMessage = [&](const testsupport::RecordedMessage&) { handlerThread = std::this_thread::get_id(); };
    std::atomic<intptr_t> result{-1};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        result = window.Endpoint()->Send(WM_USER + 9, 42, 7);
        returned = true;
    });
    ASSERT_TRUE(WaitForQueuedMessage());
    EXPECT_FALSE(returned) << "the sender must wait for the handler";
    ASSERT_TRUE(window.PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].wparam, 42);
    EXPECT_EQ(window.messages[0].lparam, 7);
    EXPECT_EQ(result, 0);
}

TEST(MessagesCore, ARunIsHandledAsSeparateBytesAndStopsWhenWithdrawn)
{
    InterfaceThread::Instance().RunPending();
    RecordingWindow window;
    SendChannel channel;
    const uint8_t run[] = {0x01, 0x7F, 0x80, 0xFF, 0x42};
    // Withdrawn while its third byte is handled: the rest of the run is not delivered.
    window.onMessage = [&](const testsupport::RecordedMessage&) {
        if (window.messages.size() == 3) {
            EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::InDelivery);
        }
    };
    std::atomic<bool> delivered{true};
    std::thread worker([&] { delivered = window.Endpoint()->SendByteRun(WM_USER + 7, run, sizeof run, true, &channel); });
    ASSERT_TRUE(WaitForQueuedMessage());
    ASSERT_TRUE(window.PumpUntil([&] { return window.messages.size() >= 3; }));
    worker.join();
    EXPECT_FALSE(delivered);
    EXPECT_EQ(window.Params(WM_USER + 7), (std::vector<intptr_t>{1, 127, -128}));
    // Later sends on a withdrawn channel return at once without delivery.
    EXPECT_EQ(window.Endpoint()->Send(WM_USER + 9, 1, 0, &channel), 0);
    EXPECT_EQ(window.messages.size(), 3u);
}

TEST(MessagesCore, WithdrawReleasesAQueuedSenderWithoutDelivery)
{
    InterfaceThread::Instance().RunPending();
    RecordingWindow window;
    SendChannel channel;
    std::thread worker([&] { window.Endpoint()->Send(WM_USER + 2, 0, 0, &channel); });
    ASSERT_TRUE(WaitForQueuedMessage());
    EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::Withdrawn);
    worker.join();  // no pumping needed: the worker was released
    InterfaceThread::Instance().RunPending();
    EXPECT_TRUE(window.messages.empty());
}

TEST(MessagesCore, AClosedEndpointReleasesItsSendersAndNeverHandles)
{
    InterfaceThread::Instance().RunPending();
    auto window = std::make_unique<RecordingWindow>();
    auto endpoint = window->Endpoint();
    std::atomic<intptr_t> result{-1};
    std::thread worker([&] { result = endpoint->Send(WM_USER + 7, 1, 0); });
    ASSERT_TRUE(WaitForQueuedMessage());
    window.reset();  // closes the endpoint
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(InterfaceThread::Instance().RunPending(), 0u);
    EXPECT_TRUE(endpoint->IsClosed());
    EXPECT_EQ(endpoint->Send(WM_USER + 7, 1, 0), 0);
}

}  // namespace
}  // namespace platform
