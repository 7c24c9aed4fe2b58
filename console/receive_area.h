#pragma once
// The console's receive area as byte-by-byte insertion leaves it, kept ahead of its widget.
//
// Received bytes append to a text held here, and a model of the widget's wrapping counts the
// lines that text displays (view_wrap_model.h), so the automatic clearing can be decided
// before every byte at the cost of a few additions. The widget itself is given the text at
// most every kFlushIntervalMs while bytes stream in (and at once when the area is cleared or
// rebuilt by the operator): laying out a few thousand characters takes about a millisecond,
// and doing that per byte or per run of bytes is what loses data at high rates.
//
// The widget gets a font without kerning or shaping (so the model's widths add up), word
// wrap at its width, and no undo history. Changes others make to it (the help text, its
// width) are followed before the next byte is handled.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string>

#include "console/code_page.h"
#include "console/view_text.h"
#include "console/view_wrap_model.h"
#include "platform/core/language.h"

class QPlainTextEdit;
class QTextDocument;

class ReceiveArea : public QObject {
    Q_OBJECT

public:
    static constexpr int kFlushIntervalMs = 20;

    ReceiveArea(QPlainTextEdit* edit, platform::Language language, QObject* parent);

    // Brings the text and the model up to date with what others did to the widget: its text
    // replaced (the decoder then continues after receivedBytes, the bytes that text shows),
    // its width or font changed.
    void Follow(const std::string& receivedBytes);
    // The lines the area displays for its text.
    int Lines() const { return model_.Lines(); }

    // One more received byte, as "%02X " or as text in the code page.
    void AppendHex(uint8_t byte);
    void AppendText(uint8_t byte);

    // The whole text replaced: the clearing message, the hexadecimal form, received bytes as
    // text, nothing. Each starts the decoder afresh after the bytes shown.
    void ShowClearing();
    void ShowHex(const std::string& hex);
    void ShowText(const std::string& bytes);
    void ShowNothing();

    // The widget gets the text within kFlushIntervalMs, or now; either way its caret ends at
    // the end of the text, in sight.
    void FlushSoon();
    void Flush();

    // The text the area shows once flushed, with '\n' for line breaks.
    const QString& Text() const { return shown_; }

    static const char* ClearingMessage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Put(char16_t c)
    {
        if (char16_t folded = breaks_.Fold(c)) {
            shown_.append(QChar(folded));
            model_.Append(QChar(folded));
        }
    }
    void Replace(const QString& text);
    void ResetDecoder();
    void ContinueDecoderAfter(const std::string& bytes);
    void WatchDocument();
    bool ReadLayout();

    QPointer<QPlainTextEdit> edit_;
    QPointer<QTextDocument> document_;
    platform::Language language_;
    CodePageDecoder decoder_;
    ReceivedLineBreaks breaks_;

    QString shown_;
    ViewWrapModel model_;
    ViewWrapModel clearedModel_;  // the model after the clearing message, for this layout
    bool clearedModelValid_ = false;
    QString clearedText_;

    qsizetype synced_ = 0;       // the widget holds shown_ up to here
    bool replaced_ = false;      // the widget holds another text: it is given all of shown_
    bool dirty_ = false;         // the widget is behind shown_
    bool external_ = true;       // someone else set the widget's text: shown_ follows it
    bool layoutChanged_ = true;  // width or font may have changed
    bool applying_ = false;      // the widget is being changed from here
    int64_t lastFlushNs_ = 0;
    QTimer flushTimer_;
};
