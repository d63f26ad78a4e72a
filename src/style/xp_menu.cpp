#include "style/xp_menu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QRadioButton>
#include <QScreen>

#include "style/control_subclass.h"
#include "style/gdi_canvas.h"
#include "style/menu_style.h"
#include "style/speed_button.h"

namespace plumo {

namespace {

// The dynamic property that marks a menu item as drawn by a styler.
constexpr const char* kHookProperty = "_plumoXPMenuHook";

// A class's own name, without its namespace; derived classes have names of their own.
QByteArray bareClassName(const QObject* object) {
    const QByteArray name = object->metaObject()->className();
    const int colon = name.lastIndexOf("::");
    return colon < 0 ? name : name.mid(colon + 2);
}

SystemColours paletteColours() {
    const QPalette palette = QApplication::palette();
    SystemColours s = classicSystemColours();
    s.set(clBtnFace, fromQColor(palette.color(QPalette::Button)));
    s.set(clHighlight, fromQColor(palette.color(QPalette::Active, QPalette::Highlight)));
    s.set(clInactiveCaption, fromQColor(palette.color(QPalette::Inactive, QPalette::Highlight)));
    s.set(clBtnShadow, fromQColor(palette.color(QPalette::Dark)));
    s.set(clMenuText, fromQColor(palette.color(QPalette::WindowText)));
    s.set(clWindowText, fromQColor(palette.color(QPalette::WindowText)));
    s.set(clWindow, fromQColor(palette.color(QPalette::Base)));
    return s;
}

int primaryScreenDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

}  // namespace

int tagOf(const QObject* object) { return object ? object->property("Tag").toInt() : 0; }

TXPMenu::TXPMenu(QWidget* owner)
    : QObject(owner),
      systemColours(paletteColours),
      systemMenuFont([] { return QApplication::font("QMenu"); }),
      displayDepth(primaryScreenDepth),
      owner_(owner) {
    font_ = systemMenuFont();
    style_ = std::make_unique<XPMenuStyle>(this);
}

TXPMenu::~TXPMenu() {
    // Menus go back to the application's style, controls to their own painting.
    for (const QPointer<QMenu>& menu : styledMenus_)
        if (menu) hookMenu(menu, false);
    for (const QPointer<QMenuBar>& bar : styledBars_)
        if (bar && bar->style() == style_.get()) bar->setStyle(nullptr);
    const QList<TControlSubClass*> subclasses = subclasses_;
    subclasses_.clear();
    qDeleteAll(subclasses);
}

void TXPMenu::setFont(const QFont& font) {
    font_ = font;
    redrawMenuBar();
}

void TXPMenu::setMenuBarColor(TColor colour) {
    colours.MenuBarColor = colour;
    redrawMenuBar();
}

void TXPMenu::setUseSystemColors(bool on) {
    colours.UseSystemColors = on;
    redrawMenuBar();
}

void TXPMenu::setActive(bool active) {
    if (active == active_) return;
    active_ = active;
    walk(active, true);
    redrawMenuBar();
}

void TXPMenu::setXPControls(std::uint16_t set) {
    if (set == controls_) return;
    if (!active_) {
        controls_ = set;
        return;
    }
    active_ = false;
    walk(false, true);
    active_ = true;
    controls_ = set;
    walk(true, true);
}

void TXPMenu::setXPContainers(std::uint16_t set) {
    if (set == containers_) return;
    if (!active_) {
        containers_ = set;
        return;
    }
    active_ = false;
    walk(false, true);
    active_ = true;
    containers_ = set;
    walk(true, true);
}

void TXPMenu::setControlUseTrueXPStyle(bool on) {
    trueXPStyle_ = on;
    if (!on) return;
    BtnRoundArc = 5;
    BtnOutLineBorderColor = 7552000;
    BtnInnerBorderMoveColor = 3257087;
    BtnInnerBorderFocusColor = 15183500;
    BtnSurfaceNormalColor = 16251903;
    BtnSurfaceDownColor = 14608359;
    BtnSurfaceBottomLineColor = 14608359;
    BtnSurfaceDownBottomLineColor = 15199215;
    RdoChkControlChkColor = 41472;
    ComboBoxChkColor = 9201994;
    ComboboxSurfaceMoveColor = 16771030;
    ControlDisabledBorderColor = 11913158;
}

TColor TXPMenu::resolve(TColor colour) const { return systemColours().resolve(colour); }

const QFont& TXPMenu::itemFont() {
    if (colours.UseSystemColors) {
        font_ = systemMenuFont();
        FontColor = clMenuText;
    }
    return font_;
}

DerivedColours TXPMenu::setUpColours() {
    itemFont();
    return SetUpColours(colours, systemColours(), displayDepth(), FontColor);
}

bool TXPMenu::isHooked(const QAction* action) const {
    return action && action->property(kHookProperty).value<quintptr>() == quintptr(this);
}

void TXPMenu::hookItem(QAction* action, bool enable) {
    if (enable) {
        if (tagOf(action) == kTagKeepOwnLook) return;
        action->setProperty(kHookProperty, QVariant::fromValue(quintptr(this)));
    } else if (isHooked(action)) {
        action->setProperty(kHookProperty, QVariant());
    }
    if (QMenu* submenu = action->menu()) hookMenu(submenu, enable);
}

void TXPMenu::hookMenu(QMenu* menu, bool enable) {
    // A menu without items is left as it is.
    if (menu->actions().isEmpty()) return;
    if (enable) {
        menu->setStyle(style_.get());
        if (!styledMenus_.contains(menu)) styledMenus_.append(menu);
    } else {
        if (menu->style() == style_.get()) menu->setStyle(nullptr);
        styledMenus_.removeAll(menu);
    }
    for (QAction* action : menu->actions()) hookItem(action, enable);
}

void TXPMenu::rehookSiblings(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (tagOf(action) != kTagKeepOwnLook && !isHooked(action)) hookItem(action, true);
}

void TXPMenu::walk(bool enable, bool repaint) {
    if (controls_ & xcPopupMenu)
        for (QMenu* menu : owner_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
            hookMenu(menu, enable);
    if (controls_ & xcMainMenu) {
        for (QMenuBar* bar : owner_->findChildren<QMenuBar*>()) {
            if (tagOf(bar) == kTagKeepOwnLook) continue;
            bar->setStyle(enable ? style_.get() : nullptr);
            styledBars_.removeAll(bar);
            if (enable) styledBars_.append(bar);
            for (QAction* action : bar->actions()) hookItem(action, enable);
        }
    }
    if (enable) {
        attachControls(repaint);
    } else if (repaint) {
        for (TControlSubClass* subclass : subclasses_)
            if (subclass->control()) subclass->control()->update();
    }
}

bool TXPMenu::qualifies(const QWidget* w) const {
    const QByteArray name = bareClassName(w);
    return (controls_ & xcEdit && qobject_cast<const QLineEdit*>(w)) ||
           (controls_ & xcMaskEdit && (name == "TMaskEdit" || name == "TDBEdit")) ||
           (controls_ & xcCheckBox && qobject_cast<const QCheckBox*>(w)) ||
           (controls_ & xcRadioButton && qobject_cast<const QRadioButton*>(w)) ||
           (controls_ & xcBitBtn && name == "TBitBtn") ||
           (controls_ & xcButton && (name == "QPushButton" || name == "TButton")) ||
           (controls_ & xcButton && name == "TUpDown") ||
           (controls_ & xcSpeedButton && qobject_cast<const TSpeedButton*>(w)) ||
           (controls_ & xcPanel && qobject_cast<const TPanel*>(w)) ||
           (controls_ & xcGroupBox && qobject_cast<const QGroupBox*>(w));
}

namespace {

ControlKind kindOf(const QWidget* w) {
    const QByteArray name = bareClassName(w);
    if (qobject_cast<const QLineEdit*>(w)) return ControlKind::Edit;
    if (qobject_cast<const QCheckBox*>(w)) return ControlKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(w)) return ControlKind::RadioButton;
    if (name == "TBitBtn") return ControlKind::BitBtn;
    if (name == "TUpDown") return ControlKind::UpDown;
    if (qobject_cast<const TSpeedButton*>(w)) return ControlKind::SpeedButton;
    if (qobject_cast<const TPanel*>(w)) return ControlKind::Panel;
    if (qobject_cast<const QGroupBox*>(w)) return ControlKind::GroupBox;
    return ControlKind::Button;
}

}  // namespace

void TXPMenu::attachControls(bool repaint) {
    for (QWidget* w : owner_->findChildren<QWidget*>()) {
        if (!qualifies(w)) continue;
        const QWidget* parent = w->parentWidget();
        if (!parent) continue;
        const QByteArray parentName = bareClassName(parent);
        const bool parentFits =
            (containers_ & xccPanel && qobject_cast<const TPanel*>(parent)) ||
            (containers_ & xccGroupBox && qobject_cast<const QGroupBox*>(parent)) ||
            (containers_ & xccTabSheet && parentName == "TdxTabSheet") ||
            (containers_ & xccFrame && parentName == "TDBCtrlPanel") ||
            (containers_ & xccForm && parent->isWindow());
        if (!parentFits) continue;
        if (tagOf(w) == kTagKeepOwnLook || tagOf(parent) == kTagKeepOwnLook) continue;
        // One overlay per control: a second would paint everything twice.
        const bool attached = std::any_of(subclasses_.begin(), subclasses_.end(),
                                          [w](TControlSubClass* s) { return s->control() == w; });
        if (!attached) subclasses_.append(new TControlSubClass(this, w, kindOf(w)));
        if (repaint) w->update();
    }
}

int TXPMenu::attachedCount() const { return int(subclasses_.size()); }

void TXPMenu::detached(TControlSubClass* subclass) { subclasses_.removeAll(subclass); }

void TXPMenu::redrawMenuBar() {
    for (const QPointer<QMenuBar>& bar : styledBars_)
        if (bar) bar->update();
}

}  // namespace plumo
