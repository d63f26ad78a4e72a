#pragma once

// A per-user single-instance guard that writes no file: an abstract-namespace Unix
// socket bound under a fixed name and the user id. The kernel releases the name when
// the process ends, however it ends.

#include <string>

namespace plumo {

class SingleInstanceGuard {
public:
    // Binds "<name>.<uid>" in the abstract namespace. The socket is close-on-exec, so
    // programs this process starts do not keep the guard alive after it ends.
    explicit SingleInstanceGuard(const std::string& name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when another process already holds the name.
    bool alreadyRunning() const { return alreadyRunning_; }

    // The full abstract socket name, without the leading NUL.
    static std::string socketName(const std::string& name);

private:
    int fd_ = -1;
    bool alreadyRunning_ = false;
};

}  // namespace plumo
