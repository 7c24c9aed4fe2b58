// Writes on a descriptor that claims room but refuses the bytes, as a busy printer on the
// parallel driver does: the writer must wait its turn without spinning.
#include <sys/eventfd.h>
#include <time.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/core/event.h"
#include "platform/core/unique_fd.h"
#include "transport/fd_io.h"

namespace transport {
namespace {

int64_t ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// An eventfd holding 1 polls writable, yet refuses to add the largest value it can hold:
// EAGAIN for as long as the counter is not read.
struct BusyDevice {
    BusyDevice() : fd(::eventfd(1, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        uint64_t big = UINT64_MAX - 1;
        std::memcpy(bytes, &big, sizeof big);
    }
    uint64_t Drain() const
    {
        uint64_t v = 0;
        return ::read(fd.Get(), &v, sizeof v) == sizeof v ? v : 0;
    }
    platform::UniqueFd fd;
    uint8_t bytes[8];
};

TEST(FdIoTest, ABusyDeviceThatClaimsRoomCostsNoCpuUntilTheDeadline)
{
    BusyDevice device;
    ASSERT_TRUE(device.fd);
    platform::Event stop;
    int64_t cpuBefore = ThreadCpuNs();
    platform::Deadline limit(5000);
    WriteOutcome out = WriteWithDeadline(device.fd.Get(), device.bytes, 8, 300, &stop);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.written, 0u);
    EXPECT_FALSE(limit.Expired()) << "the deadline was not kept";
    EXPECT_LT(ThreadCpuNs() - cpuBefore, 60'000'000) << "the write spun while the device was busy";
}

TEST(FdIoTest, ABusyDeviceIsWrittenOnceItTakesTheBytesAndTheStopEndsTheWait)
{
    BusyDevice device;
    ASSERT_TRUE(device.fd);
    platform::Event stop;
    WriteOutcome out;
    std::thread writer([&] { out = WriteWithDeadline(device.fd.Get(), device.bytes, 8, platform::kInfinite, &stop); });
    EXPECT_EQ(device.Drain(), 1u);  // the printer becomes ready
    writer.join();
    EXPECT_FALSE(out.failed);
    EXPECT_EQ(out.written, 8u);
    EXPECT_EQ(device.Drain(), UINT64_MAX - 1);

    // Busy again, with nobody draining: only the stop event ends the wait.
    uint64_t one = 1;
    ASSERT_EQ(::write(device.fd.Get(), &one, sizeof one), ssize_t(sizeof one));
    std::thread stuck([&] { out = WriteWithDeadline(device.fd.Get(), device.bytes, 8, platform::kInfinite, &stop); });
    stop.Set();
    stuck.join();
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(out.written, 0u);
}

}  // namespace
}  // namespace transport
