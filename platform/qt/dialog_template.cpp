#include "platform/qt/dialog_template.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QTreeWidget>

#include <algorithm>

#include "platform/qt/dialog.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/tab_control.h"

namespace platform {
namespace {

constexpr char kAverageSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kListColumns = 3;

// units * base / divisor rounded to the nearest pixel, halves away from zero.
int Scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : -((-product + half) / divisor));
}

// Static text in a sunken frame whose text, too long for it, loses its middle when drawn;
// text() keeps the whole of it.
class PathLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect area = contentsRect().adjusted(margin() + 1, 0, -margin() - 1, 0);
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                              foregroundRole());
    }
};

// A check box whose text is drawn on one line: a line break in the text shows as a blank.
class SingleLineCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.replace('\n', ' ');
        painter.drawControl(QStyle::CE_CheckBox, option);
    }
};

// A multi-line edit of a dialog: Tab moves the focus, and without want-return Enter goes to
// the dialog (its default button) while Ctrl+Enter still breaks the line.
class DialogTextEdit : public QPlainTextEdit {
public:
    DialogTextEdit(bool wantReturn, QWidget* parent) : QPlainTextEdit(parent), wantReturn_(wantReturn)
    {
        setTabChangesFocus(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !wantReturn_) {
            if (!(event->modifiers() & Qt::ControlModifier)) {
                event->ignore();
                return;
            }
            QKeyEvent plain(QEvent::KeyPress, event->key(), Qt::NoModifier, "\r");
            QPlainTextEdit::keyPressEvent(&plain);
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    bool wantReturn_;
};

// Grid lines between the cells of a report list.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

Qt::Alignment TextAlignment(unsigned style)
{
    return (style & kStyleCentered) ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter);
}

QWidget* MakeListView(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(kListColumns);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setAllColumnsShowFocus(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setUniformRowHeights(true);
    tree->setItemDelegate(new GridDelegate(tree));
    tree->header()->setStretchLastSection(false);
    return tree;
}

QWidget* MakeDefaultWidget(const ControlTemplate& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(c.text, parent);
        label->setAlignment(TextAlignment(c.style));
        return label;
    }
    case ControlKind::SunkenText: {
        QLabel* label = (c.style & kStylePathEllipsis) ? new PathLabel(c.text, parent) : new QLabel(c.text, parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        label->setAlignment(TextAlignment(c.style));
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(c.text, parent);
    case ControlKind::PushButton:
    case ControlKind::PushPin:
        return new QPushButton(c.text, parent);
    case ControlKind::CheckBox: {
        QCheckBox* box = (c.style & kStyleMultiLine) ? new QCheckBox(c.text, parent) : new SingleLineCheckBox(c.text, parent);
        // The platform's check boxes leave a few pixels between box and text; the layout
        // widths count on that.
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
        return box;
    }
    case ControlKind::DropList: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        if (!c.text.isEmpty())
            combo->addItems(c.text.split('\n'));
        return combo;
    }
    case ControlKind::Edit:
    case ControlKind::NumberEdit: {
        auto* edit = new QLineEdit(c.text, parent);
        if (c.kind == ControlKind::NumberEdit)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
        if (c.style & kStyleCentered)
            edit->setAlignment(Qt::AlignCenter);
        return edit;
    }
    case ControlKind::MultiLineEdit: {
        auto* edit = new DialogTextEdit((c.style & kStyleWantReturn) != 0, parent);
        edit->setPlainText(c.text);
        return edit;
    }
    case ControlKind::TabControl:
        return new TabControl(parent);
    case ControlKind::IpAddress:
        return new IpAddressEdit(parent);
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    case ControlKind::ListView:
        return MakeListView(parent);
    }
    return new QWidget(parent);
}

// Where a control goes in pixels. A drop-down list's template height includes its list; the
// widget is the closed box only, and the list part decides how many rows the list shows.
QRect ControlGeometry(const DluConverter& conv, const ControlTemplate& c, QWidget* widget)
{
    if (c.kind != ControlKind::DropList)
        return conv.Rect(c.dlu);
    const int closedDlu = std::min(c.dlu.height(), kClosedDropListDlu);
    const QRect closed = conv.Rect(QRect(c.dlu.left(), c.dlu.top(), c.dlu.width(), closedDlu));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const int listPixels = conv.Y(c.dlu.bottom() + 1) - conv.Y(c.dlu.top() + closedDlu);
        const int rowPixels = std::max(1, combo->fontMetrics().height() + 2);
        combo->setMaxVisibleItems(std::max(1, listPixels / rowPixels));
    }
    return closed;
}

void ApplyWindowStyle(Dialog& dialog, const DialogTemplate& tmpl)
{
    if (tmpl.child) {
        dialog.setWindowFlags(Qt::Widget);
        return;
    }
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (tmpl.minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    dialog.setWindowFlags(flags);
}

}  // namespace

QFont TemplateFont(const DialogTemplate& tmpl)
{
    QFont font;
    QStringList families{tmpl.fontFamily};
    families += tmpl.fontFallbacks;
    font.setFamilies(families);
    font.setPointSize(tmpl.pointSize);
    return font;
}

DluConverter::DluConverter(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int sample = metrics.horizontalAdvance(QString::fromLatin1(kAverageSample));
    avgWidth_ = (sample / 26 + 1) / 2;
    height_ = metrics.height();
}

int DluConverter::X(int units) const { return Scale(units, avgWidth_, 4); }

int DluConverter::Y(int units) const { return Scale(units, height_, 8); }

QRect DluConverter::Rect(const QRect& dlu) const
{
    const int left = X(dlu.left());
    const int top = Y(dlu.top());
    return QRect(left, top, X(dlu.left() + dlu.width()) - left, Y(dlu.top() + dlu.height()) - top);
}

QSize DluConverter::Size(const QSize& dlu) const { return QSize(X(dlu.width()), Y(dlu.height())); }

DluConverter BuildFromTemplate(Dialog& dialog, const DialogTemplate& tmpl)
{
    return BuildFromTemplate(dialog, tmpl, ControlFactory());
}

DluConverter BuildFromTemplate(Dialog& dialog, const DialogTemplate& tmpl, const ControlFactory& factory)
{
    ApplyWindowStyle(dialog, tmpl);
    dialog.setFont(TemplateFont(tmpl));
    const DluConverter conv(dialog.font());
    dialog.setFixedSize(conv.Size(tmpl.dlu));

    std::vector<QWidget*> frames;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* widget = factory ? factory(c, &dialog) : nullptr;
        if (!widget)
            widget = MakeDefaultWidget(c, &dialog);
        if (widget->parentWidget() != &dialog)
            widget->setParent(&dialog);
        widget->setGeometry(ControlGeometry(conv, c, widget));
        if (c.style & kStyleDisabled)
            widget->setEnabled(false);
        // An explicit hide keeps the control hidden when the dialog is shown; the others
        // are shown with it (or at once, when the dialog is already visible).
        widget->setVisible((c.style & kStyleHidden) == 0);
        if (c.id >= 0)
            dialog.RegisterControl(c.id, widget);
        if (c.kind == ControlKind::GroupBox)
            frames.push_back(widget);
    }
    // A frame drawn over the controls inside it would hide them and take their clicks.
    for (QWidget* frame : frames)
        frame->lower();
    return conv;
}

}  // namespace platform
