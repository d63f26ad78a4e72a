#pragma once

// The questions and messages of the memo program's window, behind one seam so that
// tests can answer them.

#include <QString>
#include <optional>

class QWidget;

namespace plumo::notavo {

inline const QString kNotavoTitle = QStringLiteral("备忘录");

class NotavoPrompts {
public:
    virtual ~NotavoPrompts() = default;
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Something the user should know that went as it should.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // Yes or no; true for yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // The password as typed, or nothing when the user gave up.
    virtual std::optional<QString> password(const QString& label) = 0;
};

class WidgetPrompts final : public NotavoPrompts {
public:
    void error(QWidget* parent, const QString& text) override;
    void inform(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    std::optional<QString> password(const QString& label) override;
};

// Asks for the memo password until it is given right, at most three times. False when
// every try was wrong or the user gave up.
bool passwordGate(const QString& stored, NotavoPrompts& prompts);

}  // namespace plumo::notavo
