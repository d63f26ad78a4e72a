#pragma once

// The per-user entry that starts the program at log-in: one entry per executable file
// name, holding the executable's full path.

#include <QString>
#include <stdexcept>

namespace plumo {

// An entry that could not be written; what() is "Failed to set data for '<entry>'" (UTF-8).
class AutostartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString text() const { return QString::fromUtf8(what()); }
};

class AutostartStore {
public:
    virtual ~AutostartStore() = default;
    // Writes this program's entry, replacing an earlier one. Throws AutostartError.
    virtual void writeEntry() = 0;
    // Removes this program's entry if there is one; never reports a failure.
    virtual void removeEntry() = 0;
};

// Writes the entry when `on`, removes it otherwise. Always returns true; a failed write
// throws AutostartError.
bool setautostart(AutostartStore& store, bool on);

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
