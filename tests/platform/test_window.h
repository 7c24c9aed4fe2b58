#pragma once
// A window for the platform tests: its message map, timers and input filter hand over to
// functions the test sets, and its destructor closes the endpoint first as real windows do.

#include <QEvent>

#include <functional>
#include <utility>

#include "platform/qt/dialog.h"

namespace qttest {

class TestWindow : public platform::Dialog {
public:
    explicit TestWindow(QWidget* parent = nullptr) : Dialog(parent) {}
    ~TestWindow() override { CloseEndpoint(); }

    std::function<intptr_t(unsigned, intptr_t, intptr_t)> onMessage;
    std::function<void(int)> onTimer;
    std::function<bool(QObject*, QEvent*)> onPreTranslate;

    intptr_t OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam) override
    {
        return onMessage ? onMessage(msg, wparam, lparam) : 0;
    }
    void OnTimer(int id) override
    {
        if (onTimer)
            onTimer(id);
    }
    bool PreTranslateMessage(QObject* target, QEvent* event) override
    {
        return onPreTranslate ? onPreTranslate(target, event) : false;
    }
};

}  // namespace qttest
