// The string table in both languages and the built-in pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>

#include "resources/pictures.h"
#include "resources/strings.h"

namespace {

using platform::Language;
using resources::LoadString;

struct StringCase {
    int id;
    const char* english;  // UTF-8
    const char* chinese;  // UTF-8
};

class StringTable : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringTable, HasTheTextInBothLanguages)
{
    const StringCase& c = GetParam();
    EXPECT_EQ(LoadString(c.id, Language::English), QString::fromUtf8(c.english)) << c.id;
    EXPECT_EQ(LoadString(c.id, Language::Chinese), QString::fromUtf8(c.chinese)) << c.id;
}

INSTANTIATE_TEST_SUITE_P(
    Ids, StringTable,
    ::testing::Values(
        StringCase{157, "%s Open failed.", "%s打开失败！"},
        StringCase{159, "Open\nPort", "打开\n端口"},
        StringCase{160, "Close\nPort", "关闭\n端口"},
        StringCase{161, "Pause", "暂停"},
        StringCase{162, "Continue", "继续"},
        StringCase{164, "Cycle time must greater than 0.", "间隔时间应大于0！"},
        StringCase{165, "%s Creat connection failed.", "%s创建连接失败！"},
        StringCase{167, "Create log file failed.", "创建记录文件失败！"},
        StringCase{172, "Port closed.", "端口关闭！"},
        StringCase{173, "COM%d OPENED,%d,%c,%d,%d;", "COM%d 打开,%d,%c,%d,%d;"},
        StringCase{174, "%s OPENED.", "%s 打开！"},
        StringCase{176, "Can not convert send data to HEX model.", "发送数据超出十六进制范围,无法以HEX格式发送！"},
        StringCase{177, "More", "更多"},
        StringCase{178, "Hidden", "隐藏"},
        StringCase{179, "No File Selected.", "未选择文件！"},
        StringCase{180, "Com Cycle", "串口循环"},
        StringCase{181, "Net Cycle", "网口循环"},
        StringCase{182, "Others", "其他"},
        StringCase{183, "Sending...", "正在发送..."},
        StringCase{184, "Send Completed.", "发送完成！"},
        StringCase{185, "Open file failed!", "文件打开失败！"},
        StringCase{186, "Please choose save directory", "请选择要保存接收数据的文件夹"},
        StringCase{188, "*.txt|*.txt|*.bin|*.bin|*.dat|*.dat|*.*|*.*||",
                   "*.txt|*.txt|*.bin|*.bin|*.dat|*.dat|*.*|*.*||"},
        StringCase{189, "Ethernet", "以太网"},
        StringCase{190, "Connection has been broken!", "连接已经断开！"},
        StringCase{191, "Corvane V%.1f", "Corvane V%.1f "},
        StringCase{192, "测试", "测试"},
        StringCase{193, "测试完成", "测试完成"},
        // Numbers the table does not have.
        StringCase{156, "", ""}, StringCase{158, "", ""}, StringCase{163, "", ""}, StringCase{166, "", ""},
        StringCase{168, "", ""}, StringCase{171, "", ""}, StringCase{187, "", ""}, StringCase{194, "", ""}));

TEST(StringTable, FormatsFillLikePrintf)
{
    EXPECT_EQ(QString::asprintf(LoadString(191, Language::English).toUtf8().constData(), 5.8), "Corvane V5.8");
    EXPECT_EQ(QString::asprintf(LoadString(191, Language::Chinese).toUtf8().constData(), 5.8), "Corvane V5.8 ");
    EXPECT_EQ(QString::asprintf(LoadString(173, Language::English).toUtf8().constData(), 3, 9600, 'N', 8, 1),
              "COM3 OPENED,9600,N,8,1;");
}

struct HelpCase {
    Language language;
    const char* first;
    const char* sixth;
    const char* lastEnd;
};

