#pragma once
// Dialog layouts of the console as data: the main window (148) in English and Chinese, and
// the four pages of its tab panel (158 serial cycle, 155 network cycle, 164 model test, 156
// other commands).

#include "platform/core/language.h"
#include "platform/qt/dialog_template.h"

namespace resources {

constexpr int kLayoutMain = 148;
constexpr int kLayoutNetCycle = 155;
constexpr int kLayoutOtherCommands = 156;
constexpr int kLayoutComCycle = 158;
constexpr int kLayoutModelTest = 164;

// The layout in the interface language; layouts that exist only in Chinese come back in
// Chinese whatever the language.
const platform::DialogTemplate& Layout(int layoutId, platform::Language language);

}  // namespace resources
