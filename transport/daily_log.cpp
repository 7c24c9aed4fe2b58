#include "transport/daily_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/core/clock.h"
#include "platform/core/unique_fd.h"

namespace transport {
namespace {

// "%Y-%m-%d.txt" of the local date, or empty when the time cannot be broken down.
std::string TodayFileName()
{
    std::time_t now = platform::Now();
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return {};
    char name[64];
    if (std::strftime(name, sizeof name, "%Y-%m-%d", &local) == 0)
        return {};
    return std::string(name) + ".txt";
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool WriteAll(int fd, const std::string& data)
{
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t written = ::write(fd, p, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        p += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

int WriteDailyLog(std::string text)
{
    std::string name = TodayFileName();
    if (name.empty())
        return 0;
    int raw;
    do {
        raw = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    } while (raw < 0 && errno == EINTR);
    platform::UniqueFd fd(raw);
    if (!fd)
        return 0;
    // One buffer, so that a single append normally lands in one write.
    return WriteAll(fd.Get(), WithCrLf(text)) ? 1 : 0;
}

}  // namespace transport
