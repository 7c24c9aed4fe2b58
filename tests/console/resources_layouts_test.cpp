// The dialog layouts: the main window in both languages with every control, frame and label
// where it belongs, the pages, and dialogs built from them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <map>
#include <variant>

#include "platform/qt/dialog.h"
#include "platform/qt/dialog_template.h"
#include "platform/qt/tab_control.h"
#include "resources/layouts.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::Language;
using resources::Layout;

struct Placement {
    std::variant<int, const char*> element;  // control id, or the text of a frame or label
    QRect english;
    QRect chinese;
};

// Left, top, width, height in dialog units.
const Placement kPlacements[] = {
    {1009, {3, 0, 244, 92}, {2, 0, 211, 108}},
    {1073, {247, 0, 109, 93}, {213, 0, 127, 108}},
    {"Show Receive Data", {4, 95, 114, 26}, {2, 110, 100, 26}},
    {1008, {6, 105, 32, 13}, {7, 119, 23, 13}},
    {1007, {39, 105, 32, 13}, {31, 119, 23, 13}},
    {1006, {73, 106, 44, 10}, {59, 121, 39, 10}},
    {"Save Receive Data", {121, 95, 232, 26}, {105, 110, 233, 26}},
    {"Path:", {124, 108, 18, 8}, {110, 123, 20, 8}},
    {1027, {144, 106, 147, 12}, {133, 120, 155, 13}},
    {1028, {291, 105, 29, 13}, {288, 120, 23, 13}},
    {1026, {321, 105, 29, 13}, {313, 120, 23, 13}},
    {1096, {106, 127, 27, 8}, {90, 141, 36, 8}},
    {1003, {136, 125, 29, 48}, {130, 138, 29, 48}},
    {1094, {170, 127, 32, 8}, {162, 141, 29, 8}},
    {1015, {205, 125, 33, 48}, {193, 138, 33, 48}},
    {1093, {99, 141, 38, 8}, {95, 153, 31, 8}},
    {1079, {140, 139, 97, 12}, {130, 152, 91, 11}},
    {1014, {250, 126, 44, 8}, {235, 140, 43, 10}},
    {"T=", {248, 140, 8, 8}, {235, 153, 8, 8}},
    {1011, {258, 137, 27, 13}, {244, 151, 27, 12}},
    {1052, {287, 140, 10, 8}, {273, 153, 9, 8}},
    {1095, {301, 123, 22, 13}, {288, 138, 23, 13}},
    {1066, {324, 123, 29, 13}, {313, 138, 23, 13}},
    {1016, {301, 139, 52, 23}, {287, 152, 49, 22}},
    {1054, {20, 130, 18, 8}, {12, 142, 21, 8}},
    {1000, {43, 128, 48, 88}, {33, 139, 43, 88}},
    {1055, {13, 149, 36, 8}, {4, 165, 29, 8}},
    {1001, {52, 147, 39, 110}, {33, 162, 43, 109}},
    {1056, {27, 165, 22, 8}, {12, 180, 21, 8}},
    {1020, {52, 163, 39, 52}, {33, 178, 43, 52}},
    {1057, {17, 181, 32, 9}, {4, 196, 29, 8}},
    {1021, {52, 179, 39, 47}, {33, 194, 43, 47}},
    {1058, {17, 196, 32, 9}, {4, 211, 29, 8}},
    {1022, {52, 194, 39, 37}, {33, 209, 43, 37}},
    {1060, {6, 211, 43, 9}, {3, 227, 29, 8}},
    {1023, {52, 209, 39, 37}, {33, 225, 43, 37}},
    {1106, {16, 226, 24, 8}, {12, 242, 24, 8}},
    {1107, {57, 226, 24, 8}, {50, 242, 24, 8}},
    {1005, {101, 157, 18, 18}, {86, 170, 21, 21}},
    {1035, {96, 181, 28, 31}, {82, 194, 29, 32}},
    {1013, {126, 156, 42, 8}, {126, 167, 39, 9}},
    {1105, {181, 156, 55, 8}, {181, 167, 44, 9}},
    {1097, {246, 156, 52, 8}, {239, 167, 45, 9}},
    {1012, {125, 167, 197, 45}, {112, 178, 196, 49}},
    {1010, {325, 167, 28, 29}, {310, 177, 28, 30}},
    {1018, {325, 198, 28, 14}, {310, 213, 28, 13}},
    {"Send File", {96, 214, 256, 25}, {82, 229, 254, 26}},
    {"Path:", {100, 225, 19, 8}, {86, 241, 21, 8}},
    {1031, {121, 224, 164, 12}, {110, 238, 173, 13}},
    {1030, {287, 224, 30, 13}, {285, 238, 24, 13}},
    {1032, {318, 224, 30, 13}, {310, 238, 24, 13}},
    {1059, {2, 242, 13, 10}, {2, 259, 13, 10}},
    {1004, {16, 242, 203, 11}, {18, 258, 204, 11}},
    {1040, {221, 242, 47, 11}, {223, 258, 42, 11}},
    {1049, {269, 242, 47, 11}, {266, 258, 42, 11}},
    {1041, {319, 241, 34, 13}, {310, 257, 28, 13}},
};

