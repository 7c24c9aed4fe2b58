#pragma once
// The notifications a port's workers send to its owner window, synchronously.

#include "platform/core/messages.h"

namespace transport {

using platform::WM_USER;

// wparam 0, lparam 0: a modem line may have changed; the owner reads the lines itself.
constexpr unsigned kNotifyModemLines = WM_USER + 2;
// wparam: one received byte (serial 0-255; USB and network sign-extended); lparam 0.
constexpr unsigned kNotifyByteReceived = WM_USER + 7;
// wparam: bytes written by one send; lparam 0.
constexpr unsigned kNotifyWriteDone = WM_USER + 9;
// The network peer closed the connection; the reader has ended.
constexpr unsigned kNotifyConnectionClosed = WM_USER + 107;

// The device-change notice of the watcher: wparam kDevNodesChanged, lparam 0.
constexpr unsigned kMsgDeviceChange = 0x0219;
constexpr intptr_t kDevNodesChanged = 0x0007;

}  // namespace transport
