#include "app/instance_requests.h"

#include <QSocketNotifier>

#include "platform/linux/single_instance.h"

namespace plumo {
namespace {

// A second start connects, writes its line and goes; more connections than this at once
// are no second start of this user, and are closed unread.
constexpr std::size_t kMaxOpenConnections = 4;

}  // namespace

InstanceRequestListener::InstanceRequestListener(const SingleInstanceGuard& guard,
                                                 std::function<void(const std::string&)> onRequest,
                                                 QObject* parent)
    : QObject(parent), guard_(guard), onRequest_(std::move(onRequest)) {
    if (guard_.listeningSocket() < 0) return;
    auto* notifier = new QSocketNotifier(guard_.listeningSocket(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { acceptConnections(); });
}

InstanceRequestListener::~InstanceRequestListener() {
    for (const auto& [connection, notifier] : connections_) {
        delete notifier;
        SingleInstanceGuard::closeConnection(connection);
    }
}

void InstanceRequestListener::acceptConnections() {
    for (int connection = guard_.acceptConnection(); connection >= 0;
         connection = guard_.acceptConnection()) {
        if (connections_.size() >= kMaxOpenConnections) {
            SingleInstanceGuard::closeConnection(connection);
            continue;
        }
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connections_[connection] = notifier;
        connect(notifier, &QSocketNotifier::activated, this,
                [this, connection] { readFrom(connection); });
    }
}

void InstanceRequestListener::readFrom(int connection) {
    const std::string request = SingleInstanceGuard::readRequest(connection);
    QSocketNotifier* notifier = connections_[connection];
    connections_.erase(connection);
    notifier->setEnabled(false);
    notifier->deleteLater();  // it is sending the signal that got us here
    SingleInstanceGuard::closeConnection(connection);
    if (!request.empty()) onRequest_(request);
}

}  // namespace plumo
