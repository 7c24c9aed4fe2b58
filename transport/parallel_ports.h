#pragma once
// Parallel port names and Linux device nodes.
//
// LPT1-LPT20 are /dev/lp0-lp19 under the device root. The names carry no colon; nodes past
// lp19 exist on some machines but are never offered, so the list always has at most 20.

#include <optional>
#include <string>

#include "platform/core/unique_fd.h"

namespace transport {

constexpr int kFirstLptNumber = 1;
constexpr int kLastLptNumber = 20;

// "LPT3" for 3.
std::string ParallelPortName(int number);
// The number of a name that is exactly "LPT<n>" with n from 1 to 20 and no leading zero.
std::optional<int> ParallelPortNumber(const std::string& name);
// <dev>/lp<number-1> under the current device root; empty outside 1-20.
std::string ParallelNodePath(int number);

// Opens the port's node for writing, exclusively. Invalid when absent or held by another.
platform::UniqueFd OpenParallelNode(int number);

}  // namespace transport
