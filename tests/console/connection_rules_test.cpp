// The enabling rules over the states that matter, the Multiple processing with what the
// cycle pages are told, and the serial settings between the lists and their text.
#include <map>

#include "connection_fixture.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "cycle/page_messages.h"
#include "platform/qt/tab_control.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

// --- enabling rules ---

// Controls under the rules, by the letter a case uses for them.
const std::map<char, std::vector<int>> kRuled = {
    {'L', {kPortList}},
    {'M', {kMultiple}},
    {'S', {kBaudRate, kParity, kDataBits, kStopBits, kFlowControl, kDtr, kRts}},
    {'T', {kTcpPort}},
    {'I', {kIpAddress}},
    {'O', {kOpenClose}},
    {'A', {kSendArea, kHexSend, kSendClear}},
    {'C', {kChineseMode, kSendNewLine}},
    {'D', {kSend, kPrintTest}},
    {'U', {kAutoSend}},
    {'V', {kInterval}},
    {'B', {kBrowseFile}},
    {'F', {kSendFile}},
};

// Controls no rule ever disables.
const int kAlwaysEnabled[] = {kRecvArea, kTabPanel, kPause, kRecvClear, kHexShow, kModifyFolder,
                              kSaveRecv, kHelp,     kMoreHidden, kRecount, kPushPin};

struct RuleCase {
    const char* name;
    int open;
    int kind;
    int multiple;
    int autoSend;     // m_bAutoSend
    bool autoBox;     // box 1014 checked
    bool hexSend;     // box 1013 checked
    int expanded;
    int cycleTab;
    int serialReady;
    int netReady;
    int lineSelected;
    bool fileChosen;
    const char* enabled;  // letters of kRuled that are enabled
};

// clang-format off
const RuleCase kRuleCases[] = {
    // name                              O  K  M  A  AS     HS     E  T  SR NR SL F      enabled
    {"closed serial",                    0, 1, 0, 0, false, true,  1, 1, 0, 0, 0, false, "LMSO"},
    {"closed network",                   0, 4, 0, 0, false, true,  1, 1, 0, 0, 0, false, "LMTIO"},
    {"closed parallel",                  0, 2, 0, 0, false, true,  1, 1, 0, 0, 0, false, "LO"},
    {"closed usb, file chosen",          0, 3, 0, 0, false, false, 1, 1, 0, 0, 0, true,  "LO"},
    {"closed serial, auto send flag",    0, 1, 0, 1, false, true,  1, 1, 0, 0, 0, false, "MSO"},
    {"closed network, auto send flag",   0, 4, 0, 1, false, true,  1, 1, 0, 0, 0, false, "MIO"},
    {"closed network, auto send box",    0, 4, 0, 0, true,  true,  1, 1, 0, 0, 0, false, "LTIOU"},
    {"open serial, hex send",            1, 1, 0, 0, false, true,  1, 1, 0, 0, 0, false, "OADUVB"},
    {"open serial, text, file chosen",   1, 1, 0, 0, false, false, 1, 1, 0, 0, 0, true,  "OACDUVBF"},
    {"open parallel, collapsed",         1, 2, 0, 0, false, false, 0, 0, 0, 0, 0, false, "OACDUVB"},
    {"open usb, auto send running",      1, 3, 0, 1, true,  false, 1, 1, 0, 0, 0, true,  "OU"},
    {"open network, box without flag",   1, 4, 0, 0, true,  true,  1, 1, 0, 0, 0, true,  "OADU"},
    {"multiple serial, nothing ready",   0, 1, 1, 0, false, true,  1, 1, 0, 0, 0, false, "LMA"},
    {"multiple serial, line selected",   0, 1, 1, 0, false, false, 1, 1, 0, 0, 1, false, "LMSAC"},
    {"multiple serial, ready",           0, 1, 1, 0, false, false, 1, 1, 1, 0, 1, true,  "LMSACDUV"},
    {"multiple serial, only net ready",  0, 1, 1, 0, false, true,  1, 1, 0, 1, 0, false, "LMA"},
    {"multiple serial, other tab",       0, 1, 1, 0, false, true,  1, 0, 1, 0, 0, false, "LMDUV"},
    {"multiple network, ready",          0, 4, 1, 0, false, true,  1, 1, 0, 1, 0, false, "LMTADUV"},
    {"multiple network, only com ready", 0, 4, 1, 0, false, true,  1, 1, 1, 0, 1, false, "LMTA"},
    {"multiple network, collapsed",      0, 4, 1, 0, false, true,  0, 1, 0, 0, 0, false, "LMT"},
    {"multiple network, auto sending",   0, 4, 1, 1, true,  true,  1, 1, 0, 1, 0, false, "U"},
};
// clang-format on

