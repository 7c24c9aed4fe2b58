#include "transport/daily_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/core/clock.h"
#include "temp_dir.h"

namespace {

// Makes a temporary directory current for the test and goes back afterwards.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::string& path) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~ScopedCurrentDir()
    {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::filesystem::path previous_;
};

// Sets the process time zone for the test and restores the previous one.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz)
    {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (previous_)
            ::setenv("TZ", previous_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

// A local time in the current zone.
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class DailyLogTest : public ::testing::Test {
protected:
    testsupport::TempDir dir_;
    ScopedCurrentDir cwd_{dir_.Path()};
    ScopedTimeZone tz_{"UTC0"};
    std::time_t now_ = LocalTime(2024, 3, 5, 12, 0, 0);
    platform::ScopedClock clock_{[this] { return now_; }};
};

TEST_F(DailyLogTest, SuccessiveCallsAppendUnchanged)
{
    EXPECT_EQ(transport::WriteDailyLog("A"), 1);
    EXPECT_EQ(transport::WriteDailyLog("B"), 1);
    EXPECT_EQ(dir_.ReadFile("2024-03-05.txt"), "AB");
}

TEST_F(DailyLogTest, KeepsExistingContents)
{
    dir_.WriteFile("2024-03-05.txt", "earlier\r\n");
    EXPECT_EQ(transport::WriteDailyLog("later"), 1);
    EXPECT_EQ(dir_.ReadFile("2024-03-05.txt"), "earlier\r\nlater");
}

TEST_F(DailyLogTest, EmptyTextCreatesAnEmptyFile)
{
    EXPECT_EQ(transport::WriteDailyLog(""), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "2024-03-05.txt"));
    EXPECT_EQ(dir_.ReadFile("2024-03-05.txt"), "");
}

TEST_F(DailyLogTest, WritesLineFeedsAsCrLf)
{
    struct Case {
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"no line end", "no line end"},
        {"one line\n", "one line\r\n"},
        {"a\nb\n\nc", "a\r\nb\r\n\r\nc"},
        {"\n", "\r\n"},
        {"already\r\n", "already\r\r\n"},
        {"cr only\r", "cr only\r"},
    };
    std::string expected;
    for (const Case& c : cases) {
        ASSERT_EQ(transport::WriteDailyLog(c.text), 1);
        expected += c.stored;
        EXPECT_EQ(dir_.ReadFile("2024-03-05.txt"), expected) << "after \"" << c.text << "\"";
    }
}

TEST_F(DailyLogTest, FileLiesInTheCurrentDirectory)
{
    dir_.MakeDirs("elsewhere");
    {
        ScopedCurrentDir inner(dir_ / "elsewhere");
        EXPECT_EQ(transport::WriteDailyLog("x"), 1);
    }
    EXPECT_EQ(dir_.ReadFile("elsewhere/2024-03-05.txt"), "x");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "2024-03-05.txt"));
}

TEST_F(DailyLogTest, NameInUseByADirectoryGivesZero)
{
    dir_.MakeDirs("2024-03-05.txt");
    EXPECT_EQ(transport::WriteDailyLog("lost"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "2024-03-05.txt"));
}

TEST_F(DailyLogTest, MissingFolderGivesZero)
{
    dir_.MakeDirs("gone");
    ScopedCurrentDir inner(dir_ / "gone");
    std::filesystem::remove(dir_ / "gone");
    EXPECT_EQ(transport::WriteDailyLog("lost"), 0);
}

// The date rolls at local midnight, not UTC midnight: zones on both sides of UTC make a
// UTC-based name land in the wrong file.
class DailyLogMidnightTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DailyLogMidnightTest, NewFileBeginsAtLocalMidnight)
{
    testsupport::TempDir dir;
    ScopedCurrentDir cwd(dir.Path());
    ScopedTimeZone tz(GetParam());

    std::time_t now = LocalTime(2024, 2, 29, 23, 59, 59);
    platform::ScopedClock clock([&now] { return now; });

    ASSERT_EQ(transport::WriteDailyLog("before\n"), 1);
    now = LocalTime(2024, 3, 1, 0, 0, 0);
    ASSERT_EQ(now - LocalTime(2024, 2, 29, 23, 59, 59), 1);
    ASSERT_EQ(transport::WriteDailyLog("after\n"), 1);
    now = LocalTime(2024, 3, 1, 23, 59, 59);
    ASSERT_EQ(transport::WriteDailyLog("late\n"), 1);

    EXPECT_EQ(dir.ReadFile("2024-02-29.txt"), "before\r\n");
    EXPECT_EQ(dir.ReadFile("2024-03-01.txt"), "after\r\nlate\r\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 2);
}

INSTANTIATE_TEST_SUITE_P(Zones, DailyLogMidnightTest, ::testing::Values("UTC0", "EAST-5", "WEST+7", "CET-1CEST,M3.5.0,M10.5.0/3"));

}  // namespace
