// The window's actions on the selected item and its two dialogs. Each change is written
// at once; a failure is told in a message and nothing typed is lost.

#include <QStatusBar>

#include "item_dialog.h"
#include "item_list.h"
#include "memo/memo_errors.h"
#include "memo/repeat_store.h"
#include "notavo_window.h"
#include "platform/clock.h"

namespace plumo::notavo {
namespace {

QString seriesEndedText(std::optional<RepeatRule> rule) {
    return rule == RepeatRule::LunarYearly
               ? QStringLiteral("该农历重复已超出日历范围（2050年），不再重复。")
               : QStringLiteral("这个事项的重复已经结束，不再重复。");
}

}  // namespace

bool NotavoWindow::guarded(const std::function<bool()>& change, const QString& missing) {
    bool changed = false;
    try {
        changed = change();
        if (!changed) prompts_.error(this, missing);
    } catch (const MemoError& e) {
        prompts_.error(this,
                       QStringLiteral("没能保存这次修改：%1").arg(QString::fromUtf8(e.what())));
    }
    reload();
    return changed;
}

bool NotavoWindow::addItem(const ItemInput& input) {
    std::int64_t id = 0;
    const bool added = guarded(
        [&] {
            id = store_.add(input);
            return true;
        },
        QString());
    if (added) {
        if (!select(id)) {
            showView(View::All);
            select(id);
        }
    }
    return added;
}

bool NotavoWindow::editSelected(const std::string& title, std::optional<DateTime> reminder) {
    const auto id = selectedId();
    if (!id) return false;
    return guarded([&] { return store_.edit(*id, title, reminder); },
                   QStringLiteral("这个事项已被删除。"));
}

// Closing a repeating item opens it again at its next occurrence.
bool NotavoWindow::toggleDoneSelected() {
    const auto item = selectedItem();
    if (!item) return false;
    if (item->done)
        return guarded([&] { return store_.reopen(item->id); },
                       QStringLiteral("这个事项已被删除。"));
    const std::optional<RepeatRule> rule = repeatOf(item->id);
    RollOutcome rolled;
    const bool closed = guarded(
        [&] {
            if (!store_.close(item->id)) return false;
            rolled = rollForward(*database_, item->id, currentClock().now());
            return true;
        },
        QStringLiteral("这个事项已被删除。"));
    if (closed && rolled.repeating) {
        if (rolled.next)
            statusBar()->showMessage(QStringLiteral("下次提醒：%1").arg(reminderText(rolled.next)));
        else
            prompts_.inform(this, seriesEndedText(rule));
    }
    return closed;
}

bool NotavoWindow::deleteSelected() {
    const auto item = selectedItem();
    if (!item) return false;
    if (!prompts_.confirm(this, QStringLiteral("确定要删除“%1”吗？").arg(oneLine(item->title))))
        return false;
    return guarded([&] { return store_.remove(item->id); }, QStringLiteral("这个事项已被删除。"));
}

bool NotavoWindow::postponeSelected() {
    const auto item = selectedItem();
    if (!item || !item->reminder) return false;
    return guarded([&] { return store_.postpone(item->id).outcome == PostponeOutcome::Postponed; },
                   QStringLiteral("这个事项已被删除，或者没有提醒时间。"));
}

bool NotavoWindow::snoozeSelected(int seconds) {
    const auto item = selectedItem();
    if (!item || item->done) return false;
    const DateTime until = wholeSecond(currentClock().now()) + double(seconds) / kSecondsPerDay;
    return guarded([&] { return snoozeItem(*database_, item->id, until); },
                   QStringLiteral("这个事项已被删除。"));
}

// The rule after the reminder: a rule anchors at the reminder as stored, so a changed
// reminder anchors the series anew.
void NotavoWindow::writeRepeat(std::int64_t id, const ItemEntry& opened, const ItemEntry& saved) {
    if (saved.repeat) {
        if (saved.repeat != opened.repeat || saved.item.reminder != opened.item.reminder)
            setRepeatRule(*database_, id, *saved.repeat);
    } else if (opened.repeat) {
        clearRepeatRule(*database_, id);
    }
}

std::unique_ptr<ItemDialog> NotavoWindow::makeAddDialog() {
    return std::make_unique<ItemDialog>(
        this, QStringLiteral("新建事项"), ItemEntry{}, prompts_,
        [this](const ItemEntry& entry) -> QString {
            try {
                const std::int64_t id = store_.add(entry.item);
                writeRepeat(id, ItemEntry{}, entry);
                reload();
                if (!select(id)) {
                    showView(View::All);
                    select(id);
                }
                return QString();
            } catch (const MemoError& e) {
                return QStringLiteral("没能保存：%1").arg(QString::fromUtf8(e.what()));
            }
        });
}

std::unique_ptr<ItemDialog> NotavoWindow::makeEditDialog() {
    const auto item = selectedItem();
    if (!item) return nullptr;
    auto dialog = std::make_unique<ItemDialog>(
        this, QStringLiteral("修改事项"),
        ItemEntry{{item->title, item->reminder, item->plan}, repeatOf(item->id)}, prompts_,
        nullptr);
    // Only what the user changed is written: the companion may have closed or postponed
    // the item while the dialog was open.
    dialog->setSave([this, id = item->id, opened = dialog->opened()](const ItemEntry& entry) {
        try {
            const bool edited = store_.change(id, changeBetween(opened.item, entry.item));
            if (edited) writeRepeat(id, opened, entry);
            reload();
            return edited ? QString() : QStringLiteral("这个事项已被删除。");
        } catch (const MemoError& e) {
            return QStringLiteral("没能保存：%1").arg(QString::fromUtf8(e.what()));
        }
    });
    return dialog;
}

void NotavoWindow::openAddDialog() { makeAddDialog()->exec(); }

void NotavoWindow::openEditDialog() {
    if (const auto dialog = makeEditDialog()) dialog->exec();
}

}  // namespace plumo::notavo
