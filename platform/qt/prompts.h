#pragma once
// Operator prompts: message boxes and the file and folder choosers, behind one interface so
// tests can answer them. Every prompt is modal and returns when the operator has answered.

#include <QString>

#include <memory>

class QWidget;

namespace platform {

class Dialog;
class MessageEndpoint;
class SendChannel;

class Prompts {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~Prompts() = default;
    // Only an OK button; returns when it was pressed.
    virtual void MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon) = 0;
    // filter is in Qt's form, e.g. "Text (*.txt);;All files (*)". Empty when cancelled.
    virtual QString OpenFile(QWidget* owner, const QString& title, const QString& filter,
                             const QString& dir) = 0;
    virtual QString ChooseFolder(QWidget* owner, const QString& title, const QString& startDir) = 0;
};

// Interface thread. The prompts in use; the Qt dialogs unless replaced.
Prompts& CurrentPrompts();
// nullptr restores the Qt dialogs. The caller keeps ownership and keeps them alive while set.
void SetPrompts(Prompts* prompts);

// From any thread. On the interface thread the box is shown at once; from a worker it is shown
// on the interface thread while the worker waits, like a message to owner sent through
// channel: it is not shown when owner's window closes or channel is withdrawn first. Returns
// true when the box was shown and answered. A worker needs an owner; with none only the
// interface thread can show a box.
bool MessageBoxFromAnyThread(Dialog* owner, SendChannel* channel, const QString& text,
                             const QString& caption, Prompts::Icon icon);
// The same through the owner's endpoint, for workers that may outlive the window: a held
// endpoint stays safe to use after its window is gone. The box is owned by the endpoint's
// window when that is a widget.
bool MessageBoxFromAnyThread(const std::shared_ptr<MessageEndpoint>& owner, SendChannel* channel,
                             const QString& text, const QString& caption, Prompts::Icon icon);

}  // namespace platform
