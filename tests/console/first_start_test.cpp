// The console as it comes up on a first start (no settings file), in both languages.
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>

#include <array>

#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "console_fixture.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/tab_control.h"
#include "resources/pictures.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

struct FirstStart {
    Language language;
    const char* title;
    const char* status;
    const char* multipleNo;
    const char* openButton;
    const char* moreHidden;
    const char* noFile;
    const char* network;
    std::array<const char*, 4> tabs;
};

const FirstStart kFirstStarts[] = {
    {Language::English, "Corvane V5.8", "Port closed.", "NO", "Open\nPort", "Hidden", "No File Selected.", "Ethernet",
     {"Com Cycle", "Net Cycle", "测试", "Others"}},
    {Language::Chinese, "Corvane V5.8 ", "端口关闭！", "否", "打开\n端口", "隐藏", "未选择文件！", "以太网",
     {"串口循环", "网口循环", "测试", "其他"}},
};

void PrintTo(const FirstStart& s, std::ostream* os) { *os << (s.language == Language::English ? "English" : "Chinese"); }

QImage Picture(const QLabel* label) { return label->pixmap().toImage(); }

QImage IconPicture(int id, QSize size)
{
    const int side = std::min(size.width(), size.height());
    return resources::LoadIcon(id).pixmap(QSize(side, side)).toImage();
}

class FirstStartTest : public ::testing::TestWithParam<FirstStart> {
protected:
    DeviceTree tree_;
};

TEST_P(FirstStartTest, EveryDefaultOfAFirstStart)
{
    const FirstStart& c = GetParam();
    CQuillonDlg dlg(c.language);

    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(c.title));
    EXPECT_FALSE(dlg.windowIcon().isNull());
    EXPECT_TRUE(dlg.IsItemChecked(kHexSend));
    EXPECT_FALSE(dlg.IsItemChecked(kHexShow));

    // Serial settings in the lists and in the members.
    EXPECT_EQ(dlg.GetItemText(kBaudRate), "9600");
    EXPECT_EQ(dlg.GetItemText(kParity), "NONE");
    EXPECT_EQ(dlg.GetItemText(kDataBits), "8");
    EXPECT_EQ(dlg.GetItemText(kStopBits), "1");
    EXPECT_EQ(dlg.GetItemText(kFlowControl), "NONE");
    EXPECT_EQ(dlg.m_nBaudRate, 9600);
    EXPECT_EQ(dlg.m_cParity, 'N');
    EXPECT_EQ(dlg.m_nDataBits, 8);
    EXPECT_EQ(dlg.m_nStopBits, 1);
    EXPECT_EQ(dlg.m_nFlowControl, 0);
    EXPECT_TRUE(dlg.IsItemChecked(kDtr));
    EXPECT_TRUE(dlg.IsItemChecked(kRts));

    EXPECT_EQ(dlg.GetCurSel(kMultiple), 0);
    EXPECT_EQ(dlg.GetItemText(kMultiple), QString::fromUtf8(c.multipleNo));
    EXPECT_EQ(dlg.GetItemText(kTcpPort), "9100");
    EXPECT_EQ(dlg.m_nNetPort, 9100);
    ASSERT_NE(dlg.IpAddress(), nullptr);
    EXPECT_EQ(dlg.IpAddress()->Fields(), (std::array<int, 4>{192, 168, 1, 114}));
    EXPECT_EQ(dlg.GetItemText(kInterval), "1000");
    EXPECT_EQ(dlg.m_nInterval, 1000);

    EXPECT_EQ(dlg.m_strStatus, QString::fromUtf8(c.status));
    EXPECT_EQ(dlg.GetItemText(kStatusLine), QString::fromUtf8(c.status));
    EXPECT_EQ(dlg.GetItemText(kOpenClose), QString::fromUtf8(c.openButton));
    EXPECT_EQ(dlg.GetItemText(kRxCount), "RX:0");
    EXPECT_EQ(dlg.GetItemText(kTxCount), "TX:0");
    EXPECT_EQ(dlg.m_strSendFilePath, QString::fromUtf8(c.noFile));
    EXPECT_EQ(dlg.GetItemText(kSendFilePath), QString::fromUtf8(c.noFile));

    // The unlit lamp.
    auto* lamp = qobject_cast<QLabel*>(dlg.Item(kLamp));
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(Picture(lamp), IconPicture(resources::kIconLampOff, lamp->size()));
    EXPECT_NE(Picture(lamp), IconPicture(resources::kIconLampOn, lamp->size()));

    // The tab panel is out, on the serial cycle page.
    platform::TabControl* tab = dlg.TabPanel();
    ASSERT_NE(tab, nullptr);
    EXPECT_TRUE(tab->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.m_bExpanded, 1);
    EXPECT_EQ(dlg.GetItemText(kMoreHidden), QString::fromUtf8(c.moreHidden));
    ASSERT_EQ(tab->TabCount(), 4);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(tab->TabText(t), QString::fromUtf8(c.tabs[size_t(t)])) << "tab " << t;
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_TRUE(dlg.m_pageComCycle->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.m_pageNetCycle->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.m_pageTest->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.m_pageOther->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.m_bCycleTabShown, 1);

    // The capture folder is the program's own, with its separator.
    const QString programFolder = QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(dlg.m_strSaveFolder, programFolder);
    EXPECT_EQ(dlg.GetItemText(kSaveFolder), programFolder);

    // Without ports only the network entry, selected, and the kind follows it.
    ASSERT_EQ(dlg.ListItemCount(kPortList), 1);
    EXPECT_EQ(dlg.GetItemText(kPortList), QString::fromUtf8(c.network));
    EXPECT_EQ(dlg.m_nPortKind, 4);

    // The send area shows the (empty) hex store, and the Open button has the focus.
    EXPECT_EQ(dlg.GetItemText(kSendArea), "");
    EXPECT_EQ(dlg.focusWidget(), dlg.Item(kOpenClose));
}

