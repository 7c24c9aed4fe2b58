#pragma once
// A network printer on 127.0.0.1 for transport tests, without threads of its own.
//
// The test accepts, reads and writes on the printer's side itself. Connections complete in
// the kernel's backlog before they are accepted, so a client's connect never waits for the
// test, and whether a client connected at all can be asked without waiting.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/core/unique_fd.h"

namespace testsupport {

// The printer's end of one accepted connection (non-blocking).
class PrinterConnection {
public:
    explicit PrinterConnection(platform::UniqueFd fd) : fd_(std::move(fd)) {}

    void Send(const std::vector<uint8_t>& bytes) const;  // throws when it cannot
    // Reads until count bytes came, the peer closed, or timeoutMs passed.
    std::vector<uint8_t> Receive(size_t count, int timeoutMs) const;
    // Appends whatever is waiting now, without blocking; true once the peer has closed.
    bool ReadAvailable(std::vector<uint8_t>& into) const;
    // Reads and keeps bytes until the peer's end of stream; false when timeoutMs passed first.
    bool WaitForEnd(int timeoutMs, std::vector<uint8_t>* rest = nullptr) const;

    void Close() { fd_.Reset(); }
    // Closes with a reset instead of an orderly end.
    void Abort();

private:
    platform::UniqueFd fd_;
};

class LoopbackPrinter {
public:
    LoopbackPrinter();  // throws when it cannot listen
    int Port() const { return port_; }

    // A connection waits to be accepted.
    bool HasPendingConnection() const;
    std::optional<PrinterConnection> Accept(int timeoutMs) const;

private:
    platform::UniqueFd listen_;
    int port_ = 0;
};

// A loopback port nobody listens on: bound, so no one else takes it, and never listening,
// so every connection to it is refused.
class RefusingPort {
public:
    RefusingPort();  // throws when it cannot bind
    int Port() const { return port_; }

private:
    platform::UniqueFd fd_;
    int port_ = 0;
};

}  // namespace testsupport
