#include "loopback_printer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

#include "platform/core/event.h"

namespace testsupport {
namespace {

// Binds a fresh TCP socket to 127.0.0.1 on a port the kernel picks; returns that port.
int BindLoopback(platform::UniqueFd& fd)
{
    fd.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (!fd || ::bind(fd.Get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    return ntohs(a.sin_port);
}

bool WaitFor(int fd, short events, int timeoutMs)
{
    std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(fd, events)};
    return platform::WaitAny(items, timeoutMs) == 0;
}

}  // namespace

void PrinterConnection::Send(const std::vector<uint8_t>& bytes) const
{
    size_t done = 0;
    platform::Deadline deadline(10000);
    while (done < bytes.size()) {
        ssize_t n = ::send(fd_.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("printer send failed");
        if (!WaitFor(fd_.Get(), POLLOUT, deadline.RemainingMs()))
            throw std::runtime_error("printer send timed out");
    }
}

std::vector<uint8_t> PrinterConnection::Receive(size_t count, int timeoutMs) const
{
    std::vector<uint8_t> out;
    platform::Deadline deadline(timeoutMs);
    while (out.size() < count) {
        if (!WaitFor(fd_.Get(), POLLIN, deadline.RemainingMs()))
            break;
        if (ReadAvailable(out))
            break;
    }
    return out;
}

bool PrinterConnection::ReadAvailable(std::vector<uint8_t>& into) const
{
    uint8_t buf[4096];
    for (;;) {
        ssize_t n = ::recv(fd_.Get(), buf, sizeof buf, 0);
        if (n > 0)
            into.insert(into.end(), buf, buf + n);
        else if (n == 0)
            return true;
        else if (errno != EINTR)
            return errno != EAGAIN && errno != EWOULDBLOCK;
    }
}

bool PrinterConnection::WaitForEnd(int timeoutMs, std::vector<uint8_t>* rest) const
{
    std::vector<uint8_t> got;
    platform::Deadline deadline(timeoutMs);
    for (;;) {
        if (ReadAvailable(got)) {
            if (rest)
                *rest = got;
            return true;
        }
        if (!WaitFor(fd_.Get(), POLLIN, deadline.RemainingMs()))
            return false;
    }
}

void PrinterConnection::Abort()
{
    linger l{1, 0};
    ::setsockopt(fd_.Get(), SOL_SOCKET, SO_LINGER, &l, sizeof l);
    fd_.Reset();
}

LoopbackPrinter::LoopbackPrinter()
{
    port_ = BindLoopback(listen_);
    if (::listen(listen_.Get(), 8) != 0)
        throw std::runtime_error("printer cannot listen");
}

bool LoopbackPrinter::HasPendingConnection() const { return WaitFor(listen_.Get(), POLLIN, 0); }

std::optional<PrinterConnection> LoopbackPrinter::Accept(int timeoutMs) const
{
    if (!WaitFor(listen_.Get(), POLLIN, timeoutMs))
        return std::nullopt;
    platform::UniqueFd fd(::accept4(listen_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd)
        return std::nullopt;
    return PrinterConnection(std::move(fd));
}

RefusingPort::RefusingPort() { port_ = BindLoopback(fd_); }

}  // namespace testsupport
