#pragma once

// Repeating items for tests of the companion's answers: records every call with its item
// and time, in order, and can run a step of the test inside a call or fail it.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "companion/core/memo_repeats.h"
#include "memo/memo_errors.h"

namespace plumo::test {

class FakeMemoRepeats final : public MemoRepeats {
public:
    bool hasTable() override {
        calls << QStringLiteral("hasTable");
        return table;
    }
    void rollForward(std::int64_t id, DateTime now) override {
        record(QStringLiteral("rollForward %1 %2").arg(id).arg(text(now)), now);
    }
    void rollForwardClosed(DateTime now) override {
        record(QStringLiteral("rollForwardClosed %1").arg(text(now)), now);
    }
    void snooze(std::int64_t id, DateTime until) override {
        record(QStringLiteral("snooze %1 %2").arg(id).arg(text(until)), until);
    }

    bool table = true;             // the memo file keeps repeat rules
    std::function<void()> during;  // runs inside every call but hasTable
    std::string failure;           // not empty: those calls throw DatabaseError with it
    QStringList calls;             // in order
    std::vector<DateTime> times;   // the time handed to each call but hasTable, exactly

private:
    static QString text(DateTime value) { return QString::fromStdString(formatIsoDateTime(value)); }
    void record(const QString& call, DateTime time) {
        calls << call;
        times.push_back(time);
        if (during) during();
        if (!failure.empty()) throw DatabaseError(failure);
    }
};

}  // namespace plumo::test
