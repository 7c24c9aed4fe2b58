#pragma once
// Looks at a pty slave's input queue from outside: how many bytes the printer side sent
// that nobody has read. A port without a reader leaves them there.

#include <string>

#include "platform/core/unique_fd.h"

namespace testsupport {

class InputObserver {
public:
    explicit InputObserver(const std::string& slavePath);  // throws std::runtime_error
    // Waits up to timeoutMs for input to be queued, then returns how many bytes wait.
    int WaitForInput(int timeoutMs) const;
    // Bytes waiting now.
    int Waiting() const;

private:
    platform::UniqueFd fd_;
};

}  // namespace testsupport
