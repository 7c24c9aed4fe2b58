#pragma once
// CQuillonApp: the application object. It starts the program, runs the console window until
// the operator closes it, and then lets the process end.

#include <QApplication>

#include <memory>

#include "platform/core/language.h"

class CQuillonApp {
public:
    // Makes the Qt application; the one instance of the process.
    CQuillonApp(int& argc, char** argv);
    ~CQuillonApp();
    CQuillonApp(const CQuillonApp&) = delete;
    CQuillonApp& operator=(const CQuillonApp&) = delete;

    // Instance initialisation: runs the console until it is closed, then destroys it.
    // Returns false: no message loop follows, the process ends.
    bool InitInstance();

    // The console in the language: created, shown, run until the operator closes it, and
    // destroyed. Needs a QApplication and the interface thread set up on this thread.
    static void RunConsole(platform::Language language);

private:
    std::unique_ptr<QApplication> m_app;
};
