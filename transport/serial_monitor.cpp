#include "transport/serial_monitor.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "transport/fd_io.h"
#include "transport/notifications.h"
#include "transport/port_session.h"

namespace transport {
namespace {

constexpr int kMaxReadsPerEvent = 16;  // then sends get their turn even under a stream

uint32_t WatchedLines(uint32_t mask)
{
    uint32_t lines = 0;
    lines |= (mask & kEvCts) ? kStatusCts : 0;
    lines |= (mask & kEvDsr) ? kStatusDsr : 0;
    lines |= (mask & kEvRlsd) ? kStatusRlsd : 0;
    return lines;
}

class Monitor {
public:
    explicit Monitor(std::shared_ptr<PortSession> session)
        : s_(std::move(session)), watched_(WatchedLines(s_->eventMask)), buffer_(kSerialPieceSize)
    {
    }

    void Run()
    {
        // The open purged the port already; purging again here would throw away what the
        // printer sent between the open and this thread's start.
        lines_ = s_->linesAtOpen & watched_;
        while (s_->running) {
            std::vector<platform::WaitItem> items{
                platform::WaitItem::ForEvent(s_->stop),
                portAlive_ && (s_->eventMask & kEvRxChar) ? platform::WaitItem::ForFd(Fd(), POLLIN)
                                                           : platform::WaitItem::Nothing(),
                platform::WaitItem::ForEvent(s_->writeRequest)};
            int timeout = portAlive_ && watched_ ? kLineSampleMs : platform::kInfinite;
            int pos = platform::WaitAny(items, timeout);
            if (pos == 0 || !s_->running)
                break;
            if (pos == platform::kWaitFailed) {
                WaitForStop();
                break;
            }
            bool linesChanged = LinesChanged();
            if (pos == 1 || linesChanged) {
                if (pos == 1)
                    Drain(items[1].revents);
                if (!s_->running)
                    break;
                NotifyLines();
                if (s_->writeRequest.IsSet() && s_->running)
                    WritePending();
            } else if (pos == 2) {
                WritePending();
            }
        }
        s_->running = false;
    }

private:
    int Fd() const { return s_->port.Get(); }

    uint32_t SampleLines() { return watched_ && s_->modem ? s_->modem->Read(Fd()) & watched_ : 0; }

    bool LinesChanged()
    {
        if (!watched_ || !portAlive_)
            return false;
        uint32_t now = SampleLines();
        bool changed = now != lines_;
        lines_ = now;
        return changed;
    }

    void Drain(short revents)
    {
        for (int reads = 0; reads < kMaxReadsPerEvent && s_->running; ++reads) {
            ssize_t n;
            {
                std::lock_guard lock(s_->portLock);
                do {
                    n = ::read(Fd(), buffer_.data(), buffer_.size());
                } while (n < 0 && errno == EINTR);
            }
            if (n > 0) {
                s_->NotifyBytes(s_->monitor, buffer_.data(), size_t(n), false);
                continue;
            }
            if (n == 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) {
                // With VMIN = VTIME = 0 a tty reads 0 when nothing waits; only the poll's
                // hang-up bits tell a vanished port from an empty one.
                if (revents & (POLLHUP | POLLERR | POLLNVAL))
                    portAlive_ = false;
                return;
            }
            // EIO: a pty whose other side closed, or a device that failed.
            portAlive_ = false;
            return;
        }
    }

    void NotifyLines()
    {
        for (uint32_t bit : {kEvCts, kEvDsr, kEvRlsd}) {
            if ((s_->eventMask & bit) && s_->running)
                s_->Notify(s_->monitor, kNotifyModemLines, 0, 0);
        }
    }

    void WritePending()
    {
        s_->writeRequest.Reset();
        while (s_->running) {
            std::optional<Bytes> send = s_->sends.Pop();
            if (!send)
                return;
            size_t total = 0;
            {
                std::lock_guard lock(s_->portLock);
                ::tcflush(Fd(), TCIFLUSH);
                while (total < send->size()) {
                    size_t piece = std::min(kSerialPieceSize, send->size() - total);
                    // The port's write time-out: 1000 ms plus 1000 ms per byte.
                    WriteOutcome out = WriteWithDeadline(Fd(), send->data() + total, piece,
                                                         int(std::min<size_t>(1000 + 1000 * piece, 1 << 30)), &s_->stop);
                    total += out.written;
                    if (out.failed || out.written == 0)
                        break;
                }
            }
            if (total > 0 && !s_->TxNotifySuppressed() && s_->running)
                s_->Notify(s_->monitor, kNotifyWriteDone, intptr_t(total), 0);
        }
    }

    void WaitForStop()
    {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(s_->stop)};
        platform::WaitAny(items, platform::kInfinite);
    }

    std::shared_ptr<PortSession> s_;
    const uint32_t watched_;
    uint32_t lines_ = 0;
    bool portAlive_ = true;
    Bytes buffer_;
};

}  // namespace

bool StartSerialMonitor(const std::shared_ptr<PortSession>& session)
{
    try {
        session->monitor.thread = std::thread([session] { Monitor(session).Run(); });
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace transport
