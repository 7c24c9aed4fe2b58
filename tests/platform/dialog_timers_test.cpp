// Numbered window timers: repeating, independent per id, restarted when set again, stopped
// by KillTimer.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <map>

#include "qt_pump.h"
#include "test_window.h"

namespace {

using qttest::PumpUntil;
using qttest::TestWindow;

TEST(DialogTimers, EachIdFiresRepeatedlyWithItsOwnId)
{
    TestWindow w;
    std::map<int, int> fired;
    w.onTimer = [&](int id) { ++fired[id]; };
    w.SetTimer(1, 10);
    w.SetTimer(4, 15);
    ASSERT_TRUE(PumpUntil([&] { return fired[1] >= 3 && fired[4] >= 3; }));
    EXPECT_EQ(fired.size(), 2u);
}

TEST(DialogTimers, KillTimerStopsOnlyThatTimer)
{
    TestWindow w;
    std::map<int, int> fired;
    w.onTimer = [&](int id) { ++fired[id]; };
    w.SetTimer(1, 10);
    ASSERT_TRUE(PumpUntil([&] { return fired[1] >= 2; }));
    EXPECT_TRUE(w.KillTimer(1));
    EXPECT_FALSE(w.KillTimer(1));
    EXPECT_FALSE(w.KillTimer(9));
    const int afterKill = fired[1];

    // A slower timer's three ticks span many intervals of the killed one.
    w.SetTimer(2, 40);
    ASSERT_TRUE(PumpUntil([&] { return fired[2] >= 3; }));
    EXPECT_EQ(fired[1], afterKill);

    // Set again, it runs again.
    w.SetTimer(1, 10);
    ASSERT_TRUE(PumpUntil([&] { return fired[1] >= afterKill + 2; }));
}

TEST(DialogTimers, SettingARunningTimerRestartsItWithTheNewInterval)
{
    TestWindow w;
    QElapsedTimer clock;
    qint64 rearmedAt = -1;
    qint64 firstFireAfterRearm = -1;
    std::map<int, int> fired;
    w.onTimer = [&](int id) {
        ++fired[id];
        if (id == 8 && fired[8] == 1) {
            // 70 ms into timer 7's 100 ms: restarted, its next tick is 100 ms from now, not 30.
            w.SetTimer(7, 100);
            rearmedAt = clock.elapsed();
            w.KillTimer(8);
        }
        if (id == 7 && rearmedAt >= 0 && firstFireAfterRearm < 0)
            firstFireAfterRearm = clock.elapsed();
    };
    clock.start();
    w.SetTimer(7, 100);
    w.SetTimer(8, 70);
    ASSERT_TRUE(PumpUntil([&] { return firstFireAfterRearm >= 0; }));
    EXPECT_EQ(fired[8], 1);
    EXPECT_GE(firstFireAfterRearm - rearmedAt, 90);

    // A new interval takes effect at once: from an hour to 10 ms.
    fired.clear();
    w.SetTimer(3, 3600 * 1000);
    w.SetTimer(3, 10);
    ASSERT_TRUE(PumpUntil([&] { return fired[3] >= 2; }));
}

TEST(DialogTimers, DestroyedWindowsTimersNoLongerFire)
{
    int fired = 0;
    int other = 0;
    {
        TestWindow doomed;
        doomed.onTimer = [&](int) { ++fired; };
        doomed.SetTimer(1, 10);
        ASSERT_TRUE(PumpUntil([&] { return fired >= 1; }));
    }
    const int atDestruction = fired;
    TestWindow w;
    w.onTimer = [&](int) { ++other; };
    w.SetTimer(1, 30);
    ASSERT_TRUE(PumpUntil([&] { return other >= 3; }));
    EXPECT_EQ(fired, atDestruction);
}

}  // namespace
