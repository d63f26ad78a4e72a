#pragma once

// The dialog that adds or edits a memo item: title, optional reminder time to the
// minute, plan or not. It stays open until the item is saved or the user cancels, so a
// failed write loses nothing typed. Return saves; Shift+Return breaks the line in the
// title.

#include <QDialog>
#include <functional>

#include "memo/memo_store.h"
#include "notavo_prompts.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace plumo::notavo {

class ItemDialog : public QDialog {
public:
    // `save` writes the input and returns an error text, empty on success.
    ItemDialog(QWidget* parent, const QString& caption, const ItemInput& initial,
               NotavoPrompts& prompts, std::function<QString(const ItemInput&)> save);

    void setSave(std::function<QString(const ItemInput&)> save) { save_ = std::move(save); }

    ItemInput input() const;
    // What input() read when the dialog opened: an unchanged field compares equal.
    const ItemInput& opened() const { return opened_; }
    // What 保存 does: checks, saves and closes, or shows why not and stays open.
    void accept() override;
    QString lastError() const { return lastError_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool reminderTimeAccepted(const ItemInput& value);

    NotavoPrompts& prompts_;
    std::function<QString(const ItemInput&)> save_;
    QPlainTextEdit* title_ = nullptr;
    QCheckBox* hasReminder_ = nullptr;
    QDateEdit* date_ = nullptr;
    QSpinBox* hour_ = nullptr;
    QSpinBox* minute_ = nullptr;
    QCheckBox* plan_ = nullptr;
    QLabel* error_ = nullptr;
    ItemInput opened_;
    QString lastError_;
};

}  // namespace plumo::notavo
