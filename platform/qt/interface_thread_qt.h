#pragma once
// Ties the interface thread's message queue to the Qt event loop.
//
// Messages that workers send wait in the interface thread's queue; each send calls the wake
// hook, which posts one queued call to the GUI thread that empties the queue. Posted calls
// are served by every event loop, nested modal ones (dialogs, message boxes) included, so a
// worker is never left waiting while the operator answers a prompt.

namespace platform {

// Call on the GUI thread once a QApplication exists. Makes this thread the interface thread
// and installs the wake hook. Calling it again only re-installs the hook.
void InstallQtInterfaceThread();

// From any thread: asks the GUI thread to run the pending messages soon. Several requests
// before the GUI thread gets to them cost one posted call. Does nothing without a QApplication.
void PostRunPending();

}  // namespace platform