struct Untitled {
    QRect english, chinese;
    std::vector<int> holds;
};

// Frames without a title, with the controls they surround.
const Untitled kUntitledFrames[] = {
    {{95, 118, 147, 35}, {85, 133, 144, 32}, {1096, 1003, 1093, 1079, 1094, 1015}},
    {{244, 118, 56, 35}, {230, 133, 53, 32}, {1014, 1011, 1052}},
    // The port row (1054, 1000) sits above this frame's top edge in both layouts.
    {{4, 140, 89, 99}, {2, 153, 78, 102}, {1055, 1001, 1056, 1020, 1057, 1021, 1058, 1022, 1060, 1023, 1106, 1107}},
};

struct TextCase {
    int id;
    ControlKind kind;
    const char* english;
    const char* chinese;
};

const TextCase kTexts[] = {
    {1009, ControlKind::MultiLineEdit, "", ""},
    {1073, ControlKind::TabControl, "", ""},
    {1008, ControlKind::PushButton, "Pause", "暂停"},
    {1007, ControlKind::PushButton, "Clear", "清空"},
    {1006, ControlKind::CheckBox, "HEX Show", "HEX显示"},
    {1027, ControlKind::SunkenText, "", ""},
    {1028, ControlKind::PushButton, "Modify", "更改"},
    {1026, ControlKind::PushButton, "Save", "保存"},
    {1096, ControlKind::Label, "Multiple:", "多台循环:"},
    {1003, ControlKind::DropList, "NO\nYES", "否\n是"},
    {1093, ControlKind::Label, "IP Address:", "IP地址:"},
    {1079, ControlKind::IpAddress, "", ""},
    {1094, ControlKind::Label, "Port Num:", "端口号:"},
    {1015, ControlKind::DropList, "80\n4000\n9100", "80\n4000\n9100"},
    {1014, ControlKind::CheckBox, "Auto Send", "自动发送"},
    {1011, ControlKind::NumberEdit, "", ""},
    {1052, ControlKind::Label, "MS", "MS"},
    {1095, ControlKind::PushButton, "Help", "帮助"},
    {1066, ControlKind::PushButton, "Hidden", "隐藏"},
    {1016, ControlKind::PushButton, "Print Test", "打印测试"},
    {1054, ControlKind::Label, "Port:", "端口:"},
    {1000, ControlKind::DropList, "", ""},
    {1055, ControlKind::Label, "Baud Rate:", "波特率:"},
    {1001, ControlKind::DropList, "1200\n2400\n4800\n9600\n19200\n38400\n57600\n115200",
     "1200\n2400\n4800\n9600\n19200\n38400\n57600\n115200"},
    {1056, ControlKind::Label, "Check:", "校验:"},
    {1020, ControlKind::DropList, "NONE\nODD\nEVEN", "NONE\nODD\nEVEN"},
    {1057, ControlKind::Label, "Data Bit:", "数据位:"},
    {1021, ControlKind::DropList, "8\n7\n6", "8\n7\n6"},
    {1058, ControlKind::Label, "Stop Bit:", "停止位:"},
    {1022, ControlKind::DropList, "1\n2", "1\n2"},
    {1060, ControlKind::Label, "Flow Control:", "流控制:"},
    {1023, ControlKind::DropList, "NONE\nXON/XOFF\nRTS/CTS", "NONE\nXON/XOFF\nRTS/CTS"},
    {1106, ControlKind::CheckBox, "DTR", "DTR"},
    {1107, ControlKind::CheckBox, "RTS", "RTS"},
    {1005, ControlKind::Icon, "", ""},
    {1035, ControlKind::PushButton, "Open\nPort", "打开\n端口"},
    {1013, ControlKind::CheckBox, "HEX Send", "HEX发送"},
    {1105, ControlKind::CheckBox, "Send NewLine", "发送新行"},
    {1097, ControlKind::CheckBox, "Chinese\nMode", "汉字模式"},
    {1012, ControlKind::MultiLineEdit, "", ""},
    {1010, ControlKind::PushButton, "Send", "发送"},
    {1018, ControlKind::PushButton, "Clear", "清空"},
    {1031, ControlKind::SunkenText, "", ""},
    {1030, ControlKind::PushButton, "Browse", "选择"},
    {1032, ControlKind::PushButton, "Send", "发送"},
    {1059, ControlKind::PushPin, "", ""},
    {1004, ControlKind::SunkenText, "Port State:", "端口状态"},
    {1040, ControlKind::SunkenText, "RX:0", "RX:0"},
    {1049, ControlKind::SunkenText, "TX:0", "TX:0"},
    {1041, ControlKind::PushButton, "ReCount", "清零"},
};

