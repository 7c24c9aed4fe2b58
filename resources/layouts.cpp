#include "resources/layouts.h"

#include <QByteArray>
#include <QStringList>

namespace resources {
namespace {

using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::kStyleCentered;
using platform::kStyleHidden;
using platform::kStyleMultiLine;
using platform::kStyleNone;
using platform::kStylePathEllipsis;
using platform::kStyleWantReturn;
using K = platform::ControlKind;

constexpr int kNoId = -1;

// Faces standing in for the originals: a plain sans face for the English layout and a Song
// (Ming) style face for the Chinese one, both from Debian's font packages. Liberation Sans
// has the narrow metrics the English texts were fitted to; DejaVu Sans runs too wide.
constexpr char kEnglishFamily[] = "Liberation Sans";
constexpr char kChineseFamily[] = "AR PL UMing CN";
const QStringList kEnglishFallbacks{"DejaVu Sans", "AR PL UMing CN", "Noto Sans CJK SC"};
const QStringList kChineseFallbacks{"Noto Serif CJK SC", "Noto Sans CJK SC", "DejaVu Sans"};
constexpr int kPointSize = 9;

struct Box {
    int left, top, width, height;
};

// One element of the main window in both languages. Lists carry their fixed items separated
// by line feeds.
struct MainElement {
    int id;
    K kind;
    const char* english;
    const char* chinese;
    Box englishBox;
    Box chineseBox;
    unsigned style;
    unsigned englishOnlyStyle = kStyleNone;
};

constexpr char kBaudRates[] = "1200\n2400\n4800\n9600\n19200\n38400\n57600\n115200";

// In creation order (the order of keyboard navigation); frames and labels without an id
// stand next to what they hold.
const MainElement kMain[] = {
    {1009, K::MultiLineEdit, "", "", {3, 0, 244, 92}, {2, 0, 211, 108}, kStyleNone},
    {1073, K::TabControl, "", "", {247, 0, 109, 93}, {213, 0, 127, 108}, kStyleNone},
    {kNoId, K::GroupBox, "Show Receive Data", "接收区数据显示", {4, 95, 114, 26}, {2, 110, 100, 26}, kStyleNone},
    {1008, K::PushButton, "Pause", "暂停", {6, 105, 32, 13}, {7, 119, 23, 13}, kStyleNone},
    {1007, K::PushButton, "Clear", "清空", {39, 105, 32, 13}, {31, 119, 23, 13}, kStyleNone},
    {1006, K::CheckBox, "HEX Show", "HEX显示", {73, 106, 44, 10}, {59, 121, 39, 10}, kStyleNone},
    {kNoId, K::GroupBox, "Save Receive Data", "接收区数据保存", {121, 95, 232, 26}, {105, 110, 233, 26}, kStyleNone},
    {kNoId, K::Label, "Path:", "路径:", {124, 108, 18, 8}, {110, 123, 20, 8}, kStyleNone},
    {1027, K::SunkenText, "", "", {144, 106, 147, 12}, {133, 120, 155, 13}, kStylePathEllipsis},
    {1028, K::PushButton, "Modify", "更改", {291, 105, 29, 13}, {288, 120, 23, 13}, kStyleNone},
    {1026, K::PushButton, "Save", "保存", {321, 105, 29, 13}, {313, 120, 23, 13}, kStyleNone},
    {kNoId, K::GroupBox, "", "", {95, 118, 147, 35}, {85, 133, 144, 32}, kStyleNone},
    {1096, K::Label, "Multiple:", "多台循环:", {106, 127, 27, 8}, {90, 141, 36, 8}, kStyleNone},
    {1003, K::DropList, "NO\nYES", "否\n是", {136, 125, 29, 48}, {130, 138, 29, 48}, kStyleNone},
    {1094, K::Label, "Port Num:", "端口号:", {170, 127, 32, 8}, {162, 141, 29, 8}, kStyleNone, kStyleHidden},
    {1015, K::DropList, "80\n4000\n9100", "80\n4000\n9100", {205, 125, 33, 48}, {193, 138, 33, 48}, kStyleNone},
    {1093, K::Label, "IP Address:", "IP地址:", {99, 141, 38, 8}, {95, 153, 31, 8}, kStyleNone},
    {1079, K::IpAddress, "", "", {140, 139, 97, 12}, {130, 152, 91, 11}, kStyleNone},
    {kNoId, K::GroupBox, "", "", {244, 118, 56, 35}, {230, 133, 53, 32}, kStyleNone},
    {1014, K::CheckBox, "Auto Send", "自动发送", {250, 126, 44, 8}, {235, 140, 43, 10}, kStyleNone},
    {kNoId, K::Label, "T=", "T=", {248, 140, 8, 8}, {235, 153, 8, 8}, kStyleNone},
    {1011, K::NumberEdit, "", "", {258, 137, 27, 13}, {244, 151, 27, 12}, kStyleNone},
    {1052, K::Label, "MS", "MS", {287, 140, 10, 8}, {273, 153, 9, 8}, kStyleNone},
    {1095, K::PushButton, "Help", "帮助", {301, 123, 22, 13}, {288, 138, 23, 13}, kStyleNone},
    {1066, K::PushButton, "Hidden", "隐藏", {324, 123, 29, 13}, {313, 138, 23, 13}, kStyleNone},
    {1016, K::PushButton, "Print Test", "打印测试", {301, 139, 52, 23}, {287, 152, 49, 22}, kStyleNone},
    {kNoId, K::GroupBox, "", "", {4, 140, 89, 99}, {2, 153, 78, 102}, kStyleNone},
    {1054, K::Label, "Port:", "端口:", {20, 130, 18, 8}, {12, 142, 21, 8}, kStyleNone},
    {1000, K::DropList, "", "", {43, 128, 48, 88}, {33, 139, 43, 88}, kStyleNone},
    {1055, K::Label, "Baud Rate:", "波特率:", {13, 149, 36, 8}, {4, 165, 29, 8}, kStyleNone},
    {1001, K::DropList, kBaudRates, kBaudRates, {52, 147, 39, 110}, {33, 162, 43, 109}, kStyleNone},
    {1056, K::Label, "Check:", "校验:", {27, 165, 22, 8}, {12, 180, 21, 8}, kStyleNone},
    {1020, K::DropList, "NONE\nODD\nEVEN", "NONE\nODD\nEVEN", {52, 163, 39, 52}, {33, 178, 43, 52}, kStyleNone},
    {1057, K::Label, "Data Bit:", "数据位:", {17, 181, 32, 9}, {4, 196, 29, 8}, kStyleNone},
    {1021, K::DropList, "8\n7\n6", "8\n7\n6", {52, 179, 39, 47}, {33, 194, 43, 47}, kStyleNone},
    {1058, K::Label, "Stop Bit:", "停止位:", {17, 196, 32, 9}, {4, 211, 29, 8}, kStyleNone},
    {1022, K::DropList, "1\n2", "1\n2", {52, 194, 39, 37}, {33, 209, 43, 37}, kStyleNone},
    {1060, K::Label, "Flow Control:", "流控制:", {6, 211, 43, 9}, {3, 227, 29, 8}, kStyleNone},
    {1023, K::DropList, "NONE\nXON/XOFF\nRTS/CTS", "NONE\nXON/XOFF\nRTS/CTS", {52, 209, 39, 37}, {33, 225, 43, 37}, kStyleNone},
    {1106, K::CheckBox, "DTR", "DTR", {16, 226, 24, 8}, {12, 242, 24, 8}, kStyleNone},
    {1107, K::CheckBox, "RTS", "RTS", {57, 226, 24, 8}, {50, 242, 24, 8}, kStyleNone},
    {1005, K::Icon, "", "", {101, 157, 18, 18}, {86, 170, 21, 21}, kStyleNone},
    {1035, K::PushButton, "Open\nPort", "打开\n端口", {96, 181, 28, 31}, {82, 194, 29, 32}, kStyleMultiLine},
    {1013, K::CheckBox, "HEX Send", "HEX发送", {126, 156, 42, 8}, {126, 167, 39, 9}, kStyleNone},
    {1105, K::CheckBox, "Send NewLine", "发送新行", {181, 156, 55, 8}, {181, 167, 44, 9}, kStyleNone},
    {1097, K::CheckBox, "Chinese\nMode", "汉字模式", {246, 156, 52, 8}, {239, 167, 45, 9}, kStyleNone},
    {1012, K::MultiLineEdit, "", "", {125, 167, 197, 45}, {112, 178, 196, 49}, kStyleWantReturn},
    {1010, K::PushButton, "Send", "发送", {325, 167, 28, 29}, {310, 177, 28, 30}, kStyleNone},
    {1018, K::PushButton, "Clear", "清空", {325, 198, 28, 14}, {310, 213, 28, 13}, kStyleNone},
    {kNoId, K::GroupBox, "Send File", "发送文件", {96, 214, 256, 25}, {82, 229, 254, 26}, kStyleNone},
    {kNoId, K::Label, "Path:", "路径:", {100, 225, 19, 8}, {86, 241, 21, 8}, kStyleNone},
    {1031, K::SunkenText, "", "", {121, 224, 164, 12}, {110, 238, 173, 13}, kStyleCentered},
    {1030, K::PushButton, "Browse", "选择", {287, 224, 30, 13}, {285, 238, 24, 13}, kStyleNone},
    {1032, K::PushButton, "Send", "发送", {318, 224, 30, 13}, {310, 238, 24, 13}, kStyleNone},
    {1059, K::PushPin, "", "", {2, 242, 13, 10}, {2, 259, 13, 10}, kStyleNone},
    {1004, K::SunkenText, "Port State:", "端口状态", {16, 242, 203, 11}, {18, 258, 204, 11}, kStyleCentered},
    {1040, K::SunkenText, "RX:0", "RX:0", {221, 242, 47, 11}, {223, 258, 42, 11}, kStyleCentered},
    {1049, K::SunkenText, "TX:0", "TX:0", {269, 242, 47, 11}, {266, 258, 42, 11}, kStyleCentered},
    {1041, K::PushButton, "ReCount", "清零", {319, 241, 34, 13}, {310, 257, 28, 13}, kStyleNone},
};

QRect ToRect(const Box& b) { return QRect(b.left, b.top, b.width, b.height); }

DialogTemplate MainLayout(platform::Language language)
{
    const bool chinese = language == platform::Language::Chinese;
    DialogTemplate t;
    t.layoutId = kLayoutMain;
    t.dlu = chinese ? QSize(341, 272) : QSize(358, 256);
    t.fontFamily = chinese ? kChineseFamily : kEnglishFamily;
    t.fontFallbacks = chinese ? kChineseFallbacks : kEnglishFallbacks;
    t.pointSize = kPointSize;
    t.minimizeBox = chinese;
    for (const MainElement& e : kMain) {
        ControlTemplate c;
        c.id = e.id;
        c.kind = e.kind;
        c.text = QString::fromUtf8(chinese ? e.chinese : e.english);
        c.dlu = ToRect(chinese ? e.chineseBox : e.englishBox);
        c.style = e.style | (chinese ? kStyleNone : e.englishOnlyStyle);
        t.controls.push_back(c);
    }
    return t;
}

DialogTemplate PageLayout(int layoutId, QSize dlu, bool chinese)
{
    DialogTemplate t;
    t.layoutId = layoutId;
    t.dlu = dlu;
    t.fontFamily = chinese ? kChineseFamily : kEnglishFamily;
    t.fontFallbacks = chinese ? kChineseFallbacks : kEnglishFallbacks;
    t.pointSize = kPointSize;
    t.child = true;
    return t;
}

void Add(DialogTemplate& t, int id, K kind, const char* text, Box box, unsigned style = kStyleNone)
{
    t.controls.push_back(ControlTemplate{id, kind, QString::fromUtf8(text), ToRect(box), style});
}

// Serial cycle page: the port list fills the page.
DialogTemplate ComCycleLayout()
{
    DialogTemplate t = PageLayout(kLayoutComCycle, QSize(125, 92), true);
    Add(t, 1102, K::ListView, "", {0, 0, 125, 92});
    return t;
}

// Network cycle page: eight rows of a check box and an address field, slot 1 at the top.
// The check box ids are not in slot order.
DialogTemplate NetCycleLayout()
{
    struct Slot {
        int checkId, ipId, top;
    };
    constexpr Slot kSlots[] = {
        {1071, 1079, 1}, {1074, 1080, 12}, {1072, 1081, 24}, {1075, 1082, 35},
        {1073, 1083, 46}, {1076, 1084, 57}, {1077, 1085, 69}, {1078, 1086, 79},
    };
    DialogTemplate t = PageLayout(kLayoutNetCycle, QSize(125, 91), true);
    int slot = 1;
    for (const Slot& s : kSlots) {
        const QByteArray number = QByteArray::number(slot++);
        Add(t, s.checkId, K::CheckBox, number.constData(), {5, s.top, 16, 10});
        Add(t, s.ipId, K::IpAddress, "", {22, s.top, 100, 10});
    }
    return t;
}

// Model test page: one button per printer family, in a column.
DialogTemplate ModelTestLayout()
{
    struct Button {
        int id;
        const char* caption;
    };
    constexpr Button kButtons[] = {
        {1095, "POS热敏机型"}, {1108, "POS针打机型"}, {1109, "便携热敏机型"},
        {1110, "便携针打机型"}, {1111, "微打热敏机型"}, {1112, "微打针打机型"},
    };
    DialogTemplate t = PageLayout(kLayoutModelTest, QSize(125, 92), true);
    int top = 3;
    for (const Button& b : kButtons) {
        Add(t, b.id, K::PushButton, b.caption, {25, top, 75, 13});
        top += 15;
    }
    return t;
}

// Other commands page: cut the paper, open the cash drawer.
DialogTemplate OtherCommandsLayout(platform::Language language)
{
    const bool chinese = language == platform::Language::Chinese;
    DialogTemplate t = PageLayout(kLayoutOtherCommands, QSize(125, 92), chinese);
    Add(t, 1089, K::PushButton, chinese ? "切刀" : "Cut Paper", {25, 20, 75, 16});
    Add(t, 1091, K::PushButton, chinese ? "开钱箱" : "Open Cashbox", {25, 46, 75, 16});
    return t;
}

const DialogTemplate kEmpty{};

}  // namespace

const DialogTemplate& Layout(int layoutId, platform::Language language)
{
    using platform::Language;
    static const DialogTemplate mainEnglish = MainLayout(Language::English);
    static const DialogTemplate mainChinese = MainLayout(Language::Chinese);
    static const DialogTemplate comCycle = ComCycleLayout();
    static const DialogTemplate netCycle = NetCycleLayout();
    static const DialogTemplate modelTest = ModelTestLayout();
    static const DialogTemplate otherEnglish = OtherCommandsLayout(Language::English);
    static const DialogTemplate otherChinese = OtherCommandsLayout(Language::Chinese);
    const bool chinese = language == Language::Chinese;
    switch (layoutId) {
    case kLayoutMain:
        return chinese ? mainChinese : mainEnglish;
    case kLayoutComCycle:
        return comCycle;
    case kLayoutNetCycle:
        return netCycle;
    case kLayoutModelTest:
        return modelTest;
    case kLayoutOtherCommands:
        return chinese ? otherChinese : otherEnglish;
    default:
        return kEmpty;
    }
}

}  // namespace resources
