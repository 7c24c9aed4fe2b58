#include "console/dialog_test_button.h"

#include "platform/qt/dialog_template.h"
#include "resources/layouts.h"

Dialog_TestButton::Dialog_TestButton(QWidget* parent, platform::Language language) : Dialog(parent)
{
    platform::BuildFromTemplate(*this, resources::Layout(resources::kLayoutModelTest, language));
    for (int id : kButtonIds)
        EnableItem(id, false);
}

Dialog_TestButton::~Dialog_TestButton() { CloseEndpoint(); }
