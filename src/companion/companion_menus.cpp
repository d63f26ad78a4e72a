#include "companion/companion_menus.h"

namespace plumo {
namespace {

QMenu* makeMenu(QWidget* owner, const char* name) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* named(QAction* action, const char* name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

CompanionMenus::CompanionMenus(QWidget* owner) {
    pmenu = makeMenu(owner, "pmenu");
    N4 = named(pmenu->addAction(QStringLiteral("隐藏小秘书")), "N4");
    N5 = named(pmenu->addSeparator(), "N5");
    N2 = named(pmenu->addAction(QStringLiteral("备忘录")), "N2");
    N3 = named(pmenu->addAction(QStringLiteral("万年历")), "N3");
    N6 = named(pmenu->addSeparator(), "N6");
    nset = named(pmenu->addAction(QStringLiteral("设置")), "nset");
    nabout = named(pmenu->addAction(QStringLiteral("关于")), "nabout");
    nexit = named(pmenu->addAction(QStringLiteral("退出")), "nexit");
}

void CompanionMenus::createOtherMenus(QWidget* owner) {
    pmenu2 = makeMenu(owner, "pmenu2");
    N1 = named(pmenu2->addAction(QStringLiteral("换装")), "N1");
    N11 = named(pmenu2->addAction(QStringLiteral("隐藏")), "N11");
    N10 = named(pmenu2->addAction(QStringLiteral("指令")), "N10");
    noTraySeparator = pmenu2->addSeparator();
    for (QAction* command : {N2, N3, nset, nabout, nexit}) {
        // Follows its counterpart's caption, which changes with the program's state.
        QAction* item = pmenu2->addAction(command->text(), command, &QAction::trigger);
        item->setObjectName(command->objectName() + QStringLiteral("_notray"));
        QObject::connect(command, &QAction::changed, item,
                         [item, command] { item->setText(command->text()); });
        noTrayItems << item;
    }

    pmanswer = makeMenu(owner, "pmanswer");
    N13 = named(pmanswer->addAction(QStringLiteral("查看")), "N13");
    N12 = named(pmanswer->addAction(QStringLiteral("知道了")), "N12");
    N14 = named(pmanswer->addAction(QStringLiteral("延迟一天")), "N14");
    N14->setVisible(false);
    // A child of pmanswer, so that it is styled with it.
    snoozeMenu = makeMenu(pmanswer, "snoozeMenu");
    snoozeMenu->setTitle(QStringLiteral("稍后提醒"));
    N15 = named(pmanswer->addMenu(snoozeMenu), "N15");
    N16 = named(snoozeMenu->addAction(QStringLiteral("10 分钟")), "N16");
    N17 = named(snoozeMenu->addAction(QStringLiteral("1 小时")), "N17");
    N15->setVisible(false);
    QObject::connect(N14, &QAction::visibleChanged, N15,
                     [postpone = N14, snooze = N15] { snooze->setVisible(postpone->isVisible()); });

    setTrayPresent(true);
}

void CompanionMenus::setTrayPresent(bool present) {
    N11->setVisible(present);
    noTraySeparator->setVisible(!present);
    for (QAction* item : noTrayItems) item->setVisible(!present);
}

}  // namespace plumo
