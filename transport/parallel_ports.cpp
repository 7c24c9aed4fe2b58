#include "transport/parallel_ports.h"

#include <fcntl.h>

#include "platform/core/device_roots.h"
#include "transport/exclusive_node.h"

namespace transport {

std::string ParallelPortName(int number) { return "LPT" + std::to_string(number); }

std::optional<int> ParallelPortNumber(const std::string& name)
{
    const std::string prefix = "LPT";
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::string digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0')
        return std::nullopt;
    int number = std::stoi(digits);  // one or two digits: cannot throw
    if (number < kFirstLptNumber || number > kLastLptNumber)
        return std::nullopt;
    return number;
}

std::string ParallelNodePath(int number)
{
    if (number < kFirstLptNumber || number > kLastLptNumber)
        return {};
    return platform::CurrentDeviceRoots().dev + "/lp" + std::to_string(number - kFirstLptNumber);
}

platform::UniqueFd OpenParallelNode(int number) { return OpenExclusiveNode(ParallelNodePath(number), O_WRONLY); }

}  // namespace transport
