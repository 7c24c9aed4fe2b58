// Operations of the console whose behaviour is built on top of the window: each does only
// what the window needs so far, and says what it will do.
#include "console/quillon_dlg.h"

using namespace console_ids;

// Not yet: the settings file comes later; the window starts from its defaults.
void CQuillonDlg::LoadSettings() {}

// Not yet: the settings file comes later; nothing is saved.
void CQuillonDlg::SaveSettings() {}
