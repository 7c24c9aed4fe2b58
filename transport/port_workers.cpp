#include "transport/port_workers.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "transport/common_utils.h"
#include "transport/fd_io.h"
#include "transport/notifications.h"
#include "transport/port_session.h"

namespace transport {
namespace {

// A device node whose reader went away raises SIGPIPE on write; the write's EPIPE is
// what we act on.
void BlockSigpipeInThisThread()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

// Waits for the stop event up to timeoutMs; true when stopped.
bool PauseUnlessStopped(PortSession& s, int timeoutMs)
{
    std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(s.stop)};
    return platform::WaitAny(items, timeoutMs) == 0 || !s.running;
}

size_t SendOnSocket(PortSession& s, const Bytes& data)
{
    ssize_t n;
    do {
        n = ::send(s.port.Get(), data.data(), data.size(), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR && s.running);
    return n > 0 ? size_t(n) : 0;
}

size_t WriteToDevice(PortSession& s, const Bytes& data)
{
    size_t total = 0;
    while (total < data.size() && s.running) {
        size_t piece = std::min(kDevicePieceSize, data.size() - total);
        WriteOutcome out = WriteWithDeadline(s.port.Get(), data.data() + total, piece, platform::kInfinite, &s.stop);
        total += out.written;
        if (out.failed || out.written == 0)
            break;
    }
    return total;
}

void WriterThread(std::shared_ptr<PortSession> session)
{
    BlockSigpipeInThisThread();
    PortSession& s = *session;
    while (s.running) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(s.stop),
                                              platform::WaitItem::ForEvent(s.writeRequest)};
        int pos = platform::WaitAny(items, platform::kInfinite);
        if (pos != 1 || !s.running)
            break;
        s.writeRequest.Reset();
        while (s.running) {
            std::optional<Bytes> send = s.sends.Pop();
            if (!send)
                break;
            size_t total = s.kind == kKindNetwork ? SendOnSocket(s, *send) : WriteToDevice(s, *send);
            if (total > 0 && !s.TxNotifySuppressed() && s.running)
                s.Notify(s.writer, kNotifyWriteDone, intptr_t(total), 0);
        }
    }
}

void NetworkReader(PortSession& s)
{
    uint8_t buffer[kReaderBufferSize];
    while (s.running) {
        ssize_t n = ::recv(s.port.Get(), buffer, sizeof buffer, 0);
        if (!s.running)
            return;
        if (n > 0) {
            s.NotifyBytes(s.reader, buffer, size_t(n), true);
            continue;
        }
        if (n == 0 || errno == ECONNRESET) {
            s.Notify(s.reader, kNotifyConnectionClosed, 0, 0);
            return;
        }
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
            continue;  // the receive time-out: look at the token again
        // The socket was closed under us or failed otherwise: never retry without a pause.
        if (PauseUnlessStopped(s, kReceiveRetryPauseMs))
            return;
    }
}

void DeviceReader(PortSession& s)
{
    uint8_t buffer[kReaderBufferSize];
    while (s.running) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(s.stop),
                                              platform::WaitItem::ForFd(s.port.Get(), POLLIN)};
        int pos = platform::WaitAny(items, platform::kInfinite);
        if (pos != 1 || !s.running)
            return;
        const bool hungUp = (items[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        ssize_t n = ::read(s.port.Get(), buffer, sizeof buffer);
        if (n > 0) {
            s.NotifyBytes(s.reader, buffer, size_t(n), true);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (!hungUp && (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Said readable, gave nothing: a driver quirk; look again after the read wait
            // rather than spin.
            if (PauseUnlessStopped(s, kDeviceReadWaitMs))
                return;
            continue;
        }
        // The device is gone: wait quietly to be stopped.
        PauseUnlessStopped(s, platform::kInfinite);
        return;
    }
}

void ReaderThread(std::shared_ptr<PortSession> session)
{
    if (session->kind == kKindNetwork)
        NetworkReader(*session);
    else
        DeviceReader(*session);
}

}  // namespace

void StartPortWorkers(const std::shared_ptr<PortSession>& session, bool withReader)
{
    try {
        session->writer.thread = std::thread(WriterThread, session);
        if (withReader)
            session->reader.thread = std::thread(ReaderThread, session);
    } catch (const std::system_error&) {
        // A thread that cannot start is simply missing; the port stays open.
    }
}

}  // namespace transport
