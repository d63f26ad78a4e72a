#include "platform/linux/command_system_shutdown.h"

#include <QProcess>
#include <QStringList>

namespace plumo {

void CommandSystemShutdown::powerOff() {
    // systemctl may refuse (no permission from polkit) or be missing (no systemd); its
    // answer comes back through the event loop, so the caller never waits for it.
    auto* systemctl = new QProcess;
    auto fallBack = [] {
        QProcess::startDetached(QStringLiteral("shutdown"),
                                {QStringLiteral("-h"), QStringLiteral("now")});
    };
    QObject::connect(systemctl, &QProcess::finished, systemctl,
                     [systemctl, fallBack](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0) fallBack();
                         systemctl->deleteLater();
                     });
    QObject::connect(systemctl, &QProcess::errorOccurred, systemctl,
                     [systemctl, fallBack](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;  // finished() follows
                         fallBack();
                         systemctl->deleteLater();
                     });
    systemctl->start(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

}  // namespace plumo
