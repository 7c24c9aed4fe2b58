#pragma once
// The console's COM3 opened at 115200 8N1 straight through its CommonUtils, as the benches
// need it: the window's own open would ask the port list, which a bench does not fill.

#include <cstdio>

#include "console/quillon_dlg.h"

inline bool OpenCom3ForBench(CQuillonDlg& dlg)
{
    if (dlg.m_utils.OpenSerial(dlg.Endpoint(), 3, 115200, 'N', 8, 1, 0, dlg.m_nCommEventMask, 1, 1) != 1) {
        std::fprintf(stderr, "COM3 (pty) did not open\n");
        return false;
    }
    dlg.m_bPortOpen = 1;
    dlg.m_nPortKind = transport::kKindSerial;
    dlg.m_strPortName = "COM3";
    dlg.UpdateControlStates();
    return true;
}
