#include "item_list.h"

#include <QTreeWidget>
#include <limits>

#include "calendar/date_cn.h"

namespace plumo::notavo {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kOrderRole = Qt::UserRole + 2;

enum StateRank { OverdueRank, OpenRank, DoneRank };

}  // namespace

QStringList itemColumnCaptions() {
    return {QStringLiteral("标题"), QStringLiteral("类型"), QStringLiteral("提醒时间"),
            QStringLiteral("状态"), QStringLiteral("重复")};
}

QString kindText(const MemoItem& item) {
    if (item.plan) return QStringLiteral("计划");
    return item.reminder ? QStringLiteral("提醒") : QStringLiteral("事项");
}

QString reminderText(const std::optional<DateTime>& reminder) {
    return reminder ? QString::fromStdString(formatIsoDateTime(*reminder)) : QString();
}

QString repeatText(std::optional<RepeatRule> rule, const std::optional<DateTime>& reminder) {
    if (!rule) return QString();
    if (*rule == RepeatRule::LunarYearly && reminder) {
        const std::string month = DateCn::CnMonthOfDate(*reminder);
        if (!month.empty())
            return QStringLiteral("每年农历 ") + QString::fromStdString(month) +
                   QString::fromStdString(DateCn::CnDayOfDate(*reminder));
    }
    const std::string_view caption = repeatRuleCaption(*rule);
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

QString oneLine(const std::string& title) {
    QString text = QString::fromStdString(title);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ⏎ "));
    text.replace(QLatin1Char('\n'), QStringLiteral(" ⏎ "));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

bool isOverdue(const MemoItem& item, DateTime now) {
    return !item.done && item.reminder && wholeSecond(*item.reminder) < wholeSecond(now);
}

std::optional<DateTime> nextOverdueMoment(const std::vector<MemoItem>& items, DateTime now) {
    std::optional<DateTime> next;
    for (const MemoItem& item : items) {
        if (item.done || !item.reminder || isOverdue(item, now)) continue;
        // Overdue once its own second has passed.
        const DateTime moment = wholeSecond(*item.reminder) + 1.0 / kSecondsPerDay;
        if (!next || moment < *next) next = moment;
    }
    return next;
}

bool titleMatches(const MemoItem& item, const QString& search) {
    return QString::fromStdString(item.title).contains(search, Qt::CaseInsensitive);
}

ItemRow::ItemRow(QTreeWidget* list, const MemoItem& item, std::optional<RepeatRule> repeat,
                 int order)
    : QTreeWidgetItem(list) {
    setData(TitleColumn, kIdRole, QVariant::fromValue<qlonglong>(item.id));
    setData(TitleColumn, kOrderRole, order);
    setText(TitleColumn, oneLine(item.title));
    setToolTip(TitleColumn, QString::fromStdString(item.title));
    setData(TitleColumn, kSortRole, QString::fromStdString(item.title).toCaseFolded());
    setText(KindColumn, kindText(item));
    setData(KindColumn, kSortRole, kindText(item));
    setText(ReminderColumn, reminderText(item.reminder));
    setData(ReminderColumn, kSortRole,
            item.reminder ? *item.reminder : std::numeric_limits<double>::infinity());
    setText(RepeatColumn, repeatText(repeat, item.reminder));
    setData(RepeatColumn, kSortRole,
            repeat ? double(*repeat) : std::numeric_limits<double>::infinity());
}

std::int64_t ItemRow::id() const { return data(TitleColumn, kIdRole).toLongLong(); }

void ItemRow::showState(const MemoItem& item, DateTime now) {
    const bool overdue = isOverdue(item, now);
    setText(StatusColumn, item.done ? QStringLiteral("已完成")
                          : overdue ? QStringLiteral("已过期")
                                    : QStringLiteral("未完成"));
    setData(StatusColumn, kSortRole,
            double(item.done ? DoneRank
                   : overdue ? OverdueRank
                             : OpenRank));
    const QColor grey(128, 128, 128);
    for (int c = 0; c < columnCount(); ++c) setData(c, Qt::ForegroundRole, QVariant());
    if (item.done) {
        for (int c = 0; c < columnCount(); ++c) setForeground(c, grey);
    } else if (overdue) {
        setForeground(StatusColumn, QColor(176, 0, 32));
    }
}

bool ItemRow::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : TitleColumn;
    const QVariant mine = data(column, kSortRole);
    const QVariant theirs = other.data(column, kSortRole);
    if (mine.typeId() == QMetaType::Double && theirs.typeId() == QMetaType::Double) {
        if (mine.toDouble() != theirs.toDouble()) return mine.toDouble() < theirs.toDouble();
    } else if (const int order = mine.toString().localeAwareCompare(theirs.toString())) {
        return order < 0;
    }
    return data(TitleColumn, kOrderRole).toInt() < other.data(TitleColumn, kOrderRole).toInt();
}

}  // namespace plumo::notavo