std::vector<const ControlTemplate*> WithId(const DialogTemplate& t, int id)
{
    std::vector<const ControlTemplate*> found;
    for (const ControlTemplate& c : t.controls)
        if (c.id == id)
            found.push_back(&c);
    return found;
}

std::vector<const ControlTemplate*> WithoutIdAt(const DialogTemplate& t, const QRect& dlu)
{
    std::vector<const ControlTemplate*> found;
    for (const ControlTemplate& c : t.controls)
        if (c.id < 0 && c.dlu == dlu)
            found.push_back(&c);
    return found;
}

class MainLayout : public ::testing::TestWithParam<Language> {
protected:
    bool Chinese() const { return GetParam() == Language::Chinese; }
    const DialogTemplate& T() const { return Layout(resources::kLayoutMain, GetParam()); }
};

TEST_P(MainLayout, WindowSizeFontAndBoxes)
{
    EXPECT_EQ(T().layoutId, 148);
    EXPECT_EQ(T().dlu, Chinese() ? QSize(341, 272) : QSize(358, 256));
    EXPECT_EQ(T().minimizeBox, Chinese());
    EXPECT_FALSE(T().child);
    EXPECT_EQ(T().pointSize, 9);
    EXPECT_EQ(T().fontFamily, Chinese() ? "AR PL UMing CN" : "Liberation Sans");
}

TEST_P(MainLayout, EveryElementOnceWhereItBelongs)
{
    int withId = 0;
    for (const Placement& p : kPlacements) {
        const QRect& at = Chinese() ? p.chinese : p.english;
        if (const int* id = std::get_if<int>(&p.element)) {
            ++withId;
            const auto found = WithId(T(), *id);
            ASSERT_EQ(found.size(), 1u) << *id;
            EXPECT_EQ(found[0]->dlu, at) << *id;
        } else {
            const auto found = WithoutIdAt(T(), at);
            ASSERT_EQ(found.size(), 1u) << std::get<const char*>(p.element);
        }
    }
    EXPECT_EQ(withId, 50);
    // Nothing else: 50 controls, 6 frames and 3 labels.
    EXPECT_EQ(T().controls.size(), std::size(kPlacements) + std::size(kUntitledFrames));
}

TEST_P(MainLayout, KindsAndTextsOfTheLanguage)
{
    for (const TextCase& c : kTexts) {
        const auto found = WithId(T(), c.id);
        ASSERT_EQ(found.size(), 1u) << c.id;
        EXPECT_EQ(found[0]->kind, c.kind) << c.id;
        EXPECT_EQ(found[0]->text, QString::fromUtf8(Chinese() ? c.chinese : c.english)) << c.id;
    }
}

