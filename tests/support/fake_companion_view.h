#pragma once

// A companion window for tests of the parts that act on her: keeps the bubble text,
// the captions and the shown state, and records what was done, in order.

#include <QStringList>
#include <map>

#include "companion/core/companion_view.h"

namespace plumo::test {

class FakeCompanionView : public CompanionView {
public:
    QString bubbleText() const override { return bubble; }
    void setBubbleText(const QString& text) override { bubble = text; }
    void showInfo() override {
        calls << QStringLiteral("showInfo");
        look = QStringLiteral("small bubble");
        if (!shown) toggleShown();
    }
    void showCommandPanel() override {
        calls << QStringLiteral("showCommandPanel");
        look = QStringLiteral("command panel");
        bubble.clear();
    }
    bool isShown() const override { return shown; }
    void toggleShown() override {
        calls << QStringLiteral("toggleShown");
        shown = !shown;
    }
    QString memoCaption() const override { return memo; }
    void setMemoCaptions(const QString& caption) override { memo = caption; }
    QString answerCaption(AnswerItem item) const override { return captions.at(item); }
    void setAnswerCaption(AnswerItem item, const QString& caption) override {
        captions[item] = caption;
    }
    bool answerVisible(AnswerItem item) const override { return visible.at(item); }
    void setAnswerVisible(AnswerItem item, bool value) override { visible[item] = value; }

    QString bubble;
    QString look = QStringLiteral("small bubble");
    bool shown = true;
    QString memo = QStringLiteral("备忘录");
    std::map<AnswerItem, QString> captions = {{AnswerItem::View, QStringLiteral("查看")},
                                              {AnswerItem::GotIt, QStringLiteral("知道了")},
                                              {AnswerItem::Postpone, QStringLiteral("延迟一天")}};
    std::map<AnswerItem, bool> visible = {
        {AnswerItem::View, true}, {AnswerItem::GotIt, true}, {AnswerItem::Postpone, false}};
    QStringList calls;  // in order
};

}  // namespace plumo::test
