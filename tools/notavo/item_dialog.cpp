#include "item_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "notavo_window.h"
#include "platform/clock.h"

namespace plumo::notavo {
namespace {

// Hours or minutes as two digits; typed over as a whole when tabbed into.
class TwoDigitBox : public QSpinBox {
public:
    TwoDigitBox(const char* name, int maximum, int value) {
        setObjectName(QLatin1String(name));
        setRange(0, maximum);
        setValue(value);
        setWrapping(true);
        setAlignment(Qt::AlignRight);
    }

protected:
    QString textFromValue(int value) const override {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    }
};

constexpr RepeatRule kRepeatRules[] = {RepeatRule::Daily,  RepeatRule::Workdays,
                                       RepeatRule::Weekly, RepeatRule::Monthly,
                                       RepeatRule::Yearly, RepeatRule::LunarYearly};

}  // namespace

ItemDialog::ItemDialog(QWidget* parent, const QString& caption, const ItemEntry& entry,
                       NotavoPrompts& prompts, std::function<QString(const ItemEntry&)> save)
    : QDialog(parent), prompts_(prompts), save_(std::move(save)) {
    const ItemInput& initial = entry.item;
    setWindowTitle(caption);
    auto* form = new QFormLayout;
    title_ = new QPlainTextEdit(QString::fromStdString(initial.title));
    title_->setObjectName("title");
    title_->setTabChangesFocus(true);
    title_->setFixedHeight(title_->fontMetrics().lineSpacing() * 4);
    title_->installEventFilter(this);
    form->addRow(QStringLiteral("标题："), title_);

    hasReminder_ = new QCheckBox(QStringLiteral("到时提醒"));
    hasReminder_->setObjectName("hasReminder");
    date_ = new QDateEdit;
    date_->setObjectName("reminderDate");
    date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date_->setCalendarPopup(true);
    // Without a time of its own, the next full hour is offered.
    const DateTime now = currentClock().now();
    const QDateTime offered = toQDateTime(
        initial.reminder ? *initial.reminder : wholeSecond(std::floor(now * 24.0 + 1.0) / 24.0));
    date_->setDate(offered.date());
    hour_ = new TwoDigitBox("reminderHour", 23, offered.time().hour());
    minute_ = new TwoDigitBox("reminderMinute", 59, offered.time().minute());
    auto* when = new QWidget;
    auto* whenLayout = new QHBoxLayout(when);
    whenLayout->setContentsMargins(0, 0, 0, 0);
    whenLayout->addWidget(date_);
    whenLayout->addWidget(hour_);
    whenLayout->addWidget(new QLabel(QStringLiteral(":")));
    whenLayout->addWidget(minute_);
    whenLayout->addStretch();
    hasReminder_->setChecked(initial.reminder.has_value());
    when->setEnabled(initial.reminder.has_value());
    connect(hasReminder_, &QCheckBox::toggled, when, &QWidget::setEnabled);
    form->addRow(hasReminder_, when);

    repeat_ = new QComboBox;
    repeat_->setObjectName("repeat");
    repeat_->addItem(QStringLiteral("不重复"));
    for (RepeatRule rule : kRepeatRules) {
        const std::string_view text = repeatRuleCaption(rule);
        repeat_->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                         static_cast<int>(rule));
        if (entry.repeat == rule) repeat_->setCurrentIndex(repeat_->count() - 1);
    }
    repeat_->setEnabled(initial.reminder.has_value());
    connect(hasReminder_, &QCheckBox::toggled, repeat_, &QWidget::setEnabled);
    form->addRow(QStringLiteral("重复："), repeat_);

    plan_ = new QCheckBox(QStringLiteral("这是一项计划"));
    plan_->setObjectName("plan");
    plan_->setChecked(initial.plan);
    form->addRow(QString(), plan_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
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
    opened_ = this->entry();
}

ItemEntry ItemDialog::entry() const {
    ItemEntry entry;
    ItemInput& input = entry.item;
    input.title = title_->toPlainText().trimmed().toStdString();
    if (hasReminder_->isChecked()) {
        const QDate d = date_->date();
        input.reminder =
            encodeDateTime(d.year(), d.month(), d.day(), hour_->value(), minute_->value(), 0);
    }
    input.plan = plan_->isChecked();
    // A rule repeats a reminder; without one nothing repeats.
    if (input.reminder && repeat_->currentIndex() > 0)
        entry.repeat = static_cast<RepeatRule>(repeat_->currentData().toInt());
    return entry;
}

bool ItemDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == title_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                title_->textCursor().insertText(QStringLiteral("\n"));
            else
                accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A reminder set to a time already gone is never announced; saved only when the user
// says so. An unchanged one is not asked about again.
bool ItemDialog::reminderTimeAccepted(const ItemInput& value) {
    if (!value.reminder || value.reminder == opened_.item.reminder) return true;
    if (*value.reminder >= wholeSecond(currentClock().now())) return true;
    return prompts_.confirm(this, QStringLiteral("提醒时间已过，仍然保存吗？"));
}

void ItemDialog::accept() {
    const ItemEntry value = entry();
    if (value.item.title.empty()) {
        lastError_ = QStringLiteral("请填写标题。");
    } else if (!reminderTimeAccepted(value.item)) {
        return;
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