TEST_P(MainLayout, FramesAndLabelsWithoutId)
{
    struct Titled {
        const char* english;
        const char* chinese;
        ControlKind kind;
        int count;
    };
    const Titled titled[] = {
        {"Show Receive Data", "接收区数据显示", ControlKind::GroupBox, 1},
        {"Save Receive Data", "接收区数据保存", ControlKind::GroupBox, 1},
        {"Send File", "发送文件", ControlKind::GroupBox, 1},
        {"Path:", "路径:", ControlKind::Label, 2},
        {"T=", "T=", ControlKind::Label, 1},
    };
    for (const Titled& t : titled) {
        int count = 0;
        for (const ControlTemplate& c : T().controls) {
            if (c.id < 0 && c.text == QString::fromUtf8(Chinese() ? t.chinese : t.english)) {
                EXPECT_EQ(c.kind, t.kind) << t.english;
                ++count;
            }
        }
        EXPECT_EQ(count, t.count) << t.english;
    }
    for (const Untitled& f : kUntitledFrames) {
        const auto found = WithoutIdAt(T(), Chinese() ? f.chinese : f.english);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0]->kind, ControlKind::GroupBox);
        EXPECT_TRUE(found[0]->text.isEmpty());
        for (int id : f.holds) {
            const QRect r = WithId(T(), id).at(0)->dlu;
            const QRect visible(r.topLeft(), QSize(r.width(), std::min(r.height(), platform::kClosedDropListDlu)));
            EXPECT_TRUE(found[0]->dlu.contains(visible)) << id;
        }
    }
}

TEST_P(MainLayout, StylesOfTheSpecialFields)
{
    const auto style = [this](int id) { return WithId(T(), id).at(0)->style; };
    for (int id : {1004, 1040, 1049, 1031})
        EXPECT_TRUE(style(id) & platform::kStyleCentered) << id;
    EXPECT_TRUE(style(1027) & platform::kStylePathEllipsis);
    EXPECT_TRUE(style(1035) & platform::kStyleMultiLine);
    EXPECT_TRUE(style(1012) & platform::kStyleWantReturn);
    EXPECT_FALSE(style(1009) & platform::kStyleWantReturn);
    // Only the port-number label of the English layout is hidden.
    for (const ControlTemplate& c : T().controls) {
        const bool hidden = (c.style & platform::kStyleHidden) != 0;
        EXPECT_EQ(hidden, c.id == 1094 && !Chinese()) << c.id;
        EXPECT_FALSE(c.style & platform::kStyleDisabled) << c.id;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, MainLayout, ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& info) { return info.param == Language::Chinese ? "Chinese" : "English"; });

// ---------------------------------------------------------------- pages

TEST(PageLayouts, ComCyclePageIsOneListFillingIt)
{
    for (Language language : {Language::English, Language::Chinese}) {
        const DialogTemplate& t = Layout(resources::kLayoutComCycle, language);
        EXPECT_EQ(t.layoutId, 158);
        EXPECT_TRUE(t.child);
        EXPECT_EQ(t.dlu, QSize(125, 92));
        EXPECT_EQ(t.fontFamily, "AR PL UMing CN") << "Chinese only";
        ASSERT_EQ(t.controls.size(), 1u);
        EXPECT_EQ(t.controls[0].id, 1102);
        EXPECT_EQ(t.controls[0].kind, ControlKind::ListView);
        EXPECT_EQ(t.controls[0].dlu, QRect(QPoint(0, 0), t.dlu));
    }
}

TEST(PageLayouts, NetCyclePageHasEightSlotsInRows)
{
    struct Slot {
        int check, ip, top;
    };
    const Slot rows[] = {{1071, 1079, 1},  {1074, 1080, 12}, {1072, 1081, 24}, {1075, 1082, 35},
                          {1073, 1083, 46}, {1076, 1084, 57}, {1077, 1085, 69}, {1078, 1086, 79}};
    for (Language language : {Language::English, Language::Chinese}) {
        const DialogTemplate& t = Layout(resources::kLayoutNetCycle, language);
        EXPECT_EQ(t.layoutId, 155);
        EXPECT_TRUE(t.child);
        EXPECT_EQ(t.dlu, QSize(125, 91));
        EXPECT_EQ(t.fontFamily, "AR PL UMing CN");
        ASSERT_EQ(t.controls.size(), 16u);
        int slot = 1;
        for (const Slot& s : rows) {
            const auto check = WithId(t, s.check), ip = WithId(t, s.ip);
            ASSERT_EQ(check.size(), 1u);
            ASSERT_EQ(ip.size(), 1u);
            EXPECT_EQ(check[0]->kind, ControlKind::CheckBox);
            EXPECT_EQ(check[0]->text, QString::number(slot));
            EXPECT_EQ(check[0]->dlu, QRect(5, s.top, 16, 10));
            EXPECT_EQ(ip[0]->kind, ControlKind::IpAddress);
            EXPECT_EQ(ip[0]->dlu, QRect(22, s.top, 100, 10));
            ++slot;
        }
    }
}

