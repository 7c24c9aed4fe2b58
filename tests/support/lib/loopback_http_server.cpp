#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr int kRequestWaitMs = 10000;

std::string Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(int status, Mode mode)
    : status_(status), mode_(mode), listen_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0))
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (!listen_ || ::bind(listen_.Get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listen_.Get(), 8) != 0 || ::getsockname(listen_.Get(), reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("web server cannot listen");
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop_.Set();
    thread_.join();
}

std::vector<std::string> LoopbackHttpServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> LoopbackHttpServer::Lines(const std::string& head)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (;;) {
        size_t end = head.find("\r\n", at);
        if (end == std::string::npos || end == at)
            return lines;
        lines.push_back(head.substr(at, end - at));
        at = end + 2;
    }
}

void LoopbackHttpServer::Run()
{
    for (;;) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(stop_),
                                              platform::WaitItem::ForFd(listen_.Get(), POLLIN)};
        if (platform::WaitAny(items, platform::kInfinite) != 1)
            return;
        platform::UniqueFd conn(::accept4(listen_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!conn)
            continue;
        ++connections_;
        Serve(conn.Get());
        if (stop_.IsSet())
            return;
    }
}

void LoopbackHttpServer::Serve(int fd)
{
    std::string head;
    platform::Deadline deadline(kRequestWaitMs);
    char buf[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(stop_),
                                              platform::WaitItem::ForFd(fd, POLLIN)};
        if (platform::WaitAny(items, deadline.RemainingMs()) != 1)
            return;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return;
        if (n > 0)
            head.append(buf, size_t(n));
    }
    head.resize(head.find("\r\n\r\n") + 4);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(head);
    }
    if (mode_ == Mode::Silent) {
        HoldUntilClosed(fd);
        return;
    }
    const std::string body = "<html><body>printer</body></html>";
    std::string answer = "HTTP/1.1 " + std::to_string(status_) + " " + Reason(status_) + "\r\n";
    answer += "Content-Type: text/html\r\n";
    if (status_ / 100 == 3)
        answer += "Location: /\r\n";  // a client that followed it would ask a second time
    if (mode_ == Mode::Trickle) {
        answer += "Content-Length: 1000000\r\n\r\n" + body;
        if (SendAll(fd, answer))
            HoldUntilClosed(fd);
        return;
    }
    answer += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    SendAll(fd, answer);
}

bool LoopbackHttpServer::SendAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(stop_),
                                              platform::WaitItem::ForFd(fd, POLLOUT)};
        if (platform::WaitAny(items, kRequestWaitMs) != 1)
            return false;
    }
    return true;
}

void LoopbackHttpServer::HoldUntilClosed(int fd)
{
    char buf[1024];
    for (;;) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForEvent(stop_),
                                              platform::WaitItem::ForFd(fd, POLLIN)};
        if (platform::WaitAny(items, platform::kInfinite) != 1)
            return;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return;
    }
}

}  // namespace testsupport
