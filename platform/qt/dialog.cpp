#include "platform/qt/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <deque>

namespace platform {
namespace {

constexpr int kMinTimerMs = 10;

bool IsPreTranslated(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// One filter on the application: it sees every event before the target's own filters and
// handlers, whenever the target was created, and asks the Dialogs around the target from the
// innermost outwards, up to the target's window.
class PreTranslateFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsPreTranslated(event->type()) || !watched->isWidgetType())
            return false;
        for (QWidget* w = static_cast<QWidget*>(watched); w; w = w->parentWidget()) {
            auto* dialog = qobject_cast<Dialog*>(w);
            if (dialog && dialog->IsPreTranslating() && dialog->PreTranslateMessage(watched, event)) {
                event->accept();  // a swallowed event does not travel on to the parents
                return true;
            }
            if (w->isWindow())
                break;
        }
        return false;
    }
};

void EnsurePreTranslateFilter()
{
    static QPointer<PreTranslateFilter> filter;
    if (filter || !qApp)
        return;
    filter = new PreTranslateFilter(qApp);
    qApp->installEventFilter(filter);
}

bool IsControlName(const QWidget* w, const QString& name) { return w->objectName() == name; }

}  // namespace

Dialog::Dialog(QWidget* parent) : QDialog(parent), endpoint_(MessageEndpoint::Create(this))
{
    EnsurePreTranslateFilter();
}

Dialog::~Dialog()
{
    // Safety net only: by now the derived window's members are gone.
    CloseEndpoint();
    for (auto& [id, timer] : timers_)
        timer->stop();
}

void Dialog::CloseEndpoint()
{
    preTranslating_ = false;
    endpoint_->Close();
}

intptr_t Dialog::HandleMessage(unsigned msg, intptr_t wparam, intptr_t lparam)
{
    return OnMessage(msg, wparam, lparam);
}

intptr_t Dialog::OnMessage(unsigned, intptr_t, intptr_t) { return 0; }

// ---------------------------------------------------------------- controls by id

void Dialog::RegisterControl(int id, QWidget* widget)
{
    widget->setObjectName(QString::number(id));
    items_[id] = widget;
}

QWidget* Dialog::Item(int id) const
{
    const QString name = QString::number(id);
    auto it = items_.find(id);
    if (it != items_.end() && it->second && IsControlName(it->second, name) && isAncestorOf(it->second))
        return it->second;

    // Breadth first over this window's own controls: nested Dialogs and separate windows
    // keep theirs.
    std::deque<const QWidget*> pending{this};
    while (!pending.empty()) {
        const QWidget* parent = pending.front();
        pending.pop_front();
        for (QObject* child : parent->children()) {
            if (!child->isWidgetType())
                continue;
            auto* w = static_cast<QWidget*>(child);
            if (w->isWindow())
                continue;
            if (IsControlName(w, name)) {
                items_[id] = w;
                return w;
            }
            if (!qobject_cast<Dialog*>(w))
                pending.push_back(w);
        }
    }
    return nullptr;
}

bool Dialog::SetItemText(int id, const QString& text)
{
    QWidget* w = Item(id);
    if (!w)
        return false;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(text);
    } else if (auto* textEdit = qobject_cast<QTextEdit*>(w)) {
        textEdit->setPlainText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setPlainText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            int index = combo->findText(text, Qt::MatchExactly);
            if (index < 0)
                return false;
            combo->setCurrentIndex(index);
        }
    } else {
        return false;
    }
    return true;
}

QString Dialog::GetItemText(int id) const
{
    QWidget* w = Item(id);
    if (!w)
        return {};
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* textEdit = qobject_cast<QTextEdit*>(w))
        return textEdit->toPlainText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return {};
}

bool Dialog::CheckItem(int id, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(Item(id));
    if (!button || !button->isCheckable())
        return false;
    button->setChecked(checked);
    return true;
}

bool Dialog::IsItemChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(Item(id));
    return button && button->isChecked();
}

bool Dialog::EnableItem(int id, bool enabled)
{
    QWidget* w = Item(id);
    if (!w)
        return false;
    w->setEnabled(enabled);
    return true;
}

bool Dialog::IsItemEnabled(int id) const
{
    QWidget* w = Item(id);
    return w && w->isEnabledTo(const_cast<Dialog*>(this));
}

bool Dialog::ShowItem(int id, bool visible)
{
    QWidget* w = Item(id);
    if (!w)
        return false;
    w->setVisible(visible);
    return true;
}

bool Dialog::IsItemVisible(int id) const
{
    QWidget* w = Item(id);
    return w && w->isVisibleTo(this);
}

// ---------------------------------------------------------------- lists

int Dialog::AddListItem(int id, const QString& text)
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->addItem(text);
        return combo->count() - 1;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->addItem(text);
        return list->count() - 1;
    }
    return -1;
}

int Dialog::ListItemCount(int id) const
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->count();
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->count();
    return -1;
}

QString Dialog::ListItemText(int id, int index) const
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return index >= 0 && index < combo->count() ? combo->itemText(index) : QString();
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        QListWidgetItem* item = list->item(index);
        return item ? item->text() : QString();
    }
    return {};
}

bool Dialog::ClearList(int id)
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->clear();
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->clear();
        return true;
    }
    return false;
}

bool Dialog::SetCurSel(int id, int index)
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (index < -1 || index >= combo->count())
            return false;
        combo->setCurrentIndex(index);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (index < -1 || index >= list->count())
            return false;
        if (index < 0)
            list->clearSelection();
        list->setCurrentRow(index);
        return true;
    }
    return false;
}

int Dialog::GetCurSel(int id) const
{
    QWidget* w = Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->currentRow();
    return -1;
}

// ---------------------------------------------------------------- timers

void Dialog::SetTimer(int id, int ms)
{
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);  // intervals to the millisecond, not coarse
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    timer->start(ms < kMinTimerMs ? kMinTimerMs : ms);
}

bool Dialog::KillTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end() || !it->second->isActive())
        return false;
    it->second->stop();
    return true;
}

void Dialog::OnTimer(int) {}

// ---------------------------------------------------------------- input filter

bool Dialog::PreTranslateMessage(QObject*, QEvent*) { return false; }

}  // namespace platform