TEST(PageLayouts, ModelTestPageHasSixButtonsInAColumn)
{
    const std::pair<int, const char*> buttons[] = {{1095, "POS热敏机型"},  {1108, "POS针打机型"},
                                                   {1109, "便携热敏机型"}, {1110, "便携针打机型"},
                                                   {1111, "微打热敏机型"}, {1112, "微打针打机型"}};
    const DialogTemplate& t = Layout(resources::kLayoutModelTest, Language::English);
    EXPECT_EQ(t.layoutId, 164);
    EXPECT_TRUE(t.child);
    EXPECT_EQ(t.fontFamily, "AR PL UMing CN");
    ASSERT_EQ(t.controls.size(), 6u);
    int previousBottom = -1;
    for (size_t i = 0; i < 6; ++i) {
        const ControlTemplate& c = t.controls[i];
        EXPECT_EQ(c.id, buttons[i].first);
        EXPECT_EQ(c.kind, ControlKind::PushButton);
        EXPECT_EQ(c.text, QString::fromUtf8(buttons[i].second));
        EXPECT_EQ(c.dlu.left(), t.controls[0].dlu.left()) << "one column";
        EXPECT_GT(c.dlu.top(), previousBottom) << "top to bottom, not overlapping";
        EXPECT_TRUE(QRect(QPoint(0, 0), t.dlu).contains(c.dlu));
        previousBottom = c.dlu.bottom();
    }
}

TEST(PageLayouts, OtherCommandsPageInBothLanguages)
{
    const DialogTemplate& en = Layout(resources::kLayoutOtherCommands, Language::English);
    const DialogTemplate& zh = Layout(resources::kLayoutOtherCommands, Language::Chinese);
    for (const DialogTemplate* t : {&en, &zh}) {
        EXPECT_EQ(t->layoutId, 156);
        EXPECT_TRUE(t->child);
        ASSERT_EQ(t->controls.size(), 2u);
        EXPECT_EQ(t->controls[0].id, 1089);
        EXPECT_EQ(t->controls[1].id, 1091);
        for (const ControlTemplate& c : t->controls)
            EXPECT_TRUE(QRect(QPoint(0, 0), t->dlu).contains(c.dlu));
    }
    EXPECT_EQ(en.controls[0].text, "Cut Paper");
    EXPECT_EQ(en.controls[1].text, "Open Cashbox");
    EXPECT_EQ(zh.controls[0].text, QString::fromUtf8("切刀"));
    EXPECT_EQ(zh.controls[1].text, QString::fromUtf8("开钱箱"));
    EXPECT_EQ(en.fontFamily, "Liberation Sans");
    EXPECT_EQ(zh.fontFamily, "AR PL UMing CN");
}

TEST(PageLayouts, UnknownLayoutIsEmpty)
{
    EXPECT_TRUE(Layout(149, Language::English).controls.empty());
    EXPECT_EQ(Layout(149, Language::Chinese).layoutId, 0);
}

// ---------------------------------------------------------------- built dialogs

class Built : public platform::Dialog {
public:
    ~Built() override { CloseEndpoint(); }
};

class BuiltMainWindow : public ::testing::TestWithParam<Language> {
protected:
    BuiltMainWindow()
        : tmpl(Layout(resources::kLayoutMain, GetParam())), conv(platform::BuildFromTemplate(window, tmpl))
    {
    }

    QRect Px(int id) const { return window.Item(id)->geometry(); }
    QRect Dlu(int id) const { return WithId(tmpl, id).at(0)->dlu; }

    Built window;
    const DialogTemplate& tmpl;
    platform::DluConverter conv;
};

TEST_P(BuiltMainWindow, UsesTheLayoutsFontAndSize)
{
    EXPECT_EQ(window.font().family(), tmpl.fontFamily);
    EXPECT_EQ(window.size(), QSize(conv.X(tmpl.dlu.width()), conv.Y(tmpl.dlu.height())));
    EXPECT_GT(conv.AverageCharWidth(), 3);
    EXPECT_GT(conv.CharHeight(), 8);
}

