#include "transport/com_names.h"

#include <cstdlib>

#include "platform/core/device_roots.h"

namespace transport {
namespace {

struct Block {
    const char* prefix;
    int firstNumber;
};
constexpr Block kBlocks[] = {{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}};
constexpr int kBlockSize = 32;

}  // namespace

std::string ComDeviceName(int portNumber)
{
    for (const Block& b : kBlocks) {
        if (portNumber >= b.firstNumber && portNumber < b.firstNumber + kBlockSize)
            return b.prefix + std::to_string(portNumber - b.firstNumber);
    }
    return {};
}

std::string ComDevicePath(int portNumber)
{
    std::string name = ComDeviceName(portNumber);
    return name.empty() ? name : platform::CurrentDeviceRoots().dev + "/" + name;
}

std::optional<int> ComNumberForDevice(const std::string& nodeName)
{
    // Longest prefix first matters only if prefixes nested; these do not ("ttyS" vs "ttyUSB"
    // differ at the fourth letter), but the digits check keeps "ttyUSB" from matching "ttyS".
    for (const Block& b : kBlocks) {
        std::string prefix = b.prefix;
        if (nodeName.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = nodeName.substr(prefix.size());
        if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (digits.size() > 1 && digits[0] == '0')
            continue;
        int index = std::atoi(digits.c_str());
        if (index < kBlockSize)
            return b.firstNumber + index;
    }
    return std::nullopt;
}

}  // namespace transport
