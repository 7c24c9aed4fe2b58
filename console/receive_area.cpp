#include "console/receive_area.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "console/code_page.h"
#include "platform/core/event.h"

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
constexpr int64_t kFlushIntervalNs = int64_t(ReceiveArea::kFlushIntervalMs) * 1000000;

}  // namespace

const char* ReceiveArea::ClearingMessage()
{
    return "***The Length of the Text is too long, Emptied Automatically !!!***\r\n";
}

ReceiveArea::ReceiveArea(QPlainTextEdit* edit, platform::Language language, QObject* parent)
    : QObject(parent),
      edit_(edit),
      language_(language),
      decoder_(language),
      clearedText_(MultiLineForView(QString::fromLatin1(ClearingMessage())))
{
    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &ReceiveArea::Flush);
    if (edit_) {
        edit_->setFont(ViewWrapModel::ViewFont(edit_->font()));
        edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        // A display only: an undo history would keep every byte ever shown.
        edit_->setUndoRedoEnabled(false);
        edit_->installEventFilter(this);
        edit_->viewport()->installEventFilter(this);
    }
    Follow(std::string());
}

bool ReceiveArea::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        layoutChanged_ = true;
        break;
    default:
        break;
    }
    return false;
}

void ReceiveArea::WatchDocument()
{
    QTextDocument* document = edit_ ? edit_->document() : nullptr;
    if (document == document_)
        return;
    if (document_)
        disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    external_ = true;
    layoutChanged_ = true;
    if (!document)
        return;
    connect(document, &QTextDocument::contentsChange, this, [this] {
        if (applying_)
            return;
        // Someone else set the text: what was waiting for the widget is gone with it.
        external_ = true;
        dirty_ = false;
        flushTimer_.stop();
    });
}

// The font, tab stops and the width the widget's document layout gives a line, as it lays
// out a block. True when they changed (the model then holds no text).
bool ReceiveArea::ReadLayout()
{
    QFont font;
    qreal lineWidth = ViewWrapModel::kNoWrap;
    qreal tabStop = 80;
    if (document_) {
        font = document_->defaultFont();
        const QTextOption option = document_->defaultTextOption();
        tabStop = option.tabStopDistance();
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document_->documentLayout());
        const QTextBlock block = document_->lastBlock();
        if (layout && block.isValid() && option.wrapMode() != QTextOption::NoWrap &&
            option.wrapMode() != QTextOption::ManualWrap) {
            layout->ensureBlockLayout(block);
            if (block.layout() && block.layout()->lineCount() > 0)
                lineWidth = block.layout()->lineAt(0).width();
        }
    }
    if (model_.HasLayout(font, lineWidth, tabStop))
        return false;
    model_.SetLayout(font, lineWidth, tabStop);
    clearedModelValid_ = false;
    return true;
}

void ReceiveArea::Follow(const std::string& receivedBytes)
{
    WatchDocument();
    bool rebuild = false;
    if (external_ && document_) {
        external_ = false;
        QString text;
        for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
            if (block != document_->begin())
                text.append(QLatin1Char('\n'));
            text.append(block.text());
        }
        shown_ = text;
        synced_ = shown_.size();
        replaced_ = false;
        dirty_ = false;
        ContinueDecoderAfter(receivedBytes);
        rebuild = true;
    }
    if (layoutChanged_) {
        layoutChanged_ = false;
        rebuild = ReadLayout() || rebuild;
    }
    if (rebuild) {
        model_.Clear();
        model_.Append(shown_);
    }
}

void ReceiveArea::AppendHex(uint8_t byte)
{
    const QChar form[3] = {QChar(kHexDigits[byte >> 4]), QChar(kHexDigits[byte & 0x0F]), QChar(u' ')};
    shown_.append(form, 3);
    model_.Append(form[0]);
    model_.Append(form[1]);
    model_.Append(form[2]);
    dirty_ = true;
}

void ReceiveArea::AppendText(uint8_t byte)
{
    if (byte == 0)
        return;  // a NUL shows nothing and leaves a partial character waiting
    char16_t units[2];
    const int n = decoder_.Feed(byte, units);
    for (int i = 0; i < n; ++i)
        Put(units[i]);
    dirty_ = dirty_ || n > 0;
}

void ReceiveArea::ResetDecoder()
{
    decoder_.Reset();
    breaks_.Reset();
}

// The decoder and the line breaks as the bytes shown all at once leave them, so a character
// split across the last of them and the next byte still comes out whole.
void ReceiveArea::ContinueDecoderAfter(const std::string& bytes)
{
    ResetDecoder();
    char16_t units[2];
    char16_t last = 0;
    for (char c : bytes) {
        if (c == '\0')
            continue;
        if (const int n = decoder_.Feed(uint8_t(c), units))
            last = units[n - 1];
    }
    breaks_.SetLastWasCr(last == u'\r');
}

void ReceiveArea::Replace(const QString& text)
{
    shown_ = text;
    model_.Clear();
    model_.Append(shown_);
    replaced_ = true;
    dirty_ = true;
    external_ = false;
}

void ReceiveArea::ShowClearing()
{
    if (!clearedModelValid_) {
        clearedModel_ = model_;
        clearedModel_.Clear();
        clearedModel_.Append(clearedText_);
        clearedModelValid_ = true;
    }
    model_ = clearedModel_;
    shown_.resize(0);  // keeps its room for what follows
    shown_.append(clearedText_);
    ResetDecoder();
    replaced_ = true;
    dirty_ = true;
    external_ = false;
}

void ReceiveArea::ShowHex(const std::string& hex) { Replace(ReceivedHexForView(hex)); }

void ReceiveArea::ShowText(const std::string& bytes)
{
    Replace(ReceivedTextForView(bytes, language_));
    ContinueDecoderAfter(bytes);
}

void ReceiveArea::ShowNothing()
{
    Replace(QString());
    ResetDecoder();
}

void ReceiveArea::FlushSoon()
{
    if (!dirty_)
        return;
    const int64_t wait = lastFlushNs_ + kFlushIntervalNs - platform::MonotonicNs();
    if (wait <= 0)
        Flush();
    else if (!flushTimer_.isActive())
        flushTimer_.start(int((wait + 999999) / 1000000));
}

void ReceiveArea::Flush()
{
    flushTimer_.stop();
    if (!dirty_ || external_ || !edit_)
        return;
    applying_ = true;
    if (replaced_) {
        edit_->setPlainText(shown_);
    } else if (synced_ < shown_.size()) {
        QTextCursor cursor(edit_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(shown_.sliced(synced_));
    }
    applying_ = false;
    synced_ = shown_.size();
    replaced_ = false;
    dirty_ = false;
    edit_->moveCursor(QTextCursor::End);
    edit_->ensureCursorVisible();
    lastFlushNs_ = platform::MonotonicNs();
}
