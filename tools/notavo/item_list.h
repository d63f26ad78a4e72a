#pragma once

// The rows of the memo list: one per item with its kind, reminder time, state and repeat
// rule, sorted
// by any column (dates as dates) and filtered by a piece of the title.

#include <QString>
#include <QTreeWidgetItem>
#include <optional>
#include <string>
#include <vector>

#include "memo/memo_store.h"
#include "memo/repeat_rule.h"

namespace plumo::notavo {

enum ItemColumn {
    TitleColumn,
    KindColumn,
    ReminderColumn,
    StatusColumn,
    RepeatColumn,
    ItemColumnCount
};

QStringList itemColumnCaptions();

QString kindText(const MemoItem& item);
QString reminderText(const std::optional<DateTime>& reminder);
// How the item repeats: the rule's caption; for a lunar one with the lunar date of the
// item's reminder ("每年农历 二月初三"). Empty when it does not repeat.
QString repeatText(std::optional<RepeatRule> rule, const std::optional<DateTime>& reminder);
// A title on one line of the list: each line break shows as a return sign.
QString oneLine(const std::string& title);

// Open, with a reminder before the current second.
bool isOverdue(const MemoItem& item, DateTime now);
// The next moment after `now` at which an open item turns overdue, if any does.
std::optional<DateTime> nextOverdueMoment(const std::vector<MemoItem>& items, DateTime now);
// The title holds `search` in any letter case; an empty search matches every title.
bool titleMatches(const MemoItem& item, const QString& search);

// A row of the list. It sorts by the value of the sorted column (a date by the date, an
// undated item after the dated ones), ties in the order the rows were made.
class ItemRow : public QTreeWidgetItem {
public:
    ItemRow(QTreeWidget* list, const MemoItem& item, std::optional<RepeatRule> repeat, int order);

    std::int64_t id() const;
    // The state column as of `now`: 未完成, 已过期 or 已完成.
    void showState(const MemoItem& item, DateTime now);
    bool operator<(const QTreeWidgetItem& other) const override;
};

}  // namespace plumo::notavo
