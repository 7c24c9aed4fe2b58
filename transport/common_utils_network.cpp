// The network open of CommonUtils and its web-page check.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>

#include "platform/core/event.h"
#include "transport/common_utils.h"
#include "transport/web_probe.h"

namespace transport {
namespace {

constexpr int kSocketIoTimeoutMs = 2000;
constexpr int kConnectWaitMs = 3000;

bool SetNonBlocking(int fd, bool on)
{
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, flags) == 0;
}

void SetIoTimeouts(int fd)
{
    timeval tv{kSocketIoTimeoutMs / 1000, (kSocketIoTimeoutMs % 1000) * 1000};
    // Without them the workers still run; a reader then only wakes for data or a close.
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
}

// Connects with a bounded wait and hands back a blocking socket, or an invalid one.
platform::UniqueFd ConnectTcp(const in_addr& address, int tcpPort)
{
    platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
    if (!fd)
        return {};
    SetIoTimeouts(fd.Get());
    if (!SetNonBlocking(fd.Get(), true))
        return {};

    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr = address;
    peer.sin_port = htons(uint16_t(tcpPort));
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        // An interrupted connect goes on in the background, like one in progress.
        if (errno != EINPROGRESS && errno != EINTR)
            return {};
        std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(fd.Get(), POLLOUT)};
        if (platform::WaitAny(items, kConnectWaitMs) != 0)
            return {};
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0)
            return {};
    }
    if (!SetNonBlocking(fd.Get(), false))
        return {};
    return fd;
}

}  // namespace

int CommonUtils::ProbeWebPage(const std::string& ipText) { return WebPageStatus(ipText) == 200 ? 1 : 0; }

int CommonUtils::OpenNetwork(OwnerWindow owner, const std::string& ipText, int tcpPort)
{
    // A port that cannot exist is refused before any network activity.
    if (tcpPort < 1 || tcpPort > 65535)
        return 0;
    in_addr address{};
    if (!ParseDottedIpv4(ipText, address) || !ProbeWebPage(ipText))
        return 0;

    m_pOwner = std::move(owner);
    // One port per object: an open over an open port ends the old workers first.
    ClosePort();

    platform::UniqueFd fd = ConnectTcp(address, tcpPort);
    if (!fd)
        return 0;
    std::shared_ptr<PortSession> session = NewSession(kKindNetwork);
    if (!session->EventsValid())
        return 0;
    session->port = std::move(fd);
    return AdoptWithWorkers(std::move(session), true);
}

}  // namespace transport
