// The console's tab panel with its four pages, its expand and collapse, and the help text
// in the receive area.
#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "console/quillon_dlg.h"
#include "console/view_text.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "platform/qt/tab_control.h"

using namespace console_ids;

namespace {

constexpr int kTabComCycle = 0;
constexpr int kTabNetCycle = 1;
constexpr int kTabModelTest = 2;
constexpr int kTabOthers = 3;

constexpr int kKindSerial = 1;
constexpr int kKindNetwork = 4;
constexpr int kMultipleYes = 1;

}  // namespace

void CQuillonDlg::SetUpTabPanel()
{
    platform::TabControl* tab = TabPanel();
    if (!tab)
        return;
    m_rcTabClient = tab->ClientRect();

    tab->InsertTab(kTabComCycle, Text(180));
    tab->InsertTab(kTabNetCycle, Text(181));
    tab->InsertTab(kTabModelTest, Text(192));
    tab->InsertTab(kTabOthers, Text(182));

    m_pageComCycle = new CDialog_ComCirculateSend(tab, m_language);
    m_pageNetCycle = new CDialog_NetCirculateSend(tab, m_language);
    m_pageTest = new Dialog_TestButton(tab, m_language);
    m_pageOther = new CDialog_OtherCommand(tab, m_language);

    // Each page keeps its own size and sits below the tab row.
    const QPoint topLeft(m_rcTabClient.left(), m_rcTabClient.top() + platform::TabControl::kTabRowHeight);
    QWidget* pages[] = {m_pageComCycle, m_pageNetCycle, m_pageTest, m_pageOther};
    for (int t = 0; t < 4; ++t) {
        pages[t]->move(topLeft);
        pages[t]->setVisible(t == kTabComCycle);
    }
    tab->SetCurSel(kTabComCycle);
}

void CQuillonDlg::ShowTabPage()
{
    m_bCycleTabShown = 0;
    const int t = TabPanel() ? TabPanel()->GetCurSel() : -1;
    QWidget* pages[] = {m_pageComCycle, m_pageNetCycle, m_pageTest, m_pageOther};
    for (int i = 0; i < 4; ++i) {
        if (pages[i])
            pages[i]->setVisible(i == t);
    }
    if (t == kTabComCycle || t == kTabNetCycle)
        m_bCycleTabShown = 1;
    UpdateControlStates();
}

void CQuillonDlg::SetExpanded(int expanded)
{
    QWidget* area = Item(kRecvArea);
    if (!area)
        return;
    QRect rect = area->geometry();
    const int w = m_rcTabClient.width();
    if (expanded == 1) {
        rect.setWidth(rect.width() - w);
        SetItemText(kMoreHidden, Text(178));
    } else if (expanded == 0) {
        rect.setWidth(rect.width() + w);
        SetItemText(kMoreHidden, Text(177));
    }
    area->setGeometry(rect);
    m_bExpanded = expanded;
    ShowItem(kTabPanel, expanded == 1);
}

void CQuillonDlg::OnMoreHidden()
{
    SetExpanded(m_bExpanded ? 0 : 1);

    // The page that fits the situation: the model test page with a port open, else the
    // cycle page of the port kind in multi-device mode, else again the model test page.
    const bool multiple = GetCurSel(kMultiple) == kMultipleYes;
    int tab = kTabModelTest;
    if (m_bPortOpen)
        tab = kTabModelTest;
    else if (m_nPortKind == kKindSerial && multiple)
        tab = kTabComCycle;
    else if (m_nPortKind == kKindNetwork && multiple)
        tab = kTabNetCycle;
    if (TabPanel())
        TabPanel()->SetCurSel(tab);
    ShowTabPage();
}

QString CQuillonDlg::ReceivedDataForView() const
{
    return IsItemChecked(kHexShow) ? ReceivedHexForView(m_strRecvHex) : ReceivedTextForView(m_strRecvText, m_language);
}

void CQuillonDlg::OnHelp()
{
    if (m_bHelpShown) {
        SetItemText(kRecvArea, ReceivedDataForView());
        m_bHelpShown = 0;
    } else {
        SetItemText(kRecvArea, MultiLineForView(Text(175)));
        m_bHelpShown = 1;
    }
}
