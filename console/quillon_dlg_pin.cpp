// The push-pin of the console's status line: keeps the window above all others while
// pinned.
#include "app/push_pin_button.h"
#include "console/quillon_dlg.h"

void CQuillonDlg::OnPushPin()
{
    if (CPushPinButton* pin = PushPin()) {
        pin->m_bPinned = !pin->m_bPinned;
        pin->update();
    }
    m_bTopMost = !m_bTopMost;
    KeepAbove(m_bTopMost != 0);
}

void CQuillonDlg::KeepAbove(bool above)
{
    // Changing the keep-above state makes the window system take the window afresh, which
    // hides it; it is shown again at the same place. Unpinned, it stays in front of the
    // others as an ordinary window.
    const QPoint where = pos();
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, above);
    move(where);
    if (shown) {
        show();
        raise();
        activateWindow();
    }
}
