#pragma once

// Listens, inside the event loop, for the requests a second start sends to this copy
// through the single-instance guard, and hands each one on.

#include <QObject>
#include <functional>
#include <map>
#include <string>

class QSocketNotifier;

namespace plumo {

class SingleInstanceGuard;

// What a second start asks of the running copy: to show her if she is hidden.
inline constexpr char kShowRequest[] = "show";

class InstanceRequestListener : public QObject {
public:
    // Does nothing when the guard has no socket to listen on.
    InstanceRequestListener(const SingleInstanceGuard& guard,
                            std::function<void(const std::string&)> onRequest,
                            QObject* parent = nullptr);
    ~InstanceRequestListener() override;

private:
    void acceptConnections();
    void readFrom(int connection);

    const SingleInstanceGuard& guard_;
    std::function<void(const std::string&)> onRequest_;
    std::map<int, QSocketNotifier*> connections_;  // open, by descriptor
};

}  // namespace plumo
