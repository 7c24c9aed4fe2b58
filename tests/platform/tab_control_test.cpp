// The tab control: tabs along the top, selection by program without notification and by the
// operator with one, and the client rectangle the pages are placed in.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTabBar>

#include <vector>

#include "platform/qt/tab_control.h"

namespace {

using platform::TabControl;

class TabControlTest : public ::testing::Test {
protected:
    TabControlTest()
    {
        tabs.resize(240, 160);
        QObject::connect(&tabs, &TabControl::currentChanged, [this](int i) { notified.push_back(i); });
    }

    void ClickTab(int index)
    {
        QTabBar* bar = tabs.TabBar();
        const QPointF at = bar->tabRect(index).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &release);
    }

    TabControl tabs;
    std::vector<int> notified;
};

TEST_F(TabControlTest, InsertsTabsInPlaceAndSelectsTheFirstQuietly)
{
    EXPECT_EQ(tabs.GetCurSel(), -1);
    EXPECT_EQ(tabs.InsertTab(0, "B"), 0);
    EXPECT_EQ(tabs.InsertTab(0, "A"), 0);
    EXPECT_EQ(tabs.InsertTab(5, "D"), 2);
    EXPECT_EQ(tabs.InsertTab(2, "C"), 2);
    ASSERT_EQ(tabs.TabCount(), 4);
    EXPECT_EQ(tabs.TabText(0), "A");
    EXPECT_EQ(tabs.TabText(1), "B");
    EXPECT_EQ(tabs.TabText(2), "C");
    EXPECT_EQ(tabs.TabText(3), "D");
    EXPECT_TRUE(notified.empty());
}

TEST_F(TabControlTest, SelectionByProgramReturnsThePreviousTabAndDoesNotNotify)
{
    for (const char* text : {"one", "two", "three", "four"})
        tabs.InsertTab(tabs.TabCount(), text);
    const int first = tabs.GetCurSel();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(tabs.SetCurSel(2), 0);
    EXPECT_EQ(tabs.GetCurSel(), 2);
    EXPECT_EQ(tabs.SetCurSel(3), 2);
    EXPECT_EQ(tabs.SetCurSel(4), -1);   // no such tab: nothing changes
    EXPECT_EQ(tabs.SetCurSel(-1), -1);
    EXPECT_EQ(tabs.GetCurSel(), 3);
    EXPECT_TRUE(notified.empty());
}

TEST_F(TabControlTest, TheOperatorsChoiceIsNotified)
{
    for (const char* text : {"one", "two", "three", "four"})
        tabs.InsertTab(tabs.TabCount(), text);
    tabs.show();
    ClickTab(2);
    EXPECT_EQ(tabs.GetCurSel(), 2);
    EXPECT_EQ(notified, std::vector<int>{2});
    ClickTab(1);
    EXPECT_EQ(notified, (std::vector<int>{2, 1}));
}

TEST_F(TabControlTest, ClientRectIsTheWholeControlAndPagesGoBelowTheTabRow)
{
    tabs.InsertTab(0, "one");
    tabs.show();
    EXPECT_EQ(tabs.ClientRect(), QRect(0, 0, 240, 160));
    tabs.resize(200, 120);
    EXPECT_EQ(tabs.ClientRect(), QRect(0, 0, 200, 120));
    // The tab row ends where a page placed 22 pixels below the client top begins.
    EXPECT_EQ(tabs.TabBar()->geometry().bottom() + 1, tabs.ClientRect().top() + TabControl::kTabRowHeight);
    EXPECT_EQ(TabControl::kTabRowHeight, 22);
}

}  // namespace
