// The send pipeline of the console: SendData, the send area with its two stores, the TX
// counter and auto send.
//
// The stores m_strSendText and m_strSendHex hold the area's text as the printer gets it:
// bytes in the window's code page, line breaks as CR LF (what the edit control of the
// original separated lines with, and what the settings file expects). The area shows a
// store decoded from the code page with its line breaks as the widget keeps them.
//
// Auto send on an open port is chained: every write-completion notice arms the one-shot
// timer 1 and its expiry sends once more, so at most one send of it is ever waiting in the
// transport.
#include <QString>

#include <climits>
#include <cstdint>
#include <vector>

#include "console/code_page.h"
#include "console/quillon_dlg.h"
#include "console/view_text.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "cycle/page_messages.h"

using namespace console_ids;

namespace {

constexpr int kKindSerial = transport::kKindSerial;
constexpr int kKindParallel = transport::kKindParallel;
constexpr int kKindNetwork = transport::kKindNetwork;

// The controls a file transfer keeps disabled until its completion notice.
constexpr int kFileTransferLocked[] = {kBrowseFile, kSend, kPrintTest, kAutoSend, kSendFile};

// The interval edit's text as a number: digits only, else 0; too large saturates.
int IntervalValue(const QString& text)
{
    if (text.isEmpty())
        return 0;
    long long value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        value = value * 10 + (c.unicode() - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return int(value);
}

// Start (1) or stop (0) a cycle page's sending: one round (lparam 0) or repeating (1).
void SendCycleControl(platform::Dialog* page, intptr_t start, intptr_t repeat)
{
    if (page)
        platform::SendMessage(page->Endpoint(), kMsgCycleControl, start, repeat);
}

}  // namespace

std::string CQuillonDlg::SendAreaBytes() const
{
    QString text = GetItemText(kSendArea);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return ToCodePage(text, WindowLanguage());
}

void CQuillonDlg::ShowSendStore(const std::string& store)
{
    SetItemText(kSendArea, MultiLineForView(FromCodePage(store, WindowLanguage())));
}

void CQuillonDlg::SendData(std::string data, int asHex, int isFile, int verbatim)
{
    const bool options = verbatim == 0;

    // The line end follows the HEX Send box, not asHex, and counts even while the box is
    // disabled.
    if (options && IsItemChecked(kSendNewLine))
        data += IsItemChecked(kHexSend) ? "0D0A" : "\r\n";

    std::vector<uint8_t> bytes;
    if (asHex) {
        bytes.resize(data.size() + 1);
        const int count = transport::CommonUtils::HexTextToBytes(data, bytes.data());
        if (count < 0) {
            if (m_bAutoSend) {
                CheckItem(kAutoSend, false);
                OnAutoSend();
            }
            ShowMessage(Text(176));
            return;
        }
        bytes.resize(size_t(count));
    } else if (options && IsItemChecked(kChineseMode)) {
        // FS & ... FS .: the printer's Chinese-character mode on, then off again.
        bytes = {0x1C, 0x26};
        bytes.insert(bytes.end(), data.begin(), data.end());
        bytes.insert(bytes.end(), {0x1C, 0x2E});
    } else {
        bytes.assign(data.begin(), data.end());
    }

    if (isFile) {
        m_bSendingFile = 1;
        for (int id : kFileTransferLocked)
            EnableItem(id, false);
        SetItemText(kSendFilePath, Text(183));
    }

    m_utils.Write(bytes.data(), int(bytes.size()));
}

void CQuillonDlg::OnSend()
{
    TakeSendArea();
    if (m_bPortOpen)
        SendData(m_strSendData, IsItemChecked(kHexSend) ? 1 : 0, 0, 0);
    else if (m_nPortKind == kKindNetwork)
        SendCycleControl(m_pageNetCycle, 1, 0);
    else if (m_nPortKind == kKindSerial)
        SendCycleControl(m_pageComCycle, 1, 0);
}

void CQuillonDlg::OnAutoSend()
{
    m_bAutoSend = IsItemChecked(kAutoSend) ? 1 : 0;

    if (m_nInterval <= 0) {
        ShowMessage(Text(164));
        CheckItem(kAutoSend, false);
        m_bAutoSend = 0;
        return;
    }

    if (!m_bPortOpen) {
        // Multi-device mode: the cycle page of the kind repeats on its own timing.
        m_strSendData = SendAreaBytes();
        if (m_nPortKind == kKindNetwork)
            SendCycleControl(m_pageNetCycle, m_bAutoSend, 1);
        else if (m_nPortKind == kKindSerial)
            SendCycleControl(m_pageComCycle, m_bAutoSend, 1);
        UpdateControlStates();
        return;
    }

    if (IsItemChecked(kAutoSend))
        OnSend();
    UpdateControlStates();
}

void CQuillonDlg::OnIntervalChange() { m_nInterval = IntervalValue(GetItemText(kInterval)); }

void CQuillonDlg::OnSendClear()
{
    std::string& store = IsItemChecked(kHexSend) ? m_strSendHex : m_strSendText;
    store.clear();
    SetItemText(kSendArea, QString());
}

void CQuillonDlg::OnHexSend()
{
    // The box has already changed: the area still holds the store of the mode just left.
    const bool hex = IsItemChecked(kHexSend);
    if (hex) {
        m_strSendText = SendAreaBytes();
        ShowSendStore(m_strSendHex);
    } else {
        m_strSendHex = SendAreaBytes();
        ShowSendStore(m_strSendText);
    }
    EnableItem(kSendNewLine, !hex);
    EnableItem(kChineseMode, !hex);
}

void CQuillonDlg::OnWriteDone(intptr_t bytesWritten)
{
    if (m_nPortKind == kKindParallel) {
        // The parallel port is closed and opened again after each finished send. Sends
        // queued behind the one just reported would go with the old port, so the reopening
        // waits for the last of them.
        if (!m_utils.HasQueuedSends()) {
            m_utils.ClosePort();
            m_utils.OpenParallel(Endpoint(), m_strPortName);
        }
    }

    if (m_bSendingFile) {
        m_bSendingFile = 0;
        for (int id : kFileTransferLocked)
            EnableItem(id, true);
        SetItemText(kSendFilePath, Text(184));
        SetTimer(kTimerFileStatus, 3000);
        return;
    }

    // A 32-bit counter that wraps rather than overflows.
    m_nTxCount = int(uint32_t(m_nTxCount) + uint32_t(bytesWritten));
    SetItemText(kTxCount, QString::asprintf("TX:%ld", long(m_nTxCount)));
    if (IsItemChecked(kAutoSend))
        SetTimer(kTimerAutoSend, m_nInterval);
}

void CQuillonDlg::OnStopAutoSend()
{
    CheckItem(kAutoSend, false);
    OnAutoSend();
}

void CQuillonDlg::OnAutoSendTimer()
{
    KillTimer(kTimerAutoSend);
    // The timer is armed only by notices of the window's own port; once that port is
    // closed its last expiry must not become a send request to a cycle page.
    if (!m_bPortOpen)
        return;
    OnSend();
}

void CQuillonDlg::OnFileStatusTimer()
{
    KillTimer(kTimerFileStatus);
    SetItemText(kSendFilePath, m_strSendFilePath);
}
