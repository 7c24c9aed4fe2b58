// The console's keyboard and mouse filter. It sees key and mouse input aimed at the window or
// any control in it before the control gets it.
//
// - A character typed while the receive area has the focus never reaches it. With a port
//   open, a letter or digit is sent as a one-character text. Keys without a character
//   (Delete, the arrows) still reach the area, and Tab still moves the focus.
// - A right button press while the receive area has the focus is swallowed, wherever it
//   lands, and the area shows no context menu. A middle button press in it is swallowed too:
//   it would paste the X selection into the area.
// - Escape is swallowed everywhere, so it never closes the window.
// - Enter does nothing except on a push button (which it presses) and in the send area
//   (where it breaks the line): it never closes the window and never presses a button that
//   does not have the focus.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include "console/quillon_dlg.h"

using namespace console_ids;

namespace {

// What the platform the console comes from would turn into a character message.
bool IsTypedCharacter(const QKeyEvent& key)
{
    if (key.text().isEmpty() || (key.modifiers() & Qt::AltModifier))
        return false;
    switch (key.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        return true;
    }
}

bool IsSendableCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
}

bool IsEnter(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

// The receive area or its viewport.
bool IsWithin(const QObject* target, const QWidget* area)
{
    for (const QObject* o = target; o; o = o->parent()) {
        if (o == area)
            return true;
    }
    return false;
}

}  // namespace

bool CQuillonDlg::PreTranslateMessage(QObject* target, QEvent* event)
{
    QWidget* area = Item(kRecvArea);
    const bool areaHasFocus = area && focusWidget() == area;

    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (key.key() == Qt::Key_Escape)
            return true;
        if (event->type() != QEvent::KeyPress)
            return false;
        if (areaHasFocus && IsTypedCharacter(key)) {
            const QString text = key.text();
            if (m_bPortOpen && text.size() == 1 && IsSendableCharacter(text[0]))
                SendData(std::string(1, char(text[0].unicode())), 0, 0, 0);
            return true;
        }
        if (IsEnter(key))
            return !qobject_cast<QPushButton*>(target) && target != Item(kSendArea);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto& mouse = *static_cast<QMouseEvent*>(event);
        if (mouse.button() == Qt::RightButton && areaHasFocus)
            return true;
        return mouse.button() == Qt::MiddleButton && area && IsWithin(target, area);
    }
    case QEvent::ContextMenu:
        return areaHasFocus || (area && IsWithin(target, area));
    default:
        return false;
    }
}
