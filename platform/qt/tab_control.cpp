#include "platform/qt/tab_control.h"

#include <QFrame>
#include <QTabBar>

namespace platform {

TabControl::TabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)), panel_(new QFrame(this))
{
    // The panel overlaps the tab row by one pixel so the selected tab joins its frame.
    panel_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    panel_->lower();
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setElideMode(Qt::ElideNone);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (!selectingByProgram_)
            emit currentChanged(index);
    });
}

int TabControl::InsertTab(int index, const QString& text)
{
    // The first insertion selects the tab; that is not an operator's choice.
    selectingByProgram_ = true;
    const int at = bar_->insertTab(index, text);
    selectingByProgram_ = false;
    return at;
}

int TabControl::TabCount() const { return bar_->count(); }

QString TabControl::TabText(int index) const { return bar_->tabText(index); }

int TabControl::SetCurSel(int index)
{
    if (index < 0 || index >= bar_->count())
        return -1;
    const int previous = bar_->currentIndex();
    selectingByProgram_ = true;
    bar_->setCurrentIndex(index);
    selectingByProgram_ = false;
    return previous;
}

int TabControl::GetCurSel() const { return bar_->currentIndex(); }

QRect TabControl::ClientRect() const { return QRect(QPoint(0, 0), size()); }

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), kTabRowHeight);
    panel_->setGeometry(0, kTabRowHeight - 1, width(), height() - kTabRowHeight + 1);
}

}  // namespace platform
