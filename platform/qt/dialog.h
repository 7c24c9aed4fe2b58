#pragma once
// The window base class: a QDialog that takes synchronous messages, finds its controls by
// numeric id, runs numbered timers and can look at input before its controls get it.
//
// - Messages: the window owns one MessageEndpoint; workers send to Endpoint(). OnMessage is
//   the message map. A derived window's destructor calls CloseEndpoint() first, so nothing
//   is delivered while its members are being torn down and waiting senders are released.
// - Controls: RegisterControl names a widget by its id; Item(id) finds it among the window's
//   own descendants. Controls of nested Dialogs (embedded pages) and of separate child
//   windows belong to those and are not found here.
// - Timers repeat until killed; setting an id that runs restarts it with the new interval.
// - PreTranslateMessage sees key presses and releases, mouse presses, releases and double
//   clicks and context-menu requests aimed at the window or any control in it, controls
//   added later included, before they are dispatched. Nested windows are asked first, from
//   the target outwards. Qt passes an event a control ignores on to its parent; the window
//   then sees it again with the parent as target.

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>

#include "platform/core/messages.h"

class QTimer;

namespace platform {

class Dialog : public QDialog, public MessageHandler {
    Q_OBJECT

public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // --- messages ---
    const std::shared_ptr<MessageEndpoint>& Endpoint() const { return endpoint_; }
    // Interface thread. Idempotent. Also ends pre-translation for this window.
    void CloseEndpoint();
    intptr_t HandleMessage(unsigned msg, intptr_t wparam, intptr_t lparam) final;
    // The message map; numbers a window does not handle return 0.
    virtual intptr_t OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam);

    // --- controls by id ---
    void RegisterControl(int id, QWidget* widget);
    QWidget* Item(int id) const;

    // Line edits, text edits, labels, buttons, group boxes (title) and combo boxes (an editable
    // one takes any text, a drop-down list selects the item with exactly that text). False when
    // there is no such control or it has no text of that kind.
    bool SetItemText(int id, const QString& text);
    QString GetItemText(int id) const;
    bool CheckItem(int id, bool checked);  // buttons
    bool IsItemChecked(int id) const;
    bool EnableItem(int id, bool enabled);
    // Enabled and visible as far as this window's own controls decide: the control and any
    // container it sits in, whatever the window's own state and before it is first shown.
    bool IsItemEnabled(int id) const;
    bool ShowItem(int id, bool visible);
    bool IsItemVisible(int id) const;

    // Combo boxes and list widgets. Indexes start at 0; -1 means none or failure.
    int AddListItem(int id, const QString& text);  // index of the new item
    int ListItemCount(int id) const;
    QString ListItemText(int id, int index) const;
    bool ClearList(int id);
    bool SetCurSel(int id, int index);  // -1 clears the selection
    int GetCurSel(int id) const;

    // --- timers ---
    // Intervals below 10 ms run at 10 ms, as on the platform the system comes from; a zero
    // interval would spin the event loop.
    void SetTimer(int id, int ms);
    bool KillTimer(int id);  // false when the timer was not running
    virtual void OnTimer(int id);

    // --- input filter ---
    // Return true to swallow the event.
    virtual bool PreTranslateMessage(QObject* target, QEvent* event);
    bool IsPreTranslating() const { return preTranslating_; }

private:
    std::shared_ptr<MessageEndpoint> endpoint_;
    bool preTranslating_ = true;
    mutable std::map<int, QPointer<QWidget>> items_;
    std::map<int, QTimer*> timers_;
};

}  // namespace platform
