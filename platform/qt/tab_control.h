#pragma once
// A tab control as the layouts know it: a row of text tabs along the top of a framed panel.
// Pages are not owned or switched by the control: the window creates them as children of the
// control, places them below the tab row and shows the page of the selected tab itself.

#include <QRect>
#include <QString>
#include <QWidget>

class QFrame;
class QTabBar;

namespace platform {

class TabControl : public QWidget {
    Q_OBJECT

public:
    // Height of the tab row in pixels; pages go at ClientRect().top() + kTabRowHeight.
    static constexpr int kTabRowHeight = 22;

    explicit TabControl(QWidget* parent = nullptr);

    // Inserts a tab before index (appends when index is past the end); returns its index.
    // The first tab inserted becomes the selected one.
    int InsertTab(int index, const QString& text);
    int TabCount() const;
    QString TabText(int index) const;

    // Selects a tab by program: returns the previously selected tab, or -1 when index is not
    // a tab (nothing changes then). Like the platform's tab control, a selection made by
    // program does not emit currentChanged.
    int SetCurSel(int index);
    int GetCurSel() const;  // -1 when there are no tabs

    // The whole client area of the control in its own coordinates (left and top 0), as the
    // platform reports a tab control's client rectangle; the tab row takes its top.
    QRect ClientRect() const;

    QTabBar* TabBar() const { return bar_; }

signals:
    // The operator selected another tab (mouse or keyboard).
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTabBar* bar_;
    QFrame* panel_;
    bool selectingByProgram_ = false;
};

}  // namespace platform
