#include "transport/com_names.h"

#include <gtest/gtest.h>

#include "platform/core/device_roots.h"

namespace transport {
namespace {

TEST(ComNames, FixedTableBothWays)
{
    struct Row {
        int number;
        const char* node;
    };
    const Row rows[] = {{1, "ttyS0"},    {9, "ttyS8"},     {10, "ttyS9"},   {32, "ttyS31"},
                        {33, "ttyUSB0"}, {64, "ttyUSB31"}, {65, "ttyACM0"}, {96, "ttyACM31"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number);
        EXPECT_EQ(ComDeviceName(r.number), r.node);
        EXPECT_EQ(ComNumberForDevice(r.node), r.number);
    }
    for (int outside : {0, -1, 97, 1000})
        EXPECT_EQ(ComDeviceName(outside), "");
    for (const char* other : {"ttyS32", "ttyUSB", "ttyS01", "tty0", "ttyACM-1", "lp0", "ttyUSB1a"})
        EXPECT_FALSE(ComNumberForDevice(other)) << other;
}

TEST(ComNames, PathFollowsTheDeviceRoot)
{
    platform::ScopedDeviceRoots roots({"/tmp/devroot", "/tmp/sysroot"});
    EXPECT_EQ(ComDevicePath(3), "/tmp/devroot/ttyS2");
    EXPECT_EQ(ComDevicePath(0), "");
}

}  // namespace
}  // namespace transport
