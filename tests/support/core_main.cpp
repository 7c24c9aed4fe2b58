// Test entry for Qt-free tests: the test thread is the interface thread, and tests pump
// its messages with InterfaceThread::PumpUntil.
#include <gtest/gtest.h>

#include "platform/core/messages.h"

int main(int argc, char** argv)
{
    platform::InterfaceThread::Instance().Adopt();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
