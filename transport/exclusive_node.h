#pragma once
// Opening a printer node so that no other program shares it.

#include <string>

#include "platform/core/unique_fd.h"

namespace transport {

// Opens path with flags (O_NONBLOCK, O_NOCTTY and O_CLOEXEC are always added) and takes a
// non-blocking exclusive flock on it. Invalid descriptor when the node is absent, refused
// (a driver that allows one open says EBUSY) or locked by another program.
platform::UniqueFd OpenExclusiveNode(const std::string& path, int accessFlags);

}  // namespace transport
