#pragma once

// Starts nothing by itself: records what it was asked to start, and a test decides
// whether a start leaves a process behind in a fake process table.

#include <QStringList>
#include <functional>

#include "platform/program_launcher.h"
#include "support/fake_process_table.h"

namespace plumo::test {

class RecordingLauncher : public ProgramLauncher {
public:
    bool open(const QString& program, const QString& parameter) override {
        started << program + " " + parameter;
        if (onOpen) onOpen();
        if (table) table->start(program.section('/', -1).toStdString());
        return table != nullptr;
    }
    QStringList started;
    FakeProcessTable* table = nullptr;  // where a start shows up, if it succeeds
    std::function<void()> onOpen;       // what the started program would find, if anything
};

}  // namespace plumo::test
