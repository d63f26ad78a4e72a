#pragma once

// Prompts that record what the memo window says and asks, answer its questions with
// `yes` and its password requests from `passwords`.

#include <QStringList>
#include <deque>
#include <optional>

#include "notavo_prompts.h"

namespace plumo::notavo {

class AnsweringPrompts : public NotavoPrompts {
public:
    void error(QWidget*, const QString& text) override { errors << text; }
    void inform(QWidget*, const QString& text) override { news << text; }
    bool confirm(QWidget*, const QString& text) override {
        questions << text;
        return yes;
    }
    std::optional<QString> password(const QString& label) override {
        labels << label;
        if (passwords.empty()) return std::nullopt;
        const QString next = passwords.front();
        passwords.pop_front();
        return next;
    }
    QStringList errors, news, questions, labels;
    std::deque<QString> passwords;
    bool yes = true;
};

}  // namespace plumo::notavo
