#include "thread_syscalls.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {
namespace {

// The line is "<number> <arg1> ... <sp> <pc>" while the thread is blocked in a call,
// "running" while it runs.
bool LineMatches(const std::string& line, long number, int fd)
{
    char* end = nullptr;
    long n = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || n != number)
        return false;
    unsigned long first = std::strtoul(end, nullptr, 16);
    return first == static_cast<unsigned long>(fd);
}

}  // namespace

bool CanSeeThreadSyscalls()
{
    std::ifstream in("/proc/thread-self/syscall");
    std::string line;
    return bool(std::getline(in, line)) && !line.empty();
}

bool SomeThreadBlockedIn(long number, int fd)
{
    std::error_code ec;
    // Threads may come and go while we look: errors end the look, never throw.
    std::filesystem::directory_iterator it("/proc/self/task", ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::ifstream in(it->path() / "syscall");
        std::string line;
        if (std::getline(in, line) && LineMatches(line, number, fd))
            return true;
    }
    return false;
}

}  // namespace testsupport
