#include "unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

namespace plumo::test {

std::string errorOfUnprivilegedAttempt(const std::function<void()>& attempt) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        close(pipeEnds[0]);
        const uid_t nobody = 65534;
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)) {
            _exit(3);
        }
        std::string error;
        try {
            attempt();
        } catch (const std::exception& e) {
            error = e.what();
            if (error.empty()) error = "(exception without text)";
        }
        if (!error.empty() && write(pipeEnds[1], error.data(), error.size()) < 0) _exit(4);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string error;
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) error.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the unprivileged child failed with status " +
                                 std::to_string(status));
    }
    return error;
}

}  // namespace plumo::test
