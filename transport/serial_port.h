#pragma once
// Opening a serial node the way every serial open of the program does.

#include <termios.h>

#include "platform/core/unique_fd.h"
#include "transport/serial_config.h"

namespace transport {

// Opens the node non-blocking and exclusively (TIOCEXCL and a non-blocking flock), so a
// port another program holds cannot be opened, and reads its settings into current.
// Invalid descriptor on failure, a node that is no terminal included.
platform::UniqueFd OpenSerialNode(const std::string& path, termios& current);

// Applies a plan: termios now, then the modem lines (ports without lines ignore them).
// Returns false when the port refuses the settings or reads back another speed.
bool ApplySerialPlan(int fd, const SerialPlan& plan);

}  // namespace transport
