// The parallel listing and open of CommonUtils.
#include <optional>

#include "transport/common_utils.h"
#include "transport/parallel_ports.h"

namespace transport {

// Probes each name in turn: a port counts when it can be opened right now, and the probe
// lets go of it at once.
void CommonUtils::ListParallelPorts(std::vector<std::string>& names)
{
    for (int n = kFirstLptNumber; n <= kLastLptNumber; ++n) {
        if (OpenParallelNode(n))
            names.push_back(ParallelPortName(n));
    }
}

int CommonUtils::OpenParallel(OwnerWindow owner, const std::string& portName)
{
    m_pOwner = std::move(owner);
    // One port per object; this also frees the node when the same port is reopened.
    ClosePort();

    std::optional<int> number = ParallelPortNumber(portName);
    if (!number)
        return 0;
    platform::UniqueFd fd = OpenParallelNode(*number);
    if (!fd)
        return 0;
    std::shared_ptr<PortSession> session = NewSession(kKindParallel);
    if (!session->EventsValid())
        return 0;
    session->port = std::move(fd);
    // Written only: whatever the printer might answer is never read.
    return AdoptWithWorkers(std::move(session), false);
}

}  // namespace transport
