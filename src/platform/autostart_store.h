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

}  // namespace plumo
