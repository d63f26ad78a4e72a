// The window's actions on the selected item and its two dialogs. Each change is written
// at once; a failure is told in a message and nothing typed is lost.

#include <QStatusBar>

#include "item_dialog.h"
#include "item_list.h"
#include "memo/memo_errors.h"
#include "notavo_window.h"

namespace plumo::notavo {

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

std::unique_ptr<ItemDialog> NotavoWindow::makeAddDialog() {
    return std::make_unique<ItemDialog>(
        this, QStringLiteral("新建事项"), ItemInput{}, prompts_,
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
}

std::unique_ptr<ItemDialog> NotavoWindow::makeEditDialog() {
    const auto item = selectedItem();
    if (!item) return nullptr;
    auto dialog = std::make_unique<ItemDialog>(this, QStringLiteral("修改事项"),
                                               ItemInput{item->title, item->reminder, item->plan},
                                               prompts_, nullptr);
    // Only what the user changed is written: the companion may have closed or postponed
    // the item while the dialog was open.
    dialog->setSave([this, id = item->id, opened = dialog->opened()](const ItemInput& input) {
        try {
            const bool edited = store_.change(id, changeBetween(opened, input));
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
