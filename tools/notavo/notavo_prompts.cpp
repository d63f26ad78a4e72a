#include "notavo_prompts.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace plumo::notavo {

void WidgetPrompts::error(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, kNotavoTitle, text);
}

void WidgetPrompts::inform(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kNotavoTitle, text);
}

bool WidgetPrompts::confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, kNotavoTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> WidgetPrompts::password(const QString& label) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(nullptr, kNotavoTitle, label, QLineEdit::Password, QString(), &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool passwordGate(const QString& stored, NotavoPrompts& prompts) {
    constexpr int kTries = 3;
    QString label = QStringLiteral("请输入备忘录密码：");
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        const auto typed = prompts.password(label);
        if (!typed) return false;
        // The companion stores the password with the blanks at both ends removed.
        if (typed->trimmed() == stored.trimmed()) return true;
        label = QStringLiteral("密码错误，请重新输入（还可以试 %1 次）：").arg(kTries - attempt);
    }
    return false;
}

}  // namespace plumo::notavo
