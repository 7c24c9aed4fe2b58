// The receive view of the console: every received byte counted, kept and shown.
//
// Bytes come one per notification or in runs; a run is handled byte by byte by exactly the
// rules of one notification (ReceiveBytes), and only the widget is brought up to date less
// often (receive_area.h).
#include <QPlainTextEdit>

#include <array>

#include "console/quillon_dlg.h"
#include "console/receive_area.h"
#include "transport/notifications.h"

using namespace console_ids;

namespace {

// A view holding more displayed lines than this is cleared before the next byte.
constexpr int kMaxLines = 50;

// "%02X " of every byte value.
struct HexForms {
    constexpr HexForms()
    {
        constexpr char kDigits[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            form[size_t(b)][0] = kDigits[b >> 4];
            form[size_t(b)][1] = kDigits[b & 0x0F];
            form[size_t(b)][2] = ' ';
        }
    }
    std::array<std::array<char, 3>, 256> form{};
};
constexpr HexForms kHexForms;

}  // namespace

ReceiveArea& CQuillonDlg::RecvArea()
{
    if (!m_pRecvArea)
        m_pRecvArea = new ReceiveArea(qobject_cast<QPlainTextEdit*>(Item(kRecvArea)), m_language, this);
    return *m_pRecvArea;
}

intptr_t CQuillonDlg::OnByteReceived(intptr_t byte)
{
    const uint8_t low = uint8_t(byte & 0xFF);
    ReceiveBytes(&low, 1);
    return m_bPaused ? -1 : 0;
}

void CQuillonDlg::HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                                const platform::KeepGoing& keepGoing)
{
    if (msg != transport::kNotifyByteReceived) {
        platform::Dialog::HandleByteRun(msg, bytes, count, signExtend, keepGoing);
        return;
    }
    // Sign-extended or not, only the low 8 bits count: the bytes themselves. Nothing done for
    // a received byte can withdraw the reader or close the window (only the interface thread
    // does either, and not from here), so the run is handled whole without asking keepGoing
    // between bytes.
    (void)keepGoing;
    ReceiveBytes(bytes, count);
}

void CQuillonDlg::ReceiveBytes(const uint8_t* bytes, size_t count)
{
    if (count == 0)
        return;
    // The help text gives way to the received data before anything else. Only the first
    // byte can find it shown.
    if (m_bHelpShown)
        OnHelp();

    if (!m_bPaused) {
        ReceiveArea& area = RecvArea();
        area.Follow(m_strRecvText);
        const bool hex = IsItemChecked(kHexShow);
        size_t kept = 0;  // bytes from here on go into the accumulators
        for (size_t done = 0; done < count; ++done) {
            // The check comes before each insertion: past the limit the area starts again
            // with the clearing message, and the accumulators with this byte.
            if (area.Lines() > kMaxLines) {
                m_strRecvText.clear();
                m_strRecvHex.clear();
                kept = done;
                area.ShowClearing();
            }
            if (hex)
                area.AppendHex(bytes[done]);
            else
                area.AppendText(bytes[done]);
        }
        KeepReceived(bytes + kept, count - kept);
        area.FlushSoon();
    }
    // Paused bytes are counted and leave no other trace. The count is 32 bits and wraps.
    m_nRxCount = int(uint32_t(m_nRxCount) + uint32_t(count));
    SetItemText(kRxCount, QStringLiteral("RX:%1").arg(m_nRxCount));
}

void CQuillonDlg::KeepReceived(const uint8_t* bytes, size_t count)
{
    if (count == 0)
        return;
    m_strRecvText.append(reinterpret_cast<const char*>(bytes), count);
    const size_t at = m_strRecvHex.size();
    m_strRecvHex.resize(at + 3 * count);
    char* out = m_strRecvHex.data() + at;
    for (size_t i = 0; i < count; ++i, out += 3) {
        const std::array<char, 3>& form = kHexForms.form[bytes[i]];
        out[0] = form[0];
        out[1] = form[1];
        out[2] = form[2];
    }
}

void CQuillonDlg::FlushReceiveView()
{
    if (m_pRecvArea)
        m_pRecvArea->Flush();
}

void CQuillonDlg::OnPause()
{
    m_bPaused = m_bPaused ? 0 : 1;
    // The caption names what the next click does.
    SetItemText(kPause, Text(m_bPaused ? 162 : 161));
}

void CQuillonDlg::OnRecvClear()
{
    m_strRecvText.clear();
    m_strRecvHex.clear();
    ReceiveArea& area = RecvArea();
    area.ShowNothing();
    area.Flush();
}

void CQuillonDlg::OnHexShow()
{
    ReceiveArea& area = RecvArea();
    if (IsItemChecked(kHexShow))
        area.ShowHex(m_strRecvHex);
    else
        area.ShowText(m_strRecvText);
    area.Flush();
}

void CQuillonDlg::OnRecount()
{
    m_nRxCount = 0;
    m_nTxCount = 0;
    SetItemText(kRxCount, QStringLiteral("RX:0"));
    SetItemText(kTxCount, QStringLiteral("TX:0"));
}
