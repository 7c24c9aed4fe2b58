#include "console/dialog_other_command.h"

#include "platform/qt/dialog_template.h"
#include "resources/layouts.h"

CDialog_OtherCommand::CDialog_OtherCommand(QWidget* parent, platform::Language language) : Dialog(parent)
{
    platform::BuildFromTemplate(*this, resources::Layout(resources::kLayoutOtherCommands, language));
    EnableItem(kIdCutPaper, false);
    EnableItem(kIdOpenCashbox, false);
}

CDialog_OtherCommand::~CDialog_OtherCommand() { CloseEndpoint(); }
