#include "transport/serial_config.h"

#include <sys/ioctl.h>

#include "transport/codec.h"

namespace transport {
namespace {

constexpr unsigned char kXon = 0x11;
constexpr unsigned char kXoff = 0x13;

// Raw bytes both ways: no line editing, no echo, no translation, no signals, reads that
// return what is there. Parity errors are passed through unmarked, like the rest.
void MakeRaw(termios& t)
{
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

std::optional<tcflag_t> SizeFlag(int dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return std::nullopt;
    }
}

void SetSpeed(termios& t, speed_t speed)
{
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
}

}  // namespace

std::optional<speed_t> SpeedForBaud(int baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    case 2500000: return B2500000;
    case 3000000: return B3000000;
    case 3500000: return B3500000;
    case 4000000: return B4000000;
    default: return std::nullopt;
    }
}

std::optional<SerialPlan> PlanOpenSerial(const termios& current, const SerialSettings& s, int dtr, int rts)
{
    std::optional<speed_t> speed = SpeedForBaud(s.baud);
    std::optional<tcflag_t> size = SizeFlag(s.dataBits);
    if (!speed || !size || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;

    SerialPlan plan;
    termios& t = plan.tio;
    t = current;
    MakeRaw(t);
    SetSpeed(t, *speed);
    t.c_cflag = (t.c_cflag & ~CSIZE) | *size;
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (s.parity) {
    case 'N': case 'n': break;
    case 'E': case 'e': t.c_cflag |= PARENB; break;
    case 'O': case 'o': t.c_cflag |= PARENB | PARODD; break;
    case 'M': case 'm': t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': case 's': t.c_cflag |= PARENB | CMSPAR; break;
    default: return std::nullopt;
    }
    if (s.stopBits == 2)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~CSTOPB;

    const bool dtrOn = (dtr & 3) != 0;
    const bool rtsOn = (rts & 3) != 0;
    t.c_cflag &= ~CRTSCTS;
    if (s.flow == 0) {
        plan.linesToSet |= rtsOn ? TIOCM_RTS : 0;
        plan.linesToClear |= rtsOn ? 0 : TIOCM_RTS;
    } else if (s.flow == 1) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = kXon;
        t.c_cc[VSTOP] = kXoff;
        plan.linesToSet |= rtsOn ? TIOCM_RTS : 0;
        plan.linesToClear |= rtsOn ? 0 : TIOCM_RTS;
    } else {
        // RTS belongs to the handshake whatever the RTS box says; the kernel raises it
        // while it can take input.
        t.c_cflag |= CRTSCTS;
        plan.linesToSet |= TIOCM_RTS;
    }
    plan.linesToSet |= dtrOn ? TIOCM_DTR : 0;
    plan.linesToClear |= dtrOn ? 0 : TIOCM_DTR;
    return plan;
}

SerialSettings PlainSettingsFromParams(const std::string& params)
{
    SerialSettings s;
    int unusedFlow = 0;
    ParseSerialParams(params, s.baud, s.parity, s.dataBits, s.stopBits, unusedFlow);
    return s;
}

SerialPlan PlanOpenSerialPlain(const termios& current, const SerialSettings& s)
{
    SerialPlan plan;
    termios& t = plan.tio;
    t = current;
    MakeRaw(t);
    if (std::optional<speed_t> speed = SpeedForBaud(s.baud))
        SetSpeed(t, *speed);
    if (std::optional<tcflag_t> size = SizeFlag(s.dataBits))
        t.c_cflag = (t.c_cflag & ~CSIZE) | *size;
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    if (s.parity == 'E')
        t.c_cflag |= PARENB;
    else if (s.parity == 'O')
        t.c_cflag |= PARENB | PARODD;
    if (s.stopBits == 2)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~CSTOPB;
    t.c_cflag |= CRTSCTS;
    t.c_iflag |= IXON | IXOFF;
    t.c_cc[VSTART] = kXon;
    t.c_cc[VSTOP] = kXoff;
    plan.linesToSet = TIOCM_DTR | TIOCM_RTS;
    return plan;
}

}  // namespace transport
