#pragma once

// The dialog that adds or edits a memo item: title, optional reminder time to the
// second, plan or not. It stays open until the item is saved or the user cancels, so a
// failed write loses nothing typed.

#include <QDialog>
#include <functional>

#include "memo/memo_store.h"

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QPlainTextEdit;

namespace plumo::notavo {

class ItemDialog : public QDialog {
public:
    // `save` writes the input and returns an error text, empty on success.
    ItemDialog(QWidget* parent, const QString& caption, const ItemInput& initial, bool choosePlan,
               std::function<QString(const ItemInput&)> save);

    ItemInput input() const;
    // What 保存 does: checks, saves and closes, or shows why not and stays open.
    void accept() override;
    QString lastError() const { return lastError_; }

private:
    std::function<QString(const ItemInput&)> save_;
    QPlainTextEdit* title_ = nullptr;
    QCheckBox* hasReminder_ = nullptr;
    QDateTimeEdit* reminder_ = nullptr;
    QCheckBox* plan_ = nullptr;
    QLabel* error_ = nullptr;
    QString lastError_;
};

}  // namespace plumo::notavo
