#include "notavo_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <system_error>

#include "item_dialog.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "memo/repeat_store.h"
#include "platform/clock.h"

namespace plumo::notavo {
namespace {

// Another program's writes show up within this interval; a cheap check of the file's
// change counter, no reading of the items unless it moved.
constexpr int kWatchIntervalMs = 1000;
// How long a write waits for the companion to finish one of its own.
constexpr std::chrono::milliseconds kBusyTimeout{1000};

enum Column { TitleColumn, KindColumn, ReminderColumn, StatusColumn };

QString kindText(const MemoItem& item) {
    if (item.plan) return QStringLiteral("计划");
    return item.reminder ? QStringLiteral("提醒") : QStringLiteral("事项");
}

QString reminderText(const std::optional<DateTime>& reminder) {
    return reminder ? QString::fromStdString(formatIsoDateTime(*reminder)) : QString();
}

// A title on one line of the list: each line break shows as a return sign.
QString oneLine(const std::string& title) {
    QString text = QString::fromStdString(title);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ⏎ "));
    text.replace(QLatin1Char('\n'), QStringLiteral(" ⏎ "));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

bool overdue(const MemoItem& item, DateTime now) {
    return !item.done && item.reminder && wholeSecond(*item.reminder) < wholeSecond(now);
}

}  // namespace

QDateTime toQDateTime(DateTime value) {
    const DateParts d = decodeDate(value);
    const TimeParts t = decodeTime(value);
    return QDateTime(QDate(d.year, d.month, d.day), QTime(t.hour, t.minute, t.second));
}

DateTime fromQDateTime(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return encodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

NotavoWindow::NotavoWindow(std::unique_ptr<MemoDatabase> database, NotavoPrompts& prompts)
    : database_(std::move(database)), store_(*database_), prompts_(prompts) {
    database_->setUsualWait(kBusyTimeout);
    setWindowTitle(kNotavoTitle);
    buildWidgets();
    reload();
    watch_.setInterval(kWatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, [this] { refreshIfChanged(); });
    watch_.start();
}

NotavoWindow::~NotavoWindow() = default;

void NotavoWindow::buildWidgets() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("显示：")));
    viewBox_ = new QComboBox;
    viewBox_->addItem(QStringLiteral("全部事项"));
    viewBox_->addItem(QStringLiteral("未完成的计划"));
    viewBox_->addItem(QStringLiteral("过期的提醒"));
    top->addWidget(viewBox_);
    top->addStretch();
    layout->addLayout(top);

