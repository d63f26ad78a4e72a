#pragma once

// The companion's three pop-up menus with every item: `pmenu` (the main menu, on the tray
// icon), `pmenu2` (on her picture) and `pmanswer` (the answer menu). Only the items are
// made here; the window connects them to its handlers.
//
// On a desktop without a tray, `pmenu2` also carries the main menu's commands, so that
// nothing is out of reach, and its hide item is left out: there is no tray to come back from.

#include <QAction>
#include <QMenu>

namespace plumo {

struct CompanionMenus {
    // Makes the main menu.
    explicit CompanionMenus(QWidget* owner);
    // Makes pmenu2 and pmanswer. Separate, so that the main menu can be styled before
    // they exist: they keep the desktop's look.
    void createOtherMenus(QWidget* owner);

    // Shows the main menu's commands on `pmenu2` exactly when no tray is there to hold them.
    void setTrayPresent(bool present);

    QMenu* pmenu;
    QAction* N4;  // "隐藏小秘书" / "显示小秘书"
    QAction* N5;  // separator
    QAction* N2;  // "备忘录" / "关闭备忘录"
    QAction* N3;  // "万年历" / "关闭万年历"
    QAction* N6;  // separator
    QAction* nset;
    QAction* nabout;
    QAction* nexit;

    QMenu* pmenu2;
    QAction* N1;   // "换装"
    QAction* N11;  // "隐藏"
    QAction* N10;  // "指令"
    // The main menu's commands on `pmenu2`, shown only without a tray; each runs its
    // counterpart on `pmenu`.
    QAction* noTraySeparator;
    QList<QAction*> noTrayItems;

    QMenu* pmanswer;
    QAction* N13;  // "查看" / "关机"
    QAction* N12;  // "知道了" / "不再提醒"
    QAction* N14;  // "延迟一天"
    // "稍后提醒": shown exactly while N14 is, whoever shows or hides N14.
    QMenu* snoozeMenu;
    QAction* N15;  // the item that opens snoozeMenu
    QAction* N16;  // "10 分钟"
    QAction* N17;  // "1 小时"
};

}  // namespace plumo
