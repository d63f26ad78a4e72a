#pragma once

// The one-second tick (rtimerTimer): the overdue count that start-up left out, the
// hourly chime, the memo items that fall due, and the late-night advice. No widgets:
// it acts on the companion state and view and reads the clock seam.
//
// Each tick covers every second since the last one it covered, so a tick that comes
// late (a busy moment, a late timer, a short sleep) still chimes the full hour and
// announces the items of the seconds that got no tick of their own. A longer gap
// (suspend, a clock moved forward) takes the overdue count instead, as at start-up.
// The chime needs no database: it keeps time while the database cannot answer, and the
// seconds whose items could not be looked up are looked up once it answers again (or
// counted, when that is more than the catch-up allows).
//
// While another program's full-screen window is active on her screen the tick plays no
// sound: a due item's sound waits for the window to go and then plays if the item still
// waits for its answer; the chime of that hour and the other sounds are not played.

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <set>
#include <utility>

#include <QString>

#include "base/date_time.h"
#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "companion/core/full_screen_quiet.h"
#include "memo/memo_database.h"
#include "platform/message_box.h"
#include "sound/player.h"

namespace plumo {

inline constexpr std::array<const char*, 3> kLateNightAdvice = {
    "熬夜对身体有害，请注意休息",
    "身体是革命的本钱，要劳逸结合",
    "已经夜深了，早点休息喔",
};

class CompanionTick {
public:
    // Seconds a late tick still covers one by one; a longer gap takes the overdue count.
    static constexpr int kCatchUpSeconds = 60;
    // The longest a tick waits for the database (the memo program writing) in all.
    static constexpr std::chrono::milliseconds kDatabaseWait{100};
    // Ticks between two late-night checks.
    static constexpr int kNightInterval = 1200;

    // `player` may be null: no sound. Without `activeWindow` every sound plays at once.
    CompanionTick(CompanionState& state, CompanionView& view, MemoDatabase& database,
                  Player* player, MessageBoxes& boxes,
                  const ActiveWindowWatch* activeWindow = nullptr);

    // One tick (rtimerTimer).
    void tick();

private:
    struct Sound {
        QString fileName;
        QString voiceFolder;
        SoundReason reason = SoundReason::Message;
        std::int64_t itemId = 0;  // the due item it announces
    };
    struct Outcome;

    void catchUpOverdueCheck(Outcome& outcome);
    void overdueCountAfterGap(Outcome& outcome);
    void speakOverdueCount(Outcome& outcome);
    void hourlyChime(std::int64_t second, Outcome& outcome);
    // False when the database could not answer for this second.
    bool announceDueItem(std::int64_t second, Outcome& outcome);
    void lateNightAdvice(DateTime now, Outcome& outcome);
    // A statement failed: the first failure of an outage is shown, later ones are not.
    void databaseFailed(const std::exception& error, Outcome& outcome);
    void databaseAnswered() { failing_ = false; }
    void forgetOldChimes();
    // Plays this tick's sound, holds it or drops it; plays a held one once it may.
    void sound(const Outcome& outcome);
    bool stillWaitingForAnswer(std::int64_t itemId) const;

    CompanionState& state_;
    CompanionView& view_;
    MemoDatabase& database_;
    Player* player_;
    MessageBoxes& boxes_;
    FullScreenQuiet quiet_;
    std::optional<Sound> held_;  // a due item's sound waiting for a full-screen window to go

    // Local seconds since the date origin: the last second whose chime was decided, and
    // the last second whose due items were looked up (behind while the database fails).
    std::optional<std::int64_t> chimedThrough_;
    std::int64_t lookedUpThrough_ = 0;
    std::int64_t newestCovered_ = 0;  // the latest second ever chimed through
    bool gapCountPending_ = false;
    bool failing_ = false;  // a database error has been shown and none answered since
    bool ticking_ = false;
    // What has been announced, so that a clock moved backwards announces nothing twice:
    // the full hours chimed in the last day, and every (second, item) announced this run.
    std::set<std::int64_t> chimed_;
    std::set<std::pair<std::int64_t, std::int64_t>> announced_;
};

}  // namespace plumo
