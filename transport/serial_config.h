#pragma once
// Serial settings to termios, kept pure so every row can be checked without hardware.
//
// The two opens configure a port differently: OpenSerial validates its arguments and
// refuses what the port cannot do; OpenSerialPlain applies what it can and keeps the
// port's current value for the rest, as its callers expect it never to fail on settings.

#include <termios.h>

#include <cstdint>
#include <optional>
#include <string>

namespace transport {

struct SerialSettings {
    int baud = 9600;
    char parity = 'N';  // 'N', 'O', 'E' (OpenSerial also takes 'M' and 'S')
    int dataBits = 8;
    int stopBits = 1;   // a count: 1 or 2
    int flow = 0;       // 0 none, 1 XON/XOFF, anything else RTS/CTS
};

// What to apply to a port: the termios record and the modem lines to raise or drop.
struct SerialPlan {
    termios tio{};
    int linesToSet = 0;    // TIOCM_DTR / TIOCM_RTS
    int linesToClear = 0;
};

// Speed constant for a rate in bits per second, if termios has one.
std::optional<speed_t> SpeedForBaud(int baud);

// For OpenSerial: nullopt when a setting is invalid (unknown rate, parity letter, data or
// stop bits). dtr and rts are the line arguments; only their two lowest bits count.
std::optional<SerialPlan> PlanOpenSerial(const termios& current, const SerialSettings& s, int dtr, int rts);

// The settings OpenSerialPlain takes from its parameter text; the fifth value is not used.
SerialSettings PlainSettingsFromParams(const std::string& params);

// For OpenSerialPlain: CTS output flow, XON/XOFF both ways, DTR and RTS on; parity 'E'
// even, 'O' odd, anything else none; two stop bits only for the value 2. A rate or data
// width the port has no setting for keeps the current one.
SerialPlan PlanOpenSerialPlain(const termios& current, const SerialSettings& s);

}  // namespace transport
