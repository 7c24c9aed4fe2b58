#pragma once
// Pieces of the receive-view tests: how many lines a plain-text edit really lays out, a
// shown console window, bytes handed to it as one notification each or as runs.

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdint>
#include <string>
#include <vector>

#include "console/quillon_dlg.h"
#include "console/receive_area.h"
#include "console/view_text.h"
#include "transport/notifications.h"

namespace consoletest {

// The lines the edit's own document layout makes of its text.
inline int LaidOutLines(QPlainTextEdit& edit)
{
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(edit.document()->documentLayout());
    int lines = 0;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        lines += block.layout()->lineCount();
    }
    return lines;
}

// The width the document layout gives a line.
inline qreal LayoutLineWidth(QPlainTextEdit& edit)
{
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(edit.document()->documentLayout());
    const QTextBlock block = edit.document()->firstBlock();
    layout->ensureBlockLayout(block);
    return block.layout()->lineAt(0).width();
}

// A text with its unusual characters spelled out, for failure messages.
inline QString Escaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

// The clearing message as the area shows it: one line and a line break.
inline QString MultiLineForViewOfClearing() { return MultiLineForView(QString::fromLatin1(ReceiveArea::ClearingMessage())); }

inline QPlainTextEdit* ReceiveEdit(const CQuillonDlg& dlg)
{
    return qobject_cast<QPlainTextEdit*>(dlg.Item(console_ids::kRecvArea));
}

// The window on the (offscreen) screen, so the receive area has its real width and wraps.
inline void ShowWindow(CQuillonDlg& dlg)
{
    dlg.show();
    QApplication::processEvents();
}

// What the operator sees in the receive area.
inline QString ViewText(CQuillonDlg& dlg)
{
    dlg.FlushReceiveView();
    return dlg.GetItemText(console_ids::kRecvArea);
}

// Each byte as a notification of its own, as the reader of a network port sends it
// (sign-extended).
inline void SendEach(CQuillonDlg& dlg, const std::string& bytes)
{
    for (char c : bytes)
        platform::SendMessage(dlg.Endpoint(), transport::kNotifyByteReceived, intptr_t(int8_t(c)), 0);
}

// The bytes as one run, as a port's reader delivers what one read brought.
inline void SendRun(CQuillonDlg& dlg, const std::string& bytes, bool signExtend = false)
{
    dlg.Endpoint()->SendByteRun(transport::kNotifyByteReceived, reinterpret_cast<const uint8_t*>(bytes.data()),
                                bytes.size(), signExtend);
}

}  // namespace consoletest
