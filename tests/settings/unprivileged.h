#pragma once

#include <functional>
#include <string>

namespace plumo::test {

// Runs `attempt` in a child process in which file permissions apply: when the tests run as
// root the child drops to the user "nobody". Returns what() of the exception the attempt
// threw, or an empty string when it threw none.
std::string errorOfUnprivilegedAttempt(const std::function<void()>& attempt);

}  // namespace plumo::test
