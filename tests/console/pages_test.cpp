// The four pages of the console's tab panel as the window creates them: children of the tab
// control below its tab row, each of its own layout's size, their controls disabled or
// empty until the port and the Multiple choice bring them to life.
#include <QCheckBox>
#include <QHeaderView>
#include <QTreeWidget>

#include <array>

#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "console_fixture.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "platform/qt/dialog_template.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/tab_control.h"
#include "resources/layouts.h"

namespace consoletest {
namespace {

using platform::Language;

class PagesTest : public ::testing::TestWithParam<Language> {
protected:
    DeviceTree tree_;
    CQuillonDlg dlg_{GetParam()};
};

TEST_P(PagesTest, PagesSitBelowTheTabRowAtTheirOwnLayoutSize)
{
    struct Page {
        platform::Dialog* page;
        int layout;
    };
    const Page pages[] = {{dlg_.m_pageComCycle, resources::kLayoutComCycle},
                          {dlg_.m_pageNetCycle, resources::kLayoutNetCycle},
                          {dlg_.m_pageTest, resources::kLayoutModelTest},
                          {dlg_.m_pageOther, resources::kLayoutOtherCommands}};
    for (const Page& p : pages) {
        SCOPED_TRACE(p.layout);
        ASSERT_NE(p.page, nullptr);
        EXPECT_EQ(p.page->parentWidget(), dlg_.TabPanel());
        EXPECT_FALSE(p.page->isWindow());
        EXPECT_EQ(p.page->pos(), QPoint(0, platform::TabControl::kTabRowHeight));
        const platform::DluConverter conv(p.page->font());
        EXPECT_EQ(p.page->size(), conv.Size(resources::Layout(p.layout, GetParam()).dlu));
    }
}

TEST_P(PagesTest, SerialCyclePageHasAnEmptyDisabledListOfThreeColumnsWithTicks)
{
    QTreeWidget* list = dlg_.m_pageComCycle->m_listPorts;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, dlg_.m_pageComCycle->Item(CDialog_ComCirculateSend::kIdPortList));
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(list->columnCount(), 3);
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    const int widths[] = {30, 50, 100};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list->columnWidth(i), widths[i]) << "column " << i;
}

TEST_P(PagesTest, NetworkCyclePageHasEightDisabledSlotsWithTheirDefaultAddresses)
{
    CDialog_NetCirculateSend* page = dlg_.m_pageNetCycle;
    int previousTop = -1;
    for (int k = 0; k < CDialog_NetCirculateSend::kSlots; ++k) {
        SCOPED_TRACE(k);
        QCheckBox* tick = page->m_chkSlots[size_t(k)];
        platform::IpAddressEdit* ip = page->m_ipSlots[size_t(k)];
        ASSERT_NE(tick, nullptr);
        ASSERT_NE(ip, nullptr);
        EXPECT_EQ(tick->text(), QString::number(k + 1));
        EXPECT_FALSE(tick->isChecked());
        EXPECT_FALSE(tick->isEnabled());
        EXPECT_FALSE(ip->isEnabled());
        EXPECT_EQ(ip->Fields(), (std::array<int, 4>{192, 168, 1, 111 + k}));
        // Slots run top to bottom, whatever their ids.
        EXPECT_GT(tick->y(), previousTop);
        previousTop = tick->y();
    }
}

TEST_P(PagesTest, CommandPagesStartWithTheirButtonsDisabled)
{
    const char* models[] = {"POS热敏机型", "POS针打机型", "便携热敏机型", "便携针打机型", "微打热敏机型", "微打针打机型"};
    for (size_t i = 0; i < Dialog_TestButton::kButtonIds.size(); ++i) {
        const int id = Dialog_TestButton::kButtonIds[i];
        EXPECT_EQ(dlg_.m_pageTest->GetItemText(id), QString::fromUtf8(models[i])) << id;
        EXPECT_FALSE(dlg_.m_pageTest->IsItemEnabled(id)) << id;
    }
    const bool english = GetParam() == Language::English;
    EXPECT_EQ(dlg_.m_pageOther->GetItemText(CDialog_OtherCommand::kIdCutPaper),
              QString::fromUtf8(english ? "Cut Paper" : "切刀"));
    EXPECT_EQ(dlg_.m_pageOther->GetItemText(CDialog_OtherCommand::kIdOpenCashbox),
              QString::fromUtf8(english ? "Open Cashbox" : "开钱箱"));
    EXPECT_FALSE(dlg_.m_pageOther->IsItemEnabled(CDialog_OtherCommand::kIdCutPaper));
    EXPECT_FALSE(dlg_.m_pageOther->IsItemEnabled(CDialog_OtherCommand::kIdOpenCashbox));
}

TEST_P(PagesTest, ThePagesControlsAreTheirOwnNotTheWindows)
{
    // Page ids repeat ids of the window (1073, 1079, 1095): the window finds its own.
    EXPECT_EQ(dlg_.Item(console_ids::kTabPanel), dlg_.TabPanel());
    EXPECT_TRUE(qobject_cast<platform::IpAddressEdit*>(dlg_.Item(console_ids::kIpAddress)));
    EXPECT_EQ(dlg_.Item(console_ids::kIpAddress)->parentWidget(), &dlg_);
    EXPECT_EQ(dlg_.Item(console_ids::kHelp)->parentWidget(), &dlg_);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, PagesTest, ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& info) { return info.param == Language::English ? "English" : "Chinese"; });

}  // namespace
}  // namespace consoletest
