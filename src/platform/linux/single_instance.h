#pragma once

// A per-user single-instance guard that also carries a request from a second start to the
// copy that runs. The first copy binds a Unix socket and listens on it:
//  - in the user's runtime folder when that is a folder of the user that nobody else may
//    enter, so that no other user can take the name first; a lock file beside the socket
//    tells a running copy from a socket file left behind by one that ended;
//  - else in the abstract namespace, under a fixed name and the user id.
// The kernel releases the lock and the abstract name when the process ends, however it ends.

#include <string>

namespace plumo {

class SingleInstanceGuard {
public:
    // Takes the guard in the user's runtime folder ($XDG_RUNTIME_DIR) when it is private,
    // else "<name>.<uid>" in the abstract namespace. Every descriptor is close-on-exec, so
    // programs this process starts do not keep the guard alive after it ends.
    explicit SingleInstanceGuard(const std::string& name);
    // The same with the runtime folder given; an empty or unfit folder means the abstract name.
    SingleInstanceGuard(const std::string& name, const std::string& runtimeFolder);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when another process already holds the name.
    bool alreadyRunning() const { return alreadyRunning_; }

    // Asks the copy that holds the guard to do `request` (one line, no newline). False when
    // that copy could not be reached. Waits for nothing.
    bool sendRequest(const std::string& request) const;

    // The socket the guard's holder listens on for requests (-1 when none): readable when a
    // second start has connected.
    int listeningSocket() const { return listening_; }
    // Takes one waiting connection: its descriptor, non-blocking and close-on-exec, or -1.
    int acceptConnection() const;
    // The request line sent on a connection, as far as it has arrived (at most 64 bytes).
    static std::string readRequest(int connection);
    static void closeConnection(int connection);

    // True when the guard lies in the runtime folder rather than in the abstract namespace.
    bool inRuntimeFolder() const { return !socketPath_.empty(); }

    // The full abstract socket name, without the leading NUL.
    static std::string socketName(const std::string& name);
    // $XDG_RUNTIME_DIR when it is private, else empty.
    static std::string userRuntimeFolder();
    // A folder of this user, mode 700.
    static bool isPrivateFolder(const std::string& folder);

private:
    bool takeInRuntimeFolder(const std::string& name, const std::string& folder);
    void takeAbstractName(const std::string& name);

    int listening_ = -1;
    int lock_ = -1;
    bool alreadyRunning_ = false;
    std::string socketPath_;    // in the runtime folder; empty for the abstract name
    std::string abstractName_;  // without the leading NUL
};

}  // namespace plumo