void Apply(CQuillonDlg& dlg, const RuleCase& c)
{
    dlg.m_bPortOpen = c.open;
    dlg.m_nPortKind = c.kind;
    dlg.SetCurSel(kMultiple, c.multiple);
    dlg.m_bAutoSend = c.autoSend;
    dlg.CheckItem(kAutoSend, c.autoBox);
    dlg.CheckItem(kHexSend, c.hexSend);
    dlg.m_bExpanded = c.expanded;
    dlg.m_bCycleTabShown = c.cycleTab;
    dlg.m_bSerialCycleReady = c.serialReady;
    dlg.m_bNetCycleReady = c.netReady;
    dlg.m_bSerialLineSelected = c.lineSelected;
    dlg.m_strSendFilePath = c.fileChosen ? QStringLiteral("/srv/pages/receipt.bin") : dlg.Text(179);
    dlg.UpdateControlStates();
}

void Check(const CQuillonDlg& dlg, const RuleCase& c)
{
    const std::string enabled = c.enabled;
    for (const auto& [letter, ids] : kRuled) {
        const bool expected = enabled.find(letter) != std::string::npos;
        for (int id : ids)
            EXPECT_EQ(dlg.IsItemEnabled(id), expected) << c.name << ": control " << id << " (" << letter << ")";
    }
    for (int id : kAlwaysEnabled)
        EXPECT_TRUE(dlg.IsItemEnabled(id)) << c.name << ": control " << id;
}

TEST(EnablingRules, EveryControlInEveryState)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    // Forwards and then backwards, so every control is seen changing both ways and a rule
    // that leaves a control as it was shows up.
    for (const RuleCase& c : kRuleCases) {
        Apply(dlg, c);
        Check(dlg, c);
    }
    for (auto it = std::rbegin(kRuleCases); it != std::rend(kRuleCases); ++it) {
        Apply(dlg, *it);
        Check(dlg, *it);
    }
    dlg.m_bPortOpen = 0;  // nothing was really opened
}

// The file rule compares with message 179 in the window's language.
TEST(EnablingRules, NoFileChosenIsTheTextOfTheWindowsLanguage)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::Chinese);
    dlg.m_bPortOpen = 1;
    dlg.m_strSendFilePath = QString::fromUtf8("未选择文件！");
    dlg.UpdateControlStates();
    EXPECT_TRUE(dlg.IsItemEnabled(kBrowseFile));
    EXPECT_FALSE(dlg.IsItemEnabled(kSendFile));
    dlg.m_strSendFilePath = "No File Selected.";  // a file of that name, in Chinese
    dlg.UpdateControlStates();
    EXPECT_TRUE(dlg.IsItemEnabled(kSendFile));
    dlg.m_bPortOpen = 0;
}

// --- Multiple processing ---

class MultipleTest : public ::testing::Test {
protected:
    MultipleTest()
    {
        tree_.SerialPort("ttyS2");  // COM3
        tree_.ParallelPort(0);      // LPT1
    }

    DeviceTree tree_;
    std::vector<PageMessage> log_;
};

