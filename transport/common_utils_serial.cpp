// The serial opens and the blocking write of CommonUtils.
#include <termios.h>

#include <algorithm>

#include "transport/com_names.h"
#include "transport/common_utils.h"
#include "transport/fd_io.h"
#include "transport/serial_config.h"
#include "transport/serial_monitor.h"
#include "transport/serial_port.h"

namespace transport {

int CommonUtils::OpenSerial(OwnerWindow owner, int portNumber, int baud, char parity, int dataBits, int stopBits,
                            int flow, uint32_t eventMask, int dtrOn, int rtsOn)
{
    m_pOwner = std::move(owner);
    // One port per object: whatever was open is closed, workers included.
    ClosePort();

    termios current{};
    platform::UniqueFd fd = OpenSerialNode(ComDevicePath(portNumber), current);
    if (!fd)
        return 0;
    std::optional<SerialPlan> plan =
        PlanOpenSerial(current, SerialSettings{baud, parity, dataBits, stopBits, flow}, dtrOn, rtsOn);
    if (!plan || !ApplySerialPlan(fd.Get(), *plan))
        return 0;
    ::tcflush(fd.Get(), TCIOFLUSH);

    std::shared_ptr<PortSession> session = NewSession(kKindSerial);
    if (!session->EventsValid())
        return 0;
    session->port = std::move(fd);
    session->eventMask = eventMask;
    session->linesAtOpen = session->modem ? session->modem->Read(session->port.Get()) : 0;
    session_ = session;
    m_nKind = kKindSerial;
    StartSerialMonitor(session);  // without its thread the port stays open, as it was opened
    return 1;
}

int CommonUtils::OpenSerialPlain(int portNumber, std::string params)
{
    SerialSettings s = PlainSettingsFromParams(params);

    // The cycle page closes after every port; an earlier port still open is closed here
    // rather than leaked.
    ClosePort();
    termios current{};
    platform::UniqueFd fd = OpenSerialNode(ComDevicePath(portNumber), current);
    if (!fd)
        return 0;
    SerialPlan plan = PlanOpenSerialPlain(current, s);
    ApplySerialPlan(fd.Get(), plan);  // settings the port refuses are not noticed

    session_ = NewSession(kKindSerial);
    session_->port = std::move(fd);
    m_nKind = kKindSerial;
    return 1;
}

int CommonUtils::WriteSync(const uint8_t* bytes, int length)
{
    KeepPending(bytes, length);
    m_dwBytesWritten = 0;
    if (!session_ || !session_->port)
        return 0;
    // The port's write time-out: 1000 ms plus 1000 ms per byte.
    int64_t timeout = std::min<int64_t>(1000 + 1000 * int64_t(m_nWriteLength), 1 << 30);
    WriteOutcome out = WriteWithDeadline(session_->port.Get(), m_pWriteBuffer.data(), m_pWriteBuffer.size(),
                                         int(timeout), nullptr);
    m_dwBytesWritten = uint32_t(out.written);
    // A short write is a failure: the caller must not count bytes that never left.
    return !out.failed && out.written == m_pWriteBuffer.size() ? 1 : 0;
}

}  // namespace transport
