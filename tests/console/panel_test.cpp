// The tab panel's page choice and the help text in the receive area.
#include <QPushButton>
#include <QTabBar>

#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "console/view_text.h"
#include "console_fixture.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "platform/qt/tab_control.h"
#include "resources/strings.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

class PanelTest : public ::testing::Test {
protected:
    void Press(int id)
    {
        auto* button = qobject_cast<QPushButton*>(dlg_.Item(id));
        ASSERT_NE(button, nullptr);
        button->click();
    }
    // Which page is on show; -1 when none or more than one.
    int VisiblePage() const
    {
        const QWidget* pages[] = {dlg_.m_pageComCycle, dlg_.m_pageNetCycle, dlg_.m_pageTest, dlg_.m_pageOther};
        int shown = -1;
        for (int t = 0; t < 4; ++t) {
            if (pages[t]->isVisibleTo(dlg_.TabPanel())) {
                if (shown >= 0)
                    return -1;
                shown = t;
            }
        }
        return shown;
    }

    DeviceTree tree_;
    CQuillonDlg dlg_{Language::English};
};

TEST_F(PanelTest, MoreHiddenChoosesTheTabByPortAndMultiple)
{
    struct Case {
        int portOpen;
        int kind;
        int multiple;  // list item: 0 NO, 1 YES
        int tab;
    };
    const Case cases[] = {
        {0, 1, 1, 0},  // serial in multi-device mode: the serial cycle page
        {0, 4, 1, 1},  // network in multi-device mode: the network cycle page
        {0, 1, 0, 2},  {0, 4, 0, 2}, {0, 2, 0, 2}, {0, 3, 0, 2},
        {1, 1, 1, 2},  // a port open: the model test page whatever else
        {1, 4, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "open " << c.portOpen << " kind " << c.kind << " multiple " << c.multiple);
        for (int press = 0; press < 2; ++press) {  // collapsing and expanding alike
            dlg_.TabPanel()->SetCurSel(3);  // no case chooses tab 3
            dlg_.m_bPortOpen = c.portOpen;
            dlg_.m_nPortKind = c.kind;
            ASSERT_TRUE(dlg_.SetCurSel(kMultiple, c.multiple));
            const int expandedBefore = dlg_.m_bExpanded;
            Press(kMoreHidden);
            EXPECT_NE(dlg_.m_bExpanded, expandedBefore);
            EXPECT_EQ(dlg_.TabPanel()->GetCurSel(), c.tab);
            EXPECT_EQ(VisiblePage(), c.tab);
            EXPECT_EQ(dlg_.m_bCycleTabShown, c.tab < 2 ? 1 : 0);
        }
    }
    dlg_.m_bPortOpen = 0;
}

TEST_F(PanelTest, TheOperatorsTabChoiceShowsOnlyThatPage)
{
    QTabBar* bar = dlg_.TabPanel()->TabBar();
    const int order[] = {2, 0, 3, 1, 0};
    for (int t : order) {
        bar->setCurrentIndex(t);  // as a click on the tab would
        EXPECT_EQ(VisiblePage(), t);
        EXPECT_EQ(dlg_.m_bCycleTabShown, t < 2 ? 1 : 0);
    }
}

TEST_F(PanelTest, HelpTwiceShowsTheReceivedDataInTheCurrentForm)
{
    dlg_.m_strRecvText = std::string("AB\r\nC\0D", 7);
    dlg_.m_strRecvHex = "41 42 0D 0A 43 00 44 ";
    dlg_.SetItemText(kRecvArea, "AB\nCD");
    const QString help = MultiLineForView(resources::LoadString(175, Language::English));
    ASSERT_FALSE(help.isEmpty());

    Press(kHelp);
    EXPECT_EQ(dlg_.m_bHelpShown, 1);
    EXPECT_EQ(dlg_.GetItemText(kRecvArea), help);
    EXPECT_TRUE(dlg_.GetItemText(kRecvArea).startsWith("Main function is:\n1.Send data from COM,LPT,USB or NET.\n"));

    // The display form is switched while the help is up: the data come back in the new form.
    dlg_.CheckItem(kHexShow, true);
    Press(kHelp);
    EXPECT_EQ(dlg_.m_bHelpShown, 0);
    EXPECT_EQ(dlg_.GetItemText(kRecvArea), "41 42 0D 0A 43 00 44 ");

    Press(kHelp);
    EXPECT_EQ(dlg_.GetItemText(kRecvArea), help);
    dlg_.CheckItem(kHexShow, false);
    Press(kHelp);
    // As text: the line break shows, the NUL byte leaves no trace and hides nothing after it.
    EXPECT_EQ(dlg_.GetItemText(kRecvArea), "AB\nCD");
}

TEST(ConsoleHelp, ChineseHelpIsTheChineseText)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::Chinese);
    qobject_cast<QPushButton*>(dlg.Item(kHelp))->click();
    const QString shown = dlg.GetItemText(kRecvArea);
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8("软件功能主要为:\n1.通过串口,并口,USB以及网口发送数据.\n")));
    EXPECT_EQ(shown.count('\n'), 6);
}

}  // namespace
}  // namespace consoletest
