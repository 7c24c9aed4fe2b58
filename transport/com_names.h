#pragma once
// Serial port numbers and Linux device nodes.
//
// COM1-COM32 are /dev/ttyS0-31, COM33-COM64 /dev/ttyUSB0-31 and COM65-COM96 /dev/ttyACM0-31,
// all under the device root. The table is fixed so a number in the settings file always
// means the same device.

#include <optional>
#include <string>

namespace transport {

constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 96;

// The device node name relative to the device root ("ttyS0"), or empty for a number
// outside the table.
std::string ComDeviceName(int portNumber);
// Full path under the current device root, or empty.
std::string ComDevicePath(int portNumber);
// The port number of a node name ("ttyUSB3" gives 36), if the table has it.
std::optional<int> ComNumberForDevice(const std::string& nodeName);

}  // namespace transport