TEST_P(FirstStartTest, StateMembersHaveTheirConstructionValues)
{
    CQuillonDlg dlg(GetParam().language);
    EXPECT_EQ(dlg.m_bTopMost, 0);
    EXPECT_EQ(dlg.m_bPaused, 0);
    EXPECT_EQ(dlg.m_bSendingFile, 0);
    EXPECT_EQ(dlg.m_bAutoSend, 0);
    EXPECT_EQ(dlg.m_bPortOpen, 0);
    EXPECT_EQ(dlg.m_bHelpShown, 0);
    EXPECT_EQ(dlg.m_bSerialCycleReady, 0);
    EXPECT_EQ(dlg.m_bNetCycleReady, 0);
    EXPECT_EQ(dlg.m_bSerialLineSelected, 0);
    EXPECT_EQ(dlg.m_nRxCount, 0);
    EXPECT_EQ(dlg.m_nTxCount, 0);
    EXPECT_EQ(dlg.m_nCommEventMask, 0x39u);
    EXPECT_FLOAT_EQ(dlg.m_fVersion, 5.8f);
    EXPECT_TRUE(dlg.m_strRecvHex.empty());
    EXPECT_TRUE(dlg.m_strRecvText.empty());
    EXPECT_TRUE(dlg.m_strSendHex.empty());
    EXPECT_TRUE(dlg.m_strSendText.empty());
    EXPECT_TRUE(dlg.m_strSendData.empty());
    EXPECT_TRUE(dlg.m_strPortName.empty());
    EXPECT_TRUE(dlg.m_strSerialParams.empty());
    EXPECT_TRUE(dlg.m_strOpenUsbPath.empty());
    EXPECT_FALSE(dlg.m_hIcon.isNull());
    EXPECT_FALSE(dlg.m_hIconOpen.isNull());
    EXPECT_FALSE(dlg.m_hIconClosed.isNull());
    EXPECT_EQ(dlg.m_rcTabClient, dlg.TabPanel()->ClientRect());
    EXPECT_EQ(dlg.m_utils.m_nKind, 0);
}

TEST(ReceiveArea, BlueTextOnWhiteInEveryStateAndNowhereElse)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    auto* area = qobject_cast<QPlainTextEdit*>(dlg.Item(kRecvArea));
    ASSERT_NE(area, nullptr);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        EXPECT_EQ(area->palette().color(group, QPalette::Text), QColor(0, 0, 255)) << group;
        EXPECT_EQ(area->palette().color(group, QPalette::Base), QColor(255, 255, 255)) << group;
    }
    EXPECT_NE(dlg.Item(kSendArea)->palette().color(QPalette::Text), QColor(0, 0, 255));

    // As drawn: the strokes of the text are blue, the ground white.
    area->setPlainText("MMMMMMMMMMMMMMMMMMMM");
    const QImage drawn = area->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int blue = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
            EXPECT_GE(c.blue(), std::max(c.red(), c.green())) << "a pixel not of blue on white at " << x << "," << y;
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_GT(blue, 20);
    EXPECT_EQ(drawn.pixelColor(drawn.width() - 2, drawn.height() - 2), QColor(255, 255, 255));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, FirstStartTest, ::testing::ValuesIn(kFirstStarts),
                         [](const auto& info) { return info.param.language == Language::English ? "English" : "Chinese"; });

}  // namespace
}  // namespace consoletest
