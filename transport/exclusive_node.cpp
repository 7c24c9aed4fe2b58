#include "transport/exclusive_node.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace transport {

platform::UniqueFd OpenExclusiveNode(const std::string& path, int accessFlags)
{
    if (path.empty())
        return {};
    platform::UniqueFd fd;
    do {
        fd.Reset(::open(path.c_str(), accessFlags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    } while (!fd && errno == EINTR);
    if (!fd)
        return {};
    int rc;
    do {
        rc = ::flock(fd.Get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return {};
    return fd;
}

}  // namespace transport
