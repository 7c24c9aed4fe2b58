#pragma once
// The model test page (tab 2 of the console's tab panel, layout 164): six buttons in a
// column, one per printer family. The buttons are disabled when the page is made; an open
// port enables them, and printing the model test pages builds on them.

#include <array>

#include "platform/core/language.h"
#include "platform/qt/dialog.h"

class Dialog_TestButton : public platform::Dialog {
    Q_OBJECT

public:
    // Button of model index 0 to 5.
    static constexpr std::array<int, 6> kButtonIds = {1095, 1108, 1109, 1110, 1111, 1112};

    // A child page of parent (the console's tab control).
    Dialog_TestButton(QWidget* parent, platform::Language language);
    ~Dialog_TestButton() override;
};