    list_ = new QTreeWidget;
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->setHeaderLabels({QStringLiteral("标题"), QStringLiteral("类型"),
                            QStringLiteral("提醒时间"), QStringLiteral("状态")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    for (int c : {KindColumn, ReminderColumn, StatusColumn})
        list_->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    layout->addWidget(list_, 1);

    details_ = new QLabel;
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    details_->setMinimumHeight(details_->fontMetrics().lineSpacing() * 2);
    layout->addWidget(details_);

    auto* buttons = new QHBoxLayout;
    auto* addButton = new QPushButton(QStringLiteral("新建"));
    editButton_ = new QPushButton(QStringLiteral("修改"));
    doneButton_ = new QPushButton(QStringLiteral("完成"));
    postponeButton_ = new QPushButton(QStringLiteral("推迟一天"));
    deleteButton_ = new QPushButton(QStringLiteral("删除"));
    for (QPushButton* b : {addButton, editButton_, doneButton_, postponeButton_, deleteButton_})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);
    statusBar();
    resize(620, 420);

    connect(viewBox_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { updateActions(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { openEditDialog(); });
    connect(addButton, &QPushButton::clicked, this, [this] { openAddDialog(); });
    connect(editButton_, &QPushButton::clicked, this, [this] { openEditDialog(); });
    connect(doneButton_, &QPushButton::clicked, this, [this] { toggleDoneSelected(); });
    connect(postponeButton_, &QPushButton::clicked, this, [this] { postponeSelected(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { deleteSelected(); });
    auto* del = new QShortcut(QKeySequence::Delete, list_);
    connect(del, &QShortcut::activated, this, [this] { deleteSelected(); });
    auto* add = new QShortcut(QKeySequence::New, this);
    connect(add, &QShortcut::activated, this, [this] { openAddDialog(); });
}

void NotavoWindow::reload() {
    const std::optional<std::int64_t> keep = selectedId();
    try {
        dataVersion_ = store_.dataVersion();
        loaded_ = store_.list();
    } catch (const MemoError& e) {
        statusBar()->showMessage(
            QStringLiteral("读取备忘录失败：%1").arg(QString::fromUtf8(e.what())));
        return;
    }
    const View shown = view();
    const DateTime now = currentClock().now();
    const QSignalBlocker block(list_);
    list_->clear();
    for (const MemoItem& item : loaded_) {
        if (shown == View::OpenPlans && (!item.plan || item.done)) continue;
        if (shown == View::OverdueReminders && !overdue(item, now)) continue;
        auto* row = new QTreeWidgetItem(list_);
        row->setData(TitleColumn, Qt::UserRole, QVariant::fromValue<qlonglong>(item.id));
        row->setText(TitleColumn, oneLine(item.title));
        row->setToolTip(TitleColumn, QString::fromStdString(item.title));
        row->setText(KindColumn, kindText(item));
        row->setText(ReminderColumn, reminderText(item.reminder));
        row->setText(StatusColumn, item.done ? QStringLiteral("已完成")
                                             : (overdue(item, now) ? QStringLiteral("已过期")
                                                                   : QStringLiteral("未完成")));
        if (item.done) {
            for (int c = 0; c < list_->columnCount(); ++c)
                row->setForeground(c, QColor(128, 128, 128));
        } else if (overdue(item, now)) {
            row->setForeground(StatusColumn, QColor(176, 0, 32));
        }
    }
    if (keep) select(*keep);
    updateActions();
}

std::optional<MemoItem> NotavoWindow::selectedItem() const {
    const auto id = selectedId();
    if (!id) return std::nullopt;
    for (const MemoItem& item : loaded_)
        if (item.id == *id) return item;
    return std::nullopt;
}

void NotavoWindow::updateActions() {
    const auto item = selectedItem();
    editButton_->setEnabled(item.has_value());
    deleteButton_->setEnabled(item.has_value());
    doneButton_->setEnabled(item.has_value());
    doneButton_->setText(item && item->done ? QStringLiteral("重新打开") : QStringLiteral("完成"));
    postponeButton_->setEnabled(item && item->reminder);
    if (!item) {
        details_->setText(list_->topLevelItemCount() == 0 ? QStringLiteral("没有事项。")
                                                          : QString());
        return;
    }
    QString text = QString::fromStdString(item->title).toHtmlEscaped();
    text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    QString line = kindText(*item);
    if (item->reminder) line += QStringLiteral("，提醒时间 ") + reminderText(item->reminder);
    line += item->done ? QStringLiteral("，已完成") : QStringLiteral("，未完成");
    details_->setText(QStringLiteral("<b>%1</b><br>%2").arg(text, line));
}

NotavoWindow::View NotavoWindow::view() const {
    return static_cast<View>(viewBox_->currentIndex());
}

void NotavoWindow::showView(View view) {
    if (this->view() == view) return;
    viewBox_->setCurrentIndex(static_cast<int>(view));  // reloads
}

std::vector<std::int64_t> NotavoWindow::shownIds() const {
    std::vector<std::int64_t> ids;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        ids.push_back(list_->topLevelItem(i)->data(TitleColumn, Qt::UserRole).toLongLong());
    return ids;
}

std::optional<std::int64_t> NotavoWindow::selectedId() const {
    const QTreeWidgetItem* row = list_->currentItem();
    if (!row || !row->isSelected()) return std::nullopt;
    return row->data(TitleColumn, Qt::UserRole).toLongLong();
}

bool NotavoWindow::select(std::int64_t id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list_->topLevelItem(i);
        if (row->data(TitleColumn, Qt::UserRole).toLongLong() != id) continue;
        list_->setCurrentItem(row);
        row->setSelected(true);
        list_->scrollToItem(row);
        updateActions();
        return true;
    }
    return false;
}

QString NotavoWindow::details() const { return details_->text(); }

void NotavoWindow::applyHandOff(const HandOff& handOff) {
    switch (handOff.kind) {
        case HandOff::Kind::None:
            return;
        case HandOff::Kind::OpenPlans:
            showView(View::OpenPlans);
            return;
        case HandOff::Kind::OverdueReminders:
            showView(View::OverdueReminders);
            return;
        case HandOff::Kind::Item:
            showView(View::All);
            if (!select(handOff.id))
                statusBar()->showMessage(
                    QStringLiteral("编号为 %1 的事项已不存在。").arg(handOff.id));
            return;
    }
}

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

bool NotavoWindow::toggleDoneSelected() {
    const auto item = selectedItem();
    if (!item) return false;
    return guarded([&] { return item->done ? store_.reopen(item->id) : store_.close(item->id); },
                   QStringLiteral("这个事项已被删除。"));
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

bool NotavoWindow::refreshIfChanged() {
    std::int64_t version = 0;
    try {
        version = store_.dataVersion();
    } catch (const MemoError&) {
        return false;  // tried again at the next check
    }
    if (version == dataVersion_) return false;
    reload();
    return true;
}

void NotavoWindow::openAddDialog() {
    ItemDialog dialog(
        this, QStringLiteral("新建事项"), ItemInput{}, true,
        [this](const ItemInput& input) -> QString {
            try {
                const std::int64_t id = store_.add(input);
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
    dialog.exec();
}

void NotavoWindow::openEditDialog() {
    const auto item = selectedItem();
    if (!item) return;
    ItemDialog dialog(
        this, QStringLiteral("修改事项"), ItemInput{item->title, item->reminder, item->plan}, false,
        [this, id = item->id](const ItemInput& input) -> QString {
            try {
                const bool edited = store_.edit(id, input.title, input.reminder);
                reload();
                return edited ? QString() : QStringLiteral("这个事项已被删除。");
            } catch (const MemoError& e) {
                return QStringLiteral("没能保存：%1").arg(QString::fromUtf8(e.what()));
            }
        });
    dialog.exec();
}

std::unique_ptr<NotavoWindow> openNotavoWindow(const std::filesystem::path& programFolder,
                                               const std::filesystem::path& database,
                                               NotavoPrompts& prompts) {
    // Read first, so that a start that goes no further leaves no stale hand-off behind.
    const HandOff handOff = takeHandOff(programFolder);
    std::unique_ptr<MemoDatabase> opened;
    try {
        std::error_code ec;
        if (!std::filesystem::exists(database, ec)) {
            if (database.has_parent_path())
                std::filesystem::create_directories(database.parent_path(), ec);
            createMemoDatabase(database);
        }
        opened = MemoDatabase::open(database, IntegrityCheck::Quick);
        prepareForMemoProgram(*opened, currentClock().now());
    } catch (const DatabaseOpenError& e) {
        prompts.error(nullptr, QStringLiteral("无法打开备忘录 %1：%2")
                                   .arg(QString::fromStdString(e.file().string()),
                                        QString::fromStdString(describeInChinese(e))));
        return nullptr;
    } catch (const IdConversionError& e) {
        prompts.error(nullptr, QStringLiteral("无法打开备忘录 %1：%2")
                                   .arg(QString::fromStdString(e.file().string()),
                                        QString::fromStdString(describeInChinese(e))));
        return nullptr;
    } catch (const MemoError& e) {
        prompts.error(nullptr, QStringLiteral("无法打开备忘录 %1：%2")
                                   .arg(QString::fromStdString(database.string()),
                                        QString::fromUtf8(e.what())));
        return nullptr;
    }
    QString password;
    try {
        password = QString::fromStdString(MemoStore(*opened).password());
    } catch (const MemoError& e) {
        prompts.error(nullptr, QStringLiteral("无法读取备忘录 %1：%2")
                                   .arg(QString::fromStdString(database.string()),
                                        QString::fromUtf8(e.what())));
        return nullptr;
    }
    if (!password.trimmed().isEmpty() && !passwordGate(password, prompts)) return nullptr;
    auto window = std::make_unique<NotavoWindow>(std::move(opened), prompts);
    window->applyHandOff(handOff);
    return window;
}

}  // namespace plumo::notavo
