#include "resources/strings.h"

#include <QStringList>

#include <array>

namespace resources {
namespace {

struct Entry {
    int id;
    const char* english;  // UTF-8
    const char* chinese;  // UTF-8
};

// Line by line; joined with CR LF, no line end after the last line.
constexpr std::array kHelpEnglish{
    "Main function is:",
    "1.Send data from COM,LPT,USB or NET.",
    "2.Receive Data from COM,USB or NET. Then show it in the Receive area.",
    "3.Can choose model when send or receive data.",
    "4.Auto updata the Port When computer find your printer.",
    "5.Click More to expand Com Cycle, Net Cycle and Others.",
    "6.Add cycle send function. First choose port and select yes in multiple combo, choose com port or ip "
    "address(you can edit the com param in port param set area when you click a line), input param,then click "
    "auto send.",
};

constexpr std::array kHelpChinese{
    "软件功能主要为:",
    "1.通过串口,并口,USB以及网口发送数据.",
    "2.接收从串口,USB和网口返回的数据并在窗口显示.",
    "3.发送与接收的数据数据显示方式可以选择为字符方式或者HEX方式.",
    "4.自动更新端口列表,其中USB只列出连接的Brelvo打印机.",
    "5.点击\"更多\"会展开串口循环发送,网口循环发送与其他指令选项.",
    "6.循环发送需要先选择端口,多台循环选择\"是\",选择串口号或ip地址(串口循环中点击某一行可在端口设置中编辑串口参数)."
    "填写时间间隔,勾选自动发送.",
};

constexpr int kHelpId = 175;

constexpr std::array kTable{
    Entry{157, "%s Open failed.", "%s打开失败！"},
    Entry{159, "Open\nPort", "打开\n端口"},
    Entry{160, "Close\nPort", "关闭\n端口"},
    Entry{161, "Pause", "暂停"},
    Entry{162, "Continue", "继续"},
    Entry{164, "Cycle time must greater than 0.", "间隔时间应大于0！"},
    Entry{165, "%s Creat connection failed.", "%s创建连接失败！"},
    Entry{167, "Create log file failed.", "创建记录文件失败！"},
    Entry{172, "Port closed.", "端口关闭！"},
    Entry{173, "COM%d OPENED,%d,%c,%d,%d;", "COM%d 打开,%d,%c,%d,%d;"},
    Entry{174, "%s OPENED.", "%s 打开！"},
    Entry{176, "Can not convert send data to HEX model.", "发送数据超出十六进制范围,无法以HEX格式发送！"},
    Entry{177, "More", "更多"},
    Entry{178, "Hidden", "隐藏"},
    Entry{179, "No File Selected.", "未选择文件！"},
    Entry{180, "Com Cycle", "串口循环"},
    Entry{181, "Net Cycle", "网口循环"},
    Entry{182, "Others", "其他"},
    Entry{183, "Sending...", "正在发送..."},
    Entry{184, "Send Completed.", "发送完成！"},
    Entry{185, "Open file failed!", "文件打开失败！"},
    Entry{186, "Please choose save directory", "请选择要保存接收数据的文件夹"},
    Entry{188, "*.txt|*.txt|*.bin|*.bin|*.dat|*.dat|*.*|*.*||", "*.txt|*.txt|*.bin|*.bin|*.dat|*.dat|*.*|*.*||"},
    Entry{189, "Ethernet", "以太网"},
    Entry{190, "Connection has been broken!", "连接已经断开！"},
    Entry{191, "Corvane V%.1f", "Corvane V%.1f "},
    // Exist only in Chinese: the same text in both languages.
    Entry{192, "测试", "测试"},
    Entry{193, "测试完成", "测试完成"},
};

template <size_t N>
QString JoinLines(const std::array<const char*, N>& lines)
{
    QStringList joined;
    for (const char* line : lines)
        joined << QString::fromUtf8(line);
    return joined.join("\r\n");
}

}  // namespace

QString LoadString(int id, platform::Language language)
{
    const bool chinese = language == platform::Language::Chinese;
    if (id == kHelpId)
        return chinese ? JoinLines(kHelpChinese) : JoinLines(kHelpEnglish);
    for (const Entry& e : kTable) {
        if (e.id == id)
            return QString::fromUtf8(chinese ? e.chinese : e.english);
    }
    return {};
}

}  // namespace resources
