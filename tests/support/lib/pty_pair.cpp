#include "pty_pair.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "platform/core/event.h"

namespace testsupport {

PtyPair::PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK))
{
    if (!master_ || ::grantpt(master_.Get()) != 0 || ::unlockpt(master_.Get()) != 0)
        throw std::runtime_error("no pty");
    char name[128];
    if (::ptsname_r(master_.Get(), name, sizeof name) != 0)
        throw std::runtime_error("no ptsname");
    slavePath_ = name;
    // The master side must pass bytes untouched too.
    termios t{};
    ::tcgetattr(master_.Get(), &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_.Get(), TCSANOW, &t);
}

void PtyPair::LinkAs(const std::string& devRoot, const std::string& nodeName) const
{
    std::string link = devRoot + "/" + nodeName;
    ::unlink(link.c_str());
    if (::symlink(slavePath_.c_str(), link.c_str()) != 0)
        throw std::runtime_error("symlink failed");
}

void PtyPair::Send(const std::vector<uint8_t>& bytes) const
{
    size_t done = 0;
    platform::Deadline deadline(10000);
    while (done < bytes.size()) {
        ssize_t n = ::write(master_.Get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("pty write failed");
        std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(master_.Get(), POLLOUT)};
        if (platform::WaitAny(items, deadline.RemainingMs()) != 0)
            throw std::runtime_error("pty write timed out");
    }
}

std::vector<uint8_t> PtyPair::Receive(size_t count, int timeoutMs) const
{
    std::vector<uint8_t> out;
    platform::Deadline deadline(timeoutMs);
    uint8_t buf[4096];
    while (out.size() < count) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(master_.Get(), POLLIN)};
        if (platform::WaitAny(items, deadline.RemainingMs()) != 0)
            break;
        ssize_t n = ::read(master_.Get(), buf, std::min(sizeof buf, count - out.size()));
        if (n > 0)
            out.insert(out.end(), buf, buf + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

void PtyPair::ReadAvailable(std::vector<uint8_t>& into) const
{
    uint8_t buf[4096];
    for (;;) {
        ssize_t n = ::read(master_.Get(), buf, sizeof buf);
        if (n > 0)
            into.insert(into.end(), buf, buf + n);
        else if (!(n < 0 && errno == EINTR))
            return;
    }
}

std::vector<uint8_t> PtyPair::ReceiveUntilQuiet(int quietMs) const
{
    std::vector<uint8_t> out;
    uint8_t buf[4096];
    for (;;) {
        std::vector<platform::WaitItem> items{platform::WaitItem::ForFd(master_.Get(), POLLIN)};
        if (platform::WaitAny(items, quietMs) != 0)
            return out;
        ssize_t n = ::read(master_.Get(), buf, sizeof buf);
        if (n > 0)
            out.insert(out.end(), buf, buf + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return out;
    }
}

}  // namespace testsupport
