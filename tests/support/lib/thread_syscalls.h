#pragma once
// Lets a test see that one of the process's threads is blocked in a given system call on a
// given descriptor (read from /proc/self/task/*/syscall), so it can act exactly while a
// worker waits there instead of guessing with a delay.

namespace testsupport {

// True when /proc exposes the blocked system calls of this process's threads.
bool CanSeeThreadSyscalls();

// True when some thread of this process is blocked in system call `number` whose first
// argument is `fd`.
bool SomeThreadBlockedIn(long number, int fd);

}  // namespace testsupport
