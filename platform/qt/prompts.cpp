#include "platform/qt/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include <atomic>

#include "platform/core/messages.h"
#include "platform/qt/dialog.h"

namespace platform {
namespace {

QMessageBox::Icon ToQt(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtPrompts final : public Prompts {
public:
    void MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon) override
    {
        QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, owner);
        box.exec();
    }

    QString OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& dir) override
    {
        return QFileDialog::getOpenFileName(owner, title, dir, filter);
    }

    QString ChooseFolder(QWidget* owner, const QString& title, const QString& startDir) override
    {
        return QFileDialog::getExistingDirectory(owner, title, startDir);
    }
};

QtPrompts& DefaultPrompts()
{
    static QtPrompts prompts;
    return prompts;
}

std::atomic<Prompts*> current{nullptr};

}  // namespace

Prompts& CurrentPrompts()
{
    Prompts* p = current.load();
    return p ? *p : DefaultPrompts();
}

void SetPrompts(Prompts* prompts) { current.store(prompts); }

bool MessageBoxFromAnyThread(Dialog* owner, SendChannel* channel, const QString& text, const QString& caption,
                             Prompts::Icon icon)
{
    if (!owner) {
        if (!InterfaceThread::Instance().IsCurrent() || (channel && channel->IsWithdrawn()))
            return false;
        CurrentPrompts().MessageBox(nullptr, text, caption, icon);
        return true;
    }
    return MessageBoxFromAnyThread(owner->Endpoint(), channel, text, caption, icon);
}

bool MessageBoxFromAnyThread(const std::shared_ptr<MessageEndpoint>& owner, SendChannel* channel,
                             const QString& text, const QString& caption, Prompts::Icon icon)
{
    if (!owner)
        return false;
    // The work runs only while the window is open, and the sender waits for it, so both the
    // handler and the texts are alive whenever it runs.
    return owner->Invoke(
               [&text, &caption, icon](MessageHandler& handler, const KeepGoing&) -> intptr_t {
                   CurrentPrompts().MessageBox(dynamic_cast<QWidget*>(&handler), text, caption, icon);
                   return 1;
               },
               channel) != 0;
}

}  // namespace platform
