#pragma once
// Prompts that show nothing: they record every prompt and answer the file and folder
// choosers from a queue of prepared answers (an empty answer when the queue is empty, as if
// the operator cancelled). Thread-safe, so a test can read the record while workers prompt.

#include <QString>

#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/qt/prompts.h"

namespace platform {

struct PromptRecord {
    enum class Kind { MessageBox, OpenFile, ChooseFolder };
    Kind kind = Kind::MessageBox;
    QWidget* owner = nullptr;  // for comparison only; it may be gone by now
    QString text;              // the message of a message box
    QString caption;           // its caption, or the chooser's title
    Prompts::Icon icon = Prompts::Icon::None;
    QString filter;            // OpenFile
    QString dir;               // the chooser's starting folder
    std::thread::id thread;    // where the prompt was shown
};

class RecordingPrompts final : public Prompts {
public:
    void MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon) override;
    QString OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& dir) override;
    QString ChooseFolder(QWidget* owner, const QString& title, const QString& startDir) override;

    // The next file or folder chooser returns answer.
    void QueueAnswer(const QString& answer);
    // Called on the prompting thread after each prompt was recorded, while its caller waits.
    void SetOnShow(std::function<void(const PromptRecord&)> onShow);

    std::vector<PromptRecord> Records() const;
    size_t Count() const;
    void Clear();

private:
    QString Record(PromptRecord record, bool answers);

    mutable std::mutex mutex_;
    std::vector<PromptRecord> records_;
    std::deque<QString> answers_;
    std::function<void(const PromptRecord&)> onShow_;
};

}  // namespace platform
