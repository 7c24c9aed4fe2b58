// The console's geometry in both languages, and the expand and collapse of its tab panel.
#include <QPushButton>
#include <QTabBar>

#include <map>

#include "app/push_pin_button.h"
#include "console_fixture.h"
#include "platform/qt/dialog_template.h"
#include "platform/qt/tab_control.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

struct Placed {
    int id;
    QRect english;
    QRect chinese;
};

// A sample of the layout tables: the corners, the big areas, and controls in between.
const Placed kPlaced[] = {
    {kRecvArea, {3, 0, 244, 92}, {2, 0, 211, 108}},
    {kTabPanel, {247, 0, 109, 93}, {213, 0, 127, 108}},
    {kOpenClose, {96, 181, 28, 31}, {82, 194, 29, 32}},
    {kSendArea, {125, 167, 197, 45}, {112, 178, 196, 49}},
    {kStatusLine, {16, 242, 203, 11}, {18, 258, 204, 11}},
    {kRecount, {319, 241, 34, 13}, {310, 257, 28, 13}},
    {kIpAddress, {140, 139, 97, 12}, {130, 152, 91, 11}},
    {kLamp, {101, 157, 18, 18}, {86, 170, 21, 21}},
};

bool WithinAPixel(const QRect& a, const QRect& b)
{
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}

struct WindowSize {
    Language language;
    QSize dlu;
    bool minimizeBox;
    bool portNumLabelShown;
};

void PrintTo(const WindowSize& s, std::ostream* os) { *os << (s.language == Language::English ? "English" : "Chinese"); }

class LayoutTest : public ::testing::TestWithParam<WindowSize> {
protected:
    DeviceTree tree_;
};

TEST_P(LayoutTest, WindowSizeFrameAndLabelOfTheLanguage)
{
    const WindowSize& c = GetParam();
    CQuillonDlg dlg(c.language);
    const platform::DluConverter conv(dlg.font());
    const QSize expected = conv.Size(c.dlu);
    EXPECT_LE(std::abs(dlg.width() - expected.width()), 1) << dlg.width() << " vs " << expected.width();
    EXPECT_LE(std::abs(dlg.height() - expected.height()), 1) << dlg.height() << " vs " << expected.height();
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "the window is never resized";

    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_EQ(flags.testFlag(Qt::WindowMinimizeButtonHint), c.minimizeBox);
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));

    EXPECT_EQ(dlg.IsItemVisible(kTcpPortLabel), c.portNumLabelShown);
}

TEST_P(LayoutTest, ControlsStandWhereTheLayoutTableSays)
{
    const Language language = GetParam().language;
    CQuillonDlg dlg(language);
    const platform::DluConverter conv(dlg.font());
    for (const Placed& p : kPlaced) {
        const QRect dlu = language == Language::English ? p.english : p.chinese;
        EXPECT_TRUE(WithinAPixel(dlg.Item(p.id)->geometry(), conv.Rect(dlu)))
            << p.id << ": " << dlg.Item(p.id)->geometry().x() << "," << dlg.Item(p.id)->geometry().y() << " "
            << dlg.Item(p.id)->width() << "x" << dlg.Item(p.id)->height();
    }
    // The pin keeps the top-left corner of its place and the size of its picture.
    const QRect pinDlu = language == Language::English ? QRect(2, 242, 13, 10) : QRect(2, 259, 13, 10);
    const QRect pin = dlg.Item(kPushPin)->geometry();
    EXPECT_LE((pin.topLeft() - conv.Rect(pinDlu).topLeft()).manhattanLength(), 1);
    EXPECT_EQ(pin.size(), QSize(16, 15));
}

TEST_P(LayoutTest, CollapsingWidensTheReceiveAreaByTheTabWidthAndMovesNothingElse)
{
    const Language language = GetParam().language;
    const bool english = language == Language::English;
    CQuillonDlg dlg(language);
    QWidget* area = dlg.Item(kRecvArea);
    const QRect laidOut = area->geometry();
    const int tabWidth = dlg.TabPanel()->ClientRect().width();
    ASSERT_GT(tabWidth, 0);

    std::map<int, QRect> others;
    for (int id = 1000; id <= 1112; ++id) {
        if (id != kRecvArea && dlg.Item(id))
            others[id] = dlg.Item(id)->geometry();
    }
    ASSERT_GT(others.size(), 40u);
    auto* button = qobject_cast<QPushButton*>(dlg.Item(kMoreHidden));
    ASSERT_NE(button, nullptr);

    button->click();
    EXPECT_EQ(dlg.m_bExpanded, 0);
    EXPECT_EQ(area->geometry(), QRect(laidOut.topLeft(), QSize(laidOut.width() + tabWidth, laidOut.height())));
    EXPECT_TRUE(area->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.TabPanel()->isVisibleTo(&dlg));
    EXPECT_EQ(button->text(), QString::fromUtf8(english ? "More" : "更多"));
    // The two stand side by side in both layouts, so the area now ends where the tab
    // control ended.
    ASSERT_EQ(laidOut.right() + 1, dlg.TabPanel()->geometry().left());
    EXPECT_EQ(area->geometry().right(), dlg.TabPanel()->geometry().right());
    for (const auto& [id, rect] : others)
        EXPECT_EQ(dlg.Item(id)->geometry(), rect) << id;

    button->click();
    EXPECT_EQ(dlg.m_bExpanded, 1);
    EXPECT_EQ(area->geometry(), laidOut);
    EXPECT_TRUE(dlg.TabPanel()->isVisibleTo(&dlg));
    EXPECT_EQ(button->text(), QString::fromUtf8(english ? "Hidden" : "隐藏"));
    for (const auto& [id, rect] : others)
        EXPECT_EQ(dlg.Item(id)->geometry(), rect) << id;
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LayoutTest,
                         ::testing::Values(WindowSize{Language::English, QSize(358, 256), false, false},
                                           WindowSize{Language::Chinese, QSize(341, 272), true, true}),
                         [](const auto& info) { return info.param.language == Language::English ? "English" : "Chinese"; });

}  // namespace
}  // namespace consoletest
