#pragma once
// Shared pieces of the console tests: temporary device trees (empty unless a test adds
// ports), a console window in a chosen language, and input sent as the window system would.

#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>
#include <string>

#include "console/quillon_dlg.h"
#include "platform/core/device_roots.h"
#include "temp_dir.h"

namespace consoletest {

// A device root and a sysfs root of their own, current while the object lives.
class DeviceTree {
public:
    DeviceTree() : roots_({dir_ / "dev", dir_ / "sys"})
    {
        dir_.MakeDirs("dev");
        dir_.MakeDirs("sys");
    }

    // A serial port with hardware behind it (its node, a device link and for ttyS a UART).
    void SerialPort(const std::string& node) const
    {
        dir_.WriteFile("dev/" + node, "");
        dir_.MakeDirs("sys/devices/" + node);
        dir_.MakeDirs("sys/class/tty/" + node);
        EXPECT_EQ(::symlink((dir_ / ("sys/devices/" + node)).c_str(), (dir_ / ("sys/class/tty/" + node + "/device")).c_str()), 0);
        if (node.rfind("ttyS", 0) == 0)
            dir_.WriteFile("sys/class/tty/" + node + "/type", "4\n");
    }
    // A parallel port node that can be opened: lp<index> is LPT<index + 1>.
    void ParallelPort(int index) const { dir_.WriteFile("dev/lp" + std::to_string(index), ""); }
    std::string Sys() const { return dir_ / "sys"; }
    const testsupport::TempDir& Dir() const { return dir_; }

private:
    testsupport::TempDir dir_;
    platform::ScopedDeviceRoots roots_;
};

inline void ProcessEvents() { QCoreApplication::processEvents(); }

// Sends a key press and its release to the widget; true when the press was accepted by
// someone (swallowed or handled).
inline void TypeKey(QWidget* to, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(to, &release);
    ProcessEvents();
}

inline void Click(QWidget* to, Qt::MouseButton button, QPoint at = QPoint(5, 5))
{
    const QPointF pos(at);
    QMouseEvent press(QEvent::MouseButtonPress, pos, to->mapToGlobal(pos), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, to->mapToGlobal(pos), button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &release);
    ProcessEvents();
}

}  // namespace consoletest