TEST_F(MultipleTest, YesWithASerialEntryOpensTheSerialCyclePage)
{
    CQuillonDlg dlg(Language::English);
    ASSERT_EQ(PortEntries(dlg), (QStringList{"COM3", "LPT1", "Ethernet"}));
    SpyInSlot<CDialog_NetCirculateSend> net(dlg.m_pageNetCycle, Language::English, "net", &log_);
    SpyInSlot<CDialog_ComCirculateSend> com(dlg.m_pageComCycle, Language::English, "com", &log_);

    // Collapsed, with the model test page chosen.
    dlg.SetExpanded(0);
    dlg.TabPanel()->SetCurSel(2);
    dlg.ShowTabPage();
    ASSERT_EQ(dlg.m_bCycleTabShown, 0);

    Choose(dlg, kMultiple, 1);
    EXPECT_EQ(dlg.m_bExpanded, 1);
    EXPECT_TRUE(dlg.IsItemVisible(kTabPanel));
    EXPECT_EQ(dlg.TabPanel()->GetCurSel(), 0);
    EXPECT_EQ(dlg.m_bCycleTabShown, 1);
    EXPECT_EQ(log_, (std::vector<PageMessage>{{"net", kMsgMultipleChanged, 1, 0}, {"com", kMsgMultipleChanged, 1, 1}}));
    // The window's own port cannot be opened, and the serial lists wait for a line.
    EXPECT_FALSE(dlg.IsItemEnabled(kOpenClose));
    EXPECT_FALSE(dlg.IsItemEnabled(kBaudRate));
    EXPECT_TRUE(dlg.IsItemEnabled(kSendArea));

    // A line of the serial cycle list is selected: a baud change goes to that line.
    dlg.m_bSerialLineSelected = 1;
    dlg.UpdateControlStates();
    ASSERT_TRUE(dlg.IsItemEnabled(kBaudRate));
    log_.clear();
    Choose(dlg, kBaudRate, 7);  // 115200
    EXPECT_EQ(dlg.m_nBaudRate, 115200);
    EXPECT_EQ(dlg.m_strSerialParams, "115200,N,8,1, 0");
    EXPECT_EQ(log_, (std::vector<PageMessage>{{"com", kMsgMultipleChanged, 0, 1}}));

    // Back to NO: both ready flags go, both pages are told to disable themselves.
    dlg.m_bSerialCycleReady = 1;
    dlg.m_bNetCycleReady = 1;
    log_.clear();
    Choose(dlg, kMultiple, 0);
    EXPECT_EQ(dlg.m_bSerialCycleReady, 0);
    EXPECT_EQ(dlg.m_bNetCycleReady, 0);
    EXPECT_EQ(log_, (std::vector<PageMessage>{{"net", kMsgMultipleChanged, 1, 0}, {"com", kMsgMultipleChanged, 1, 0}}));
    EXPECT_TRUE(dlg.IsItemEnabled(kOpenClose));

    // Without multi-device mode a serial list change waits for the next open.
    log_.clear();
    Choose(dlg, kBaudRate, 0);  // 1200
    EXPECT_EQ(dlg.m_nBaudRate, 115200);
    EXPECT_EQ(dlg.m_strSerialParams, "115200,N,8,1, 0");
    EXPECT_TRUE(log_.empty());
}

TEST_F(MultipleTest, YesWithTheNetworkEntryOpensTheNetworkCyclePage)
{
    CQuillonDlg dlg(Language::English);
    SpyInSlot<CDialog_NetCirculateSend> net(dlg.m_pageNetCycle, Language::English, "net", &log_);
    SpyInSlot<CDialog_ComCirculateSend> com(dlg.m_pageComCycle, Language::English, "com", &log_);
    Choose(dlg, kPortList, 2);
    ASSERT_EQ(dlg.m_nPortKind, 4);
    log_.clear();

    Choose(dlg, kMultiple, 1);
    EXPECT_EQ(dlg.TabPanel()->GetCurSel(), 1);
    EXPECT_EQ(dlg.m_bCycleTabShown, 1);
    EXPECT_EQ(log_, (std::vector<PageMessage>{{"net", kMsgMultipleChanged, 1, 1}, {"com", kMsgMultipleChanged, 1, 0}}));
    EXPECT_FALSE(dlg.IsItemEnabled(kIpAddress));
    EXPECT_TRUE(dlg.IsItemEnabled(kTcpPort));
}

TEST_F(MultipleTest, AParallelEntrySetsMultipleBackToNoAndClearsTheReadyFlags)
{
    CQuillonDlg dlg(Language::English);
    SpyInSlot<CDialog_NetCirculateSend> net(dlg.m_pageNetCycle, Language::English, "net", &log_);
    SpyInSlot<CDialog_ComCirculateSend> com(dlg.m_pageComCycle, Language::English, "com", &log_);
    Choose(dlg, kMultiple, 1);
    dlg.m_bSerialCycleReady = 1;
    dlg.m_bNetCycleReady = 1;
    log_.clear();

    Choose(dlg, kPortList, 1);  // LPT1
    EXPECT_EQ(dlg.m_nPortKind, 2);
    EXPECT_EQ(dlg.GetCurSel(kMultiple), 0);
    EXPECT_EQ(dlg.m_bSerialCycleReady, 0);
    EXPECT_EQ(dlg.m_bNetCycleReady, 0);
    EXPECT_EQ(log_, (std::vector<PageMessage>{{"net", kMsgMultipleChanged, 1, 0}, {"com", kMsgMultipleChanged, 1, 0}}));
    EXPECT_FALSE(dlg.IsItemEnabled(kMultiple));
}

