#pragma once
// Reading the modem lines of a serial port, replaceable so tests can drive line changes
// on a pty, which has no modem lines.

#include <cstdint>
#include <memory>

namespace transport {

// Status bits in the form the owner window reads them.
constexpr uint32_t kStatusCts = 0x10;
constexpr uint32_t kStatusDsr = 0x20;
constexpr uint32_t kStatusRing = 0x40;
constexpr uint32_t kStatusRlsd = 0x80;

class ModemStatusSource {
public:
    virtual ~ModemStatusSource() = default;
    // The lines of the port as status bits. A port without modem lines reads as all 0.
    virtual uint32_t Read(int fd) = 0;
};

// TIOCMGET on the descriptor; a failing read (a pty) counts as all lines 0.
std::shared_ptr<ModemStatusSource> DeviceModemStatus();

}  // namespace transport