TEST_P(BuiltMainWindow, EveryControlSitsAtItsConvertedRectangle)
{
    for (const TextCase& c : kTexts) {
        QWidget* w = window.Item(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        const QRect d = Dlu(c.id);
        // Within a pixel of units * width / 4 and units * height / 8.
        const double ax = conv.AverageCharWidth() / 4.0, ay = conv.CharHeight() / 8.0;
        EXPECT_NEAR(w->x(), d.left() * ax, 1.0) << c.id;
        EXPECT_NEAR(w->y(), d.top() * ay, 1.0) << c.id;
        EXPECT_NEAR(w->width(), d.width() * ax, 1.0) << c.id;
        if (c.kind == ControlKind::DropList)
            EXPECT_NEAR(w->height(), platform::kClosedDropListDlu * ay, 1.0) << c.id;
        else
            EXPECT_NEAR(w->height(), d.height() * ay, 1.0) << c.id;
    }
}

TEST_P(BuiltMainWindow, NeighboursKeepTheirArrangement)
{
    // The receive area and the tab panel touch.
    EXPECT_EQ(Px(1009).right() + 1, Px(1073).left());
    // Buttons in a row stay in order and apart as in the layout.
    for (auto [left, right] : {std::pair{1008, 1007}, {1028, 1026}, {1095, 1066}, {1030, 1032}, {1004, 1040},
                               {1040, 1049}, {1049, 1041}}) {
        EXPECT_LT(Px(left).right(), Px(right).left()) << left << " " << right;
    }
    // The serial settings column: labels left of their lists, rows top to bottom.
    const int rows[][2] = {{1055, 1001}, {1056, 1020}, {1057, 1021}, {1058, 1022}, {1060, 1023}};
    int previousTop = -1;
    for (const auto& row : rows) {
        EXPECT_LT(Px(row[0]).right(), Px(row[1]).left());
        EXPECT_GT(Px(row[1]).top(), previousTop);
        previousTop = Px(row[1]).top();
    }
    // Closed lists do not reach into the row below.
    EXPECT_LT(Px(1001).bottom(), Px(1020).top());
    EXPECT_LT(Px(1003).bottom(), Px(1079).top());
    // The send area lies below its option boxes and left of the Send button.
    EXPECT_LT(Px(1013).bottom(), Px(1012).top() + 2);
    EXPECT_LT(Px(1012).right(), Px(1010).left());
}

TEST_P(BuiltMainWindow, ControlsAreOfTheirKindAndTheHiddenLabelStaysHidden)
{
    EXPECT_NE(qobject_cast<platform::TabControl*>(window.Item(1073)), nullptr);
    auto* baud = qobject_cast<QComboBox*>(window.Item(1001));
    ASSERT_NE(baud, nullptr);
    EXPECT_EQ(baud->count(), 8);
    EXPECT_EQ(baud->itemText(3), "9600");
    EXPECT_EQ(window.ListItemCount(1000), 0);
    window.show();
    EXPECT_EQ(window.Item(1094)->isVisible(), GetParam() == Language::Chinese);
    EXPECT_TRUE(window.Item(1093)->isVisible());
    EXPECT_EQ(window.findChildren<QGroupBox*>().size(), 6);
}

INSTANTIATE_TEST_SUITE_P(Languages, BuiltMainWindow, ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& info) { return info.param == Language::Chinese ? "Chinese" : "English"; });

TEST(BuiltPages, PagesAreChildWidgetsOfTheirOwnSize)
{
    QWidget host;
    for (int id : {resources::kLayoutComCycle, resources::kLayoutNetCycle, resources::kLayoutModelTest,
                   resources::kLayoutOtherCommands}) {
        auto* page = new Built;
        page->setParent(&host);
        const DialogTemplate& t = Layout(id, Language::English);
        const platform::DluConverter conv = platform::BuildFromTemplate(*page, t);
        EXPECT_FALSE(page->isWindow()) << id;
        EXPECT_EQ(page->size(), conv.Size(t.dlu)) << id;
        for (const ControlTemplate& c : t.controls)
            EXPECT_NE(page->Item(c.id), nullptr) << id << " " << c.id;
    }
}

}  // namespace