// --- serial settings and the TCP port ---

TEST(SerialSettings, TheDefaultsReadAsTheirText)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    dlg.m_nBaudRate = 0;
    dlg.m_cParity = '?';
    dlg.ReadSerialSettings();
    EXPECT_EQ(dlg.m_strSerialParams, "9600,N,8,1, 0");
    EXPECT_EQ(dlg.m_nBaudRate, 9600);
    EXPECT_EQ(dlg.m_cParity, 'N');
    EXPECT_EQ(dlg.m_nDataBits, 8);
    EXPECT_EQ(dlg.m_nStopBits, 1);
    EXPECT_EQ(dlg.m_nFlowControl, 0);
}

struct SettingsCase {
    const char* text;
    int baud, parity, data, stop, flow;  // list selections shown
    const char* readBack;                // what the lists read as afterwards
};

TEST(SerialSettings, ShownInTheListsAndReadBack)
{
    const SettingsCase cases[] = {
        {"19200,E,7,2, 2", 4, 2, 1, 1, 2, "19200,E,7,2, 2"},
        {"115200,O,6,1, 1", 7, 1, 2, 0, 1, "115200,O,6,1, 1"},
        {"1200,N,8,2, 0", 0, 0, 0, 1, 0, "1200,N,8,2, 0"},
        // Values no item has leave those lists as they were (the case before); a flow index
        // outside the list leaves it with no selection.
        {"14400,X,5,3, 7", 0, 0, 0, 1, -1, "1200,N,8,2, -1"},
        {"57600,e,7,1, -1", 6, 0, 1, 0, -1, "57600,N,7,1, -1"},
    };
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    for (const SettingsCase& c : cases) {
        dlg.m_strSerialParams = c.text;
        dlg.ShowSerialSettings();
        EXPECT_EQ(dlg.GetCurSel(kBaudRate), c.baud) << c.text;
        EXPECT_EQ(dlg.GetCurSel(kParity), c.parity) << c.text;
        EXPECT_EQ(dlg.GetCurSel(kDataBits), c.data) << c.text;
        EXPECT_EQ(dlg.GetCurSel(kStopBits), c.stop) << c.text;
        EXPECT_EQ(dlg.GetCurSel(kFlowControl), c.flow) << c.text;
        EXPECT_EQ(dlg.m_strSerialParams, c.text) << "showing leaves the text";
        dlg.ReadSerialSettings();
        EXPECT_EQ(dlg.m_strSerialParams, c.readBack) << c.text;
    }
}

TEST(SerialSettings, ShowingSetsTheMembersFromTheText)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    dlg.m_strSerialParams = "14400,X,5,3, 7";
    dlg.ShowSerialSettings();
    EXPECT_EQ(dlg.m_nBaudRate, 14400);
    EXPECT_EQ(dlg.m_cParity, 'X');
    EXPECT_EQ(dlg.m_nDataBits, 5);
    EXPECT_EQ(dlg.m_nStopBits, 3);
    EXPECT_EQ(dlg.m_nFlowControl, 7);
}

// The flow-control list has no handler: in multi-device mode it travels with the next change
// of another serial list.
TEST(SerialSettings, FlowControlTravelsWithTheNextOtherChange)
{
    DeviceTree tree;
    tree.SerialPort("ttyS0");
    CQuillonDlg dlg(Language::English);
    std::vector<PageMessage> log;
    SpyInSlot<CDialog_ComCirculateSend> com(dlg.m_pageComCycle, Language::English, "com", &log);
    Choose(dlg, kMultiple, 1);
    dlg.m_bSerialLineSelected = 1;
    dlg.UpdateControlStates();
    log.clear();

    Choose(dlg, kFlowControl, 2);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dlg.m_nFlowControl, 0);
    Choose(dlg, kStopBits, 1);
    EXPECT_EQ(dlg.m_strSerialParams, "9600,N,8,2, 2");
    EXPECT_EQ(log, (std::vector<PageMessage>{{"com", kMsgMultipleChanged, 0, 1}}));
}

TEST(TcpPort, TheChosenPortIsTheNetworkPort)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    EXPECT_EQ(dlg.m_nNetPort, 9100);
    Choose(dlg, kTcpPort, 0);
    EXPECT_EQ(dlg.m_nNetPort, 80);
    Choose(dlg, kTcpPort, 1);
    EXPECT_EQ(dlg.m_nNetPort, 4000);
}

}  // namespace
}  // namespace consoletest
