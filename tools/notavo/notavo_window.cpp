#include "notavo_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <system_error>

#include "item_dialog.h"
#include "item_list.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "memo/repeat_store.h"
#include "platform/clock.h"

// The icon is built into the library; a static library's resources are registered by hand.
static QIcon notavoIcon() {
    Q_INIT_RESOURCE(notavo);
    QIcon icon;
    for (const char* size : {"16", "32", "48", "64", "128"})
        icon.addFile(QStringLiteral(":/notavo/plumo-%1.png").arg(QLatin1String(size)));
    return icon;
}

namespace plumo::notavo {
namespace {

// Another program's writes show up within this interval; a cheap check of the file's
// change counter, no reading of the items unless it moved.
constexpr int kWatchIntervalMs = 1000;
// How long a write waits for the companion to finish one of its own.
constexpr std::chrono::milliseconds kBusyTimeout{1000};
// An item turns 已过期 when its second has passed; a clock that jumped meanwhile (a
// suspend) shows within the longest wait.
constexpr int kShortestStateWaitMs = 1'000;
constexpr int kLongestStateWaitMs = 60'000;

ItemRow* rowAt(const QTreeWidget* list, int index) {
    return static_cast<ItemRow*>(list->topLevelItem(index));
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
    setWindowIcon(notavoIcon());
    buildWidgets();
    stateTimer_.setSingleShot(true);
    connect(&stateTimer_, &QTimer::timeout, this, [this] { refreshStates(); });
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
    search_ = new QLineEdit;
    search_->setObjectName("search");
    search_->setPlaceholderText(QStringLiteral("搜索标题"));
    search_->setClearButtonEnabled(true);
    top->addWidget(search_);
    layout->addLayout(top);

    list_ = new QTreeWidget;
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->setHeaderLabels(itemColumnCaptions());
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    for (int c = KindColumn; c < ItemColumnCount; ++c)
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
    snoozeButton_ = new QPushButton(QStringLiteral("稍后提醒"));
    auto* snoozeMenu = new QMenu(snoozeButton_);
    connect(snoozeMenu->addAction(QStringLiteral("10 分钟")), &QAction::triggered, this,
            [this] { snoozeSelected(10 * 60); });
    connect(snoozeMenu->addAction(QStringLiteral("1 小时")), &QAction::triggered, this,
            [this] { snoozeSelected(60 * 60); });
    snoozeButton_->setMenu(snoozeMenu);
    deleteButton_ = new QPushButton(QStringLiteral("删除"));
    for (QPushButton* b :
         {addButton, editButton_, doneButton_, postponeButton_, snoozeButton_, deleteButton_})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);
    statusBar();
    resize(620, 420);

    connect(viewBox_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { fill(); });
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int c) { sortBy(c); });
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
    try {
        dataVersion_ = store_.dataVersion();
        loaded_ = store_.list();
        series_ = repeatSeries(*database_);
    } catch (const MemoError& e) {
        statusBar()->showMessage(
            QStringLiteral("读取备忘录失败：%1").arg(QString::fromUtf8(e.what())));
        return;
    }
    fill();
}

// The rows from the items last read: the view, the search and the sort applied.
void NotavoWindow::fill() {
    const std::optional<std::int64_t> keep = selectedId();
    const View shown = view();
    const QString searched = search_->text().trimmed();
    const DateTime now = currentClock().now();
    const QSignalBlocker block(list_);
    list_->clear();
    for (std::size_t i = 0; i < loaded_.size(); ++i) {
        const MemoItem& item = loaded_[i];
        if (shown == View::OpenPlans && (!item.plan || item.done)) continue;
        if (shown == View::OverdueReminders && !isOverdue(item, now)) continue;
        if (!titleMatches(item, searched)) continue;
        auto* row = new ItemRow(list_, item, repeatOf(item.id), static_cast<int>(i));
        row->showState(item, now);
    }
    if (sortColumn_ >= 0) list_->sortItems(sortColumn_, sortOrder_);
    if (keep) select(*keep);
    updateActions();
    scheduleStateRefresh();
}

void NotavoWindow::sortBy(int column) {
    sortOrder_ = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                           : Qt::AscendingOrder;
    sortColumn_ = column;
    list_->header()->setSortIndicatorShown(true);
    list_->sortItems(sortColumn_, sortOrder_);
}

void NotavoWindow::search(const QString& text) { search_->setText(text); }

void NotavoWindow::refreshStates() {
    const DateTime now = currentClock().now();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        ItemRow* row = rowAt(list_, i);
        for (const MemoItem& item : loaded_)
            if (item.id == row->id()) row->showState(item, now);
    }
    if (sortColumn_ == StatusColumn) list_->sortItems(sortColumn_, sortOrder_);
    updateActions();
    scheduleStateRefresh();
}

// One wake-up when the next open item turns overdue, none while nothing will.
void NotavoWindow::scheduleStateRefresh() {
    const DateTime now = currentClock().now();
    const std::optional<DateTime> next = nextOverdueMoment(loaded_, now);
    if (!next) {
        stateTimer_.stop();
        return;
    }
    const double waitMs = std::ceil((*next - now) * kSecondsPerDay * 1000.0);
    stateTimer_.start(
        static_cast<int>(std::clamp<double>(waitMs, kShortestStateWaitMs, kLongestStateWaitMs)));
}

std::optional<RepeatRule> NotavoWindow::repeatOf(std::int64_t id) const {
    const auto found = series_.find(id);
    if (found == series_.end()) return std::nullopt;
    return found->second.rule;
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
    snoozeButton_->setEnabled(item && !item->done);
    if (!item) {
        details_->setText(list_->topLevelItemCount() == 0 ? QStringLiteral("没有事项。")
                                                          : QString());
        return;
    }
    QString text = QString::fromStdString(item->title).toHtmlEscaped();
    text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    QString line = kindText(*item);
    if (item->reminder) line += QStringLiteral("，提醒时间 ") + reminderText(item->reminder);
    if (const auto rule = repeatOf(item->id))
        line += QStringLiteral("，") + repeatText(rule, item->reminder);
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
    for (int i = 0; i < list_->topLevelItemCount(); ++i) ids.push_back(rowAt(list_, i)->id());
    return ids;
}

std::optional<std::int64_t> NotavoWindow::selectedId() const {
    const QTreeWidgetItem* row = list_->currentItem();
    if (!row || !row->isSelected()) return std::nullopt;
    return static_cast<const ItemRow*>(row)->id();
}

bool NotavoWindow::select(std::int64_t id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        ItemRow* row = rowAt(list_, i);
        if (row->id() != id) continue;
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