class HelpText : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpText, IsSevenLinesJoinedByCrLfWithNoLineEndAfterTheLast)
{
    const QString help = LoadString(175, GetParam().language);
    const QStringList lines = help.split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QString::fromUtf8(GetParam().first));
    EXPECT_EQ(lines[5], QString::fromUtf8(GetParam().sixth));
    EXPECT_TRUE(lines[6].endsWith(QString::fromUtf8(GetParam().lastEnd))) << lines[6].toStdString();
    for (int i = 1; i < 7; ++i)
        EXPECT_TRUE(lines[i].startsWith(QString::number(i) + ".")) << i;
    // No stray line feeds or carriage returns inside a line, none at the end.
    EXPECT_EQ(help.count('\n'), 6);
    EXPECT_EQ(help.count('\r'), 6);
    EXPECT_FALSE(help.endsWith('\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpText,
    ::testing::Values(
        HelpCase{Language::English, "Main function is:", "5.Click More to expand Com Cycle, Net Cycle and Others.",
                 "input param,then click auto send."},
        HelpCase{Language::Chinese, "软件功能主要为:", "5.点击\"更多\"会展开串口循环发送,网口循环发送与其他指令选项.",
                 "(串口循环中点击某一行可在端口设置中编辑串口参数).填写时间间隔,勾选自动发送."}));

TEST(HelpText, KeepsTheOriginalWording)
{
    const QStringList english = LoadString(175, Language::English).split("\r\n");
    EXPECT_EQ(english[1], "1.Send data from COM,LPT,USB or NET.");
    EXPECT_EQ(english[2], "2.Receive Data from COM,USB or NET. Then show it in the Receive area.");
    EXPECT_EQ(english[3], "3.Can choose model when send or receive data.");
    EXPECT_EQ(english[4], "4.Auto updata the Port When computer find your printer.");
    EXPECT_EQ(english[6],
              "6.Add cycle send function. First choose port and select yes in multiple combo, choose com port or ip "
              "address(you can edit the com param in port param set area when you click a line), input param,then "
              "click auto send.");
    const QStringList chinese = LoadString(175, Language::Chinese).split("\r\n");
    EXPECT_EQ(chinese[1], QString::fromUtf8("1.通过串口,并口,USB以及网口发送数据."));
    EXPECT_EQ(chinese[2], QString::fromUtf8("2.接收从串口,USB和网口返回的数据并在窗口显示."));
    EXPECT_EQ(chinese[3], QString::fromUtf8("3.发送与接收的数据数据显示方式可以选择为字符方式或者HEX方式."));
    EXPECT_EQ(chinese[4], QString::fromUtf8("4.自动更新端口列表,其中USB只列出连接的Brelvo打印机."));
    EXPECT_EQ(chinese[6], QString::fromUtf8("6.循环发送需要先选择端口,多台循环选择\"是\",选择串口号或ip地址"
                                            "(串口循环中点击某一行可在端口设置中编辑串口参数).填写时间间隔,勾选自动发送."));
}

// ---------------------------------------------------------------- pictures

TEST(Pictures, IconsLoad)
{
    for (int id : {resources::kIconApplication, resources::kIconLampOff, resources::kIconLampOn}) {
        const QIcon icon = resources::LoadIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        const QPixmap pixmap = icon.pixmap(32, 32);
        EXPECT_EQ(pixmap.size(), QSize(32, 32)) << id;
    }
    EXPECT_TRUE(resources::LoadIcon(142).isNull());
    EXPECT_TRUE(resources::LoadIcon(136).isNull());
}

TEST(Pictures, TheLampsDifferAndOnlyTheLitOneIsRed)
{
    const QImage off = resources::LoadIcon(resources::kIconLampOff).pixmap(32, 32).toImage();
    const QImage on = resources::LoadIcon(resources::kIconLampOn).pixmap(32, 32).toImage();
    const QColor offCentre = off.pixelColor(18, 20), onCentre = on.pixelColor(18, 20);
    EXPECT_GT(onCentre.red(), 2 * onCentre.green());
    EXPECT_EQ(offCentre.red(), offCentre.green()) << "unlit lamp is grey";
    EXPECT_EQ(offCentre.green(), offCentre.blue());
    // Round lamps: the corners are transparent.
    EXPECT_EQ(on.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(off.pixelColor(31, 31).alpha(), 0);
}

TEST(Pictures, PinBitmapsAreExactly16By15AndDiffer)
{
    const QPixmap pressed = resources::LoadBitmap(resources::kBitmapPinPressed);
    const QPixmap side = resources::LoadBitmap(resources::kBitmapPinSide);
    ASSERT_FALSE(pressed.isNull());
    ASSERT_FALSE(side.isNull());
    EXPECT_EQ(pressed.size(), QSize(16, 15));
    EXPECT_EQ(side.size(), QSize(16, 15));
    EXPECT_NE(pressed.toImage(), side.toImage());
    // Copied unchanged onto the button: no transparent pixels.
    EXPECT_FALSE(pressed.hasAlpha());
    EXPECT_FALSE(side.hasAlpha());
    EXPECT_TRUE(resources::LoadBitmap(resources::kIconLampOn).isNull());
}

}  // namespace
