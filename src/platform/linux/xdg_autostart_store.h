#pragma once

#include <QByteArray>
#include <QString>

#include "platform/autostart_store.h"

namespace plumo {

// The XDG autostart entry "$XDG_CONFIG_HOME/autostart/<executable file name>.desktop"
// ("~/.config" when XDG_CONFIG_HOME is unset, empty or relative), read at every call.
class XdgAutostartStore final : public AutostartStore {
public:
    explicit XdgAutostartStore(const QString& executablePath);

    QString entryPath() const;
    void writeEntry() override;
    void removeEntry() override;

private:
    QString executablePath_;
};

// The desktop entry that starts `executablePath`, with the path escaped for the Exec key.
QByteArray autostartEntryContent(const QString& executablePath);

}  // namespace plumo
