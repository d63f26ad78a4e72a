#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/message_box.h"

namespace plumo::test {

// Records every message box instead of showing it; answers questions with `answer`.
// Installs itself for its lifetime.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    RecordingMessageBoxes();
    ~RecordingMessageBoxes() override;

    void information(const QString& text) override {
        informations << text;
        if (whileShown) whileShown();
    }
    void error(const QString& text) override { errors << text; }
    bool question(const QString& caption, const QString& text) override {
        questions << caption + QStringLiteral("|") + text;
        return answer;
    }

    QStringList informations;
    QStringList errors;
    QStringList questions;
    bool answer = false;
    // Runs while an information box is open, as a user acting elsewhere would.
    std::function<void()> whileShown;

private:
    MessageBoxes* previous_;
};

}  // namespace plumo::test
