#include "platform/core/event.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

namespace platform {
namespace {

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    Event e;
    ASSERT_TRUE(e.Valid());
    EXPECT_FALSE(e.IsSet());
    e.Set();
    e.Set();
    EXPECT_TRUE(e.IsSet());
    std::vector<WaitItem> items{WaitItem::ForEvent(e)};
    EXPECT_EQ(WaitAny(items, 0), 0);
    EXPECT_EQ(WaitAny(items, 0), 0) << "a wait must not consume the signal";
    e.Reset();
    EXPECT_FALSE(e.IsSet());
    EXPECT_EQ(WaitAny(items, 0), kWaitTimeout);
}

TEST(Event, LowestReadyPositionIsServedFirst)
{
    Event shutdown, comm, write;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
    ASSERT_EQ(::write(writeEnd.Get(), "x", 1), 1);
    write.Set();
    std::vector<WaitItem> items{WaitItem::ForEvent(shutdown), WaitItem::ForFd(readEnd.Get(), POLLIN),
                                WaitItem::ForEvent(write)};
    EXPECT_EQ(WaitAny(items, 0), 1);
    EXPECT_TRUE(items[2].revents & POLLIN) << "every position's poll bits are reported";
    shutdown.Set();
    EXPECT_EQ(WaitAny(items, 0), 0);
    std::vector<WaitItem> withGap{WaitItem::Nothing(), WaitItem::ForEvent(write)};
    EXPECT_EQ(WaitAny(withGap, 0), 1);
}

TEST(Event, WaitWakesWhenAnotherThreadSignals)
{
    Event e;
    std::thread t([&] { e.Set(); });
    std::vector<WaitItem> items{WaitItem::ForEvent(e)};
    EXPECT_EQ(WaitAny(items, kInfinite), 0);
    t.join();
}

TEST(Event, DeadlineCountsDown)
{
    Deadline never(-1);
    EXPECT_EQ(never.RemainingMs(), kInfinite);
    EXPECT_FALSE(never.Expired());
    Deadline now(0);
    EXPECT_EQ(now.RemainingMs(), 0);
    EXPECT_TRUE(now.Expired());
    Deadline later(60000);
    EXPECT_GT(later.RemainingMs(), 59000);
    EXPECT_LE(later.RemainingMs(), 60000);
}

}  // namespace
}  // namespace platform
