#include "platform/qt/recording_prompts.h"

namespace platform {

QString RecordingPrompts::Record(PromptRecord record, bool answers)
{
    record.thread = std::this_thread::get_id();
    QString answer;
    std::function<void(const PromptRecord&)> onShow;
    {
        std::lock_guard lock(mutex_);
        if (answers && !answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        records_.push_back(record);
        onShow = onShow_;
    }
    // Outside the lock: the callback may look at the record or prompt again.
    if (onShow)
        onShow(record);
    return answer;
}

void RecordingPrompts::MessageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon)
{
    PromptRecord r;
    r.kind = PromptRecord::Kind::MessageBox;
    r.owner = owner;
    r.text = text;
    r.caption = caption;
    r.icon = icon;
    Record(std::move(r), false);
}

QString RecordingPrompts::OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& dir)
{
    PromptRecord r;
    r.kind = PromptRecord::Kind::OpenFile;
    r.owner = owner;
    r.caption = title;
    r.filter = filter;
    r.dir = dir;
    return Record(std::move(r), true);
}

QString RecordingPrompts::ChooseFolder(QWidget* owner, const QString& title, const QString& startDir)
{
    PromptRecord r;
    r.kind = PromptRecord::Kind::ChooseFolder;
    r.owner = owner;
    r.caption = title;
    r.dir = startDir;
    return Record(std::move(r), true);
}

void RecordingPrompts::QueueAnswer(const QString& answer)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void RecordingPrompts::SetOnShow(std::function<void(const PromptRecord&)> onShow)
{
    std::lock_guard lock(mutex_);
    onShow_ = std::move(onShow);
}

std::vector<PromptRecord> RecordingPrompts::Records() const
{
    std::lock_guard lock(mutex_);
    return records_;
}

size_t RecordingPrompts::Count() const
{
    std::lock_guard lock(mutex_);
    return records_.size();
}

void RecordingPrompts::Clear()
{
    std::lock_guard lock(mutex_);
    records_.clear();
    answers_.clear();
}

}  // namespace platform
