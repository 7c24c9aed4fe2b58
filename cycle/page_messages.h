#pragma once
// Messages between the console window and the pages of its tab panel, all synchronous.

#include "platform/core/messages.h"

using platform::WM_USER;

// To the other-commands page after every open and close: lparam 1 while a port is open.
constexpr unsigned kMsgPortStateToOther = WM_USER + 100;
// From the other-commands page: lparam 1 cut paper, 2 open the cash drawer.
constexpr unsigned kMsgPrinterCommand = WM_USER + 101;
// To both cycle pages after the Multiple processing: wparam 1 rebuild, else store the
// window's serial settings for the row being edited; lparam 1 enables the page.
constexpr unsigned kMsgMultipleChanged = WM_USER + 102;
// To the cycle page of the port kind: wparam 1 start, 0 stop; lparam 0 one round, 1 repeat.
constexpr unsigned kMsgCycleControl = WM_USER + 105;
// From a cycle page's worker: stop auto send.
constexpr unsigned kMsgStopAutoSend = WM_USER + 106;
// From the model test page: lparam the model index 0-5.
constexpr unsigned kMsgModelTest = WM_USER + 108;
// To the model test page after every open and close: lparam 1 while a port is open.
constexpr unsigned kMsgPortStateToTest = WM_USER + 109;
