// Connection control of the console: port kind, Multiple choice, opening and closing,
// enabling rules, serial settings, device changes and the modem-line display.
#include <initializer_list>
#include <string>
#include <vector>

#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "console/quillon_dlg.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "cycle/page_messages.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/tab_control.h"
#include "transport/codec.h"
#include "transport/modem_status.h"
#include "transport/notifications.h"

using namespace console_ids;

namespace {

// The window's port kinds are the transport's.
using transport::kKindNetwork;
using transport::kKindParallel;
using transport::kKindSerial;
using transport::kKindUsb;

constexpr int kMultipleYes = 1;
constexpr int kTabComCycle = 0;
constexpr int kTabNetCycle = 1;

constexpr int kParityOdd = 1;
constexpr int kParityEven = 2;
constexpr int kParityNone = 0;
constexpr int kFlowChoices = 3;  // NONE, XON/XOFF, RTS/CTS

// The decimal value of text from position from on, as atoi reads it.
int DecimalValue(const std::string& text, size_t from = 0)
{
    return transport::IntegerValue(from < text.size() ? text.substr(from) : std::string());
}

int DecimalValue(const QString& text) { return DecimalValue(text.toStdString()); }

// One value for a conversion of a string-table text.
struct Arg {
    Arg(int v) : text(QString::number(v)) {}
    Arg(char c) : text(QString(QChar::fromLatin1(c))) {}
    Arg(const std::string& s) : text(QString::fromStdString(s)) {}
    Arg(const QString& s) : text(s) {}
    QString text;
};

// Fills the conversions %s, %d and %c of a string-table text with args, in order, as printf
// would with matching arguments; "%%" is a percent sign. A conversion without a value is
// left empty, so a text can never read past what it was given.
QString FormatText(const QString& format, std::initializer_list<Arg> args)
{
    QString out;
    auto next = args.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar conversion = format[i + 1];
        if (conversion == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
        } else if (conversion == QLatin1Char('s') || conversion == QLatin1Char('d') || conversion == QLatin1Char('c')) {
            if (next != args.end())
                out += (next++)->text;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

// The port kind follows the position of the selected entry in the port list's blocks.
void CQuillonDlg::OnPortSelChange()
{
    const int s = GetCurSel(kPortList);
    const int serialEnd = m_nSerialCount;
    const int parallelEnd = serialEnd + m_nParallelCount;
    const int usbEnd = parallelEnd + m_nUsbCount;
    if (s < serialEnd)
        m_nPortKind = kKindSerial;
    else if (s < parallelEnd)
        m_nPortKind = kKindParallel;
    else if (s < usbEnd)
        m_nPortKind = kKindUsb;
    else if (s == ListItemCount(kPortList) - 1)
        m_nPortKind = kKindNetwork;

    // Multi-device mode exists for serial and network ports only.
    if (m_nPortKind != kKindSerial && m_nPortKind != kKindNetwork)
        SetCurSel(kMultiple, 0);
    OnMultipleSelChange();
}

void CQuillonDlg::OnMultipleSelChange()
{
    const bool multiple = GetCurSel(kMultiple) == kMultipleYes;
    if (multiple) {
        // The cycle page of the kind is where the operator works now: show it.
        if (m_bExpanded == 0)
            SetExpanded(1);
        if (platform::TabControl* tab = TabPanel()) {
            if (m_nPortKind == kKindSerial && tab->GetCurSel() != kTabComCycle) {
                tab->SetCurSel(kTabComCycle);
                ShowTabPage();
            } else if (m_nPortKind == kKindNetwork && tab->GetCurSel() != kTabNetCycle) {
                tab->SetCurSel(kTabNetCycle);
                ShowTabPage();
            }
        }
    } else {
        m_bSerialCycleReady = 0;
        m_bNetCycleReady = 0;
    }

    // Each cycle page enables itself only for its own kind in multi-device mode.
    if (m_pageNetCycle)
        platform::SendMessage(m_pageNetCycle->Endpoint(), kMsgMultipleChanged, 1,
                              multiple && m_nPortKind == kKindNetwork ? 1 : 0);
    if (m_pageComCycle)
        platform::SendMessage(m_pageComCycle->Endpoint(), kMsgMultipleChanged, 1,
                              multiple && m_nPortKind == kKindSerial ? 1 : 0);
    UpdateControlStates();
}

// The enabling rules: every control they name gets its state from the current state alone.
void CQuillonDlg::UpdateControlStates()
{
    const bool open = m_bPortOpen != 0;
    const bool autoSend = m_bAutoSend != 0;
    const bool autoChecked = IsItemChecked(kAutoSend);
    const bool hexSend = IsItemChecked(kHexSend);
    const bool serial = m_nPortKind == kKindSerial;
    const bool network = m_nPortKind == kKindNetwork;
    const bool multiple = GetCurSel(kMultiple) == kMultipleYes;
    const bool fileChosen = m_strSendFilePath != Text(179);
    // A cycle page of the kind is ready to send in place of the window's own port.
    const bool cycleReady = (network && m_bNetCycleReady) || (serial && m_bSerialCycleReady);

    EnableItem(kPortList, !open && !autoSend);
    EnableItem(kMultiple, !open && (serial || network) && !autoChecked);

    const bool serialSettings = !open && serial && (!multiple || m_bSerialLineSelected);
    for (int id : {kBaudRate, kParity, kDataBits, kStopBits, kFlowControl, kDtr, kRts})
        EnableItem(id, serialSettings);

    EnableItem(kTcpPort, !open && !autoSend && network);
    EnableItem(kIpAddress, !open && network && !multiple);
    EnableItem(kOpenClose, !multiple);

    const bool sendArea = (open && !autoSend) || (m_bCycleTabShown && m_bExpanded && multiple && !autoSend);
    for (int id : {kSendArea, kHexSend, kSendClear})
        EnableItem(id, sendArea);
    EnableItem(kChineseMode, sendArea && !hexSend);
    EnableItem(kSendNewLine, sendArea && !hexSend);

    const bool send = !autoSend && (open || cycleReady);
    EnableItem(kSend, send);
    EnableItem(kPrintTest, send);

    const bool autoSendBox = open || cycleReady || autoChecked;
    EnableItem(kAutoSend, autoSendBox);
    EnableItem(kInterval, autoSendBox && !autoChecked);

    const bool browse = open && !autoChecked;
    EnableItem(kBrowseFile, browse);
    EnableItem(kSendFile, browse && fileChosen);
}

void CQuillonDlg::OpenClosePort()
{
    if (!m_bPortOpen) {
        m_strPortName = GetItemText(kPortList).toStdString();
        switch (m_nPortKind) {
        case kKindSerial:
            m_bPortOpen = OpenSerialPort(DecimalValue(m_strPortName, 3));
            break;
        case kKindParallel:
            m_bPortOpen = m_utils.OpenParallel(Endpoint(), m_strPortName);
            if (m_bPortOpen)
                m_strStatus = FormatText(Text(174), {m_strPortName});
            break;
        case kKindUsb: {
            const auto found = m_mapUsbPaths.find(uint32_t(DecimalValue(m_strPortName, 3)));
            m_strOpenUsbPath = found != m_mapUsbPaths.end() ? found->second : std::string();
            m_bPortOpen = m_utils.OpenUsb(Endpoint(), m_strOpenUsbPath);
            if (m_bPortOpen)
                m_strStatus = FormatText(Text(174), {m_strPortName});
            break;
        }
        default: {
            const std::string ip =
                IpAddress() ? transport::CommonUtils::IpAddressText(IpAddress()->Fields()) : std::string();
            m_bPortOpen = m_utils.OpenNetwork(Endpoint(), ip, m_nNetPort);
            if (m_bPortOpen)
                m_strStatus = FormatText(Text(174), {m_strPortName});
            break;
        }
        }
        if (!m_bPortOpen) {
            m_strStatus = Text(172);
            ShowMessage(FormatText(Text(157), {m_strPortName}));
        }
    } else {
        // Auto send stops before the port it writes to goes away.
        if (IsItemChecked(kAutoSend)) {
            CheckItem(kAutoSend, false);
            OnAutoSend();
        }
        if (m_bSendingFile) {
            m_bSendingFile = 0;
            SetItemText(kSendFilePath, m_strSendFilePath);
        }
        m_utils.ClosePort();
        m_bPortOpen = 0;
        m_strStatus = Text(172);
        m_strPortName.clear();
    }

    if (m_utils.m_nKind == transport::kKindSerial)
        ShowModemStatus();
    else
        SetItemText(kStatusLine, m_strStatus);
    ShowLamp(m_bPortOpen ? m_hIconOpen : m_hIconClosed);
    SetItemText(kOpenClose, Text(m_bPortOpen ? 160 : 159));
    UpdateControlStates();
    if (m_pageOther)
        platform::SendMessage(m_pageOther->Endpoint(), kMsgPortStateToOther, 0, m_bPortOpen);
    if (m_pageTest)
        platform::SendMessage(m_pageTest->Endpoint(), kMsgPortStateToTest, 0, m_bPortOpen);
}

int CQuillonDlg::OpenSerialPort(int portNumber)
{
    ReadSerialSettings();
    const int rts = IsItemChecked(kRts) ? 1 : 0;
    const int dtr = IsItemChecked(kDtr) ? 1 : 0;
    const int flow = GetCurSel(kFlowControl);
    const int opened = m_utils.OpenSerial(Endpoint(), portNumber, m_nBaudRate, m_cParity, m_nDataBits, m_nStopBits,
                                          flow, m_nCommEventMask, dtr, rts);
    if (opened)
        m_strStatus = FormatText(Text(173), {portNumber, m_nBaudRate, m_cParity, m_nDataBits, m_nStopBits});
    return opened;
}

void CQuillonDlg::ReadSerialSettings()
{
    m_nBaudRate = DecimalValue(GetItemText(kBaudRate));
    switch (GetCurSel(kParity)) {
    case kParityOdd:
        m_cParity = 'O';
        break;
    case kParityEven:
        m_cParity = 'E';
        break;
    default:
        m_cParity = 'N';
        break;
    }
    m_nDataBits = DecimalValue(GetItemText(kDataBits));
    m_nStopBits = DecimalValue(GetItemText(kStopBits));
    m_nFlowControl = GetCurSel(kFlowControl);
    m_strSerialParams = FormatText(QStringLiteral("%d,%c,%d,%d, %d"),
                                   {m_nBaudRate, m_cParity, m_nDataBits, m_nStopBits, m_nFlowControl})
                            .toStdString();
}

void CQuillonDlg::ShowSerialSettings()
{
    transport::CommonUtils::ParseSerialParams(m_strSerialParams, m_nBaudRate, m_cParity, m_nDataBits, m_nStopBits,
                                              m_nFlowControl);

    // A value no item has leaves that list's selection as it was.
    auto selectValue = [this](int id, int value) {
        for (int i = 0; i < ListItemCount(id); ++i) {
            if (DecimalValue(ListItemText(id, i)) == value) {
                SetCurSel(id, i);
                return;
            }
        }
    };
    selectValue(kBaudRate, m_nBaudRate);
    selectValue(kDataBits, m_nDataBits);
    selectValue(kStopBits, m_nStopBits);

    if (m_cParity == 'E')
        SetCurSel(kParity, kParityEven);
    else if (m_cParity == 'N')
        SetCurSel(kParity, kParityNone);
    else if (m_cParity == 'O')
        SetCurSel(kParity, kParityOdd);

    SetCurSel(kFlowControl, m_nFlowControl >= 0 && m_nFlowControl < kFlowChoices ? m_nFlowControl : -1);
}

// Without multi-device mode the lists are read at the next open; with it, the change goes to
// the serial cycle page's selected line.
void CQuillonDlg::OnSerialParamChange()
{
    if (GetCurSel(kMultiple) != kMultipleYes)
        return;
    ReadSerialSettings();
    if (m_pageComCycle)
        platform::SendMessage(m_pageComCycle->Endpoint(), kMsgMultipleChanged, 0, 1);
}

void CQuillonDlg::OnTcpPortChange() { m_nNetPort = DecimalValue(GetItemText(kTcpPort)); }

// The status line with the modem lines of the open serial port after the status text.
void CQuillonDlg::ShowModemStatus()
{
    const uint32_t lines = m_utils.GetModemStatus();
    const int cts = (lines & transport::kStatusCts) ? 1 : 0;
    const int dsr = (lines & transport::kStatusDsr) ? 1 : 0;
    const int rlsd = (lines & transport::kStatusRlsd) ? 1 : 0;
    SetItemText(kStatusLine, m_strStatus + FormatText(QStringLiteral(" CTS=%d DSR=%d RLSD=%d"), {cts, dsr, rlsd}));
}

void CQuillonDlg::OnDeviceChange(intptr_t event)
{
    if (event != transport::kDevNodesChanged)
        return;

    if (!m_bPortOpen) {
        // The list follows the devices; the operator's choice stays when it still exists.
        const QString selected = GetItemText(kPortList);
        RefreshPortList();
        for (int i = 0; i < ListItemCount(kPortList); ++i) {
            if (ListItemText(kPortList, i) == selected) {
                SetCurSel(kPortList, i);
                return;
            }
        }
        OnPortSelChange();
        return;
    }

    // Only a USB printer can vanish under an open port without its transport noticing.
    if (m_utils.m_nKind != transport::kKindUsb)
        return;
    std::vector<std::string> present;
    transport::CommonUtils::ListUsbDevices(present);
    for (const std::string& path : present) {
        if (path == m_strOpenUsbPath)
            return;
    }
    RefreshPortList();
    OnPortSelChange();
    OpenClosePort();
    ShowMessage(Text(190));
}

void CQuillonDlg::OnConnectionBroken()
{
    if (!m_bPortOpen)
        return;
    OpenClosePort();
    ShowMessage(Text(190));
}

void CQuillonDlg::StartDeviceWatch() { m_deviceWatcher.Start(Endpoint()); }
