#pragma once
// A pseudo-terminal standing in for a serial port: the test holds the master side (the
// printer's end) and links the slave into a temporary device root under a serial node name.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/unique_fd.h"

namespace testsupport {

class PtyPair {
public:
    PtyPair();  // throws std::runtime_error when no pty can be made
    int Master() const { return master_.Get(); }
    const std::string& SlavePath() const { return slavePath_; }

    // Links the slave as devRoot/nodeName (for example "ttyS2" for COM3).
    void LinkAs(const std::string& devRoot, const std::string& nodeName) const;

    // Printer side: write everything; read until count bytes came or timeoutMs passed.
    void Send(const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> Receive(size_t count, int timeoutMs) const;
    // Reads whatever arrives until nothing more comes for quietMs.
    std::vector<uint8_t> ReceiveUntilQuiet(int quietMs) const;

    // Appends whatever is waiting now, without blocking (for use inside a pump loop).
    void ReadAvailable(std::vector<uint8_t>& into) const;

    void CloseMaster() { master_.Reset(); }

private:
    platform::UniqueFd master_;
    std::string slavePath_;
};

}  // namespace testsupport
