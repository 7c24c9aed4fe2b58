// Connection control of the console: port kind, Multiple choice, opening and closing,
// enabling rules, serial settings, device changes and the modem-line display.
#include "console/quillon_dlg.h"

using namespace console_ids;

namespace {

constexpr int kKindSerial = 1;
constexpr int kKindParallel = 2;
constexpr int kKindUsb = 3;
constexpr int kKindNetwork = 4;

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

// Not yet: the Multiple processing (opening the panel on the cycle page of the kind, the
// cycle-ready flags, telling the cycle pages) comes with the connection control.
void CQuillonDlg::OnMultipleSelChange() { UpdateControlStates(); }

// Not yet: the enabling rules come with the connection control. Until then every control
// keeps the state the layout gave it.
void CQuillonDlg::UpdateControlStates() {}

// Not yet: opening and closing the port comes with the connection control.
void CQuillonDlg::OpenClosePort() {}

// Not yet: the modem-line suffix comes with the connection control; the status line shows
// the status text alone.
void CQuillonDlg::ShowModemStatus() { SetItemText(kStatusLine, m_strStatus); }

int CQuillonDlg::OpenSerialPort(int) { return 0; }
void CQuillonDlg::ReadSerialSettings() {}
void CQuillonDlg::ShowSerialSettings() {}
void CQuillonDlg::OnSerialParamChange() {}
void CQuillonDlg::OnTcpPortChange() {}
void CQuillonDlg::OnDeviceChange(intptr_t) {}
void CQuillonDlg::OnConnectionBroken() {}
void CQuillonDlg::StartDeviceWatch() {}
