#include "platform/qt/ip_address_edit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace platform {
namespace {

constexpr int kMaxDigits = 3;
constexpr int kMaxValue = 255;

int Clamp(int value) { return std::clamp(value, 0, kMaxValue); }

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(0);
    auto* validator = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(".", this);
            dot->setAlignment(Qt::AlignCenter);
            row->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(kMaxDigits);
        field->setValidator(validator);
        // Tab stops at the first field only; the others are reached by typing through or
        // by a click, so Tab treats the whole control as one stop.
        field->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        field->setContextMenuPolicy(Qt::NoContextMenu);
        field->installEventFilter(this);
        field->setMinimumWidth(0);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnTextEdited(i); });
        connect(field, &QLineEdit::textChanged, this, &IpAddressEdit::changed);
        connect(field, &QLineEdit::editingFinished, this, [this, i] { ClampField(i); });
        row->addWidget(field, 1);
        fields_[i] = field;
    }
    setFocusProxy(fields_[0]);
    UpdateBackground();
}

void IpAddressEdit::SetAddress(int a, int b, int c, int d)
{
    const int values[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i)
        fields_[i]->setText(QString::number(Clamp(values[i])));
}

std::array<int, 4> IpAddressEdit::Fields() const
{
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i)
        values[i] = Clamp(fields_[i]->text().toInt());  // empty text reads 0
    return values;
}

bool IpAddressEdit::IsBlank() const
{
    return std::all_of(fields_.begin(), fields_.end(), [](const QLineEdit* f) { return f->text().isEmpty(); });
}

void IpAddressEdit::Clear()
{
    for (QLineEdit* field : fields_)
        field->clear();
}

int IpAddressEdit::IndexOf(const QObject* field) const
{
    for (int i = 0; i < 4; ++i)
        if (fields_[i] == field)
            return i;
    return -1;
}

void IpAddressEdit::ClampField(int index)
{
    QLineEdit* field = fields_[index];
    if (!field->text().isEmpty() && field->text().toInt() > kMaxValue)
        field->setText(QString::number(kMaxValue));
}

void IpAddressEdit::OnTextEdited(int index)
{
    QLineEdit* field = fields_[index];
    if (field->text().size() < kMaxDigits || field->cursorPosition() < kMaxDigits)
        return;
    // A full field: the value is settled, typing goes on in the next one.
    ClampField(index);
    if (index < 3)
        FocusField(index + 1, false);
}

void IpAddressEdit::FocusField(int index, bool atEnd)
{
    QLineEdit* field = fields_[index];
    field->setFocus(Qt::OtherFocusReason);
    if (atEnd) {
        field->deselect();
        field->end(false);
    } else {
        field->selectAll();
    }
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);

    auto* key = static_cast<QKeyEvent*>(event);
    QLineEdit* field = fields_[index];
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    const QString text = key->text();

    if (text == "." || text == " ") {
        // Moves on only once something was typed here, so "1..2" does not skip a field.
        if (!field->text().isEmpty() && !field->hasSelectedText() && index < 3) {
            ClampField(index);
            FocusField(index + 1, false);
        }
        return true;  // never part of a field's text
    }
    switch (key->key()) {
    case Qt::Key_Backspace:
        if (atStart && index > 0) {
            ClampField(index);
            FocusField(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Left:
        if (atStart && index > 0 && key->modifiers() == Qt::NoModifier) {
            ClampField(index);
            FocusField(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Right:
        if (atEnd && index < 3 && key->modifiers() == Qt::NoModifier) {
            ClampField(index);
            FocusField(index + 1, false);
            fields_[index + 1]->home(false);
            return true;
        }
        break;
    case Qt::Key_Home:
        if (index > 0 && key->modifiers() == Qt::NoModifier) {
            ClampField(index);
            FocusField(0, false);
            fields_[0]->home(false);
            return true;
        }
        break;
    case Qt::Key_End:
        if (index < 3 && key->modifiers() == Qt::NoModifier) {
            ClampField(index);
            FocusField(3, true);
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

bool IpAddressEdit::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab leave the control as a whole: find the next focus stop outside it.
    QWidget* w = this;
    for (;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == this || w == nullptr)
            return false;
        if (isAncestorOf(w) || w->isWindow())
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(window())) {
            for (int i = 0; i < 4; ++i)
                ClampField(i);
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void IpAddressEdit::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateBackground();
}

void IpAddressEdit::UpdateBackground()
{
    // The box looks like one edit field: white when usable, the window colour when not.
    setBackgroundRole(isEnabled() ? QPalette::Base : QPalette::Window);
}

}  // namespace platform
