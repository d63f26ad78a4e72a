#pragma once

// Starting another program with one parameter, the stand-in for the shell's "open".

#include <QString>

namespace plumo {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts `program` detached with the single argument `parameter` in the inherited
    // working directory. Returns false when it could not be started.
    virtual bool open(const QString& program, const QString& parameter) = 0;
};

class DetachedProgramLauncher final : public ProgramLauncher {
public:
    bool open(const QString& program, const QString& parameter) override;
};

}  // namespace plumo
