#pragma once

// The dialog that adds or edits a memo item: title, optional reminder time to the
// minute with its repeat rule, plan or not. It stays open until the item is saved or the user
// cancels, so a failed write loses nothing typed. Return saves; Shift+Return breaks the line in the
// title.

#include <QDialog>
#include <functional>

#include "memo/memo_store.h"
#include "memo/repeat_rule.h"
#include "notavo_prompts.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace plumo::notavo {

// What the dialog holds: the item and, with a reminder, how it repeats.
struct ItemEntry {
    ItemInput item;
    std::optional<RepeatRule> repeat;
};

class ItemDialog : public QDialog {
public:
    // `save` writes the input and returns an error text, empty on success.
    ItemDialog(QWidget* parent, const QString& caption, const ItemEntry& initial,
               NotavoPrompts& prompts, std::function<QString(const ItemEntry&)> save);

    void setSave(std::function<QString(const ItemEntry&)> save) { save_ = std::move(save); }

    ItemEntry entry() const;
    // What entry() read when the dialog opened: an unchanged field compares equal.
    const ItemEntry& opened() const { return opened_; }
    // What 保存 does: checks, saves and closes, or shows why not and stays open.
    void accept() override;
    QString lastError() const { return lastError_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool reminderTimeAccepted(const ItemInput& value);

    NotavoPrompts& prompts_;
    std::function<QString(const ItemEntry&)> save_;
    QPlainTextEdit* title_ = nullptr;
    QCheckBox* hasReminder_ = nullptr;
    QDateEdit* date_ = nullptr;
    QSpinBox* hour_ = nullptr;
    QSpinBox* minute_ = nullptr;
    QComboBox* repeat_ = nullptr;
    QCheckBox* plan_ = nullptr;
    QLabel* error_ = nullptr;
    ItemEntry opened_;
    QString lastError_;
};

}  // namespace plumo::notavo
