#include "companion/core/companion_tick.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include <QLoggingCategory>

#include "companion/core/memo_answers.h"
#include "companion/core/time_of_day.h"
#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "platform/clock.h"
#include "sound/playsound.h"

namespace plumo {
namespace {

// What the tick says and sounds, one line each, for watching her from outside; off unless
// enabled: QT_LOGGING_RULES="plumo.tick.info=true", or "plumo.tick=true" for a line per tick too.
Q_LOGGING_CATEGORY(tickLog, "plumo.tick", QtWarningMsg)

// The memo button's caption while the memo program runs.
const QString kMemoProgramOpen = QStringLiteral("关闭");
const QString kMessageSound = QStringLiteral("msg.mp3");
const QString kReminderSound = QStringLiteral("reminder.mp3");

}  // namespace

struct CompanionTick::Outcome {
    // The sound of the latest announcement of this tick: it replaces the earlier ones.
    std::optional<Sound> sound;
    QString error;  // to show once the tick is done
};

CompanionTick::CompanionTick(CompanionState& state, CompanionView& view, MemoDatabase& database,
                             Player* player, MessageBoxes& boxes,
                             const ActiveWindowWatch* activeWindow)
    : state_(state),
      view_(view),
      database_(database),
      player_(player),
      boxes_(boxes),
      quiet_(activeWindow) {}

void CompanionTick::tick() {
    // A message box shown by a tick runs its own event loop, in which later ticks come;
    // none starts while this one is still at work (the next one covers the seconds).
    if (ticking_) return;
    ticking_ = true;
    Outcome outcome;

    const DateTime now = currentClock().now();
    const std::int64_t second = secondOf(now);
    if (!chimedThrough_ || *chimedThrough_ > second) {
        // The first tick, or the clock moved backwards: go on from this second; what
        // was announced before is remembered and not announced again.
        chimedThrough_ = lookedUpThrough_ = second - 1;
    } else if (second - *chimedThrough_ > kCatchUpSeconds) {
        // Suspended, or the clock moved forward: count what fell due meanwhile.
        qCInfo(tickLog, "gap of %lld s before %s", static_cast<long long>(second - *chimedThrough_),
               formatIsoDateTime(now).c_str());
        gapCountPending_ = true;
        chimedThrough_ = lookedUpThrough_ = second - 1;
    } else if (second - lookedUpThrough_ > kCatchUpSeconds) {
        // The database could not answer for longer than the catch-up covers.
        qCInfo(tickLog, "items of %lld s not looked up before %s",
               static_cast<long long>(second - lookedUpThrough_), formatIsoDateTime(now).c_str());
        gapCountPending_ = true;
        lookedUpThrough_ = second - 1;
    }

    // The memo program may be writing: the tick waits for it a moment at most, in all.
    std::optional<WaitBudget> budget(database_.waitAtMost(kDatabaseWait));

    catchUpOverdueCheck(outcome);
    overdueCountAfterGap(outcome);
    qCDebug(tickLog, "tick %s covers %lld s", formatIsoDateTime(now).c_str(),
            static_cast<long long>(second - *chimedThrough_));
    for (std::int64_t s = *chimedThrough_ + 1; s <= second; ++s) {
        hourlyChime(s, outcome);
        chimedThrough_ = s;
        newestCovered_ = std::max(newestCovered_, s);
    }
    for (std::int64_t s = lookedUpThrough_ + 1; s <= second; ++s) {
        if (!announceDueItem(s, outcome)) break;  // the next tick tries this second again
        lookedUpThrough_ = s;
    }
    lateNightAdvice(now, outcome);
    forgetOldChimes();

    budget.reset();
    sound(outcome);
    ticking_ = false;
    if (!outcome.error.isEmpty()) boxes_.error(outcome.error);
}

void CompanionTick::catchUpOverdueCheck(Outcome& outcome) {
    if (state_.overduechecked || view_.memoCaption().contains(kMemoProgramOpen) ||
        !view_.bubbleText().isEmpty())
        return;
    try {
        checkreminder(state_, view_, database_.query());
    } catch (const MemoError& error) {
        databaseFailed(error, outcome);
        return;
    }
    databaseAnswered();
    if (state_.overduecount > 0) {
        qCInfo(tickLog, "overdue count %d", state_.overduecount);
        speakOverdueCount(outcome);
    }
}

void CompanionTick::overdueCountAfterGap(Outcome& outcome) {
    // Not over a due item still waiting for its answer (one answered with "查看" no longer
    // waits), nor while the memo program, which shows the items itself, is open.
    const bool dueItemWaiting = view_.answerVisible(AnswerItem::Postpone) && state_.answering;
    if (!gapCountPending_ || dueItemWaiting || view_.memoCaption().contains(kMemoProgramOpen))
        return;
    const QString before = view_.bubbleText();
    try {
        checkreminder(state_, view_, database_.query());
    } catch (const MemoError& error) {
        view_.setBubbleText(before);
        databaseFailed(error, outcome);
        return;
    }
    databaseAnswered();
    gapCountPending_ = false;
    if (state_.overduecount > 0) {
        qCInfo(tickLog, "overdue count %d after a gap", state_.overduecount);
        speakOverdueCount(outcome);
    }
}

void CompanionTick::speakOverdueCount(Outcome& outcome) {
    armAnswersForCount(state_, view_);
    view_.showInfo();
    outcome.sound = Sound{kMessageSound, QString(), SoundReason::Message};
}

void CompanionTick::hourlyChime(std::int64_t second, Outcome& outcome) {
    if (state_.timeset != QStringLiteral("on")) return;
    const std::int64_t ofDay = second - floorDiv(second, kSecondsPerDay) * kSecondsPerDay;
    if (ofDay % 3600 != 0) return;
    bool whole = false;
    const int voice = state_.soundset.toInt(&whole);
    if (!whole) return;  // no voice chosen that we know of: the hour passes in silence
    if (!chimed_.insert(second).second) return;
    qCInfo(tickLog, "chime %s", formatIsoDateTime(startOfSecond(second)).c_str());
    if (const auto chime = plumo::hourlyChime(voice, static_cast<int>(ofDay / 3600)))
        outcome.sound = Sound{chime->fileName, chime->voiceFolder, SoundReason::Chime};
}

bool CompanionTick::announceDueItem(std::int64_t second, Outcome& outcome) {
    std::optional<DueItem> item;
    try {
        item = findDueItem(database_.query(), startOfSecond(second));
    } catch (const ConversionError& error) {
        // An item without a title: skipped, its error shown once.
        if (!failing_ && outcome.error.isEmpty())
            outcome.error = QString::fromStdString(error.what());
        failing_ = true;
        return true;
    } catch (const MemoError& error) {
        databaseFailed(error, outcome);
        return false;
    }
    databaseAnswered();
    if (!item || !announced_.insert({second, item->id}).second) return true;
    qCInfo(tickLog, "announce %s item %lld: %s", formatIsoDateTime(startOfSecond(second)).c_str(),
           static_cast<long long>(item->id), item->title.c_str());
    view_.setBubbleText(QString::fromStdString(item->title));
    view_.showInfo();
    state_.reminderid = static_cast<int>(item->id);
    outcome.sound = Sound{kReminderSound, QString(), SoundReason::DueItem, item->id};
    view_.setAnswerVisible(AnswerItem::Postpone, true);
    view_.setAnswerCaption(AnswerItem::GotIt, kRemindNoMoreCaption);
    state_.answering = true;
    return true;
}

void CompanionTick::lateNightAdvice(DateTime now, Outcome& outcome) {
    std::mt19937 random(randomSeed(now));
    if (state_.nightcount <= 0) {
        if (isLateNight(now)) {
            qCInfo(tickLog, "late-night advice %s", formatIsoDateTime(now).c_str());
            view_.setBubbleText(QString::fromUtf8(kLateNightAdvice[random() % 3]));
            view_.showInfo();
            outcome.sound = Sound{kMessageSound, QString(), SoundReason::Message};
            state_.answering = true;
            view_.setAnswerCaption(AnswerItem::View, kShutDownCaption);
        }
        state_.nightcount = kNightInterval;
    }
    --state_.nightcount;
}

void CompanionTick::databaseFailed(const std::exception& error, Outcome& outcome) {
    // Busy or locked: the memo program is writing; the next tick tries again quietly.
    if (dynamic_cast<const DatabaseBusyError*>(&error)) return;
    if (failing_) return;
    failing_ = true;
    if (outcome.error.isEmpty()) outcome.error = QString::fromStdString(error.what());
}

void CompanionTick::forgetOldChimes() {
    chimed_.erase(chimed_.begin(), chimed_.lower_bound(newestCovered_ - kSecondsPerDay));
}

void CompanionTick::sound(const Outcome& outcome) {
    if (!player_) return;
    std::optional<Sound> playing;
    if (outcome.sound) {
        switch (quiet_.soundAction(outcome.sound->reason)) {
            case SoundAction::PlayNow:
                held_.reset();  // the latest announcement's sound replaces the held one
                playing = outcome.sound;
                break;
            case SoundAction::Hold:
                qCInfo(tickLog, "full-screen: sound of item %lld held",
                       static_cast<long long>(outcome.sound->itemId));
                held_ = outcome.sound;
                break;
            case SoundAction::Drop:
                qCInfo(tickLog, "full-screen: %s not played",
                       qPrintable(outcome.sound->voiceFolder + outcome.sound->fileName));
                break;
        }
    } else if (held_ && quiet_.mayRaise()) {
        const Sound waiting = *std::exchange(held_, std::nullopt);
        if (stillWaitingForAnswer(waiting.itemId)) {
            qCInfo(tickLog, "full-screen window gone: sound of item %lld plays",
                   static_cast<long long>(waiting.itemId));
            playing = waiting;
        }
    }
    if (playing) playsound(*player_, state_.apppath, playing->fileName, playing->voiceFolder);
}

bool CompanionTick::stillWaitingForAnswer(std::int64_t itemId) const {
    // The answer menu is still armed for that item: no answer has dismissed it, and no
    // later announcement has taken it over.
    return state_.answering && state_.reminderid == itemId &&
           view_.answerVisible(AnswerItem::Postpone);
}

}  // namespace plumo
