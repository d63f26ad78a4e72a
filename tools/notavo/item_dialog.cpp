#include "item_dialog.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "notavo_window.h"
#include "platform/clock.h"

namespace plumo::notavo {

ItemDialog::ItemDialog(QWidget* parent, const QString& caption, const ItemInput& initial,
                       bool choosePlan, std::function<QString(const ItemInput&)> save)
    : QDialog(parent), save_(std::move(save)) {
    setWindowTitle(caption);
    auto* form = new QFormLayout;
    title_ = new QPlainTextEdit(QString::fromStdString(initial.title));
    title_->setObjectName("title");
    title_->setTabChangesFocus(true);
    title_->setFixedHeight(title_->fontMetrics().lineSpacing() * 4);
    form->addRow(QStringLiteral("标题："), title_);

    hasReminder_ = new QCheckBox(QStringLiteral("到时提醒"));
    hasReminder_->setObjectName("hasReminder");
    reminder_ = new QDateTimeEdit;
    reminder_->setObjectName("reminder");
    reminder_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    reminder_->setCalendarPopup(true);
    // Without a time of its own, the next full hour is offered.
    const DateTime now = currentClock().now();
    const DateTime offered =
        initial.reminder ? *initial.reminder : wholeSecond(std::floor(now * 24.0 + 1.0) / 24.0);
    reminder_->setDateTime(toQDateTime(offered));
    hasReminder_->setChecked(initial.reminder.has_value());
    reminder_->setEnabled(initial.reminder.has_value());
    connect(hasReminder_, &QCheckBox::toggled, reminder_, &QWidget::setEnabled);
    form->addRow(hasReminder_, reminder_);

    plan_ = new QCheckBox(QStringLiteral("这是一项计划"));
    plan_->setObjectName("plan");
    plan_->setChecked(initial.plan);
    plan_->setVisible(choosePlan);
    if (choosePlan) form->addRow(QString(), plan_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ItemDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    error_ = new QLabel;
    error_->setObjectName("error");
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b00020;"));
    error_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(buttons);
}

ItemInput ItemDialog::input() const {
    ItemInput input;
    input.title = title_->toPlainText().trimmed().toStdString();
    if (hasReminder_->isChecked())
        input.reminder = wholeSecond(fromQDateTime(reminder_->dateTime()));
    input.plan = plan_->isChecked();
    return input;
}

void ItemDialog::accept() {
    const ItemInput value = input();
    if (value.title.empty()) {
        lastError_ = QStringLiteral("请填写标题。");
    } else {
        lastError_ = save_(value);
        if (lastError_.isEmpty()) {
            QDialog::accept();
            return;
        }
    }
    error_->setText(lastError_);
    error_->show();
    title_->setFocus();
}

}  // namespace plumo::notavo
