#pragma once
// The other-commands page (tab 3 of the console's tab panel, layout 156): cut the paper and
// open the cash drawer. Both buttons are disabled when the page is made; an open port
// enables them, and the commands build on them.

#include "platform/core/language.h"
#include "platform/qt/dialog.h"

class CDialog_OtherCommand : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr int kIdCutPaper = 1089;
    static constexpr int kIdOpenCashbox = 1091;

    // A child page of parent (the console's tab control).
    CDialog_OtherCommand(QWidget* parent, platform::Language language);
    ~CDialog_OtherCommand() override;
};
