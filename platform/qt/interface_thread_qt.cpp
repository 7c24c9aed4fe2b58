#include "platform/qt/interface_thread_qt.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <mutex>

#include "platform/core/messages.h"

namespace platform {
namespace {

// Shared between the hook (any thread) and the receiver (GUI thread). Never destroyed:
// a worker may still send while the application object goes away.
struct WakeTarget {
    std::mutex mutex;
    QObject* receiver = nullptr;    // guarded by mutex
    std::atomic<bool> posted{false};  // a call is on its way; cleared just before it runs
};

WakeTarget& Target()
{
    static WakeTarget* target = new WakeTarget;
    return *target;
}

// Lives on the GUI thread as a child of the application object; the posted calls target it,
// so Qt drops any still pending when it goes.
class WakeReceiver : public QObject {
public:
    explicit WakeReceiver(QObject* parent) : QObject(parent) {}
    ~WakeReceiver() override
    {
        WakeTarget& t = Target();
        std::lock_guard lock(t.mutex);
        if (t.receiver == this)
            t.receiver = nullptr;
        t.posted = false;
    }
};

void RunPostedCall()
{
    // Cleared before running, so a message queued from now on posts a fresh call.
    Target().posted = false;
    InterfaceThread::Instance().RunPending();
}

}  // namespace

void PostRunPending()
{
    WakeTarget& t = Target();
    if (t.posted.exchange(true))
        return;
    std::lock_guard lock(t.mutex);
    if (!t.receiver) {
        t.posted = false;
        return;
    }
    QMetaObject::invokeMethod(t.receiver, &RunPostedCall, Qt::QueuedConnection);
}

void InstallQtInterfaceThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    InterfaceThread::Instance().Adopt();
    {
        WakeTarget& t = Target();
        std::lock_guard lock(t.mutex);
        if (!t.receiver)
            t.receiver = new WakeReceiver(app);
    }
    InterfaceThread::Instance().SetWakeHook(&PostRunPending);
    // Messages queued before the hook existed are served too.
    PostRunPending();
}

}  // namespace platform
