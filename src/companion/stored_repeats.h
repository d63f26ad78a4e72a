#pragma once

// The companion's repeating items and snoozes on the memo file itself, through the memo
// store's repeat functions.

#include "companion/core/memo_repeats.h"
#include "memo/memo_database.h"

namespace plumo {

class StoredRepeats final : public MemoRepeats {
public:
    explicit StoredRepeats(MemoDatabase& database) : database_(database) {}

    // Asked anew each time: the memo program adds the table to an older file when it opens it.
    bool hasTable() override;
    void rollForward(std::int64_t id, DateTime now) override;
    void rollForwardClosed(DateTime now) override;
    void snooze(std::int64_t id, DateTime until) override;

private:
    MemoDatabase& database_;
};

}  // namespace plumo
