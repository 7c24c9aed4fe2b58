// Test entry for Qt tests: a QApplication on the offscreen platform whose thread is the
// interface thread, with the message queue served by the Qt event loop.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "platform/qt/interface_thread_qt.h"

int main(int argc, char** argv)
{
    // Test discovery runs the binary without the test environment; no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    platform::InstallQtInterfaceThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
